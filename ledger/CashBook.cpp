#include "ledger/CashBook.h"

namespace kiv {

CashEntry CashEntryFor(const Voucher& voucher, const Date& day) {
    return {!voucher.expense, day, voucher.amount.value_or(0), voucher.use, voucher.number};
}

int64_t PostCashBookRow(Database& db, const CashEntry& entry) {
    Transaction transaction(db, TransactionKind::Writes);
    int64_t lastId = 0, balance = 0;
    {
        Recordset last = db.OpenRecordset("SELECT id, bala FROM cash ORDER BY id DESC LIMIT 1");
        if (!last.Eof()) {
            lastId = last.Fields("id").wholeNumber();
            balance = last.Fields("bala").wholeNumber();
        }
    }
    int64_t id = lastId + 1;
    Recordset row = db.OpenRecordset("SELECT * FROM cash WHERE id = ?", id);
    row.AddNew();
    row.SetField("id", id);
    row.SetField("incom", entry.income);
    row.SetField("day", entry.day);
    row.SetField("cash", entry.amount);
    row.SetField("memo", entry.memo);
    row.SetField("lno", entry.voucherNo);
    row.SetField("bala", entry.income ? balance + entry.amount : balance - entry.amount);
    row.Update();
    transaction.Commit();
    return id;
}

int64_t CashBalance(Database& db) {
    Recordset last = db.OpenRecordset("SELECT bala FROM cash ORDER BY id DESC LIMIT 1");
    return last.Eof() ? 0 : last.Fields("bala").wholeNumber();
}

}  // namespace kiv
