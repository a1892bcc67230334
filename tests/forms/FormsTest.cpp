#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/forms/ControlArray.h"
#include "tests/support/TestHost.h"

using namespace kiv;

namespace {

// A form with one control of every kind, recording what its events saw.
class frmSample : public Form {
  public:
    static constexpr const char* FormName = "frmSample";
    frmSample() : Form(FormName) {
        txtCash.KeyPress = [this](int& key) {
            if (key != Key::Backspace && (key < '0' || key > '9')) key = 0;
        };
        txtCash.Change = [this] { events.push_back("txtCash_Change " + txtCash.Text()); };
        ck.Click = [this] { events.push_back("ck_Click " + std::to_string(ck.Value())); };
        optA.forEach([this](OptionButton& o) {
            o.Click = [this, i = o.Index()] {
                events.push_back("optA_Click " + std::to_string(i));
            };
        });
        cbAcc.Click = [this] { events.push_back("cbAcc_Click " + cbAcc.Text()); };
        FSB.Change = [this] { events.push_back("FSB_Change " + std::to_string(FSB.Value())); };
        DTP.Change = [this] { events.push_back("DTP_Change"); };
        cmdOK.Click = [this] { events.push_back("cmdOK_Click"); };
        mSta.Click = [this] { events.push_back("mSta_Click"); };
        mSys.AddEntry(mSta);
        mSys.AddEntry(mLine);
        mSys.AddEntry(mCom);
        optA.forEach([this](OptionButton& o) { o.SetContainer(&fme); });
    }
    void Form_Load() override {
        ++loads;
        events.push_back("Load");
    }
    void Form_Activate() override { events.push_back("Activate"); }
    void Form_Unload(int& cancel) override {
        events.push_back("Unload");
        cancel = refuseUnload ? 1 : 0;
    }

    TextBox txtCash{*this, "txtCash"};
    Label lbNo{*this, "lbNo"};
    CheckBox ck{*this, "ck"};
    Frame fme{*this, "fme"};
    ControlArray<OptionButton> optA{*this, "optA", 3};
    ComboBox cbAcc{*this, "cbAcc", -1, ComboBox::Flavor::Forms2};
    ComboBox cbUse{*this, "cbUse"};
    ListBox lst{*this, "lst"};
    FlatScrollBar FSB{*this, "FSB"};
    DatePicker DTP{*this, "DTP"};
    Grid hfg{*this, "hfg"};
    CommandButton cmdOK{*this, "cmdOK"};
    Menu mSys{*this, "mSys"};
    Menu mSta{*this, "mSta", "詞庫"};
    Menu mLine{*this, "mLine", "-"};
    Menu mCom{*this, "mCom", "公司資料"};

    std::vector<std::string> events;
    int loads = 0;
    bool refuseUnload = false;
};

class frmChild : public Form {
  public:
    static constexpr const char* FormName = "frmChild";
    frmChild() : Form(FormName) {
        cmdOK.Click = [this] { Unload(); };
    }
    void Form_Load() override {
        if (unloadInLoad) Unload();
    }
    CommandButton cmdOK{*this, "cmdOK"};
    static inline bool unloadInLoad = false;
};

class FormsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Forms::registerForm<frmSample>();
        Forms::registerForm<frmChild>();
        frmChild::unloadInLoad = false;
    }
    void TearDown() override { Forms::forgetRegistrations(); }
    TestHost host;
};

TEST_F(FormsTest, OneInstancePerFormAndAFreshOneAfterUnload) {
    frmSample& first = Forms::get<frmSample>();
    EXPECT_EQ(&first, &Forms::get<frmSample>());
    EXPECT_EQ(first.loads, 1);
    first.lbNo.SetCaption("1151206001");

    Forms::unload<frmSample>();
    EXPECT_FALSE(Forms::isLoaded<frmSample>());
    frmSample& second = Forms::get<frmSample>();
    EXPECT_EQ(second.loads, 1);
    EXPECT_EQ(second.lbNo.Caption(), "");
}

TEST_F(FormsTest, UnloadOfAFormNotLoadedCreatesNothing) {
    Forms::unload<frmSample>();
    Forms::unloadByName("frmSample");
    EXPECT_FALSE(Forms::isLoaded<frmSample>());
}

TEST_F(FormsTest, UnloadCanBeRefused) {
    frmSample& form = Forms::get<frmSample>();
    form.refuseUnload = true;
    form.Unload();
    EXPECT_TRUE(Forms::isLoaded<frmSample>());
    form.refuseUnload = false;
    host.closeByFrame(form);
    EXPECT_FALSE(Forms::isLoaded<frmSample>());
}

