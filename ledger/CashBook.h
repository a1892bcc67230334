#pragma once

#include <cstdint>
#include <string>

#include "ledger/Vouchers.h"
#include "platform/db/Database.h"
#include "platform/db/Date.h"

namespace kiv {

// One posting of the cash book (cash): money in or out on a day, with its memo and the voucher
// it pays.
struct CashEntry {
    bool income = false;    // incom
    Date day;               // day
    int64_t amount = 0;     // cash
    std::string memo;       // memo
    std::string voucherNo;  // lno
};

// The posting that pays or receives a voucher in cash on `day`.
CashEntry CashEntryFor(const Voucher& voucher, const Date& day);

// Appends the entry to the cash book. The running id and balance (bala) go on from the book's
// last row, whatever the entry's day: the book lists postings in the order they were made.
// Returns the entry's id.
int64_t PostCashBookRow(Database& db, const CashEntry& entry);

// The cash held now: the running balance of the book's last posting, 0 for an empty book.
int64_t CashBalance(Database& db);

}  // namespace kiv
