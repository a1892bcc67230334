#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/Clock.h"
#include "platform/forms/ProgramFolder.h"
#include "platform/forms/UnsavedInput.h"
#include "tests/support/TableDump.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

class VoucherFormTest : public test::VoucherBook {
  protected:
    bool printedText(const std::string& text) {
        for (const auto& page : output.printed().back().job.pages.pages)
            for (const auto& item : page.texts)
                if (item.text == text) return true;
        return false;
    }
};

constexpr const char* DateRangeMessage = "日期須在民國 1 年至 999 年之間";

constexpr Color Red = 255, Blue = 0xFF0000;

TEST_F(VoucherFormTest, OpensOnTheNewestVoucherWithTheScrollBarAtItsEnd) {
    addVoucher({.number = "A2", .amount = 3800, .expense = false});
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    EXPECT_TRUE(VoucherFormOpen);
    EXPECT_EQ(form.FSB.Value(), 1);
    EXPECT_EQ(form.lbNo.Caption(), "A2");
    EXPECT_EQ(form.lbAcTxt.ForeColor(), Blue);
    // The picker stands on the day the label shows, so that picking it changes nothing.
    EXPECT_EQ(form.DTP1.Value(), Date::fromYmd(2026, 11, 20));
    EXPECT_EQ(form.lbHday.Caption(), "中華民國 115 年 11 月 20 日");
    host.scroll(form.FSB, 0);
    EXPECT_EQ(form.lbAcIo.Caption(), "(支出)");
    EXPECT_EQ(printField(1), "A1");
    form.Unload();
    EXPECT_FALSE(VoucherFormOpen);
}

TEST_F(VoucherFormTest, ShowsEachStateWithItsTicksOptionsAndSettleButton) {
    addVoucher({.number = "A1", .state = -3, .suggestion = -2});
    addVoucher({.number = "A2", .state = 3});
    addVoucher({.number = "A3", .state = 4});
    addVoucher({.number = "A4", .state = -2, .suggestion = -2});
    frmIo& form = openForm();
    host.scroll(form.FSB, 0);
    EXPECT_EQ(form.ckNoW.Value(), 1);
    EXPECT_TRUE(form.Op1(1).Value());
    EXPECT_FALSE(form.ck.Visible());
    host.scroll(form.FSB, 1);
    EXPECT_FALSE(form.ck.Enabled());
    EXPECT_TRUE(form.optA(1).Value());
    EXPECT_TRUE(form.cmdMach.Visible());
    host.scroll(form.FSB, 2);
    EXPECT_TRUE(form.optA(2).Value());
    EXPECT_FALSE(form.cmdMach.Visible());
    host.scroll(form.FSB, 3);
    EXPECT_TRUE(form.ck.Enabled());
    // Ticking starts from the applicant's suggestion and cannot choose a cashed cheque.
    host.click(form.ck);
    EXPECT_TRUE(form.optA(1).Value());
    EXPECT_FALSE(form.optA(2).Enabled());
}

TEST_F(VoucherFormTest, RightsGateAddEditSignOffAndSettle) {
    addVoucher({.number = "A1", .state = 0});
    addVoucher({.number = "A2", .state = -1});
    loggedInWith(1 << (RightVoucherQuery - 1));
    frmIo& form = openForm();
    EXPECT_FALSE(form.cmdAdd.Enabled() || form.cmdEdit.Enabled() || form.ck.Enabled());
    host.scroll(form.FSB, 0);
    EXPECT_FALSE(form.cmdMach.Enabled());
    form.Unload();

    loggedInWith(1 << (RightVoucherEdit - 1));
    frmIo& again = openForm();
    host.scroll(again.FSB, 0);
    // Browsing enables modify on a signed voucher too; the click refuses it.
    host.click(again.cmdAdd);
    host.click(again.cmdCencel);
    host.expectMessage("收支單已簽核 無法修改");
    host.click(again.cmdEdit);
    EXPECT_EQ(again.lbStat.Caption(), "〔瀏覽〕");
}

