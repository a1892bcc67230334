#include "ledger/ChequeGroups.h"

#include "ledger/Vouchers.h"
#include "platform/db/ShownRows.h"

namespace kiv {

std::optional<std::string> FirstVoucherNotPayable(Database& db,
                                                  const std::vector<std::string>& numbers) {
    for (const std::string& number : numbers) {
        bool payable = !db.OpenRecordset(
                              "SELECT 單號 FROM iof WHERE 單號 = ? AND pay = 1 AND "
                              "方式 IN (-1, -2) AND NOT EXISTS (SELECT 1 FROM iofs "
                              "WHERE iofs.單號 = iof.單號)",
                              number)
                            .Eof();
        if (!payable) return number;
    }
    return std::nullopt;
}

// Each member is signed off only from the state the list showed it in, payable as
// FirstVoucherNotPayable tells, and before it joins the group.
void RecordChequeGroup(Database& db, const std::string& group,
                       const std::vector<std::string>& numbers) {
    Transaction transaction(db);
    for (const std::string& number : numbers) {
        ChangeShownState(db,
                         "UPDATE iof SET 方式 = ? WHERE 單號 = ? AND pay = 1 AND 方式 IN (?, ?) "
                         "AND NOT EXISTS (SELECT 1 FROM iofs WHERE iofs.單號 = iof.單號)",
                         SignedByCheque, number, CashSuggested, ChequeSuggested);
        db.Execute("INSERT INTO iofs (多單號, 單號) VALUES (?, ?)", group, number);
    }
    transaction.Commit();
}

}  // namespace kiv
