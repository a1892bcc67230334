#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/db/Database.h"
#include "platform/db/Date.h"
#include "platform/db/Recordset.h"

namespace kiv {

// What a voucher's 方式 holds: below zero the applicant's suggestion or a void, from zero on the
// way it was signed off. A voucher whose cheque was cashed turns 3, and the cashing adds a
// follow-up voucher in the same direction, 2 for income and 4 for expense.
constexpr int CashSuggested = -1;
constexpr int ChequeSuggested = -2;
constexpr int VoidVoucher = -3;
constexpr int SignedByCash = 0;
constexpr int SignedByCheque = 1;
constexpr int CashedIncome = 2;
constexpr int SignedByCashedCheque = 3;
constexpr int CashedExpense = 4;

// One row of iof, the income and expense vouchers. Null numbers and dates read as empty
// optionals, Null texts as "".
struct Voucher {
    std::optional<Date> entryDate;   // 輸入日期
    std::string number;              // 單號
    std::string use;                 // 用途說明
    int state = CashSuggested;       // 方式
    std::optional<int64_t> amount;   // 金額
    std::string account;             // 科目代號
    bool expense = false;            // pay
    std::string accountName;         // 科目名稱
    std::string note1;               // 附註一
    std::string note2;               // 附註二
    std::string project;             // 專案號碼
    std::string projectName;         // 專案名稱
    std::string workType;            // 工程種類
    std::optional<Date> day;         // 發生日期
    std::string applicant;           // 申請人
    std::string receiver;            // 簽收
    bool receipt = false;            // 單據
    std::string receiptNo;           // 單據號碼
    std::optional<int64_t> tax;      // 稅額
    bool sales = false;              // 進銷
    int suggestion = CashSuggested;  // 建議方式

    bool signedOff() const { return state >= 0; }
    friend bool operator==(const Voucher&, const Voucher&) = default;
};

// A signed voucher is not rewritten; only its state changes (a cashing, a settlement).
class VoucherSigned : public std::runtime_error {
  public:
    VoucherSigned() : std::runtime_error("收支單已簽核 無法修改") {}
};

// The books' dates are those a ROC date of one to three year digits can show: 1912-01-01 to
// 2910-12-31. A voucher number and every date label depend on it.
bool IsBookDate(const Date& date);

// The voucher of that number; nullopt when there is none.
std::optional<Voucher> ReadVoucher(Database& db, const std::string& number);
// The voucher at the current row of a recordset over iof (see OpenVoucherList).
Voucher VoucherAt(const Recordset& row);
// What a settlement takes from a listed voucher: the day it happened and its amount, read as
// VoucherAt reads them, without the other fields.
struct VoucherDayAndAmount {
    std::optional<Date> day;
    std::optional<int64_t> amount;
};
VoucherDayAndAmount DayAndAmountAt(const Recordset& row);
// Every voucher in number order, for browsing one at a time.
Recordset OpenVoucherList(Database& db);
int64_t VoucherCount(Database& db);
// How many vouchers come before that number: its row in number order.
int64_t VouchersBefore(Database& db, const std::string& number);
// The voucher `steps` rows after the one numbered `number` in number order (before it, for a
// negative count; that one itself for 0), found from that number without counting the rows
// before it; nullopt when the list ends first, or, for 0, when there is none of that number.
std::optional<Voucher> VoucherStepsFrom(Database& db, const std::string& number, int64_t steps);

// The number the next voucher of today takes: today's ROC date "eemmdd" followed by a
// three-digit serial, one past the day's largest. nullopt when the day's 999 numbers are used up.
std::optional<std::string> NextVoucherNumber(Database& db);

// Adds the voucher under the next number of today, taken under the write lock so that no other
// writer can take the same number; its own number is ignored. Returns the number given, or
// nullopt (nothing written) when the day is full. Raises std::invalid_argument for a date that
// is no book date, today's included.
std::optional<std::string> AddVoucher(Database& db, const Voucher& voucher);

// Rewrites every field but the entry date and the number of the voucher `asRead` names with
// those of `changed`, provided the stored voucher is still what the caller read: a voucher
// changed (signed off included) or deleted meanwhile raises UpdateConflict, one read signed
// VoucherSigned, and nothing is written.
void WriteVoucher(Database& db, const Voucher& asRead, const Voucher& changed);

// Sets a voucher's 方式 (a sign-off, a cashing) from the state `from` it was read in to `to`;
// the caller decides in which transaction. A voucher no longer in `from`, or gone, was changed by
// another copy of the program: UpdateConflict, and nothing is written.
void SetVoucherState(Database& db, const std::string& number, int from, int to);

// Sets a voucher's 金額 to 0, as a voided or bounced cheque leaves it; its state stays.
void ZeroVoucherAmount(Database& db, const std::string& number);

}  // namespace kiv