TEST_F(VoucherFormTest, TheStoredTaxShowsAndUntickingKeepsIt) {
    addVoucher({.number = "A1", .amount = 10000, .receipt = true, .tax = 400});
    frmIo& form = openForm();
    EXPECT_EQ(form.txtTax.Text(), "400");
    host.click(form.cmdEdit);
    host.click(form.Check1);
    EXPECT_FALSE(form.Frame3.Visible());
    EXPECT_EQ(form.txtTax.Text(), "400");
    host.click(form.Check1);
    EXPECT_EQ(form.txtTax.Text(), "476");
}

TEST_F(VoucherFormTest, TheAmountTakesDigitsAndBackspaceAndRefillsTheTax) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    host.type(form.txtCash, "12/3:a-");
    EXPECT_EQ(form.txtCash.Text(), "123");
    EXPECT_EQ(host.beeps(), 4);
    EXPECT_EQ(form.txtTax.Text(), "6");
    host.pressKey(form.txtCash, Key::Backspace);
    EXPECT_EQ(form.txtTax.Text(), "1");
    host.pressKey(form.txtCash, Key::Enter);
    EXPECT_EQ(host.beeps(), 5);
}

TEST_F(VoucherFormTest, ANewVoucherStartsClearKeepingColoursAndSuggestionWithThePickerOnToday) {
    addVoucher({.number = "A1", .state = -2, .suggestion = -2});
    frmIo& form = openForm();
    form.DTP1.SetValue(Date::fromYmd(2026, 1, 2));
    host.click(form.cmdAdd);
    EXPECT_EQ(form.lbAcIo.ForeColor(), Red);
    EXPECT_EQ(form.DTP1.Value(), Date::fromYmd(2026, 12, 6));
    EXPECT_TRUE(form.Op1(1).Value());
    EXPECT_FALSE(form.ckNoW.Enabled());
}

// A pending save must never pass to another voucher: navigation waits for save or cancel, and
// cancel returns to the voucher at the scroll position.
TEST_F(VoucherFormTest, NavigationWaitsWhileSaveIsEnabledAndCancelReturns) {
    for (const char* number : {"A1", "A2", "A3"})
        addVoucher({.number = number});
    frmIo& form = openForm();
    host.scroll(form.FSB, 1);
    host.click(form.ck);
    host.click(form.ck);
    EXPECT_FALSE(form.FSB.Enabled());
    host.click(form.cmdCencel);
    host.click(form.cmdAdd);
    EXPECT_FALSE(form.FSB.Enabled());
    host.click(form.cmdCencel);
    EXPECT_EQ(form.lbNo.Caption(), "A2");
    EXPECT_TRUE(form.FSB.Enabled());
}

// By keyboard: Tab reaches the scroll bar but not the list hidden below the form; the opened
// unsigned list comes after its buttons, and Enter on a row shows its voucher. While entering,
// the occurrence date's picker comes first, beside its label, before 用途說明.
TEST_F(VoucherFormTest, TabReachesWhatShowsInTheOrderTheFormReads) {
    addVoucher({.number = "A1", .state = -1});
    addVoucher({.number = "A2", .state = -2});
    addVoucher({.number = "A3", .state = 0});
    frmIo& form = openForm();
    auto tabbed = [&] {
        std::string names;
        for (Control* control : form.TabOrder())
            names += control->Name() + " ";
        return names;
    };
    EXPECT_EQ(tabbed(), "optS optP cmdMach FSB cmdAdd cmdEdit txtIo cmdPt cmdNck cmdSall ");
    host.click(form.cmdNck);
    EXPECT_EQ(tabbed(),
              "optS optP cmdMach FSB cmdAdd cmdEdit txtIo cmdPt cmdNck cmdSall ckco hfg ");
    host.act([&] {
        form.hfg.userFocus();
        form.hfg.userKeyDown(Key::Down);
        form.hfg.userKey(Key::Enter);
    });
    EXPECT_EQ(form.lbNo.Caption(), "A2");
    host.click(form.cmdNck);
    EXPECT_EQ(tabbed(), "optS optP cmdMach FSB cmdAdd cmdEdit txtIo cmdPt cmdNck cmdSall ");
    host.click(form.cmdAdd);
    const std::vector<Control*> adding = form.TabOrder();
    ASSERT_GE(adding.size(), 2u);
    EXPECT_EQ(adding[0], &form.DTP1);
    EXPECT_EQ(adding[1], &form.cbUse);
}