TEST_F(FormsTest, ModelessShowAgainBringsToFrontWithoutReloading) {
    frmSample& form = Forms::get<frmSample>();
    form.Show();
    form.Show();
    EXPECT_EQ(form.loads, 1);
    EXPECT_EQ(host.broughtToFront(), std::vector<std::string>{"frmSample"});
}

TEST_F(FormsTest, ModalShowReturnsAfterTheScriptUnloadsTheForm) {
    std::vector<std::string> order;
    host.onModal<frmChild>([&](frmChild& child) {
        order.push_back("script");
        host.click(child.cmdOK);
    });
    host.act([&] {
        Forms::get<frmChild>().Show(Modal);
        order.push_back("after show");
    });
    EXPECT_EQ(order, (std::vector<std::string>{"script", "after show"}));
    EXPECT_FALSE(Forms::isLoaded<frmChild>());
}

TEST_F(FormsTest, NestedModalShowsUnwindInOrderAndReactivateTheOpener) {
    frmSample& sample = Forms::get<frmSample>();
    host.onModal("frmSample", [&](Form&) {
        host.onModal<frmChild>([&](frmChild& child) { host.click(child.cmdOK); });
        host.act([] { Forms::get<frmChild>().Show(Modal); });
        sample.events.push_back("child closed");
        sample.Hide();
    });
    host.act([&] { sample.Show(Modal); });
    EXPECT_EQ(sample.events,
              (std::vector<std::string>{"Load", "Activate", "Activate", "child closed"}));
    EXPECT_TRUE(Forms::isLoaded<frmSample>());
    EXPECT_FALSE(sample.Visible());
}

TEST_F(FormsTest, AFormUnloadingItselfInLoadEndsItsModalShow) {
    frmChild::unloadInLoad = true;
    host.act([] { Forms::get<frmChild>().Show(Modal); });
    EXPECT_TRUE(host.modalShows().empty());
    EXPECT_FALSE(Forms::isLoaded<frmChild>());
}

TEST_F(FormsTest, ModalShowOfAModelessFormShowsAFreshInstance) {
    frmSample& modeless = Forms::get<frmSample>();
    modeless.Show();
    host.onModal<frmSample>([](frmSample& fresh) { fresh.Hide(); });
    host.act([&] { modeless.Show(Modal); });
    ASSERT_TRUE(Forms::isLoaded<frmSample>());
    EXPECT_NE(Forms::find("frmSample"), nullptr);
    EXPECT_EQ(host.modalShows(), std::vector<std::string>{"frmSample"});
}

TEST_F(FormsTest, AFormNotBuiltYetSaysSo) {
    host.expectMessage("此功能尚未提供");
    bool shown = true;
    host.act([&] { shown = Forms::showByName("frmBill", Modal); });
    EXPECT_FALSE(shown);
    EXPECT_EQ(host.messages().back().style, 64);
}

TEST_F(FormsTest, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
    frmSample& form = Forms::get<frmSample>();
    form.cmdOK.Click = [] { throw std::runtime_error("disk full"); };
    host.expectMessage("disk full");
    host.click(form.cmdOK);
    EXPECT_EQ(host.messages().back().title, std::optional<std::string>("Kiv"));
    EXPECT_EQ(host.messages().back().style, 16);
}

TEST_F(FormsTest, TypingRunsTheKeyFilterBeforeTheTextChanges) {
    frmSample& form = Forms::get<frmSample>();
    host.type(form.txtCash, "1a2/");
    EXPECT_EQ(form.txtCash.Text(), "12");
    EXPECT_EQ(form.events,
              (std::vector<std::string>{"Load", "txtCash_Change 1", "txtCash_Change 12"}));
    host.pressKey(form.txtCash, Key::Backspace);
    EXPECT_EQ(form.txtCash.Text(), "1");
}

TEST_F(FormsTest, TextSetByCodeRaisesChangeOnlyWhenItChanges) {
    frmSample& form = Forms::get<frmSample>();
    form.events.clear();
    form.txtCash.SetText("300");
    form.txtCash.SetText("300");
    EXPECT_EQ(form.events, std::vector<std::string>{"txtCash_Change 300"});
    EXPECT_EQ(form.txtCash.SelStart(), 3);
    form.txtCash.SelectAll();
    EXPECT_EQ(form.txtCash.SelText(), "300");
}

TEST_F(FormsTest, TextPositionsCountCharactersNotBytes) {
    frmSample& form = Forms::get<frmSample>();
    form.txtCash.KeyPress = nullptr;
    form.txtCash.SetText("收支單");
    form.txtCash.SetSelStart(1);
    form.txtCash.SetSelLength(1);
    EXPECT_EQ(form.txtCash.SelText(), "支");
    host.type(form.txtCash, "入");
    EXPECT_EQ(form.txtCash.Text(), "收入單");
}

