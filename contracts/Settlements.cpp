#include "contracts/Settlements.h"

#include <functional>

#include "ledger/Vouchers.h"
#include "platform/db/Amount.h"
#include "platform/db/Database.h"
#include "platform/db/Errors.h"
#include "platform/db/Numbers.h"
#include "platform/db/ShownRows.h"
#include "platform/forms/Host.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

std::vector<std::pair<std::string, std::string>> contractList(Recordset rs) {
    std::vector<std::pair<std::string, std::string>> contracts;
    for (; !rs.Eof(); rs.MoveNext())
        contracts.emplace_back(rs.Fields("id").text(), rs.Fields("收名稱").text());
    return contracts;
}

// Changes the row the user was shown under the write lock: false, nothing written, when no row of
// its number is stored; UpdateConflict when the row stored under it is another.
bool changeShownRow(bool receivable, Schedule schedule, const std::string& id,
                    const ShownScheduleRow& shown, const std::function<void()>& change) {
    Transaction transaction(AccDb(), TransactionKind::Writes);
    if (!StillStoredAsShown(receivable, schedule, id, shown)) return false;
    change();
    transaction.Commit();
    return true;
}

// A row command acts on the row shown or not at all: a row gone meanwhile was changed meanwhile.
void changeShownRowOrRefuse(bool receivable, Schedule schedule, const std::string& id,
                            const ShownScheduleRow& shown, const std::function<void()>& change) {
    if (!changeShownRow(receivable, schedule, id, shown, change)) throw UpdateConflict();
}

// The settling voucher is still stored as the user was shown it: the same amount, and signed off
// the same way, by cash, or by a cheque whether cashed since or not. Otherwise the settlement
// would record money the voucher no longer holds.
void checkVoucherAsShown(Database& db, const Settlement& settlement) {
    const std::optional<Voucher> voucher = ReadVoucher(db, settlement.voucherNo);
    if (!voucher || voucher->amount != settlement.voucherAmount) throw UpdateConflict();
    const bool sameWay = settlement.cash ? voucher->state == SignedByCash
                                         : voucher->state == SignedByCheque ||
                                               voucher->state == SignedByCashedCheque;
    if (!sameWay) throw UpdateConflict();
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ContractsWithOpenRows(bool receivable) {
    if (receivable)
        return contractList(AccDb().OpenRecordset(
            "SELECT ri.id AS id, ri.收名稱 AS 收名稱 FROM (ri INNER JOIN ri期 ON ri.id = ri期.id) "
            "LEFT JOIN ri加 ON ri.id = ri加.id WHERE ri期.處理 = ? OR ri加.處理 = ? "
            "GROUP BY ri.id, ri.收名稱 ORDER BY ri.id",
            false, false));
    return contractList(AccDb().OpenRecordset(
        "SELECT ro.id AS id, ro.收名稱 AS 收名稱 FROM (ro INNER JOIN ro期 ON ro.id = ro期.id) "
        "LEFT JOIN ro加 ON ro.id = ro加.id WHERE ro期.處理 = ? OR ro加.處理 = ? "
        "GROUP BY ro.id, ro.收名稱 ORDER BY ro.id",
        false, false));
}

// The row was shown open; settled by another copy of the program meanwhile, it is not settled a
// second time over the first. An empty settled flag reads as open.
bool SettleScheduleRow(bool receivable, Schedule schedule, const std::string& id,
                       const ShownScheduleRow& shown, const Settlement& settlement) {
    Database& db = AccDb();
    const Identifier table = db.Table(ScheduleTable(receivable, schedule));
    return changeShownRow(receivable, schedule, id, shown, [&] {
        checkVoucherAsShown(db, settlement);
        ChangeShownState(db,
                         "UPDATE " + table +
                             " SET 實收金 = ?, 實收日 = ?, 現金 = ?, 支票號碼 = ?, 收支單號 = ?, "
                             "處理 = ? WHERE id = ? AND 期別 = ? AND IFNULL(處理, 0) = ?",
                         settlement.amount, settlement.day ? Value(*settlement.day) : Value(),
                         settlement.cash, settlement.cash ? "" : settlement.chequeNo,
                         settlement.voucherNo, true, id, shown.period, false);
    });
}

void ClearSettlement(bool receivable, Schedule schedule, const std::string& id,
                     const ShownScheduleRow& shown) {
    Database& db = AccDb();
    const Identifier table = db.Table(ScheduleTable(receivable, schedule));
    changeShownRowOrRefuse(receivable, schedule, id, shown, [&] {
        db.Execute("UPDATE " + table +
                       " SET 實收金 = '', 支票號碼 = '', 收支單號 = '', 實收日 = NULL, 現金 = ?, "
                       "處理 = ? WHERE id = ? AND 期別 = ?",
                   false, false, id, shown.period);
    });
}

void DeleteScheduleRow(bool receivable, Schedule schedule, const std::string& id,
                       const ShownScheduleRow& shown) {
    Database& db = AccDb();
    const Identifier table = db.Table(ScheduleTable(receivable, schedule));
    changeShownRowOrRefuse(receivable, schedule, id, shown, [&] {
        db.Execute("DELETE FROM " + table + " WHERE id = ? AND 期別 = ?", id, shown.period);
        db.Execute("UPDATE " + table + " SET 期別 = 期別 - 1 WHERE id = ? AND 期別 > ?", id,
                   shown.period);
    });
}

// The grid's and the voucher's amounts are written as plain numbers ("8000"), a typed one as it
// was typed once it reads as an amount; an input box left empty (or cancelled) settles nothing. A
// reply that is no number is asked again "必須是數字"; a negative or too long one in its own words.
std::optional<std::string> AskSettledAmount(int64_t voucher, int64_t planned) {
    if (voucher == planned) return std::to_string(voucher);
    if (messageBox("沖帳金額與預付金額不符\n是否沖帳？", MessageYesNoDefaultNo, ApplicationTitle) !=
        AnswerYes)
        return std::nullopt;
    if (voucher < planned) return std::to_string(voucher);
    const std::string plannedDigits = std::to_string(planned);
    std::string prompt = "填入沖帳金額";
    for (;;) {
        std::string reply = inputBox(prompt, ApplicationTitle, plannedDigits);
        AmountReading typed = ReadAmount(reply);
        if (typed.fault == AmountFault::Empty) return std::nullopt;
        if (!typed.refused()) return reply;
        prompt = "填入沖帳金額\n" + (typed.fault == AmountFault::NotAmount
                                         ? std::string("必須是數字")
                                         : AmountRefusal("沖帳金額", typed.fault));
    }
}

}  // namespace kiv