TEST_F(VoucherFormTest, OneVoucherModeHidesBrowsingAndAnUnknownNumberShowsNothing) {
    addVoucher({.number = "A1"});
    addVoucher({.number = "A2"});
    frmIo& form = openOne("A1");
    EXPECT_FALSE(form.FSB.Visible() || form.cmdAdd.Visible());
    host.click(form.cmdEdit);
    host.type(form.cbUse, "改");
    host.click(form.cmdCencel);
    EXPECT_EQ(form.cbUse.Text(), "用途A1");
    form.Unload();

    frmIo& unknown = openOne("ZZ");
    EXPECT_EQ(unknown.lbNo.Caption(), "");
    EXPECT_FALSE(unknown.ck.Enabled() || unknown.cmdEdit.Enabled() || unknown.cmdPt.Enabled());
}

// Another form's action never closes the form while it holds input: a new voucher or a
// modification with something typed, a sign-off not yet saved. Browsing, it is closed.
TEST_F(VoucherFormTest, AnEntryKeepsTheFormFromBeingClosedByAnotherForm) {
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    const auto closedByAnotherForm = [&] {
        bool closed = false;
        host.act([&] { closed = UnloadUnlessUnsaved("frmIo"); });
        return closed;
    };
    for (CommandButton* entry : {&form.cmdAdd, &form.cmdEdit}) {
        host.click(*entry);
        host.type(form.txtCash, "3");
        host.expectMessage("請先關閉收支單作業");
        EXPECT_FALSE(closedByAnotherForm());
        host.click(form.cmdCencel);
    }
    host.click(form.ck);
    host.expectMessage("請先關閉收支單作業");
    EXPECT_FALSE(closedByAnotherForm());
    EXPECT_EQ(Forms::find("frmIo"), &form);
    host.click(form.cmdCencel);
    EXPECT_TRUE(closedByAnotherForm());
    EXPECT_EQ(host.messages().size(), 3u);
}

// A date the label cannot show and read back the same would be stored as Null or as another
// date. The label is set as a picker would set it; the save checks it whatever set it.
TEST_F(VoucherFormTest, ADateOutsideTheRocYearsIsRefusedAtTheSave) {
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    std::string before = test::dumpTables(AccDb());
    for (Date day : {Date::fromYmd(1911, 12, 31), Date::fromYmd(2911, 1, 1)}) {
        host.click(form.cmdEdit);
        form.lbHday.SetCaption(LongRocDate(day));
        host.expectMessage(DateRangeMessage);
        host.click(form.cmdSv);
        host.click(form.cmdCencel);

        host.click(form.cmdAdd);
        host.pick(form.cbAcc, 1);
        host.type(form.txtCash, "500");
        form.lbHday.SetCaption(LongRocDate(day));
        host.expectMessage(DateRangeMessage);
        host.click(form.cmdSv);
        EXPECT_EQ(form.lbStat.Caption(), "〔新增中〕");
        host.click(form.cmdCencel);
    }
    EXPECT_EQ(test::dumpTables(AccDb()), before);

    // The last day a three-digit ROC year shows is stored as picked.
    host.click(form.cmdEdit);
    host.pickDate(form.DTP1, Date::fromYmd(2910, 12, 31));
    host.click(form.cmdSv);
    EXPECT_EQ(rows(AccDb(), "SELECT 發生日期 FROM iof"), Texts{"2910/12/31"});
}

