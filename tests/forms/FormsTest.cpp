#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/forms/ControlArray.h"
#include "tests/support/TestHost.h"

using namespace kiv;

namespace {

using Texts = std::vector<std::string>;

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
            o.SetContainer(&fme);
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
    PictureBox P1{*this, "P1"};
    CommandButton cmdOK{*this, "cmdOK"};
    Menu mSys{*this, "mSys"};
    Menu mSta{*this, "mSta", "詞庫"};
    Menu mLine{*this, "mLine", "-"};
    Menu mCom{*this, "mCom", "公司資料"};

    Texts events;
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
    frmSample& sample() { return Forms::get<frmSample>(); }
    TestHost host;
};

TEST_F(FormsTest, OneInstancePerFormAndAFreshOneAfterUnload) {
    Forms::unload<frmSample>();
    Forms::unloadByName("frmSample");
    EXPECT_FALSE(Forms::isLoaded<frmSample>());

    frmSample& first = sample();
    EXPECT_EQ(&first, &sample());
    first.lbNo.SetCaption("1151206001");
    first.refuseUnload = true;
    first.Unload();
    EXPECT_TRUE(Forms::isLoaded<frmSample>());
    first.refuseUnload = false;
    host.closeByFrame(first);
    EXPECT_FALSE(Forms::isLoaded<frmSample>());

    frmSample& second = sample();
    EXPECT_EQ(second.loads, 1);
    EXPECT_EQ(second.lbNo.Caption(), "");
}

TEST_F(FormsTest, NestedModalShowsUnwindInOrderAndReactivateTheOpener) {
    frmSample& form = sample();
    host.onModal("frmSample", [&](Form&) {
        host.onModal<frmChild>([&](frmChild& child) { host.click(child.cmdOK); });
        host.act([] { Forms::get<frmChild>().Show(Modal); });
        EXPECT_FALSE(Forms::isLoaded<frmChild>());
        form.events.push_back("child closed");
        form.Hide();
    });
    host.act([&] { form.Show(Modal); });
    EXPECT_EQ(form.events, (Texts{"Load", "Activate", "Activate", "child closed"}));
    EXPECT_TRUE(Forms::isLoaded<frmSample>());
    EXPECT_FALSE(form.Visible());

    // A form unloading itself in Load ends its modal show.
    frmChild::unloadInLoad = true;
    host.act([] { Forms::get<frmChild>().Show(Modal); });
    EXPECT_EQ(host.modalShows(), (Texts{"frmSample", "frmChild"}));
    EXPECT_FALSE(Forms::isLoaded<frmChild>());
}

TEST_F(FormsTest, ModelessShowAgainBringsToFrontAndAModalShowTakesAFreshInstance) {
    frmSample& modeless = sample();
    modeless.Show();
    modeless.Show();
    EXPECT_EQ(modeless.loads, 1);
    EXPECT_EQ(host.broughtToFront(), Texts{"frmSample"});
    host.onModal<frmSample>([](frmSample& fresh) { fresh.Hide(); });
    host.act([&] { modeless.Show(Modal); });
    EXPECT_TRUE(Forms::isLoaded<frmSample>());
    EXPECT_EQ(host.modalShows(), Texts{"frmSample"});
}

TEST_F(FormsTest, AFormNotBuiltYetSaysSo) {
    host.expectMessage("此功能尚未提供");
    bool shown = true;
    host.act([&] { shown = Forms::showByName("frmBill", Modal); });
    EXPECT_FALSE(shown);
    EXPECT_EQ(host.messages().back().style, 64);
}

TEST_F(FormsTest, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
    sample().cmdOK.Click = [] { throw std::runtime_error("disk full"); };
    host.expectMessage("disk full");
    host.click(sample().cmdOK);
    EXPECT_EQ(host.messages().back().title, std::optional<std::string>("Kiv"));
    EXPECT_EQ(host.messages().back().style, 16);

    // A modal show ended by an error leaves the modal chain, so the next show works.
    host.onModal<frmChild>([](frmChild&) { throw std::runtime_error("讀取失敗"); });
    host.expectMessage("讀取失敗");
    host.act([] { Forms::get<frmChild>().Show(Modal); });
    EXPECT_FALSE(Forms::get<frmChild>().Visible());
    host.onModal<frmChild>([](frmChild& child) { child.Hide(); });
    host.act([] { Forms::get<frmChild>().Show(Modal); });
    EXPECT_EQ(host.modalShows().size(), 2u);
}

