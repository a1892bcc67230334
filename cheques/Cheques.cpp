#include "cheques/Cheques.h"

#include "platform/db/ShownRows.h"

namespace kiv {

namespace {

Value dateOrNull(const std::optional<Date>& date) {
    return date ? Value(*date) : Value();
}

std::optional<Date> dateOrNone(const Value& value) {
    if (value.isNull()) return std::nullopt;
    return value.date().dateOnly();
}

int64_t wholeOrZero(const Value& value) {
    return value.isNull() ? 0 : value.wholeNumber();
}

Cheque chequeAt(const Recordset& row) {
    Cheque c;
    c.number = row.Fields("票據號碼").text();
    c.issueDate = row.Fields("開票日").date().dateOnly();
    c.reminderDate = dateOrNone(row.Fields("arDay"));
    c.dueDate = row.Fields("到期日").date().dateOnly();
    c.usableDate = dateOrNone(row.Fields("deDay"));
    c.drawerBank = row.Fields("開銀行").text();
    c.payeeBank = row.Fields("收銀行").text();
    c.drawer = row.Fields("開票人").text();
    c.payee = row.Fields("收票人").text();
    c.drawerAccount = row.Fields("開帳號").text();
    c.payeeAccount = row.Fields("收帳號").text();
    c.amount = wholeOrZero(row.Fields("金額"));
    c.amountInWords = row.Fields("新台幣").text();
    c.received = row.Fields("收支").boolean();
    c.voucherNo = row.Fields("收支單號").text();
    c.state = static_cast<int>(wholeOrZero(row.Fields("方式")));
    return c;
}

}  // namespace

bool IsGroupNumber(const std::string& key) {
    return key.ends_with(GroupMark);
}

std::string ChequeKeyForVoucher(Database& db, const std::string& voucherNo) {
    Recordset group = db.OpenRecordset("SELECT 多單號 FROM iofs WHERE 單號 = ?", voucherNo);
    return group.Eof() ? voucherNo : group.Fields("多單號").text();
}

std::vector<std::string> ChequeVouchers(Database& db, const std::string& key) {
    if (!IsGroupNumber(key)) return {key};
    std::vector<std::string> members;
    for (Recordset rs =
             db.OpenRecordset("SELECT 單號 FROM iofs WHERE 多單號 = ? ORDER BY 單號", key);
         !rs.Eof(); rs.MoveNext())
        members.push_back(rs.Fields("單號").text());
    return members;
}

std::optional<Cheque> ReadCheque(Database& db, const std::string& key) {
    Recordset row = db.OpenRecordset("SELECT * FROM bill WHERE 收支單號 = ?", key);
    if (row.Eof()) return std::nullopt;
    return chequeAt(row);
}

void AddCheque(Database& db, const Cheque& cheque) {
    Transaction transaction(db, TransactionKind::Writes);
    Recordset row = db.OpenRecordset("SELECT * FROM bill WHERE rowid = 0");
    row.AddNew();
    row.SetField("票據號碼", cheque.number);
    row.SetField("開票日", cheque.issueDate);
    row.SetField("arDay", dateOrNull(cheque.reminderDate));
    row.SetField("到期日", cheque.dueDate);
    row.SetField("deDay", dateOrNull(cheque.usableDate));
    row.SetField("開銀行", cheque.drawerBank);
    row.SetField("收銀行", cheque.payeeBank);
    row.SetField("開票人", cheque.drawer);
    row.SetField("收票人", cheque.payee);
    row.SetField("開帳號", cheque.drawerAccount);
    row.SetField("收帳號", cheque.payeeAccount);
    row.SetField("金額", cheque.amount);
    row.SetField("新台幣", cheque.amountInWords);
    row.SetField("收支", cheque.received);
    row.SetField("收支單號", cheque.voucherNo);
    row.SetField("方式", cheque.state);
    row.Update();
    transaction.Commit();
}

void SetChequeState(Database& db, const std::string& key, int from, int to) {
    Transaction transaction(db, TransactionKind::Writes);
    // An empty state is shown as unprocessed (see chequeAt).
    ChangeShownState(db, "UPDATE bill SET 方式 = ? WHERE 收支單號 = ? AND IFNULL(方式, 0) = ?", to,
                     key, from);
    transaction.Commit();
}

}  // namespace kiv