TEST_F(VoucherFormTest, ALoginDateOutsideTheRocYearsAddsNoVoucher) {
    Clock::useFixedTime(Date::fromYmd(1911, 6, 1));
    frmIo& form = openForm();
    host.expectMessage(DateRangeMessage);
    host.click(form.cmdAdd);
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");

    // A day that changes after 新增 is caught at the save.
    Clock::useFixedTime(Date::fromYmd(2026, 12, 6));
    host.click(form.cmdAdd);
    host.pick(form.cbAcc, 1);
    host.type(form.txtCash, "500");
    Clock::useFixedTime(Date::fromYmd(1911, 6, 1));
    host.expectMessage(DateRangeMessage);
    host.click(form.cmdSv);
    EXPECT_TRUE(rows(AccDb(), "SELECT * FROM iof").empty());
}

TEST_F(VoucherFormTest, CancellingTheFirstEntryOnAnEmptyBookClearsTheFields) {
    frmIo& form = openForm();
    host.click(form.cmdAdd);
    host.type(form.cbUse, "工地材料");
    host.pick(form.cbAcc, 1);
    host.type(form.txtCash, "500");
    host.click(form.cmdCencel);
    EXPECT_EQ(form.lbStat.Caption(), "〔瀏覽〕");
    for (const std::string& shown :
         {form.lbNo.Caption(), form.lbInDay.Caption(), form.lbHday.Caption(), form.cbUse.Text(),
          form.txtCash.Text(), form.lbAcTxt.Caption()})
        EXPECT_EQ(shown, "");
    EXPECT_FALSE(form.ck.Enabled());
    for (Control* hidden : std::vector<Control*>{&form.Frame3, &form.frmMa, &form.cmdMach})
        EXPECT_FALSE(hidden->Visible()) << hidden->Name();
}

TEST_F(VoucherFormTest, ThePrintTableHoldsTheVoucherAsShown) {
    addVoucher({.number = "A0", .amount = 0});
    addVoucher({.number = "A1", .amount = 3800, .suggestion = -2});
    frmIo& form = openForm();
    const std::string day = "中華民國 115 年 11 月 20 日";
    std::string shown =
        "|A1|票據|用途A1|P01|大樓|水電|5102|(支出)|材料費|3,800|附一|附二|王小明|李大華|";
    shown = day + shown + day;
    EXPECT_EQ(printRow(), shown + "||||參仟捌佰  元整");
    // The receipt's fields print only while 有單據 is ticked, whatever the boxes hold.
    host.click(form.cmdEdit);
    host.click(form.Check1);
    host.click(form.O1(1));
    host.click(form.cmdSv);
    EXPECT_EQ(printRow(), shown + "|AB123|181|進銷項|參仟捌佰  元整");
    host.scroll(form.FSB, 0);
    EXPECT_EQ(printField(19), "  元整");
}

TEST_F(VoucherFormTest, TheLeftButtonStoresTheTitleWaitsAndPrintsTheVoucher) {
    frmIo& form = openForm();
    enterVoucher(form, "12000");
    EXPECT_EQ(form.txtIo.Text(), "收支單");
    form.txtIo.SetText("支出傳票");
    double start = Clock::steadySeconds();
    host.click(form.cmdPt);
    EXPECT_GT(Clock::steadySeconds() - start, 1.0);
    ASSERT_EQ(output.printed().size(), 1u);
    EXPECT_EQ(output.printed()[0].job.templateFile, programFile("ios.rpt"));
    for (const char* expected : {"支出傳票", "1151206001", "12,000", "壹萬貳仟  元整"})
        EXPECT_TRUE(printedText(expected)) << expected;

    form.Unload();
    EXPECT_EQ(openForm().txtIo.Text(), "支出傳票");
}

TEST_F(VoucherFormTest, TheRightButtonPrintsTheSecondLayoutAtOnceEvenWithoutACompanyRow) {
    PrintDb().Execute("DELETE FROM company");
    addVoucher({.number = "A1"});
    frmIo& form = openForm();
    double start = Clock::steadySeconds();
    host.rightClick(form.cmdPt);
    EXPECT_EQ(Clock::steadySeconds(), start);
    ASSERT_EQ(output.printed().size(), 1u);
    EXPECT_EQ(output.printed()[0].job.templateFile, programFile("jios.rpt"));
    EXPECT_EQ(rows(PrintDb(), "SELECT ion FROM company"), Texts{"收支單"});
}

}  // namespace
