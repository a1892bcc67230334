#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "cheques/ChequeForms.h"
#include "cheques/Cheques.h"
#include "cheques/frmBill.h"
#include "ledger/Vouchers.h"
#include "platform/forms/Clock.h"
#include "shell/mdM.h"
#include "tests/support/Books.h"
#include "tests/support/ProgramTest.h"

namespace kiv::test {

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
        Transaction transaction(db, TransactionKind::Writes);
        std::optional<Voucher> cashed = ReadVoucher(db, CashingVoucherNo);
        if (!cashed) throw std::runtime_error("收支單 " + CashingVoucherNo + " 不存在");
        SetVoucherState(db, CashingVoucherNo, SignedByCheque, SignedByCashedCheque);
        Voucher followUp = *cashed;
        followUp.state = followUp.expense ? CashedExpense : 2;
        followUp.entryDate = followUp.day = Clock::today();
        AddVoucher(db, followUp);
        transaction.Commit();
    }
};

// Fresh books with the company's ordinary account 台灣銀行 001-1 (5,000) and cheque account
// 土地銀行 002-4 (3,000), two customers' banks, the cheque form and the stand-in registered.
// Today is 2026-12-06.
class ChequeBook : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        registerChequeForms();
        Forms::registerForm<FollowUpStandIn>();
        FollowUpStandIn::asked.clear();
        host.onEveryModal("frmIoAuto", [](Form& form) { form.Unload(); });
        loggedInWith(AllRights);
        setToday(day(2026, 12, 6));
        AddOrdinaryAccount("台灣銀行", "001-1", 5000);
        AccDb().Execute(
            "INSERT INTO ibank VALUES ('第一銀行', '900-1', '林先生', 0), "
            "('華南銀行', '900-2', '陳小姐', 0)");
        AddChequeAccount("土地銀行", "002-4", 3000);
    }

    static Date today() { return Clock::today().dateOnly(); }
    // A voucher signed off by cheque.
    static void addVoucher(const std::string& number, int64_t amount, bool expense = true) {
        AddVoucherRow({number, day(2026, 11, 20), amount, expense, SignedByCheque});
    }
    static void group(const std::string& key, const std::vector<std::string>& members) {
        for (const std::string& member : members)
            AccDb().Execute("INSERT INTO iofs VALUES (?, ?)", key, member);
    }
    // An issued cheque on 土地銀行 002-4, or a received one into 台灣銀行 001-1, issued
    // 2026-12-01 and usable or reminded on its due date.
    static Cheque cheque(const std::string& key, int64_t amount, bool received, Date due) {
        Cheque c{"CK-" + key, day(2026, 12, 1), std::nullopt, due, std::nullopt};
        (received ? c.usableDate : c.reminderDate) = due;
        c.drawerBank = received ? "第一銀行" : "土地銀行";
        c.drawerAccount = received ? "900-1" : "002-4";
        c.payeeBank = received ? "台灣銀行" : "華南銀行";
        c.payeeAccount = received ? "001-1" : "900-2";
        c.amount = amount;
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

    static std::string billState(const std::string& key) {
        return rows(AccDb(), "SELECT 方式 FROM bill WHERE 收支單號 = ?", key).at(0);
    }
    static Texts bankBook() {
        return rows(AccDb(),
                    "SELECT id, Bid, bank, incom, day, cash, memo, lno, bala FROM bank "
                    "ORDER BY bank, Bid, id");
    }
    static Texts vouchers() {
        return rows(AccDb(), "SELECT 單號, 方式, 金額 FROM iof ORDER BY 單號");
    }
};

}  // namespace kiv::test
