#pragma once

#include "ledger/Vouchers.h"
#include "platform/db/Database.h"
#include "platform/db/Date.h"

namespace kiv {

// Signs a voucher off by cash on `day`: it is rewritten as `changed` (see WriteVoucher) with the
// state SignedByCash, and its payment or receipt is posted to the cash book, both or neither.
void SignOffByCash(Database& db, const Voucher& asRead, const Voucher& changed, const Date& day);

}  // namespace kiv
