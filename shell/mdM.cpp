#include "shell/mdM.h"

#include <unicode/alphaindex.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/db/Format.h"
#include "platform/db/Numbers.h"
#include "platform/db/Utf8.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Host.h"
#include "platform/forms/ProgramFolder.h"
#include "shell/Schema.h"

namespace kiv {

namespace {

struct Databases {
    std::unique_ptr<Database> acc, people, print;
};

Databases& databases() {
    static Databases d;
    return d;
}

Database& opened(const std::unique_ptr<Database>& db, const char* file) {
    if (!db) throw std::logic_error(std::string(file) + " 尚未開啟");
    return *db;
}

const char* const Capitals[] = {"零", "壹", "貳", "參", "肆", "伍", "陸", "柒", "捌", "玖"};
const char* const PlaceUnits[] = {"", "拾", "佰", "仟", "萬", "十萬", "佰萬", "仟萬", "億"};
const std::string Zero = "零";

bool beginsWithZero(const std::string& s) {
    return s.rfind(Zero, 0) == 0;
}

// One group of capitals read as a number: each non-zero digit with its unit, one 零 for a run
// of zeros inside, none at the end.
std::string Group(const std::vector<std::string>& g) {
    std::string r;
    int n = static_cast<int>(g.size());
    for (int k = 1; k <= n - 1; ++k) {
        const std::string& c = g[n - k - 1];
        if (c == Zero) {
            if (!beginsWithZero(r)) r = Zero + r;
        } else {
            r = c + PlaceUnits[k] + r;
        }
    }
    if (n > 0 && g[n - 1] != Zero) r += g[n - 1];
    while (r.size() >= Zero.size() && r.compare(r.size() - Zero.size(), Zero.size(), Zero) == 0)
        r.erase(r.size() - Zero.size());
    return r;
}

std::vector<std::string> slice(const std::vector<std::string>& s, size_t from, size_t to) {
    return std::vector<std::string>(s.begin() + from, s.begin() + to);
}

icu::AlphabeticIndex& strokeIndex() {
    static std::unique_ptr<icu::AlphabeticIndex> index = [] {
        UErrorCode status = U_ZERO_ERROR;
        auto built = std::make_unique<icu::AlphabeticIndex>(icu::Locale("zh_TW"), status);
        if (U_FAILURE(status)) throw std::runtime_error("筆劃索引無法建立");
        return built;
    }();
    return *index;
}

}  // namespace

Database& AccDb() {
    return opened(databases().acc, "acc.mdb");
}
Database& PeopleDb() {
    return opened(databases().people, "zove3.mdb");
}
Database& PrintDb() {
    return opened(databases().print, "pt.mdb");
}

void OpenDatabases() {
    Databases& d = databases();
    d.acc = Database::open(programFile("acc.mdb"), accSchema());
    d.people = Database::open(programFile("zove3.mdb"), peopleSchema());
    // The print tables are rebuilt before every print: their commits need not wait for the disk.
    d.print = Database::open(programFile("pt.mdb"), printSchema(), Durability::Scratch);
}

void CloseDatabases() {
    databases() = Databases{};
}

bool DatabasesOpen() {
    return databases().acc && databases().people && databases().print;
}

namespace {

std::vector<std::function<void()>>& sharedResets() {
    static std::vector<std::function<void()>> resets;
    return resets;
}

}  // namespace

void addSharedReset(std::function<void()> reset) {
    sharedResets().push_back(std::move(reset));
}

void ResetSharedState() {
    for (const auto& reset : sharedResets())
        reset();
}

std::string RightsToBitString(int32_t n) {
    std::string s;
    while (n >= 2) {
        s += std::to_string(n % 2);
        n /= 2;
    }
    s += std::to_string(n % 2);
    while (s.size() < 22)
        s += "0";
    return s;
}

std::string RightsOf(int first, int last) {
    return RightsToBitString(UserRights).substr(first - 1, last - first + 1);
}

bool HasRight(int right) {
    return RightsOf(right, right) == "1";
}

std::string AmountInChineseNumerals(std::string_view amount) {
    std::string digits;
    for (char c : withoutSeparators(amount)) {
        if (c < '0' || c > '9') break;
        digits += c;
    }
    std::vector<std::string> s;
    for (char c : digits)
        s.push_back(Capitals[c - '0']);
    size_t n = s.size();
    if (n <= 5) return Group(s);
    if (n <= 8) return Group(slice(s, 0, n - 4)) + "萬" + Group(slice(s, n - 4, n));
    // Above the hundred millions the same rules count again, so no digit lies beyond the units.
    std::string high = AmountInChineseNumerals(digits.substr(0, n - 8)) + "億";
    std::string middle = Group(slice(s, n - 8, n - 4));
    std::string low = Group(slice(s, n - 4, n));
    // An empty middle group takes no 萬; the last group then follows after one 零.
    if (!middle.empty()) return high + middle + "萬" + low;
    if (!low.empty() && !beginsWithZero(low)) low = Zero + low;
    return high + low;
}

std::string GroupThousands(std::string_view digits) {
    std::string sign;
    if (!digits.empty() && digits.front() == '-') {
        sign = "-";
        digits.remove_prefix(1);
    }
    std::u32string x = toCodePoints(digits);
    std::u32string r;
    while (x.size() >= 3) {
        r = U"," + x.substr(x.size() - 3) + r;
        x.erase(x.size() - 3);
    }
    r = x + r;
    if (!r.empty() && r.front() == U',') r.erase(0, 1);
    return sign + fromCodePoints(r);
}

int DaysInMonth(const Date& d) {
    return daysInMonthOf(d);
}

std::string ChequeNumberForVoucher(const std::string& voucherNo) {
    Recordset own =
        AccDb().OpenRecordset("SELECT 票據號碼 FROM bill WHERE 收支單號 = ?", voucherNo);
    if (!own.Eof()) return own.Fields(0).text();
    Recordset member = AccDb().OpenRecordset("SELECT 多單號 FROM iofs WHERE 單號 = ?", voucherNo);
    if (member.Eof()) return "";
    std::string group = member.Fields(0).text();
    Recordset combined =
        AccDb().OpenRecordset("SELECT 票據號碼 FROM bill WHERE 收支單號 = ?", group);
    return combined.Eof() ? "" : combined.Fields(0).text();
}

std::string StrokeCode(std::string_view character) {
    UErrorCode status = U_ZERO_ERROR;
    icu::AlphabeticIndex& walker = strokeIndex();
    int32_t bucket =
        walker.getBucketIndex(icu::UnicodeString::fromUTF8(std::string(character)), status);
    walker.resetBucketIterator(status);
    for (int32_t i = 0; walker.nextBucket(status); ++i) {
        if (i != bucket) continue;
        if (walker.getBucketLabelType() != U_ALPHAINDEX_NORMAL) return "01";
        std::string label;
        walker.getBucketLabel().toUTF8String(label);
        int strokes = static_cast<int>(leadingNumber(label));
        if (strokes > 30) return "33";
        if (strokes < 1) return "01";
        char code[4];
        std::snprintf(code, sizeof code, "%02d", strokes);
        return code;
    }
    return "01";
}

// Waits on a timer while the events go on, so that the window stays drawn and the processor
// idle; it ends strictly after the time asked, as the old pause did.
void Pause(double seconds) {
    double start = Clock::steadySeconds();
    for (double left = seconds; left >= 0; left = seconds - (Clock::steadySeconds() - start))
        waitWhileProcessingEvents(static_cast<int>(left * 1000) + 1);
}

std::string TextBeforeSemicolon(std::string_view s) {
    if (s.empty()) return "";
    size_t at = s.find(';');
    return at == std::string_view::npos ? "" : std::string(s.substr(0, at));
}

std::string TextAfterSemicolon(std::string_view s) {
    if (s.empty()) return "";
    size_t at = s.find(';');
    return at == std::string_view::npos ? std::string(s) : std::string(s.substr(at + 1));
}

std::string SemicolonsToBlanks(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == ';') c = ' ';
    return out;
}

