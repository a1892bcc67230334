#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/forms/Clock.h"
#include "platform/report/ReportOutput.h"
#include "shell/mdM.h"
#include "statistics/StatisticsForms.h"
#include "statistics/frmCash.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/TempHome.h"

namespace kiv::test {

// One voucher as the query sees it; what a case does not name is a plain signed cash voucher.
struct VoucherRow {
    std::string number;
    Date day;
    int64_t amount = 0;
    bool expense = false;
    int state = 0;
    std::string accountCode = "4101";
    std::string accountName = "工程收入";
    std::string project = "";
    std::string workType = "";
    std::string applicant = "王小明";
    std::string signer = "李大華";
    bool receipt = false;
    bool taxed = false;
    int64_t tax = 0;
};

// The voucher and cheque forms, reached by name only; a test scripts what they do when shown.
class VoucherFormStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmIo";
    VoucherFormStandIn() : Form(FormName) {}
    bool HoldsUnsavedInput() const override { return unsaved; }
    std::string WorkName() const override { return "收支單"; }
    bool unsaved = false;
};

class ChequeFormStandIn : public Form {
  public:
    static constexpr const char* FormName = "frmBill";
    ChequeFormStandIn() : Form(FormName) {}
};

// Fresh books, the statistics forms registered, the company named and today 2026-03-15;
// workbooks go to the test's own documents folder and reports to its PDFs.
class VoucherBook : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        registerStatisticsForms();
        loggedInWith(AllRights);
        setToday(day(2026, 3, 15));
        home.emplace(folder.file("home"));
        setReportOutput(&printer);
        PeopleDb().Execute("UPDATE company SET co_name = '永建營造'");
    }
    void TearDown() override {
        setReportOutput(nullptr);
        home.reset();
        ProgramTest::TearDown();
    }

    static Date day(int y, int m, int d) { return Date::fromYmd(y, m, d); }
    static void setToday(const Date& date) {
        Clock::useFixedTime(Date::fromYmdHms(date.year(), date.month(), date.day(), 9, 30, 0));
    }

    static void add(const VoucherRow& v) {
        AccDb().Execute(
            "INSERT INTO iof (輸入日期, 單號, 用途說明, 方式, 金額, 科目代號, pay, 科目名稱, "
            "專案名稱, 工程種類, 發生日期, 申請人, 簽收, 單據, 稅額, 進銷, 建議方式) VALUES (?, ?, "
            "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            v.day, v.number, "用途" + v.number, v.state, v.amount, v.accountCode, v.expense,
            v.accountName, v.project, v.workType, v.day, v.applicant, v.signer, v.receipt, v.tax,
            v.taxed, -1);
    }
    static VoucherRow income(const std::string& number, Date on, int64_t amount, int state = 0) {
        return {number, on, amount, false, state};
    }
    static VoucherRow expense(const std::string& number, Date on, int64_t amount, int state = 0) {
        return {number, on, amount, true, state, "5102", "材料費"};
    }

    // V1 to V7 of March: cash income and expense, an uncashed received cheque, a cashed issued
    // cheque and its system voucher, a transfer and an unsigned voucher.
    static void marchBook() {
        add(income("1150301001", day(2026, 3, 1), 10000, 0));
        add(expense("1150302001", day(2026, 3, 2), 3000, 0));
        add(income("1150303001", day(2026, 3, 3), 5000, 1));
        add(expense("1150304001", day(2026, 3, 4), 2000, 3));
        add(expense("1150305001", day(2026, 3, 5), 2000, 4));
        VoucherRow transfer = expense("1150306001", day(2026, 3, 6), 1000, 0);
        transfer.accountCode = "9999";
        add(transfer);
        add(expense("1150307001", day(2026, 3, 7), 500, -1));
    }

    frmCash& openQuery() { return Forms::get<frmCash>(); }

    static Texts cells(const Grid& grid, int row, int from, int to) {
        Texts texts;
        for (int c = from; c <= to; ++c)
            texts.push_back(grid.TextMatrix(row, c));
        return texts;
    }
    static Texts column(const Grid& grid, int col, int from = 1, int to = -1) {
        Texts texts;
        for (int r = from; r <= (to < 0 ? grid.Rows() - 1 : to); ++r)
            texts.push_back(grid.TextMatrix(r, col));
        return texts;
    }
    // The voucher numbers listed above the total rows.
    static Texts numbers(const frmCash& form) {
        const int dataRows = form.hfg.Rows() >= 11 ? form.hfg.Rows() - 10 : 0;
        return dataRows ? column(form.hfg, 2, 1, dataRows) : Texts{};
    }
    // The nine totals: the value of each total row, in its own column.
    static Texts totals(const Grid& grid) {
        Texts values;
        const int first = grid.Rows() - 9;
        for (int k = 0; k < 8; ++k)
            values.push_back(grid.TextMatrix(first + k, k % 2 == 0 ? 5 : 6));
        values.push_back(grid.TextMatrix(grid.Rows() - 1, 7));
        return values;
    }
    static Texts printTable() {
        return rows(
            PrintDb(),
            "SELECT 發生日期, 收支單號, 科目, 用途說明, 收入, 支出, 餘額, 專案名稱, 申請人, "
            "簽收人, 附註一, 附註二 FROM ptio ORDER BY rowid");
    }

    std::optional<test::TempHome> home;
    PdfReportOutput printer{folder.file("")};
};

}  // namespace kiv::test
