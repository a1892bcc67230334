#include <gtest/gtest.h>

#include "platform/xlsx/Workbook.h"
#include "tests/books/BooksBook.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
using namespace kiv::test;

namespace {

constexpr Color Blue = 0xFF0000, Red = 0x0000FF;

// Today is 2026-03-15.
class ForecastTest : public BooksBook {
  protected:
    static void addCheque(const std::string& key, bool received, const Date& due, int64_t amount,
                          int state = 0) {
        AccDb().Execute(
            "INSERT INTO bill (票據號碼, 到期日, deDay, 金額, 收支, 收支單號, 方式) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)",
            "C" + key, due, received ? due : due.addDays(30), amount, received, key, state);
    }
    static void addVoucher(const std::string& number, const std::string& use) {
        AccDb().Execute("INSERT INTO iof (單號, 用途說明, 方式, 金額, pay) VALUES (?, ?, 1, 0, 1)",
                        number, use);
    }
    frmFtr& forecastUntil(const Date& end) {
        frmFtr& form = open<frmFtr>();
        host.pickDate(form.DTP, end);
        host.click(form.Command1);
        return form;
    }
    // The example of the forecast: cash, two accounts and two cheques.
    void seedExample() {
        AddCashRow(1, true, day(2026, 3, 10), 5800, "工程款", "1150310001", 5800);
        AddOrdinaryAccount("台灣銀行", "001-123", 10000);
        AddBankRow(1, "台灣銀行", "001-123", false, day(2026, 3, 1), 30000, -30000);
        AddChequeAccount("土地銀行", "002-456", 3000);
        addVoucher("1150301001", "鋼筋");
        addCheque("1150301001", false, day(2026, 5, 3), 20000);
        addVoucher("1150302001", "工程款");
        AccDb().Execute(
            "INSERT INTO bill (票據號碼, 到期日, deDay, 金額, 收支, 收支單號, 方式) "
            "VALUES ('R1', '2026-05-01', '2026-05-10', 50000, 1, '1150302001', 0)");
    }
};

TEST_F(ForecastTest, BalancesComeFirstThenTheChequesWithTheFundsAfterEach) {
    seedExample();
    frmFtr& form = forecastUntil(day(2026, 5, 31));
    const Grid& g = form.hfg;
    EXPECT_EQ(GridRow(g, 1), (Texts{"1", "中華民國 115/03/15", "", "現金餘額", "5,800", "",
                                    "現金帳餘額", "5,800"}));
    EXPECT_EQ(GridRow(g, 2), (Texts{"2", "中華民國 115/03/15", "台灣銀行(一般存款)", "001-123", "",
                                    "20,000", "存款餘額", "-14,200"}));
    EXPECT_EQ(GridRow(g, 3), (Texts{"3", "中華民國 115/03/15", "土地銀行(支票存款)", "002-456",
                                    "3,000", "", "存款餘額", "-11,200"}));
    EXPECT_EQ(GridRow(g, 4), (Texts{"4", "中華民國 115/05/03", "1150301001", "鋼筋", "", "20,000",
                                    "未處理", "-31,200"}));
    EXPECT_EQ(GridRow(g, 5), (Texts{"5", "中華民國 115/05/10", "1150302001", "工程款", "50,000", "",
                                    "未處理", "18,800"}));
    EXPECT_EQ(g.ForeColorAt(2, 7), Red);
    EXPECT_EQ(g.ForeColorAt(5, 7), Blue);
}

// Sorted as days, not as shown texts, where ROC year 99 would follow year 100; a day's cheques
// by voucher number. The end day and earlier, overdue ones included, are listed.
TEST_F(ForecastTest, ChequesAreInTheOrderOfTheirDaysAcrossYearsAndByNumberOnOneDay) {
    addCheque("1000105002", true, day(2011, 1, 5), 1);
    addCheque("0991231001", false, day(2010, 12, 31), 2);
    addCheque("1150401002", false, day(2026, 4, 1), 3);
    addCheque("1150401001", true, day(2026, 4, 1), 4);
    addCheque("1150402001", true, day(2026, 4, 2), 5);
    addCheque("1150402002", false, day(2026, 4, 2), 8);
    addCheque("1150301009", false, day(2026, 3, 1), 6, 1);
    addCheque("1150301008", true, day(2026, 3, 1), 7, 3);
    frmFtr& form = forecastUntil(day(2026, 4, 1));
    Texts keys = GridColumn(form.hfg, 2);
    EXPECT_EQ(Texts(keys.begin() + 1, keys.end()),
              (Texts{"0991231001", "1000105002", "1150401001", "1150401002"}));
    Texts days = GridColumn(form.hfg, 1);
    EXPECT_EQ(days.at(1), "中華民國 99/12/31");
    EXPECT_EQ(days.at(2), "中華民國 100/01/05");
    EXPECT_EQ(GridColumn(form.hfg, 3).at(1), "");
}

// A negative cash balance goes out in red, and the running total starts below zero.
TEST_F(ForecastTest, ANegativeCashBalanceShowsInTheExpenseColumn) {
    AddCashRow(1, false, day(2026, 3, 10), 5000, "x", "y", -5000);
    frmFtr& form = open<frmFtr>();
    EXPECT_EQ(GridRow(form.hfg, 1), (Texts{"1", "中華民國 115/03/15", "", "現金餘額", "", "5,000",
                                           "現金帳餘額", "-5,000"}));
    EXPECT_EQ(form.hfg.ForeColorAt(1, 7), Red);
}

// A balance of exactly 0 is shown as "0" in the income column in blue, as is a running total of
// 0: the cash book back at 0, an account whose postings took its opening amount away, and a
// cheque that spends the funds to the dollar.
TEST_F(ForecastTest, AZeroBalanceShowsAsZeroInBlue) {
    AddCashRow(1, true, day(2026, 3, 10), 800, "工程款", "1150310001", 800);
    AddCashRow(2, false, day(2026, 3, 11), 800, "材料", "1150311001", 0);
    AddOrdinaryAccount("台灣銀行", "001-123", 10000);
    AddBankRow(1, "台灣銀行", "001-123", false, day(2026, 3, 1), 10000, -10000);
    AddChequeAccount("土地銀行", "002-456", 3000);
    addCheque("1150320001", false, day(2026, 3, 20), 3000);
    frmFtr& form = forecastUntil(day(2026, 3, 31));
    const Grid& g = form.hfg;
    ASSERT_EQ(g.Rows(), 5);
    EXPECT_EQ(GridRow(g, 1),
              (Texts{"1", "中華民國 115/03/15", "", "現金餘額", "0", "", "現金帳餘額", "0"}));
    EXPECT_EQ(GridRow(g, 2), (Texts{"2", "中華民國 115/03/15", "台灣銀行(一般存款)", "001-123", "0",
                                    "", "存款餘額", "0"}));
    EXPECT_EQ(GridRow(g, 4),
              (Texts{"4", "中華民國 115/03/20", "1150320001", "", "", "3,000", "未處理", "0"}));
    for (auto [row, col] : {std::pair{1, 4}, {1, 7}, {2, 4}, {2, 7}, {4, 7}})
        EXPECT_EQ(g.ForeColorAt(row, col), Blue) << row << "," << col;
}

// The end day is today when the form opens; today is accepted, yesterday refused with the last
// forecast kept, and a new end day waits for the button.
TEST_F(ForecastTest, TheEndDayMustNotBeBeforeTodayAndAPickWaitsForTheButton) {
    frmFtr& form = open<frmFtr>();
    EXPECT_EQ(form.DTP.Value(), day(2026, 3, 15));
    addCheque("1150320001", true, day(2026, 3, 20), 100);
    host.pickDate(form.DTP, day(2026, 3, 31));
    EXPECT_EQ(form.lbEd.Caption(), "中華民國 115/03/31");
    EXPECT_EQ(form.hfg.Rows(), 2);
    host.click(form.Command1);
    EXPECT_EQ(form.hfg.Rows(), 3);

    host.pickDate(form.DTP, day(2026, 3, 14));
    host.expectMessage("截止日必須是今天以後");
    host.click(form.Command1);
    EXPECT_EQ(form.hfg.Rows(), 3);

    host.pickDate(form.DTP, day(2026, 3, 15));
    host.click(form.Command1);
    EXPECT_EQ(form.hfg.Rows(), 2);
}

TEST_F(ForecastTest, TheExcelCopyPutsTheForecastFromRowThreeUnderTheCompanyAndTheRange) {
    seedExample();
    frmFtr& form = forecastUntil(day(2026, 5, 31));
    host.click(form.cmdPxls);
    ASSERT_EQ(host.openedFiles().size(), 1u);
    SheetReader sheet(host.openedFiles()[0]);
    EXPECT_EQ(sheet.text("A1"), "永建營造：預估資金流量表");
    EXPECT_EQ(sheet.text("A2"),
              "顯示範圍 起始日從今天起  截止日：中華民國115/03/15～中華民國 115/05/31");
    EXPECT_EQ(sheet.text("H8"), "18,800");
    EXPECT_TRUE(sheet.boxed("A3") && sheet.boxed("H8"));
    EXPECT_FALSE(sheet.has("A9"));
}

}  // namespace
