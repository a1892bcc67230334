#include "ledger/SignOff.h"

#include "ledger/CashBook.h"

namespace kiv {

void SignOffByCash(Database& db, const Voucher& asRead, const Voucher& changed, const Date& day) {
    Transaction transaction(db, TransactionKind::Writes);
    Voucher signedVoucher = changed;
    signedVoucher.state = SignedByCash;
    WriteVoucher(db, asRead, signedVoucher);
    PostCashBookRow(db, CashEntryFor(signedVoucher, day));
    transaction.Commit();
}

}  // namespace kiv
