#include "ledger/Journal.h"

#include "platform/db/Database.h"
#include "platform/db/Numbers.h"

namespace kiv {

double JournalAmount(const std::string& typed) {
    return leadingNumber(withoutSeparators(typed));
}

bool IsStoredJournalLine(const JournalLine& line) {
    return !line.side.empty() && JournalAmount(line.amount) != 0;
}

void StoreJournalVoucher(Database& db, const std::string& number, const Date& day,
                         const std::vector<JournalLine>& lines, bool replace) {
    Transaction transaction(db);
    if (replace) db.Execute("DELETE FROM tag WHERE num = ?", number);
    for (const JournalLine& line : lines) {
        if (!IsStoredJournalLine(line)) continue;
        db.Execute(
            "INSERT INTO tag (num, 日期, 序, 科目編號, 科目名稱, 借貸, 摘要, 金額) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            number, day, line.line, line.code, line.name, line.side, line.summary, line.amount);
    }
    transaction.Commit();
}

}  // namespace kiv