TEST_F(FormsTest, TypingRunsTheKeyFilterAndTextSetByCodeChangesOnce) {
    frmSample& form = sample();
    host.type(form.txtCash, "1a2/");
    host.pressKey(form.txtCash, Key::Backspace);
    EXPECT_EQ(form.events,
              (Texts{"Load", "txtCash_Change 1", "txtCash_Change 12", "txtCash_Change 1"}));
    form.events.clear();
    form.txtCash.SetText("300");
    form.txtCash.SetText("300");
    EXPECT_EQ(form.events, Texts{"txtCash_Change 300"});
    EXPECT_EQ(form.txtCash.SelStart(), 3);

    // Positions count characters, not bytes.
    form.txtCash.KeyPress = nullptr;
    form.txtCash.SetText("收支單");
    form.txtCash.SetSelStart(1);
    form.txtCash.SetSelLength(1);
    EXPECT_EQ(form.txtCash.SelText(), "支");
    host.type(form.txtCash, "入");
    EXPECT_EQ(form.txtCash.Text(), "收入單");
}

TEST_F(FormsTest, TabMovesTheFocusEnterPressesTheDefaultButtonAndValidateHoldsTheFocus) {
    frmSample& form = sample();
    form.cmdOK.SetDefault(true);
    form.events.clear();
    host.pressKey(form.txtCash, Key::Tab);
    EXPECT_EQ(form.txtCash.Text(), "");
    EXPECT_EQ(form.ActiveControl(), &form.ck);
    host.pressKey(form.txtCash, Key::Enter);
    host.act([&] { form.cbUse.userKey(Key::Enter); });
    EXPECT_EQ(form.events, (Texts{"cmdOK_Click", "cmdOK_Click"}));

    form.ck.SetFocus();
    bool keep = true;
    form.ck.Validate = [&](bool& cancel) { cancel = keep; };
    host.click(form.cmdOK);
    EXPECT_EQ(form.ActiveControl(), &form.ck);
    keep = false;
    host.click(form.cmdOK);
    EXPECT_EQ(form.ActiveControl(), &form.cmdOK);
}

TEST_F(FormsTest, ChecksAndOptionsRaiseClickWhenTheirValueChanges) {
    frmSample& form = sample();
    form.events.clear();
    form.ck.SetValue(1);
    form.ck.SetValue(1);
    form.optA(1).SetValue(true);
    form.optA(2).SetValue(true);
    form.optA(2).SetValue(true);
    EXPECT_FALSE(form.optA(1).Value());
    EXPECT_EQ(form.events, (Texts{"ck_Click 1", "optA_Click 1", "optA_Click 2"}));
    host.click(form.ck);
    EXPECT_EQ(form.ck.Value(), 0);

    form.fme.SetEnabled(false);
    host.click(form.optA(0));
    EXPECT_FALSE(form.optA(0).Value());
    // A picture box holds controls as a frame does.
    form.fme.SetContainer(&form.P1);
    form.fme.SetEnabled(true);
    form.P1.SetEnabled(false);
    EXPECT_FALSE(form.optA(0).IsEffectivelyEnabled());
}

TEST_F(FormsTest, ComboBoxColumnsValueAndTypedMatching) {
    frmSample& form = sample();
    ComboBox& cb = form.cbAcc;
    cb.SetListIndex(0);
    EXPECT_EQ(cb.ListIndex(), -1);
    cb.SetColumnCount(3);
    cb.SetTextColumn(2);
    cb.SetBoundColumn(2);
    cb.SetRows({{"(收入)", "4101", "工程收入"}, {"      (支出)", "5101", "材料費"}});
    EXPECT_EQ(cb.Column(0), "");
    form.events.clear();

    host.type(cb, "51");
    EXPECT_EQ(cb.ListIndex(), 1);
    EXPECT_EQ(cb.Column(2), "材料費");
    EXPECT_EQ(form.events, Texts{"cbAcc_Click 5101"});

    cb.SetText("9999");
    EXPECT_EQ(cb.ListIndex(), -1);
    EXPECT_EQ(cb.Value(), "9999");
    cb.SetListIndex(0);
    EXPECT_EQ(cb.Value(), "4101");
    EXPECT_EQ(form.events.back(), "cbAcc_Click 4101");
}