TEST_F(FormsTest, TheDefaultButtonTakesEnter) {
    frmSample& form = Forms::get<frmSample>();
    form.cmdOK.SetDefault(true);
    form.events.clear();
    host.pressKey(form.txtCash, Key::Enter);
    EXPECT_EQ(form.events, std::vector<std::string>{"cmdOK_Click"});
}

TEST_F(FormsTest, ChecksAndOptionsRaiseClickWhenTheirValueChanges) {
    frmSample& form = Forms::get<frmSample>();
    form.events.clear();
    form.ck.SetValue(1);
    form.ck.SetValue(1);
    form.optA(1).SetValue(true);
    form.optA(2).SetValue(true);
    EXPECT_FALSE(form.optA(1).Value());
    form.optA(2).SetValue(true);
    EXPECT_EQ(form.events,
              (std::vector<std::string>{"ck_Click 1", "optA_Click 1", "optA_Click 2"}));
    host.click(form.ck);
    EXPECT_EQ(form.ck.Value(), 0);
}

TEST_F(FormsTest, ADisabledContainerDisablesItsOptions) {
    frmSample& form = Forms::get<frmSample>();
    form.fme.SetEnabled(false);
    host.click(form.optA(0));
    EXPECT_FALSE(form.optA(0).Value());
    EXPECT_FALSE(form.optA(0).IsEffectivelyEnabled());
}

TEST_F(FormsTest, ComboBoxColumnsValueAndTypedMatching) {
    frmSample& form = Forms::get<frmSample>();
    ComboBox& cb = form.cbAcc;
    cb.SetColumnCount(3);
    cb.SetTextColumn(2);
    cb.SetBoundColumn(2);
    cb.SetRows({{"(收入)", "4101", "工程收入"}, {"      (支出)", "5101", "材料費"}});
    EXPECT_EQ(cb.ListIndex(), -1);
    EXPECT_EQ(cb.Column(0), "");
    form.events.clear();

    host.type(cb, "51");
    EXPECT_EQ(cb.Text(), "5101");
    EXPECT_EQ(cb.ListIndex(), 1);
    EXPECT_EQ(cb.Column(2), "材料費");
    EXPECT_EQ(form.events, std::vector<std::string>{"cbAcc_Click 5101"});

    cb.SetText("9999");
    EXPECT_EQ(cb.ListIndex(), -1);
    EXPECT_EQ(cb.Value(), "9999");

    cb.SetListIndex(0);
    EXPECT_EQ(cb.Value(), "4101");
    EXPECT_EQ(form.events.back(), "cbAcc_Click 4101");
}

TEST_F(FormsTest, StandardComboBoxTextDoesNotClick) {
    frmSample& form = Forms::get<frmSample>();
    bool clicked = false;
    form.cbUse.Click = [&] { clicked = true; };
    form.cbUse.AddItem("材料");
    form.cbUse.AddItem("工資");
    form.cbUse.SetText("工資");
    EXPECT_FALSE(clicked);
    EXPECT_EQ(form.cbUse.ListIndex(), 1);
    form.cbUse.SetText("雜支");
    EXPECT_EQ(form.cbUse.ListIndex(), -1);
    host.pick(form.cbUse, 0);
    EXPECT_TRUE(clicked);
}

TEST_F(FormsTest, ListBoxTicksFollowTheirEntries) {
    frmSample& form = Forms::get<frmSample>();
    ListBox& lst = form.lst;
    lst.SetStyle(1);
    lst.AddItem("水電");
    lst.AddItem("木作");
    host.pick(lst, 1);
    EXPECT_TRUE(lst.Selected(1));
    lst.AddItem("油漆", 0);
    EXPECT_TRUE(lst.Selected(2));
    EXPECT_EQ(lst.Text(), "木作");
}

TEST_F(FormsTest, ScrollBarChangesOnEveryNewValueOnly) {
    frmSample& form = Forms::get<frmSample>();
    form.FSB.SetMax(10);
    form.events.clear();
    form.FSB.SetValue(10);
    form.FSB.SetValue(10);
    form.FSB.SetMax(4);
    host.scroll(form.FSB, 2);
    EXPECT_EQ(form.events,
              (std::vector<std::string>{"FSB_Change 10", "FSB_Change 4", "FSB_Change 2"}));
}

TEST_F(FormsTest, DatePickerChangesOnlyForTheUser) {
    frmSample& form = Forms::get<frmSample>();
    form.events.clear();
    form.DTP.SetValue(Date::fromYmd(2026, 12, 6));
    host.pickDate(form.DTP, Date::fromYmd(2026, 12, 7));
    EXPECT_EQ(form.events, std::vector<std::string>{"DTP_Change"});
    form.DTP.SetCustomFormat("gg ee/mm/dd");
    EXPECT_EQ(form.DTP.DisplayText(), "中華民國 115/12/07");
}

