#include "ledger/ChequeGroups.h"

#include "ledger/Vouchers.h"

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

void RecordChequeGroup(Database& db, const std::string& group,
                       const std::vector<std::string>& numbers) {
    Transaction transaction(db);
    for (const std::string& number : numbers) {
        db.Execute("INSERT INTO iofs (多單號, 單號) VALUES (?, ?)", group, number);
        SetVoucherState(db, number, SignedByCheque);
    }
    transaction.Commit();
}

}  // namespace kiv
