#include <gtest/gtest.h>

#include "books/BookGrid.h"
#include "platform/xlsx/Workbook.h"
#include "tests/books/BooksBook.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
using namespace kiv::test;

namespace {

// The cash book of 1, 3 and 10 March: 5,000 in, 1,200 out, 2,000 in.
class BookListingTest : public BooksBook {
  protected:
    void seedCash() {
        AddCashRow(1, true, day(2026, 3, 1), 5000, "期初", "1150301001", 5000);
        AddCashRow(2, false, day(2026, 3, 3), 1200, "文具", "1150303001", 3800);
        AddCashRow(3, true, day(2026, 3, 10), 2000, "工程款", "1150310001", 5800);
    }
    frmTrans& listed(const Date& start, const Date& end, CommandButton& (*button)(frmTrans&)) {
        frmTrans& form = open<frmTrans>();
        host.pickDate(form.dtpSt, start);
        host.pickDate(form.dtpEd, end);
        host.click(button(form));
        return form;
    }
    static CommandButton& cashBook(frmTrans& form) { return form.cmdSCh; }
    static CommandButton& ordinaryBook(frmTrans& form) { return form.cmdSBnk; }
    static CommandButton& chequeBook(frmTrans& form) { return form.cmdSABnk; }
};

// An empty cash book gives today on both ends.
TEST_F(BookListingTest, TheRangeRunsFromTheFirstCashDayToTheLatestWithTheEndPickerOnToday) {
    frmTrans& empty = open<frmTrans>();
    EXPECT_EQ((Texts{empty.lbSt.Caption(), empty.lbEd.Caption()}),
              (Texts{"中華民國 115/03/15", "中華民國 115/03/15"}));
    Forms::unloadByName("frmTrans");
    seedCash();
    frmTrans& form = open<frmTrans>();
    EXPECT_EQ(form.lbSt.Caption(), "中華民國 115/03/01");
    EXPECT_EQ(form.dtpSt.Value(), day(2026, 3, 1));
    EXPECT_EQ(form.lbEd.Caption(), "中華民國 115/03/10");
    EXPECT_EQ(form.dtpEd.Value(), day(2026, 3, 15));
}

// The balance before the range is what the last posting of any earlier day left, though nothing
// was posted on the day before.
TEST_F(BookListingTest, TheCashBookShowsTheBalanceBeforeTheRangeAndEachPostingInColour) {
    seedCash();
    frmTrans& form = listed(day(2026, 3, 5), day(2026, 3, 31), cashBook);
    const Grid& g = form.hfg;
    EXPECT_EQ(g.Rows(), 3);
    EXPECT_EQ(GridRow(g, 1),
              (Texts{"1", "中華民國 115/03/04", "", "之前餘額", "", "", "3,800", ""}));
    EXPECT_EQ(GridRow(g, 2),
              (Texts{"2", "中華民國 115/03/10", "1150310001", "工程款", "2,000", "", "5,800", ""}));
    EXPECT_TRUE(form.cmdPxls.Visible());
}

TEST_F(BookListingTest, ThePriorBalanceTakesTheLastPostingOfTheDayBeforeOrOfAnyEarlierDay) {
    seedCash();
    AddCashRow(4, false, day(2026, 3, 4), 300, "午餐", "1150304001", 5500);
    AddCashRow(5, false, day(2026, 3, 4), 500, "車資", "1150304002", 5000);
    struct Case {
        Date start;
        std::string prior;
    } cases[] = {
        {day(2026, 3, 5), "5,000"},  // two postings on the day before: the later one's
        {day(2026, 3, 4), "3,800"},  // none on 3 March: 3 March's
        {day(2026, 3, 1), "0"},      // nothing before
    };
    frmTrans& form = open<frmTrans>();
    for (const Case& c : cases) {
        host.pickDate(form.dtpSt, c.start);
        host.click(form.cmdSCh);
        EXPECT_EQ(form.hfg.TextMatrix(1, 6), c.prior);
        EXPECT_EQ(form.hfg.TextMatrix(1, 1), ShownDate(c.start.addDays(-1)));
    }
}

// Dated back, a cashed cheque's row stands where it was posted, with its stored balance; the
// opening amount is added to every balance shown.
TEST_F(BookListingTest, ABankBookAddsTheOpeningAmountAndKeepsPostingOrder) {
    AddOrdinaryAccount("台灣銀行", "001-123", 100000);
    AddBankRow(1, "台灣銀行", "001-123", false, day(2026, 3, 2), 5000, -5000);
    AddBankRow(2, "台灣銀行", "001-123", false, day(2026, 3, 12), 15000, -20000);
    AddBankRow(3, "台灣銀行", "001-123", true, day(2026, 3, 6), 1000, -19000);
    AddBankRow(1, "台灣銀行", "009-9", true, day(2026, 3, 6), 777, 777);
    frmTrans& form = listed(day(2026, 3, 5), day(2026, 3, 31), ordinaryBook);
    EXPECT_EQ(GridColumn(form.hfg, 1),
              (Texts{"中華民國 115/03/04", "中華民國 115/03/12", "中華民國 115/03/06"}));
    EXPECT_EQ(GridColumn(form.hfg, 6), (Texts{"95,000", "80,000", "81,000"}));
    EXPECT_EQ(GridColumn(form.hfg, 4), (Texts{"", "", "1,000"}));
    EXPECT_EQ(GridColumn(form.hfg, 5), (Texts{"", "15,000", ""}));
    EXPECT_EQ(form.BookCaption, "台灣銀行-001-123");
}

TEST_F(BookListingTest, AChequeAccountsBookShowsItsBalanceBelowZeroInRed) {
    AddChequeAccount("土地銀行", "002-456", 1000);
    AddBankRow(1, "土地銀行", "002-456", false, day(2026, 3, 6), 3000, -3000);
    frmTrans& form = listed(day(2026, 3, 1), day(2026, 3, 6), chequeBook);
    EXPECT_EQ(GridColumn(form.hfg, 6), (Texts{"1,000", "-2,000"}));
    EXPECT_EQ(form.hfg.ForeColorAt(2, 6), 0x0000FFu);
}

// A posting stored with a time of day still belongs to its day, the last of the range included.
TEST_F(BookListingTest, ARangeOfOneDayIsListedAndAnEmptyRangeShowsOnlyThePriorBalance) {
    seedCash();
    AccDb().Execute("INSERT INTO cash VALUES (4, 1, '2026-03-12 10:30:00', 10, 'x', 'y', 5810)");
    frmTrans& form = listed(day(2026, 3, 12), day(2026, 3, 12), cashBook);
    EXPECT_EQ(GridColumn(form.hfg, 6), (Texts{"5,800", "5,810"}));
    // Both ends of a longer range count: a posting on the first day and one on the last.
    host.pickDate(form.dtpSt, day(2026, 3, 10));
    host.click(form.cmdSCh);
    EXPECT_EQ(GridColumn(form.hfg, 6), (Texts{"3,800", "5,800", "5,810"}));

    host.pickDate(form.dtpSt, day(2026, 3, 13));
    host.pickDate(form.dtpEd, day(2026, 3, 20));
    host.click(form.cmdSCh);
    EXPECT_EQ(form.hfg.Rows(), 2);
    EXPECT_EQ(form.hfg.TextMatrix(1, 6), "5,810");
}

TEST_F(BookListingTest, AStartAfterTheEndIsRefusedAndTheListingStays) {
    seedCash();
    frmTrans& form = listed(day(2026, 3, 5), day(2026, 3, 31), cashBook);
    host.pickDate(form.dtpSt, day(2026, 4, 1));
    host.expectMessage("起始日不可大於截止日");
    host.click(form.cmdSBnk);
    EXPECT_EQ(form.hfg.Rows(), 3);
    EXPECT_EQ(form.BookCaption, "現金帳");
}

TEST_F(BookListingTest, TheExcelButtonWaitsForTheFirstListingThatPassesTheRangeCheck) {
    frmTrans& form = open<frmTrans>();
    host.pickDate(form.dtpSt, day(2026, 4, 1));
    host.answerMessage(AnswerOk);
    host.click(form.cmdSCh);
    EXPECT_FALSE(form.cmdPxls.Visible());
}

// A transfer leaves a listing on screen as it was.
TEST_F(BookListingTest, ATransferDoesNotRefreshTheListing) {
    seedCash();
    AddOrdinaryAccount("台灣銀行", "001-123", 0);
    frmTrans& form = listed(day(2026, 3, 1), day(2026, 3, 31), cashBook);
    host.type(form.txtCash, "100");
    host.answerMessage(AnswerYes);
    host.answerMessage(AnswerOk);
    host.click(form.cmdToBank);
    EXPECT_EQ(form.hfg.Rows(), 5);
    EXPECT_EQ(form.hfg.TextMatrix(4, 2), "1150310001");
    EXPECT_EQ(form.lbCashBala.Caption(), "5,700");
}

// The workbook holds the listing from row three under the company and the book's caption.
TEST_F(BookListingTest, TheExcelCopyPutsTheListingUnderTheCompanyAndTheBook) {
    seedCash();
    AddOrdinaryAccount("台灣銀行", "001-123", 0);
    frmTrans& form = listed(day(2026, 3, 5), day(2026, 3, 31), cashBook);
    host.click(form.cmdPxls);
    SheetReader sheet(host.openedFiles().at(0));
    EXPECT_EQ((Texts{sheet.text("A1"), sheet.text("A2"), sheet.text("D4"), sheet.text("G5")}),
              (Texts{"永建營造：餘額明細", "現金帳", "之前餘額", "5,800"}));
    EXPECT_TRUE(sheet.boxed("A3") && sheet.boxed("H5"));
    EXPECT_FALSE(sheet.boxed("A2") || sheet.has("A6") || sheet.has("I3"));

    host.click(form.cmdSBnk);
    host.click(form.cmdPxls);
    EXPECT_EQ(SheetReader(host.openedFiles().at(1)).text("A2"), "台灣銀行-001-123");
}

}  // namespace
