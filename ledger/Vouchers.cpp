#include "ledger/Vouchers.h"

#include "platform/db/ShownRows.h"
#include "platform/forms/Clock.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr int FirstBookYear = 1912;
constexpr int LastBookYear = 2910;

std::optional<Date> dateOrNone(const Value& value) {
    if (value.isNull()) return std::nullopt;
    return value.date();
}

std::optional<int64_t> numberOrNone(const Value& value) {
    if (value.isNull()) return std::nullopt;
    return value.wholeNumber();
}

template <class T>
Value orNull(const std::optional<T>& value) {
    return value ? Value(*value) : Value();
}

void requireBookDate(const std::optional<Date>& date) {
    if (!date || !IsBookDate(*date)) throw std::invalid_argument("日期須在民國 1 年至 999 年之間");
}

// Every field that a modification may change: all but the entry date and the number.
void setChangeableFields(Recordset& row, const Voucher& v) {
    row.SetField("用途說明", v.use);
    row.SetField("方式", v.state);
    row.SetField("金額", orNull(v.amount));
    row.SetField("科目代號", v.account);
    row.SetField("pay", v.expense);
    row.SetField("科目名稱", v.accountName);
    row.SetField("附註一", v.note1);
    row.SetField("附註二", v.note2);
    row.SetField("專案號碼", v.project);
    row.SetField("專案名稱", v.projectName);
    row.SetField("工程種類", v.workType);
    row.SetField("發生日期", orNull(v.day));
    row.SetField("申請人", v.applicant);
    row.SetField("簽收", v.receiver);
    row.SetField("單據", v.receipt);
    row.SetField("單據號碼", v.receiptNo);
    row.SetField("稅額", orNull(v.tax));
    row.SetField("進銷", v.sales);
    row.SetField("建議方式", v.suggestion);
}

Recordset openVoucher(Database& db, const std::string& number) {
    return db.OpenRecordset("SELECT * FROM iof WHERE 單號 = ?", number);
}

[[noreturn]] void raiseConflict(const std::string& number) {
    throw UpdateConflict("收支單 " + number + " 已被其他使用者變更");
}

}  // namespace

bool IsBookDate(const Date& date) {
    return date.year() >= FirstBookYear && date.year() <= LastBookYear;
}

Voucher VoucherAt(const Recordset& row) {
    Voucher v;
    v.entryDate = dateOrNone(row.Fields("輸入日期"));
    v.number = row.Fields("單號").text();
    v.use = row.Fields("用途說明").text();
    v.state = static_cast<int>(row.Fields("方式").wholeNumber());
    v.amount = numberOrNone(row.Fields("金額"));
    v.account = row.Fields("科目代號").text();
    v.expense = row.Fields("pay").boolean();
    v.accountName = row.Fields("科目名稱").text();
    v.note1 = row.Fields("附註一").text();
    v.note2 = row.Fields("附註二").text();
    v.project = row.Fields("專案號碼").text();
    v.projectName = row.Fields("專案名稱").text();
    v.workType = row.Fields("工程種類").text();
    v.day = dateOrNone(row.Fields("發生日期"));
    v.applicant = row.Fields("申請人").text();
    v.receiver = row.Fields("簽收").text();
    v.receipt = row.Fields("單據").boolean();
    v.receiptNo = row.Fields("單據號碼").text();
    v.tax = numberOrNone(row.Fields("稅額"));
    v.sales = row.Fields("進銷").boolean();
    v.suggestion = static_cast<int>(row.Fields("建議方式").wholeNumber());
    return v;
}

VoucherDayAndAmount DayAndAmountAt(const Recordset& row) {
    return {dateOrNone(row.Fields("發生日期")), numberOrNone(row.Fields("金額"))};
}

std::optional<Voucher> ReadVoucher(Database& db, const std::string& number) {
    Recordset row = openVoucher(db, number);
    if (row.Eof()) return std::nullopt;
    return VoucherAt(row);
}

Recordset OpenVoucherList(Database& db) {
    return db.OpenRecordset("SELECT * FROM iof ORDER BY 單號");
}

int64_t VoucherCount(Database& db) {
    return db.OpenRecordset("SELECT Count(*) FROM iof").Fields(0).wholeNumber();
}

int64_t VouchersBefore(Database& db, const std::string& number) {
    return db.OpenRecordset("SELECT Count(*) FROM iof WHERE 單號 < ?", number)
        .Fields(0)
        .wholeNumber();
}

std::optional<Voucher> VoucherStepsFrom(Database& db, const std::string& number, int64_t steps) {
    if (steps == 0) return ReadVoucher(db, number);
    Recordset row =
        steps > 0
            ? db.OpenRecordset("SELECT * FROM iof WHERE 單號 > ? ORDER BY 單號 LIMIT 1 OFFSET ?",
                               number, steps - 1)
            : db.OpenRecordset(
                  "SELECT * FROM iof WHERE 單號 < ? ORDER BY 單號 DESC LIMIT 1 OFFSET ?", number,
                  -steps - 1);
    if (row.Eof()) return std::nullopt;
    return VoucherAt(row);
}

std::optional<std::string> NextVoucherNumber(Database& db) {
    return DailySerialNumber(db, "iof", "單號", 3);
}

std::optional<std::string> AddVoucher(Database& db, const Voucher& voucher) {
    requireBookDate(Clock::today());
    requireBookDate(voucher.entryDate);
    requireBookDate(voucher.day);
    Transaction transaction(db, TransactionKind::Writes);
    std::optional<std::string> number = NextVoucherNumber(db);
    if (!number) return std::nullopt;
    Recordset row = openVoucher(db, *number);
    row.AddNew();
    row.SetField("輸入日期", *voucher.entryDate);
    row.SetField("單號", *number);
    setChangeableFields(row, voucher);
    row.Update();
    transaction.Commit();
    return number;
}

void WriteVoucher(Database& db, const Voucher& asRead, const Voucher& changed) {
    requireBookDate(changed.day);
    Transaction transaction(db, TransactionKind::Writes);
    Recordset row = openVoucher(db, asRead.number);
    if (row.Eof()) raiseConflict(asRead.number);
    Voucher stored = VoucherAt(row);
    // A voucher signed by another copy since it was read was changed like any other.
    if (stored != asRead) raiseConflict(asRead.number);
    if (stored.signedOff()) throw VoucherSigned();
    row.Edit();
    setChangeableFields(row, changed);
    row.Update();
    transaction.Commit();
}

void SetVoucherState(Database& db, const std::string& number, int from, int to) {
    Transaction transaction(db, TransactionKind::Writes);
    ChangeShownState(db, "UPDATE iof SET 方式 = ? WHERE 單號 = ? AND 方式 = ?", to, number, from);
    transaction.Commit();
}

void ZeroVoucherAmount(Database& db, const std::string& number) {
    Transaction transaction(db, TransactionKind::Writes);
    db.Execute("UPDATE iof SET 金額 = 0 WHERE 單號 = ?", number);
    transaction.Commit();
}

}  // namespace kiv
