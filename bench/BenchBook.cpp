#include "bench/BenchBook.h"

#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <iostream>
#include <random>

#include "platform/db/Database.h"
#include "platform/db/Format.h"
#include "platform/forms/ProgramFolder.h"
#include "shell/Schema.h"

namespace kiv::bench {

namespace {

const std::array purposes = {"購買水泥", "工地便當", "材料運費",   "鋼筋款",     "模板工資",
                             "水電費",   "油資",     "文具用品",   "設計費",     "工程款請款",
                             "保險費",   "租金",     "鷹架租賃費", "廢料清運費", "預拌混凝土款"};
const std::array accounts = {
    std::pair{"5101", "材料費"}, std::pair{"5102", "工資"},     std::pair{"5103", "運費"},
    std::pair{"5104", "雜支"},   std::pair{"5105", "水電費"},   std::pair{"5106", "租金"},
    std::pair{"5107", "保險費"}, std::pair{"4101", "工程收入"}, std::pair{"4102", "利息收入"}};
const std::array people = {"王大明", "李小華", "張志強", "陳美玲", "林建宏",
                           "黃淑芬", "吳俊傑", "劉怡君", "蔡宗翰", "鄭雅婷"};
const std::array workTypes = {"土木", "水電", "裝潢", "鋼構", "油漆"};
const std::array banks = {"臺灣銀行 城中分行", "第一銀行 板橋分行", "合作金庫 新竹分行"};

class Statement {
  public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) fail();
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement& text(int i, const std::string& s) {
        sqlite3_bind_text(stmt_, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& date(int i, const std::string& iso) {
        if (iso.empty())
            sqlite3_bind_null(stmt_, i);
        else
            text(i, iso);
        return *this;
    }
    Statement& number(int i, int64_t n) {
        sqlite3_bind_int64(stmt_, i, n);
        return *this;
    }
    void run() {
        if (sqlite3_step(stmt_) != SQLITE_DONE) fail();
        sqlite3_reset(stmt_);
    }

  private:
    [[noreturn]] void fail() { throw std::runtime_error(sqlite3_errmsg(db_)); }
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class Generator {
  public:
    explicit Generator(sqlite3* db)
        : voucher_(db,
                   "INSERT INTO iof VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                   "?, ?, ?)"),
          cheque_(db, "INSERT INTO bill VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0)"),
          cash_(db, "INSERT INTO cash VALUES (?, ?, ?, ?, ?, ?, ?)") {}

    void day(const Date& date, int vouchers) {
        std::string day = date.iso();
        std::string prefix = Format(date, "eemmdd");
        for (int serial = 1; serial <= vouchers; ++serial) {
            char number[16];
            std::snprintf(number, sizeof number, "%s%03d", prefix.c_str(), serial);
            bool byCheque = ++count_ % bookChequeEvery == 0;
            addVoucher(day, number, byCheque);
        }
    }

  private:
    template <class Array>
    const auto& pick(const Array& items) {
        return items[random_() % items.size()];
    }

    void addVoucher(const std::string& day, const std::string& number, bool byCheque) {
        const auto& [code, account] = pick(accounts);
        bool expense = code[0] == '5';
        int64_t amount = 100 + static_cast<int64_t>(random_() % 200'000);
        int project = static_cast<int>(random_() % 500);
        char projectNo[16], projectName[64], invoice[16];
        std::snprintf(projectNo, sizeof projectNo, "P%d", 1000 + project);
        std::snprintf(projectName, sizeof projectName, "第%d號新建工程", project);
        std::snprintf(invoice, sizeof invoice, "AB%08d", static_cast<int>(random_() % 100'000'000));
        voucher_.text(1, day)
            .text(2, number)
            .text(3, pick(purposes))
            .number(4, static_cast<int64_t>(random_() % 5))
            .number(5, amount)
            .text(6, code)
            .number(7, expense)
            .text(8, account)
            .text(9, random_() % 3 ? "" : "急件")
            .text(10, "")
            .text(11, projectNo)
            .text(12, projectName)
            .text(13, pick(workTypes))
            .text(14, day)
            .text(15, pick(people))
            .text(16, pick(people))
            .number(17, random_() % 2)
            .text(18, invoice)
            .number(19, amount / 21)
            .number(20, random_() % 2)
            .number(21, byCheque ? -2 : -1)
            .run();
        if (byCheque)
            addCheque(day, number, amount, !expense);
        else
            addCashRow(day, number, amount, !expense);
    }

    void addCheque(const std::string& day, const std::string& number, int64_t amount,
                   bool received) {
        std::string due = Date::fromIso(day)->addDays(30).iso();
        char chequeNo[16];
        std::snprintf(chequeNo, sizeof chequeNo, "QA%07d", static_cast<int>(count_));
        cheque_.text(1, chequeNo)
            .date(2, day)
            .date(3, received ? "" : due)
            .date(4, due)
            .date(5, received ? due : "")
            .text(6, pick(banks))
            .text(7, pick(banks))
            .text(8, pick(people))
            .text(9, pick(people))
            .text(10, "0123456789")
            .text(11, "9876543210")
            .number(12, amount)
            .text(13, "新台幣")
            .number(14, received)
            .text(15, number)
            .run();
    }

    void addCashRow(const std::string& day, const std::string& number, int64_t amount, bool in) {
        balance_ += in ? amount : -amount;
        cash_.number(1, ++cashRows_)
            .number(2, in)
            .text(3, day)
            .number(4, amount)
            .text(5, in ? "收入" : "支出")
            .text(6, number)
            .number(7, balance_)
            .run();
    }

    Statement voucher_, cheque_, cash_;
    std::mt19937_64 random_{2026};
    int64_t count_ = 0;
    int64_t cashRows_ = 0;
    int64_t balance_ = 0;
};

void generate(const std::string& path) {
    auto db = Database::open(path, accSchema());
    // A book for measuring only: nothing is lost if the machine stops while it is written.
    db->Execute("PRAGMA synchronous = OFF");
    db->Execute("PRAGMA cache_size = -262144");
    Transaction all(*db);
    Generator generator(db->handle());
    int64_t days = daysBetween(bookFirstDay, bookLastDay) + 1;
    for (int64_t d = 0; d < days; ++d) {
        int vouchers = static_cast<int>((d + 1) * bookVouchers / days - d * bookVouchers / days);
        generator.day(bookFirstDay.addDays(d), vouchers);
    }
    all.Commit();
}

}  // namespace

std::string benchBook() {
    auto folder = std::filesystem::path(programFolder()) / "bench-books";
    auto book = folder / "acc.mdb";
    if (std::filesystem::exists(book)) return book.string();
    std::filesystem::create_directories(folder);
    // Written under another name first, so that an interrupted run leaves no half book behind.
    auto partial = folder / "acc.mdb.partial";
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(partial.string() + suffix);
    std::cerr << "Generating " << book.string() << " (once) ..." << std::endl;
    generate(partial.string());
    std::filesystem::rename(partial, book);
    return book.string();
}

}  // namespace kiv::bench
