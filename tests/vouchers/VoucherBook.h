#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <sqlite3.h>

#include "platform/db/Date.h"
#include "platform/db/RawAccess.h"
#include "platform/report/ReportOutput.h"
#include "shell/Schema.h"
#include "shell/mdM.h"
#include "tests/support/ProgramTest.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmIo.h"

namespace kiv::test {

// What the user is told while another copy of the program holds pt.mdb past the wait.
inline constexpr const char* PrintTableBusy =
    "pt.mdb 正由另一個程式寫入中，請稍後再試\ndatabase is locked";

// The cheque form, in place of the real one: a test scripts what it does when shown.
class ChequeStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmBill";
    ChequeStandIn() : Form(FormName) {}
};

// The voucher form's program: fresh books with one income and one expense account, the voucher
// forms registered, every right, and the reports written into PDFs in the test's folder. Today is
// 2026-12-06, so today's voucher numbers begin "1151206".
class VoucherBook : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        registerVoucherForms();
        setReportOutput(&output);
        loggedInWith(AllRights);
        AccDb().Execute("INSERT INTO acc VALUES ('4101', 1, '工程收入'), ('5102', 0, '材料費')");
        // The words the tests type are in the lists, so that leaving a box asks nothing.
        AccDb().Execute("INSERT INTO use VALUES (1, '工地材料')");
        AccDb().Execute("INSERT INTO ps1 VALUES (1, '附一'), (2, '附一改'), (3, '附一改改')");
    }
    void TearDown() override {
        copyB.reset();
        ProgramTest::TearDown();
        setReportOutput(nullptr);
    }

    // Another copy of the program on the same books, for the tests of what it saves or deletes
    // meanwhile; it closes before the books do.
    void openOtherCopy() { copyB = Database::open(AccDb().path(), accSchema()); }
    std::unique_ptr<Database> copyB;

    // Voucher numbers of 2026-11-20 in serial order: 1151120000, 1151120001 ...
    static std::string numberAt(int serial) {
        char number[16];
        std::snprintf(number, sizeof number, "1151120%03d", serial);
        return number;
    }

    struct Voucher {
        std::string number;
        int state = -1;
        int64_t amount = 1000;
        bool expense = true;
        int suggestion = -1;
        bool receipt = false;
        Value tax = nullptr;
        Date day = Date::fromYmd(2026, 11, 20);
    };
    void addVoucher(const Voucher& v) {
        AccDb().Execute(
            "INSERT INTO iof VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?)",
            v.day, v.number, "用途" + v.number, v.state, v.amount, v.expense ? "5102" : "4101",
            v.expense, v.expense ? "材料費" : "工程收入", "附一", "附二", "P01", "大樓", "水電",
            v.day, "王小明", "李大華", v.receipt, "AB123", v.tax, false, v.suggestion);
        AccDb().Execute("INSERT INTO use VALUES (1, ?), (1, ?)", "用途" + v.number,
                        "用途" + v.number + "改");
    }
    // Vouchers A1, A2 and A3, with this copy waiting only briefly for pt.mdb, which the test's
    // other copy holds.
    void addThreeVouchersWaitingBrieflyForPrintTable() {
        for (const char* number : {"A1", "A2", "A3"})
            addVoucher({.number = number});
        sqlite3_busy_timeout(RawAccess::handle(PrintDb()), 20);
    }
    static void clearWordLists() {
        AccDb().Execute("DELETE FROM use");
        AccDb().Execute("DELETE FROM ps1");
    }
    frmIo& openForm() { return Forms::get<frmIo>(); }
    // The voucher shown, the bar's place and its end: "1151120015 4/9".
    static std::string shown(frmIo& form) {
        return form.lbNo.Caption() + " " + std::to_string(form.FSB.Value()) + "/" +
               std::to_string(form.FSB.Max());
    }
    frmIo& openOne(const std::string& number) {
        ShowOneRecord = true;
        OpenVoucherNo = number;
        return openForm();
    }

    static std::string printRow() { return rows(PrintDb(), "SELECT * FROM ptios").at(0); }
    static std::string printField(int i) {
        return PrintDb().OpenRecordset("SELECT * FROM ptios").Fields(i).text();
    }

    // Adds a voucher through the form: an expense on 材料費 paid in cash unless the suggestion
    // says otherwise.
    void enterVoucher(frmIo& form, const std::string& amount, int account = 1) {
        host.click(form.cmdAdd);
        host.type(form.cbUse, "工地材料");
        host.pick(form.cbAcc, account);
        host.type(form.txtCash, amount);
        host.click(form.cmdSv);
    }

    PdfReportOutput output{folder.file("")};
};

// Ten vouchers numbered 1151120003 to 1151120030 in steps of three, so that another copy of the
// program on the same books can add one between any two or delete any; keys pressed on the bar.
class TenVouchersBook : public VoucherBook {
  protected:
    void SetUp() override {
        VoucherBook::SetUp();
        for (int i = 1; i <= 10; ++i)
            addVoucher({.number = numberAt(3 * i)});
        openOtherCopy();
    }
    void addByB(int serial) {
        copyB->Execute("INSERT INTO iof (單號, 方式, 金額, pay) VALUES (?, -1, 500, 1)",
                       numberAt(serial));
    }
    void deleteByB(int serial) {
        copyB->Execute("DELETE FROM iof WHERE 單號 = ?", numberAt(serial));
    }
    void press(frmIo& form, int key) {
        host.act([&] { form.FSB.userKeyDown(key); });
    }
};

}  // namespace kiv::test
