#include "ledger/ChequeGroups.h"

#include "ledger/Vouchers.h"
#include "platform/db/ShownRows.h"

namespace kiv {

std::optional<std::string> FirstVoucherNotPayable(Database& db,
                                                  const std::vector<GroupMember>& members) {
    for (const GroupMember& member : members) {
        bool payable = !db.OpenRecordset(
                              "SELECT 單號 FROM iof WHERE 單號 = ? AND pay = 1 AND "
                              "方式 IN (-1, -2) AND COALESCE(金額, 0) = ? AND NOT EXISTS "
                              "(SELECT 1 FROM iofs WHERE iofs.單號 = iof.單號)",
                              member.number, member.amount)
                            .Eof();
        if (!payable) return member.number;
    }
    return std::nullopt;
}

// Each member is signed off only from the state and with the amount the list showed it in,
// payable as FirstVoucherNotPayable tells, and before it joins the group.
void RecordChequeGroup(Database& db, const std::string& group,
                       const std::vector<GroupMember>& members) {
    Transaction transaction(db, TransactionKind::Writes);
    for (const GroupMember& member : members) {
        ChangeShownState(db,
                         "UPDATE iof SET 方式 = ? WHERE 單號 = ? AND pay = 1 AND 方式 IN (?, ?) "
                         "AND COALESCE(金額, 0) = ? AND NOT EXISTS (SELECT 1 FROM iofs WHERE "
                         "iofs.單號 = iof.單號)",
                         SignedByCheque, member.number, CashSuggested, ChequeSuggested,
                         member.amount);
        db.Execute("INSERT INTO iofs (多單號, 單號) VALUES (?, ?)", group, member.number);
    }
    transaction.Commit();
}

}  // namespace kiv