std::string SplitAtDelimiter(std::string_view s, std::string_view delimiter, bool takeLeft) {
    size_t at = findNoCase(s, delimiter);
    if (at == std::string::npos) return std::string(s);
    size_t p = at + 1;
    if (takeLeft) return characterLeft(s, p - 1);
    size_t length = characterCount(s);
    return characterRight(s, length - p);
}

std::string LongRocDate(const Date& d) {
    return Format(d, "gg ee 年 mm 月 dd 日");
}

std::string GridRocDate(const Date& d) {
    return Format(d, "ee/mm/dd");
}

std::string CompanyName() {
    Recordset company = PeopleDb().OpenRecordset("SELECT co_name FROM company");
    return company.Eof() ? "" : company.Fields("co_name").text();
}

std::optional<std::string> DailySerialNumber(Database& db, const std::string& table,
                                             const std::string& field, int digits) {
    std::string prefix = Format(Clock::today(), "eemmdd");
    Identifier serialField = db.Field(table, field);
    Recordset last =
        db.OpenRecordset("SELECT Max(" + serialField + ") AS last FROM " + db.Table(table) +
                             " WHERE " + serialField + " LIKE ? ESCAPE '\\'",
                         likePrefix(prefix));
    int serial = 0;
    if (!last.Eof() && !last.Fields(0).isNull())
        serial = static_cast<int>(
            leadingNumber(characterMid(last.Fields(0).text(), characterCount(prefix))));
    int next = serial + 1;
    int limit = 1;
    for (int i = 0; i < digits; ++i)
        limit *= 10;
    if (next >= limit) return std::nullopt;
    std::string number = std::to_string(next);
    return prefix + std::string(digits - number.size(), '0') + number;
}

}  // namespace kiv
