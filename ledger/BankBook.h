#pragma once

#include <cstdint>
#include <string>

#include "platform/db/Database.h"
#include "platform/db/Date.h"

namespace kiv {

// The two kinds of company account: an ordinary deposit account of obank, whose opening amount
// is obank.cash, and a cheque account of bbank, whose opening amount is bbank.ps.
enum class AccountKind { Ordinary, Cheque };

// One posting of a company bank account's book (bank). An account is the pair of its bank name
// and its account number, nothing else.
struct BankEntry {
    std::string bank;     // bank
    std::string account;  // Bid
    int64_t amount = 0;   // cash, always positive
    bool income = false;  // incom: into the account
    Date day;             // day
    std::string memo;     // memo
    std::string number;   // lno: the voucher's number, or the cheque's for a cashed cheque
};

// Appends the entry to its account's book. The id and the movement balance (bala) go on from
// the account's last posting, whatever the entry's day; the balance may go below zero. Returns
// the entry's id.
int64_t PostBankBookRow(Database& db, const BankEntry& entry);

// The account's balance now: its opening amount (0 when the account is not listed or its amount
// is empty) plus the movement balance of its last posting.
int64_t AccountBalance(Database& db, AccountKind kind, const std::string& bank,
                       const std::string& account);

}  // namespace kiv
