#include <vector>

#include <gtest/gtest.h>

#include "platform/forms/Clock.h"
#include "platform/forms/UnsavedInput.h"
#include "tests/vouchers/VoucherBook.h"

using namespace kiv;

namespace {

class VoucherFormTest : public test::VoucherBook {};

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

// The tax fields, the way of a signed voucher and the settle button start hidden.
TEST_F(VoucherFormTest, AnEmptyBookAndAVoucherWithoutReceiptShowNoTaxWayOrSettleButton) {
    frmIo& empty = openForm();
    for (Control* hidden : std::vector<Control*>{&empty.Frame3, &empty.frmMa, &empty.cmdMach})
        EXPECT_FALSE(hidden->Visible()) << hidden->Name();
    empty.Unload();
    addVoucher({.number = "A1"});
    EXPECT_FALSE(openForm().Frame3.Visible());
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

// Another form's action never closes the form while it holds an entry: a new voucher, a
// modification, a sign-off not yet saved. Browsing, it is closed.
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

}  // namespace
