#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "contracts/Contracts.h"
#include "platform/db/Date.h"

// The settlement of an instalment or an addition by a voucher, and the row commands of the
// contract grids. A settlement lives in the six fields 實收金 … 處理 of the one schedule row.
namespace kiv {

// What a voucher writes into the row it settles, and the voucher as the user was shown it: its
// amount (金額), and signed off by cash or by a cheque.
struct Settlement {
    std::string amount;  // 實收金: a plain number, or as the user typed it
    std::optional<Date> day;
    bool cash = false;
    std::string chequeNo;
    std::string voucherNo;
    std::optional<int64_t> voucherAmount;
};

// The contracts of the kind that have an instalment row and an open instalment or addition:
// their number and name. A contract with additions only has no schedule to settle against.
std::vector<std::pair<std::string, std::string>> ContractsWithOpenRows(bool receivable);

// What the user is told when the instalment or addition to settle is not stored.
inline constexpr const char* SettledRowGoneMessage = "此期別已不存在，未沖帳";

// Writes the settlement into the row of the contract's instalments or additions the user was
// shown open. False, with nothing written, when no row of its number is stored; UpdateConflict,
// nothing written, when the row stored under that number is no longer the one shown (settled,
// changed, or another row renumbered into its place by another copy of the program), or the
// voucher changed from what the user was shown (its cheque voided or bounced leaves its amount 0).
bool SettleScheduleRow(bool receivable, Schedule schedule, const std::string& id,
                       const ShownScheduleRow& shown, const Settlement& settlement);

// Opens again the row the user was shown settled: its settlement emptied, its planned fields
// kept. UpdateConflict, nothing written, when that row is no longer stored as shown.
void ClearSettlement(bool receivable, Schedule schedule, const std::string& id,
                     const ShownScheduleRow& shown);

// Deletes the row the user was shown and closes the gap in the numbering, all or nothing.
// UpdateConflict, nothing written, when that row is no longer stored as shown.
void DeleteScheduleRow(bool receivable, Schedule schedule, const std::string& id,
                       const ShownScheduleRow& shown);

// The amount a voucher of `voucher` dollars settles on a row planned at `planned`: the voucher's
// own when they agree; otherwise the user confirms, and a larger voucher asks how much of it
// settles the row, refused until it is an amount. The text to store, or nullopt when the user
// declines.
std::optional<std::string> AskSettledAmount(int64_t voucher, int64_t planned);

}  // namespace kiv