TEST_F(FormsTest, PopupMenuRunsTheChosenEntryAndRecordsItsState) {
    frmSample& form = Forms::get<frmSample>();
    form.mCom.SetEnabled(false);
    form.events.clear();
    host.choosePopupEntry("mSta");
    host.act([&] { form.PopupMenu(form.mSys); });
    EXPECT_EQ(form.events, std::vector<std::string>{"mSta_Click"});
    ASSERT_EQ(host.popups().size(), 1u);
    EXPECT_EQ(host.popups()[0].entries,
              (std::vector<std::pair<std::string, bool>>{{"mSta", true}, {"mCom", false}}));
}

TEST_F(FormsTest, EndingTheProgramUnloadsNothing) {
    frmSample& form = Forms::get<frmSample>();
    form.cmdOK.Click = [] { endProgram(); };
    EXPECT_THROW(host.click(form.cmdOK), ProgramEnded);
    EXPECT_TRUE(host.programEnded());
    EXPECT_TRUE(Forms::isLoaded<frmSample>());
    EXPECT_EQ(form.events.back(), "Load");
}

TEST_F(FormsTest, FocusMovesInTabOrderAndValidateCanHoldIt) {
    frmSample& form = Forms::get<frmSample>();
    form.txtCash.SetFocus();
    form.FocusNext();
    EXPECT_EQ(form.ActiveControl(), &form.ck);
    bool keep = true;
    form.ck.Validate = [&](bool& cancel) { cancel = keep; };
    host.click(form.cmdOK);
    EXPECT_EQ(form.ActiveControl(), &form.ck);
    keep = false;
    host.click(form.cmdOK);
    EXPECT_EQ(form.ActiveControl(), &form.cmdOK);
}

TEST_F(FormsTest, PostedActionsRunAfterTheEvent) {
    frmSample& form = Forms::get<frmSample>();
    std::vector<std::string> order;
    form.cmdOK.Click = [&] {
        postAfterEvent([&] { order.push_back("posted"); });
        order.push_back("click");
    };
    host.click(form.cmdOK);
    EXPECT_EQ(order, (std::vector<std::string>{"click", "posted"}));
}

}  // namespace

namespace {

TEST_F(FormsTest, AQueuedFocusMoveIsDroppedWhenItsFormIsGone) {
    frmSample& form = Forms::get<frmSample>();
    form.cmdOK.Click = [&form] {
        form.FocusNextAfterEvent();
        form.Unload();
    };
    host.click(form.cmdOK);
    EXPECT_FALSE(Forms::isLoaded<frmSample>());
}

TEST_F(FormsTest, TabMovesTheFocusAndIsNeverTyped) {
    frmSample& form = Forms::get<frmSample>();
    host.pressKey(form.txtCash, Key::Tab);
    EXPECT_EQ(form.txtCash.Text(), "");
    EXPECT_EQ(form.ActiveControl(), &form.ck);
}

TEST_F(FormsTest, AModalShowEndedByAnErrorLeavesTheModalChain) {
    host.onModal<frmChild>([](frmChild&) { throw std::runtime_error("讀取失敗"); });
    host.expectMessage("讀取失敗");
    host.act([] { Forms::get<frmChild>().Show(Modal); });
    EXPECT_FALSE(Forms::get<frmChild>().Visible());
    host.onModal<frmChild>([](frmChild& child) { child.Hide(); });
    host.act([] { Forms::get<frmChild>().Show(Modal); });
    EXPECT_EQ(host.modalShows().size(), 2u);
}

TEST_F(FormsTest, AnEmptyForms2ListChoosesNoneAndClearEmptiesTheBox) {
    frmSample& form = Forms::get<frmSample>();
    form.cbAcc.SetListIndex(0);
    EXPECT_EQ(form.cbAcc.ListIndex(), -1);
    form.cbUse.AddItem("材料");
    form.cbUse.SetListIndex(0);
    form.cbUse.Clear();
    EXPECT_EQ(form.cbUse.Text(), "");
    EXPECT_THROW(form.cbUse.SetListIndex(0), std::out_of_range);
}

TEST_F(FormsTest, NoMoreClicksReachAFormItsHandlerClosed) {
    frmSample& form = Forms::get<frmSample>();
    form.Show();
    int dblClicks = 0;
    form.cmdOK.Click = [&form] { form.Hide(); };
    form.cmdOK.DblClick = [&] { ++dblClicks; };
    host.dblClick(form.cmdOK);
    EXPECT_EQ(dblClicks, 0);
}

TEST(TestHostTest, AMessageBoxNobodyAnsweredFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            TestHost host;
            messageBox("確定刪除", 292, "Kiv");
        },
        "message box nobody answered: 確定刪除");
}

}  // namespace
