#include "ledger/Journal.h"

#include "platform/db/Amount.h"
#include "platform/db/Database.h"
#include "platform/db/Numbers.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

void insertLines(Database& db, const std::string& number, const Date& day,
                 const std::vector<JournalLine>& lines) {
    for (const JournalLine& line : lines) {
        if (!IsStoredJournalLine(line)) continue;
        db.Execute(
            "INSERT INTO tag (num, 日期, 序, 科目編號, 科目名稱, 借貸, 摘要, 金額) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            number, day, line.line, line.code, line.name, line.side, line.summary, line.amount);
    }
}

bool numberTaken(Database& db, const std::string& number) {
    return !db.OpenRecordset("SELECT num FROM tag WHERE num = ?", number).Eof();
}

// The shown lines are taken as stored before the commit, and handed over only once it is done.
void commitShowing(Transaction& transaction, Database& db, const std::string& number,
                   ShownRows& shown) {
    ShownRows stored = ShownJournalVoucher(db, number);
    transaction.Commit();
    shown = std::move(stored);
}

}  // namespace

int64_t JournalAmount(const std::string& typed) {
    return AmountOf(typed);
}

bool IsStoredJournalLine(const JournalLine& line) {
    return !line.side.empty() && JournalAmount(line.amount) != 0;
}

ShownRows ShownJournalVoucher(Database& db, const std::string& number) {
    return ShownRows(db,
                     "SELECT 日期, 序, 科目編號, 科目名稱, 借貸, 摘要, 金額 FROM tag WHERE num = ? "
                     "ORDER BY rowid",
                     {number});
}

std::vector<JournalLine> ReadJournalVoucher(Database& db, const std::string& number) {
    std::vector<JournalLine> lines;
    for (Recordset rs = db.OpenRecordset("SELECT * FROM tag WHERE num = ? ORDER BY rowid", number);
         !rs.Eof(); rs.MoveNext())
        lines.push_back({rs.Fields("序").text(), rs.Fields("科目編號").text(),
                         rs.Fields("科目名稱").text(), rs.Fields("借貸").text(),
                         rs.Fields("摘要").text(), rs.Fields("金額").text()});
    return lines;
}

std::optional<std::string> AddJournalVoucher(Database& db, const std::string& number,
                                             const Date& day, const std::vector<JournalLine>& lines,
                                             ShownRows& shown) {
    Transaction transaction(db, TransactionKind::Writes);
    std::optional<std::string> taken = number;
    if (numberTaken(db, number)) taken = DailySerialNumber(db, "tag", "num", 3);
    if (!taken) return std::nullopt;
    insertLines(db, *taken, day, lines);
    commitShowing(transaction, db, *taken, shown);
    return taken;
}

void ReplaceJournalVoucher(Database& db, const std::string& number, const Date& day,
                           const std::vector<JournalLine>& lines, ShownRows& shown) {
    Transaction transaction(db, TransactionKind::Writes);
    shown.CheckUnchanged(db);
    db.Execute("DELETE FROM tag WHERE num = ?", number);
    insertLines(db, number, day, lines);
    commitShowing(transaction, db, number, shown);
}

}  // namespace kiv
