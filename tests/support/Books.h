#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/db/Database.h"
#include "platform/forms/Clock.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "shell/mdM.h"

// What tests of every folder put into the books and read back from the forms: one builder a
// record, each writing its row by field name with what a case does not name left plain.
namespace kiv::test {

using Texts = std::vector<std::string>;

inline Date day(int y, int m, int d) {
    return Date::fromYmd(y, m, d);
}
// Today is the day at half past nine, so that a time of day never hides in a date comparison.
inline void setToday(const Date& date) {
    Clock::useFixedTime(Date::fromYmdHms(date.year(), date.month(), date.day(), 9, 30, 0));
}

// A voucher; what a case does not name is an expense on 材料費 entered and dated 2026-11-20.
struct VoucherRow {
    std::string number;
    Date on = day(2026, 11, 20);
    int64_t amount = 1000;
    bool expense = true;
    int state = 0;
    std::string accountCode = "";
    std::string accountName = "";
    std::string use = "";
    std::string projectNo = "";
    std::string project = "";
    std::string workType = "";
    std::string applicant = "王小明";
    std::string signer = "李大華";
    std::string note1 = "";
    std::string note2 = "";
    bool receipt = false;
    Value tax = nullptr;
    bool taxed = false;
    int suggestion = -1;
};

inline VoucherRow Income(const std::string& number, const Date& on, int64_t amount, int state = 0) {
    VoucherRow v{number, on, amount, false, state};
    return v;
}
inline VoucherRow Expense(const std::string& number, const Date& on, int64_t amount,
                          int state = 0) {
    return VoucherRow{number, on, amount, true, state};
}

inline void AddVoucherRow(const VoucherRow& v) {
    const std::string code = !v.accountCode.empty() ? v.accountCode : v.expense ? "5102" : "4101";
    const std::string name = !v.accountName.empty() ? v.accountName
                             : v.expense            ? "材料費"
                                                    : "工程收入";
    AccDb().Execute(
        "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, 附註一, "
        "附註二, 專案號碼, 專案名稱, 工程種類, 發生日期, 申請人, 簽收, 單據, 稅額, 進銷, "
        "建議方式) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        v.on, v.number, v.use.empty() ? "用途" + v.number : v.use, v.state, v.amount, code,
        v.expense, name, v.note1, v.note2, v.projectNo, v.project, v.workType, v.on, v.applicant,
        v.signer, v.receipt, v.tax, v.taxed, v.suggestion);
}

// A row of the cash book or of a bank book, with the balance after it as the case states it.
inline void AddCashRow(int id, bool income, const Date& on, int64_t amount, const std::string& memo,
                       const std::string& voucherNo, int64_t balance) {
    AccDb().Execute(
        "INSERT INTO cash (id, incom, day, cash, memo, lno, bala) "
        "VALUES (?, ?, ?, ?, ?, ?, ?)",
        id, income, on, amount, memo, voucherNo, balance);
}
inline void AddBankRow(int id, const std::string& bank, const std::string& account, bool income,
                       const Date& on, int64_t amount, int64_t balance,
                       const std::string& memo = "兌現") {
    AccDb().Execute(
        "INSERT INTO bank (id, Bid, bank, incom, day, cash, memo, lno, bala) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
        id, account, bank, income, on, amount, memo, "N" + std::to_string(id), balance);
}
// The company's ordinary (obank) and cheque (bbank) accounts, and customers' banks (ibank).
inline void AddOrdinaryAccount(const std::string& bank, const std::string& account,
                               int64_t opening) {
    AccDb().Execute("INSERT INTO obank VALUES (?, ?, '永建營造', ?)", bank, account, opening);
}
inline void AddChequeAccount(const std::string& bank, const std::string& account, int64_t opening) {
    AccDb().Execute("INSERT INTO bbank VALUES (?, ?, '永建營造', ?)", bank, account, opening);
}

// A cheque of a voucher (收支 1: received, 0: issued), in the state given (0 open, 1 cashed,
// 2 void, 3 bounced).
struct ChequeRow {
    std::string voucherNo;
    int64_t amount = 1000;
    bool received = false;
    Date due = day(2026, 12, 10);
    int state = 0;
    std::string number = "";
    std::string drawerBank = "土地銀行";
    std::string drawerAccount = "002-4";
    std::string payeeBank = "華南銀行";
    std::string payeeAccount = "900-2";
};
inline void AddChequeRow(const ChequeRow& c) {
    AccDb().Execute(
        "INSERT INTO bill (票據號碼, 開票日, arDay, 到期日, deDay, 開銀行, 收銀行, 開票人, 收票人, "
        "開帳號, 收帳號, 金額, 新台幣, 收支, 收支單號, 方式) VALUES (?, ?, ?, ?, ?, ?, ?, "
        "'永建營造', "
        "'林先生', ?, ?, ?, '', ?, ?, ?)",
        c.number.empty() ? "CK-" + c.voucherNo : c.number, day(2026, 12, 1),
        c.received ? Value() : Value(c.due), c.due, c.received ? Value(c.due) : Value(),
        c.drawerBank, c.payeeBank, c.drawerAccount, c.payeeAccount, c.amount, c.received,
        c.voucherNo, c.state);
}

// A contract header of table "ri" (receivable) or "ro" (payable) with its total.
inline void AddContract(const std::string& table, const std::string& id,
                        const std::string& total = "1,000,000") {
    Database& db = AccDb();
    db.Execute("INSERT INTO " + db.Table(table) +
                   " (id, 收名稱, 簽約日, 合計, 稅金, fnLet, 無發票, Let) "
                   "VALUES (?, ?, '2026-11-30', ?, '0', '', 0, '0')",
               id, "合約" + id, total);
}
// A schedule row of "ri期", "ri加", "ri減", "ro期" … planned at `amount`; settled by `voucherNo`
// when one is given.
inline void AddScheduleRow(const std::string& table, const std::string& id, int period,
                           const std::string& amount, const std::string& voucherNo = "",
                           const std::string& share = "50.00%") {
    Database& db = AccDb();
    const bool settled = !voucherNo.empty();
    const Value settledOn = settled ? Value(day(2026, 12, 20)) : Value();
    if (table.ends_with("期"))
        db.Execute("INSERT INTO " + db.Table(table) +
                       " (id, 期別, 預付金, 預付日, 佔總價比例, 送帳日, 發票號碼, 實收金, "
                       "實收日, 現金, 支票號碼, 收支單號, 處理) VALUES (?, ?, ?, "
                       "'2026-12-27', ?, NULL, 'INV', ?, ?, 0, ?, ?, ?)",
                   id, period, amount, share, settled ? amount : "", settledOn,
                   settled ? "CK1" : "", voucherNo, settled);
    else
        db.Execute("INSERT INTO " + db.Table(table) +
                       " (id, 期別, 報價單號, 合約單號, 金額, 預付日, 送帳日, 發票號碼, "
                       "實收金, 實收日, 現金, 支票號碼, 收支單號, 處理) VALUES (?, ?, 'Q', "
                       "'K', ?, '2026-12-27', NULL, 'INV', ?, ?, 0, ?, ?, ?)",
                   id, period, amount, settled ? amount : "", settledOn, settled ? "CK1" : "",
                   voucherNo, settled);
}

// The cells of a grid row from column `from` to `to` (-1: the last); of a column from row `from`.
inline Texts GridRow(const Grid& grid, int row, int from = 0, int to = -1) {
    Texts cells;
    for (int col = from; col <= (to < 0 ? grid.Cols() - 1 : to); ++col)
        cells.push_back(grid.TextMatrix(row, col));
    return cells;
}
inline Texts GridColumn(const Grid& grid, int col, int from = 1, int to = -1) {
    Texts cells;
    for (int row = from; row <= (to < 0 ? grid.Rows() - 1 : to); ++row)
        cells.push_back(grid.TextMatrix(row, col));
    return cells;
}

// The voucher form as other folders' forms see it, by name: what they read of it and write into
// it around a modal show, and whether it holds an entry being typed. Register it where the real
// form is not linked.
class VoucherFormStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmIo";
    VoucherFormStandIn() : Form(FormName) {}
    bool HoldsUnsavedInput() const override { return unsaved; }
    std::string WorkName() const override { return "收支單"; }
    bool unsaved = false;
    Label lbNo{*this, "lbNo"};
    Label lbAcIo{*this, "lbAcIo"};
    Label lbHday{*this, "lbHday"};
    TextBox txtCash{*this, "txtCash"};
    ControlArray<OptionButton> optA{*this, "optA", 3};
};

}  // namespace kiv::test