TEST_F(FormsTest, StandardComboBoxTextDoesNotClickAndListBoxTicksFollowTheirEntries) {
    ComboBox& cb = sample().cbUse;
    bool clicked = false;
    cb.Click = [&] { clicked = true; };
    cb.AddItem("材料");
    cb.AddItem("工資");
    cb.SetText("工資");
    EXPECT_FALSE(clicked);
    EXPECT_EQ(cb.ListIndex(), 1);
    cb.SetText("雜支");
    EXPECT_EQ(cb.ListIndex(), -1);
    host.pick(cb, 0);
    EXPECT_TRUE(clicked);
    cb.Clear();
    EXPECT_EQ(cb.Text(), "");
    EXPECT_THROW(cb.SetListIndex(0), std::out_of_range);

    // A list box's ticks follow their entries.
    ListBox& lst = sample().lst;
    lst.SetStyle(1);
    lst.AddItem("水電");
    lst.AddItem("木作");
    host.pick(lst, 1);
    lst.AddItem("油漆", 0);
    EXPECT_TRUE(lst.Selected(2));
    EXPECT_EQ(lst.Text(), "木作");
}

TEST_F(FormsTest, ScrollBarChangesOnEveryNewValueAndDatePickerOnlyForTheUser) {
    frmSample& form = sample();
    form.FSB.SetMax(10);
    form.events.clear();
    form.FSB.SetValue(10);
    form.FSB.SetValue(10);
    form.FSB.SetMax(4);
    host.scroll(form.FSB, 2);
    form.DTP.SetValue(Date::fromYmd(2026, 12, 6));
    host.pickDate(form.DTP, Date::fromYmd(2026, 12, 7));
    EXPECT_EQ(form.events, (Texts{"FSB_Change 10", "FSB_Change 4", "FSB_Change 2", "DTP_Change"}));
    form.DTP.SetCustomFormat("gg ee/mm/dd");
    EXPECT_EQ(form.DTP.DisplayText(), "中華民國 115/12/07");
}

TEST_F(FormsTest, PopupMenuRunsTheChosenEntryAndRecordsItsState) {
    frmSample& form = sample();
    form.mCom.SetEnabled(false);
    form.events.clear();
    host.choosePopupEntry("mSta");
    host.act([&] { form.PopupMenu(form.mSys); });
    EXPECT_EQ(form.events, Texts{"mSta_Click"});
    ASSERT_EQ(host.popups().size(), 1u);
    EXPECT_EQ(host.popups()[0].entries,
              (std::vector<std::pair<std::string, bool>>{{"mSta", true}, {"mCom", false}}));
}

TEST_F(FormsTest, EndingTheProgramUnloadsNothing) {
    frmSample& form = sample();
    form.cmdOK.Click = [] { endProgram(); };
    EXPECT_THROW(host.click(form.cmdOK), ProgramEnded);
    EXPECT_TRUE(host.programEnded());
    EXPECT_EQ(form.events.back(), "Load");
}

TEST_F(FormsTest, PostedActionsRunAfterTheEventAndDieWithTheirForm) {
    frmSample& form = sample();
    Texts order;
    form.cmdOK.Click = [&] {
        postAfterEvent([&] { order.push_back("posted"); });
        order.push_back("click");
    };
    host.click(form.cmdOK);
    EXPECT_EQ(order, (Texts{"click", "posted"}));

    form.cmdOK.Click = [&form] {
        form.FocusNextAfterEvent();
        form.Unload();
    };
    host.click(form.cmdOK);
    EXPECT_FALSE(Forms::isLoaded<frmSample>());
}

TEST_F(FormsTest, NoMoreClicksReachAFormItsHandlerClosed) {
    frmSample& form = sample();
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
