#include <gtest/gtest.h>

#include <array>
#include <new>

#include "platform/forms/Clock.h"
#include "platform/forms/Layout.h"
#include "tests/support/TestHost.h"

using namespace kiv;

namespace {

using Texts = std::vector<std::string>;

// A form shaped like the login: captions with access keys, a box after each, two buttons.
class frmKeys : public Form {
  public:
    static constexpr const char* FormName = "frmKeys";
    frmKeys() : Form(FormName) {
        Label1.SetCaption("使用者名稱(&U):");
        Label2.SetCaption("密碼(&P):");
        cmdOK.SetCaption("確定(&O)");
        cmdCancel.SetCaption("取消(&C)");
        ck.SetCaption("記住我(&R)");
        lbAmp.SetCaption("A&&B");
        cmdOK.Click = [this] { events.push_back("cmdOK_Click"); };
        cmdCancel.Click = [this] { events.push_back("cmdCancel_Click"); };
        ck.Click = [this] { events.push_back("ck_Click " + std::to_string(ck.Value())); };
    }
    Label Label1{*this, "Label1"};
    TextBox txtUserName{*this, "txtUserName"};
    Label Label2{*this, "Label2"};
    TextBox txtPassword{*this, "txtPassword"};
    CommandButton cmdOK{*this, "cmdOK"};
    CommandButton cmdCancel{*this, "cmdCancel"};
    CheckBox ck{*this, "ck"};
    Label lbAmp{*this, "lbAmp"};
    Texts events;
};

// A grid with a text box laid over it as its cell editor, and a box after both.
class frmCells : public Form {
  public:
    static constexpr const char* FormName = "frmCells";
    frmCells() : Form(FormName) {
        hfg.Move(120, 600, 6000, 2000);
        hfg.SetCols(4);
        hfg.SetRows(3);
        hfg.SetFixedCols(0);
        hfg.SetColWidth(2, 0);
        txt.SetVisible(false);
        txtName.Move(120, 120, 3000, 330);
    }
    // Opens the editor on the current cell, as the forms do on a click.
    void edit() {
        txt.Move(hfg.Left() + hfg.CellLeft(), hfg.Top() + hfg.CellTop(), hfg.CellWidth(),
                 hfg.CellHeight());
        txt.SetVisible(true);
        txt.ZOrder(0);
        txt.SetFocus();
    }
    Grid hfg{*this, "hfg"};
    TextBox txt{*this, "txt"};
    TextBox txtName{*this, "txtName"};
};

class FormRuntimeTest : public ::testing::Test {
  protected:
    TestHost host;
};

TEST_F(FormRuntimeTest, AnAccessKeyOnALabelFocusesTheNextControlOnAButtonPressesIt) {
    frmKeys& form = Forms::get<frmKeys>();
    form.Show();
    host.act([&] { EXPECT_TRUE(form.pressAccessKey('p')); });
    EXPECT_EQ(form.ActiveControl(), &form.txtPassword);
    host.act([&] { EXPECT_TRUE(form.pressAccessKey('U')); });
    EXPECT_EQ(form.ActiveControl(), &form.txtUserName);
    host.act([&] { EXPECT_TRUE(form.pressAccessKey('o')); });
    EXPECT_EQ(form.ActiveControl(), &form.cmdOK);
    host.act([&] { EXPECT_TRUE(form.pressAccessKey('r')); });
    EXPECT_EQ(form.events, (Texts{"cmdOK_Click", "ck_Click 1"}));

    // A disabled button, a "&&" and a letter nobody marked do nothing.
    form.cmdCancel.SetEnabled(false);
    form.events.clear();
    for (char32_t key : {U'c', U'b', U'z'})
        host.act([&] { EXPECT_FALSE(form.pressAccessKey(key)); });
    EXPECT_TRUE(form.events.empty());

    // An access key on the last label wraps to the first control.
    form.lbAmp.SetCaption("備註(&N)");
    host.focus(form.txtPassword);
    host.act([&] { form.pressAccessKey('n'); });
    EXPECT_EQ(form.ActiveControl(), &form.txtUserName);
}

TEST_F(FormRuntimeTest, APasteIsTypedThroughTheKeyFilterWithOneChangeAndOneKeyUp) {
    frmKeys& form = Forms::get<frmKeys>();
    TextBox& box = form.txtUserName;
    Texts seen;
    box.KeyPress = [&](int& key) {
        seen.push_back("KeyPress " + std::to_string(key));
        if (key != Key::Backspace && (key < '0' || key > '9')) key = 0;
    };
    box.Change = [&] { seen.push_back("Change " + box.Text()); };
    box.KeyUp = [&](int& key, int shift) {
        seen.push_back("KeyUp " + std::to_string(key) + " " + std::to_string(shift));
    };
    box.SetText("12000");
    box.SelectAll();
    seen.clear();
    host.act([&] { box.userPaste("1a0"); });
    EXPECT_EQ(box.Text(), "10");
    EXPECT_EQ(seen,
              (Texts{"KeyPress 49", "KeyPress 97", "KeyPress 48", "Change 10", "KeyUp 86 2"}));

    // Nothing the filter lets through: no Change, still the KeyUp.
    seen.clear();
    host.act([&] { box.userPaste("ab", 45, ShiftMask); });
    EXPECT_EQ(seen, (Texts{"KeyPress 97", "KeyPress 98", "KeyUp 45 1"}));
}

TEST_F(FormRuntimeTest, APasteKeepsToTheBoxsLimitsAndAOneLineBoxTakesTheFirstLine) {
    frmKeys& form = Forms::get<frmKeys>();
    TextBox& box = form.txtPassword;
    struct Case {
        int maxLength;
        bool locked;
        bool multiLine;
        std::string pasted;
        std::string expected;
    };
    const Case cases[] = {
        {0, false, false, "第一行\r\n第二行", "第一行"},
        {4, false, false, "123456", "1234"},
        {0, true, false, "123", ""},
        {0, false, true, "a\r\nb\nc", "a\r\nb\r\nc"},
    };
    for (const Case& c : cases) {
        box.SetText("");
        box.SetMaxLength(c.maxLength);
        box.SetLocked(c.locked);
        box.SetMultiLine(c.multiLine);
        host.act([&] { box.userPaste(c.pasted); });
        EXPECT_EQ(box.Text(), c.expected) << c.pasted;
    }
}

TEST_F(FormRuntimeTest, TabInACellEditorEndsTheEditAndMovesToTheNextShownCell) {
    frmCells& form = Forms::get<frmCells>();
    form.Show();
    Grid& grid = form.hfg;
    grid.SetRow(1);
    grid.SetCol(1);
    host.act([&] { form.edit(); });
    host.type(form.txt, "土地銀行");
    host.act([&] { form.txt.userTab(); });
    EXPECT_FALSE(form.txt.Visible());
    EXPECT_EQ(form.ActiveControl(), &grid);
    // Column 2 is hidden.
    EXPECT_EQ(std::make_pair(grid.Row(), grid.Col()), std::make_pair(1, 3));
    EXPECT_EQ(form.txtName.Text(), "");

    // After the row's last cell comes the next row's first; Shift goes back.
    host.act([&] { form.edit(); });
    host.act([&] { form.txt.userKey(Key::Tab); });
    EXPECT_EQ(std::make_pair(grid.Row(), grid.Col()), std::make_pair(2, 0));
    host.act([&] { form.edit(); });
    host.act([&] { form.txt.userTab(ShiftMask); });
    EXPECT_EQ(std::make_pair(grid.Row(), grid.Col()), std::make_pair(1, 3));

    // A box that is no cell editor passes the focus on.
    host.focus(form.txtName);
    host.act([&] { form.txtName.userTab(); });
    EXPECT_EQ(form.ActiveControl(), &grid);
}

// The calendar a picker keeps to, whatever the form sets or the user picks.
TEST_F(FormRuntimeTest, ADatePickerTakesOnlyRocYearsOneToNineHundredNinetyNine) {
    frmKeys& form = Forms::get<frmKeys>();
    DatePicker picker(form, "DTP");
    // A picker the form never sets shows the program's today, not the clock's first day.
    EXPECT_EQ(picker.Value(), Clock::today().dateOnly());
    Clock::setToday(Date::fromYmd(2027, 1, 2));
    DatePicker later(form, "DTP2");
    EXPECT_EQ(later.Value(), Date::fromYmd(2027, 1, 2));
    EXPECT_EQ(picker.MinDate(), Date::fromYmd(1912, 1, 1));
    EXPECT_EQ(picker.MaxDate(), Date::fromYmd(2910, 12, 31));
    const Date start = Date::fromYmd(2026, 12, 6);
    picker.SetValue(start);
    struct Case {
        Date date;
        bool taken;
    };
    const Case cases[] = {
        {Date::fromYmd(1900, 1, 1), false},
        {Date::fromYmd(1911, 12, 31), false},
        {Date::fromYmdHms(1912, 1, 1, 8, 0, 0), true},
        {Date::fromYmdHms(2910, 12, 31, 23, 0, 0), true},
        {Date::fromYmd(2911, 1, 1), false},
        {Date::fromYmd(1, 1, 1), false},
    };
    for (const Case& c : cases) {
        picker.SetValue(start);
        if (c.taken) {
            picker.SetValue(c.date);
            EXPECT_EQ(picker.Value(), c.date) << c.date.iso();
        } else {
            EXPECT_THROW(picker.SetValue(c.date), DateOutOfRange) << c.date.iso();
            EXPECT_EQ(picker.Value(), start) << c.date.iso();
        }
    }

    // A pick outside the range is refused with a beep; no Change, no CloseUp.
    int changes = 0;
    picker.Change = [&] { ++changes; };
    picker.CloseUp = [&] { ++changes; };
    picker.SetValue(start);
    host.pickDate(picker, Date::fromYmd(1911, 6, 1));
    EXPECT_EQ(picker.Value(), start);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(host.beeps(), 1);

    // A narrowed range moves the value to its end; a range beyond the calendar is cut to it.
    picker.SetMaxDate(Date::fromYmd(2026, 1, 31));
    EXPECT_EQ(picker.Value(), Date::fromYmd(2026, 1, 31));
    picker.SetMinDate(Date::fromYmd(1800, 1, 1));
    EXPECT_EQ(picker.MinDate(), Date::fromYmd(1912, 1, 1));
}

// A form shown from another form's Resize gets its own first Resize.
class frmSized : public Form {
  public:
    static constexpr const char* FormName = "frmSized";
    frmSized() : Form(FormName) {}
    void Form_Resize() override {
        ++resizes;
        SetTop(0);  // sizing itself raises no second Resize
        SetWidth(Width() + 15);
    }
    int resizes = 0;
};

class frmOuter : public Form {
  public:
    static constexpr const char* FormName = "frmOuter";
    frmOuter() : Form(FormName) {}
    void Form_Resize() override {
        ++resizes;
        Forms::get<frmSized>().Show();
    }
    int resizes = 0;
};

TEST_F(FormRuntimeTest, EachFormGetsItsOwnResizeEvenInsideAnothersResize) {
    frmOuter& outer = Forms::get<frmOuter>();
    outer.Show();
    EXPECT_EQ(outer.resizes, 1);
    EXPECT_EQ(Forms::get<frmSized>().resizes, 1);
    host.act([&] { outer.SetHeight(outer.Height() + 150); });
    EXPECT_EQ(outer.resizes, 2);
    EXPECT_EQ(Forms::get<frmSized>().resizes, 1);
}

// Every instance takes the same storage, so that a new form surely has the old one's address.
class frmReused : public Form {
  public:
    static constexpr const char* FormName = "frmReused";
    frmReused() : Form(FormName) {}
    static void* operator new(size_t size) {
        if (size > sizeof(storage)) throw std::bad_alloc();
        return storage.data();
    }
    static void operator delete(void*) {}
    alignas(std::max_align_t) static inline std::array<unsigned char, 4096> storage{};
};

TEST_F(FormRuntimeTest, AnActionPostedForAFormNeverRunsOnANewFormAtTheSameAddress) {
    Forms::registerForm<frmReused>();
    frmReused& first = Forms::get<frmReused>();
    uint64_t firstSerial = first.Serial();
    int ran = 0;
    host.act([&] {
        first.Post([&] { ++ran; });
        first.Unload();
    });
    EXPECT_EQ(ran, 0);
    first.Post([&] { ++ran; });
    Forms::unload<frmReused>();
    Forms::destroyUnloaded();
    frmReused& second = Forms::get<frmReused>();
    ASSERT_EQ(static_cast<void*>(&second), static_cast<void*>(&first));
    EXPECT_NE(second.Serial(), firstSerial);
    host.act([] {});
    EXPECT_EQ(ran, 0);
    second.Post([&] { ++ran; });
    host.act([] {});
    EXPECT_EQ(ran, 1);
    Forms::discardAll();
    Forms::forgetRegistrations();
}

TEST_F(FormRuntimeTest, ASecondPressOfAButtonWhoseClickStillRunsIsIgnored) {
    frmKeys& form = Forms::get<frmKeys>();
    form.Show();
    int clicks = 0, rightPresses = 0;
    form.cmdOK.Click = [&] {
        ++clicks;
        waitWhileProcessingEvents(1000);
    };
    form.cmdOK.MouseDown = [&](int button, int, float, float) {
        if (button == RightButton) ++rightPresses;
    };
    host.onWait([&] {
        host.click(form.cmdOK);
        host.rightClick(form.cmdOK);
        host.act([&] { form.pressButtonForKey(Key::Enter); });
    });
    form.cmdOK.SetDefault(true);
    host.click(form.cmdOK);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(rightPresses, 0);
    EXPECT_EQ(host.waitedMilliseconds(), 1000);
    // Once the handler has ended the button takes presses again.
    host.click(form.cmdOK);
    EXPECT_EQ(clicks, 2);
}

TEST_F(FormRuntimeTest, ALayoutRowPlacesCaptionsAndLooksInTheOrderListed) {
    frmKeys& form = Forms::get<frmKeys>();
    Frame group(form, "group");
    applyLayout({
        {&group, nullptr, 120, 120, 4000, 2000, "登入", Borderless},
        {&form.Label1, &group, 60, 60, 1500, 300, "名稱(&N):", RightAligned},
        {&form.txtUserName, &group, 1620, 60, 1500, 330},
        {&form.cmdOK, &group, 60, 480, 1200, 390, "確定", Graphical | Bold},
    });
    EXPECT_EQ(group.Caption(), "登入");
    EXPECT_EQ(form.Label1.Container(), &group);
    EXPECT_EQ(form.Label1.Caption(), "名稱(&N):");
    EXPECT_EQ(form.Label1.Alignment(), 1);
    EXPECT_EQ(form.cmdOK.Top(), 480);
    EXPECT_EQ(form.cmdOK.Style(), 1);
    EXPECT_TRUE(form.cmdOK.FontBold());
    // A layout caption's access key works as one set by code.
    form.Show();
    host.act([&] { form.pressAccessKey('n'); });
    EXPECT_EQ(form.ActiveControl(), &form.txtUserName);
    // Tab follows the rows as listed, Shift+Tab goes back.
    host.act([&] { form.FocusNext(); });
    EXPECT_EQ(form.ActiveControl(), &form.cmdOK);
    host.act([&] { form.txtUserName.SetFocus(); });
    host.act([&] { form.txtUserName.userTab(ShiftMask); });
    EXPECT_NE(form.ActiveControl(), &form.txtUserName);
    host.act([&] { form.FocusNext(); });
    EXPECT_EQ(form.ActiveControl(), &form.txtUserName);
}

}  // namespace
