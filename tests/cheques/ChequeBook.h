#pragma once

#include <string>
#include <vector>

#include "cheques/ChequeForms.h"
#include "cheques/Cheques.h"
#include "cheques/frmBill.h"
#include "ledger/Vouchers.h"
#include "platform/forms/Clock.h"
#include "shell/mdM.h"
#include "tests/support/ProgramTest.h"

namespace kiv::test {

// The voucher form as the cheque form sees it: the voucher's number, direction and amount, and
// whether an entry is being typed there.
class VoucherFormStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmIo";
    VoucherFormStandIn() : Form(FormName) {}
    bool HoldsUnsavedInput() const override { return unsaved; }
    std::string WorkName() const override { return "收支單"; }
    Label lbNo{*this, "lbNo"};
    Label lbAcIo{*this, "lbAcIo"};
    TextBox txtCash{*this, "txtCash"};
    bool unsaved = false;
};

// The generated-voucher form in its cashing mode: it marks the cashed voucher and adds its
// follow-up voucher in its Load, and records what it was asked for.
class FollowUpStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmIoAuto";
    static inline std::vector<std::string> asked;
    FollowUpStandIn() : Form(FormName) {}
    void Form_Load() override {
        asked.push_back(CashingVoucherNo + (AutoVoucherFromCashing ? "" : " (not cashing)"));
        Database& db = AccDb();
        Transaction transaction(db, true);
        std::optional<Voucher> cashed = ReadVoucher(db, CashingVoucherNo);
        if (!cashed) throw std::runtime_error("收支單 " + CashingVoucherNo + " 不存在");
        SetVoucherState(db, CashingVoucherNo, SignedByCheque, SignedByCashedCheque);
        Voucher followUp = *cashed;
        followUp.state = followUp.expense ? 4 : 2;
        followUp.entryDate = followUp.day = Clock::today();
        AddVoucher(db, followUp);
        transaction.Commit();
    }
};

// Fresh books with the company's accounts and a customer's banks, the cheque form and the
// stand-ins registered. Today is 2026-12-06.
class ChequeBook : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        registerChequeForms();
        Forms::registerForm<FollowUpStandIn>();
        FollowUpStandIn::asked.clear();
        host.onEveryModal("frmIoAuto", [](Form& form) { form.Unload(); });
        loggedInWith(AllRights);
        AccDb().Execute("INSERT INTO obank VALUES ('台灣銀行', '001-1', '永建營造', 5000)");
        AccDb().Execute(
            "INSERT INTO ibank VALUES ('第一銀行', '900-1', '林先生', 0), ('華南銀行', '900-2', "
            "'陳小姐', 0)");
        AccDb().Execute("INSERT INTO bbank VALUES ('土地銀行', '002-4', '永建營造', 3000)");
    }

    static Date day(int y, int m, int d) { return Date::fromYmd(y, m, d); }
    static Date today() { return Clock::today().dateOnly(); }
    static void setToday(const Date& date) {
        Clock::useFixedTime(Date::fromYmdHms(date.year(), date.month(), date.day(), 9, 30, 0));
    }

    static void addVoucher(const std::string& number, int64_t amount, bool expense = true,
                           int state = 1) {
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
            "發生日期, 申請人, 簽收, 單據, 進銷, 建議方式) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?, ?)",
            day(2026, 11, 20), number, "用途" + number, state, amount, expense ? "5102" : "4101",
            expense, expense ? "材料費" : "工程收入", day(2026, 11, 20), "王小明", "李大華", false,
            false, -2);
    }
    static void group(const std::string& key, const std::vector<std::string>& members) {
        for (const std::string& member : members)
            AccDb().Execute("INSERT INTO iofs VALUES (?, ?)", key, member);
    }
    // An issued cheque on 土地銀行 002-4, or a received one into 台灣銀行 001-1.
    static Cheque cheque(const std::string& key, int64_t amount, bool received, Date due) {
        Cheque c;
        c.number = "CK-" + key;
        c.issueDate = day(2026, 12, 1);
        c.dueDate = due;
        if (received) {
            c.usableDate = due;
            c.drawerBank = "第一銀行";
            c.drawerAccount = "900-1";
            c.payeeBank = "台灣銀行";
            c.payeeAccount = "001-1";
        } else {
            c.reminderDate = due;
            c.drawerBank = "土地銀行";
            c.drawerAccount = "002-4";
            c.payeeBank = "華南銀行";
            c.payeeAccount = "900-2";
        }
        c.amount = amount;
        c.amountInWords = AmountInChineseNumerals(std::to_string(amount)) + " 元整";
        c.received = received;
        c.voucherNo = key;
        return c;
    }
    static void addCheque(const Cheque& c) { AddCheque(AccDb(), c); }

    frmBill& openCheque(const std::string& voucherNo) {
        ShowOneRecord = true;
        ChequeVoucherNo = voucherNo;
        return Forms::get<frmBill>();
    }
    VoucherFormStandIn& voucherForm(const std::string& number, const std::string& direction,
                                    const std::string& amount) {
        Forms::registerForm<VoucherFormStandIn>();
        auto& io = Forms::get<VoucherFormStandIn>();
        io.lbNo.SetCaption(number);
        io.lbAcIo.SetCaption(direction);
        io.txtCash.SetText(amount);
        return io;
    }

    static std::string billRow(const std::string& key) {
        Texts found = rows(AccDb(),
                           "SELECT 票據號碼, 開票日, arDay, 到期日, deDay, 開銀行, 收銀行, 開票人, "
                           "收票人, 開帳號, 收帳號, 金額, 新台幣, 收支, 收支單號, 方式 FROM bill "
                           "WHERE 收支單號 = ?",
                           key);
        return found.empty() ? "" : found.at(0);
    }
    static std::string billState(const std::string& key) {
        return rows(AccDb(), "SELECT 方式 FROM bill WHERE 收支單號 = ?", key).at(0);
    }
    static Texts bankBook() {
        return rows(AccDb(),
                    "SELECT id, Bid, bank, incom, day, cash, memo, lno, bala FROM bank "
                    "ORDER BY bank, Bid, id");
    }
    static Texts row(const Grid& grid, int r, int from = 1, int to = 9) {
        Texts cells;
        for (int c = from; c <= to; ++c)
            cells.push_back(grid.TextMatrix(r, c));
        return cells;
    }
    static Texts vouchers() {
        return rows(AccDb(), "SELECT 單號, 方式, 金額 FROM iof ORDER BY 單號");
    }
};

}  // namespace kiv::test
