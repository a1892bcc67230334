#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/Database.h"
#include "platform/db/Date.h"

namespace kiv {

// What a cheque's 方式 holds: it leaves Unprocessed once, for one of the other three.
constexpr int ChequeUnprocessed = 0;
constexpr int ChequeCashed = 1;
constexpr int ChequeVoided = 2;
constexpr int ChequeBounced = 3;

// One row of bill. The company's own account is the drawer's side of an issued cheque and the
// payee's side of a received one.
struct Cheque {
    std::string number;                // 票據號碼
    Date issueDate;                    // 開票日
    std::optional<Date> reminderDate;  // arDay: issued cheques only
    Date dueDate;                      // 到期日
    std::optional<Date> usableDate;    // deDay: received cheques only
    std::string drawerBank;            // 開銀行
    std::string payeeBank;             // 收銀行
    std::string drawer;                // 開票人
    std::string payee;                 // 收票人
    std::string drawerAccount;         // 開帳號
    std::string payeeAccount;          // 收帳號
    int64_t amount = 0;                // 金額
    std::string amountInWords;         // 新台幣
    bool received = false;             // 收支
    std::string voucherNo;             // 收支單號: a voucher number or a group number
    int state = ChequeUnprocessed;     // 方式
};

// A combined cheque's key is its first voucher's number followed by this mark.
constexpr const char* GroupMark = "S";
bool IsGroupNumber(const std::string& key);

// The key of the cheque that pays a voucher: the group number when the voucher belongs to a
// combined cheque, else the voucher's own number. A group number is its own key.
std::string ChequeKeyForVoucher(Database& db, const std::string& voucherNo);
// The vouchers a cheque pays: a group's members in number order, else the one voucher.
std::vector<std::string> ChequeVouchers(Database& db, const std::string& key);

std::optional<Cheque> ReadCheque(Database& db, const std::string& key);
// Adds the cheque, all or nothing; a second cheque for the same key raises UniqueViolation.
void AddCheque(Database& db, const Cheque& cheque);
// Processes the cheque from the state `from` it was shown in to `to`. A cheque no longer in
// `from`, or gone, was processed by another copy of the program: UpdateConflict, nothing written.
void SetChequeState(Database& db, const std::string& key, int from, int to);

}  // namespace kiv
