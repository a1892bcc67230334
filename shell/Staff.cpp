#include "shell/Staff.h"

#include <algorithm>
#include <cctype>

#include "platform/db/Database.h"
#include "platform/db/Numbers.h"
#include "platform/db/Utf8.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

bool isLetterPrefix(const std::string& prefix) {
    return prefix.size() == 1 && prefix[0] >= 'A' && prefix[0] <= 'Z';
}

bool isStrokePrefix(const std::string& prefix) {
    return prefix.size() == 2 && std::isdigit(static_cast<unsigned char>(prefix[0])) &&
           std::isdigit(static_cast<unsigned char>(prefix[1]));
}

// The serial of a stored number under `prefix`, or -1 when its tail is no serial.
long serialAfter(const std::string& number, const std::string& prefix) {
    if (number.compare(0, prefix.size(), prefix) != 0) return -1;
    std::string tail = number.substr(prefix.size());
    if (tail.empty() ||
        !std::all_of(tail.begin(), tail.end(), [](unsigned char c) { return std::isdigit(c); }))
        return -1;
    return static_cast<long>(leadingNumber(tail));
}

std::string threeDigits(long serial) {
    std::string digits = std::to_string(serial);
    return std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

bool isSkippedField(const std::string& field) {
    return equalsNoCase(field, "權限") || equalsNoCase(field, "pass");
}

bool matches(Database& people, const Value& value, const std::string& pattern) {
    if (value.isNull()) return false;
    Recordset rs = people.OpenRecordset("SELECT ? LIKE ? ESCAPE '\\'", value.text(), pattern);
    return rs.Fields(0).text() == "1";
}

}  // namespace

std::string StaffNumberPrefix(std::string_view name) {
    std::string first = characterLeft(name, 1);
    if (first.size() == 1 && std::isalpha(static_cast<unsigned char>(first[0])))
        return std::string(1,
                           static_cast<char>(std::toupper(static_cast<unsigned char>(first[0]))));
    return StrokeCode(first);
}

std::string NextStaffNumber(Database& people, std::string_view name) {
    std::string prefix = StaffNumberPrefix(name);
    long highest = 0;
    for (Recordset rs = people.OpenRecordset(
             "SELECT 員工編號 FROM 員工 WHERE 員工編號 LIKE ? ESCAPE '\\'", likePrefix(prefix));
         !rs.Eof(); rs.MoveNext())
        highest = std::max(highest, serialAfter(rs.Fields("員工編號").text(), prefix));
    return prefix + threeDigits(highest + 1);
}

std::optional<std::string> NextListPrefix(const std::string& prefix) {
    if (isLetterPrefix(prefix))
        return prefix == "Z" ? std::nullopt
                             : std::optional<std::string>(std::string(1, prefix[0] + 1));
    if (!isStrokePrefix(prefix)) return std::nullopt;
    int code = std::stoi(prefix);
    if (code < 9) return "0" + std::to_string(code + 1);
    if (code < 33) return std::to_string(code + 1);
    return "A";
}

ShownRows ShownStaffRecord(Database& people, const std::string& name) {
    return ShownRows(
        people,
        "SELECT 員工編號, 中文姓名, 英文姓名, 部門, 身分字號, 地址, 郵遞區號, 電子郵件, "
        "住家電話, 行動電話, 生日, 僱用日期, 薪水, 緊急連絡人姓名, 緊急連絡人電話, "
        "備註, 職稱 FROM 員工 WHERE 中文姓名 = ?",
        {name});
}

ShownRows ShownStaffPassword(Database& people, const std::string& name) {
    return ShownRows(people, "SELECT pass FROM 員工 WHERE 中文姓名 = ?", {name});
}

bool StaffMemberStored(Database& people, const std::string& name) {
    return !people.OpenRecordset("SELECT 中文姓名 FROM 員工 WHERE 中文姓名 = ?", name).Eof();
}

std::vector<StaffSearchHit> SearchStaff(Database& people, std::string_view text) {
    std::string pattern = likeContains(text);
    std::vector<std::string> fields = people.FieldNames("員工");
    SqlCondition condition = people.FullTextCondition("員工", text, {"權限", "pass"});
    std::vector<StaffSearchHit> hits;
    for (Recordset rs = people.OpenRecordsetWith(
             "SELECT * FROM 員工 WHERE " + condition.sql + " ORDER BY rowid", condition.params);
         !rs.Eof(); rs.MoveNext()) {
        for (const std::string& field : fields) {
            if (isSkippedField(field)) continue;
            Value value = rs.Fields(field);
            if (matches(people, value, pattern))
                hits.push_back({rs.Fields("中文姓名").text(), field, value.text()});
        }
    }
    // Names are unique, so a member's hits stay together in field order.
    std::stable_sort(hits.begin(), hits.end(),
                     [](const auto& a, const auto& b) { return a.name < b.name; });
    return hits;
}

}  // namespace kiv
