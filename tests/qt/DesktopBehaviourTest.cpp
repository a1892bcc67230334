#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <ctime>

#include "cheques/ChequeForms.h"
#include "cheques/frmArm.h"
#include "contracts/ContractForms.h"
#include "contracts/frmRio.h"
#include "platform/qt/ControlWidgets.h"
#include "platform/qt/DatePickerWidget.h"
#include "platform/qt/GridWidget.h"
#include "platform/qt/TextBoxWidget.h"
#include "shell/frmCom.h"
#include "shell/frmSta.h"
#include "shell/mdM.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/qt/SampleForm.h"
#include "tests/support/Books.h"
#include "tests/support/ProgramTest.h"
#include "vouchers/VoucherForms.h"
#include "vouchers/frmIo.h"
#include "vouchers/frmSt.h"
#include "vouchers/frmTag.h"

using namespace kiv;

namespace {

using Events = std::vector<std::string>;

// Long enough for a real window manager to have framed and placed a new window.
constexpr int FramingDelay = 400;

// The login's shape: captions with access keys, a box after each, the buttons.
class frmLoginSample : public Form {
  public:
    static constexpr const char* FormName = "frmLoginSample";
    frmLoginSample() : Form(FormName) {
        SetBorderStyle(3);
        SetClientSize(5100, 1900);
        Label1.Move(240, 270, 1500, 300);
        Label1.SetCaption("使用者名稱(&U):");
        txtUserName.Move(1800, 240, 3000, 330);
        Label2.Move(240, 750, 1500, 300);
        Label2.SetCaption("密碼(&P):");
        txtPassword.Move(1800, 720, 3000, 330);
        cmdOK.Move(1800, 1260, 1380, 420);
        cmdOK.SetCaption("確定(&O)");
        cmdOK.Click = [this] { ++presses; };
    }
    Label Label1{*this, "Label1"};
    TextBox txtUserName{*this, "txtUserName"};
    Label Label2{*this, "Label2"};
    TextBox txtPassword{*this, "txtPassword"};
    CommandButton cmdOK{*this, "cmdOK"};
    int presses = 0;
};

// The launcher bar: above every window, its title bar above the screen.
class frmBar : public Form {
  public:
    static constexpr const char* FormName = "frmBar";
    frmBar() : Form(FormName) {
        SetBorderStyle(4);
        SetTopMost(true);
        Move((screenWidth() - 700) / 2, -290, 700, 3000);
        cmdOpen.Move(0, 0, 700, 600);
        cmdOpen.Click = [] { Forms::showByName("frmCompany", Modal); };
    }
    CommandButton cmdOpen{*this, "cmdOpen"};
};

// The company form: it places itself at the top of the screen, in the middle.
class frmCompany : public Form {
  public:
    static constexpr const char* FormName = "frmCompany";
    frmCompany() : Form(FormName) {
        SetBorderStyle(3);
        SetCaption("公司資料");
        SetClientSize(8400, 5400);
    }
    void Form_Resize() override {
        SetTop(0);
        SetLeft((screenWidth() - Width()) / 2);
    }
    CommandButton cmdOK{*this, "cmdOK"};
};

class DesktopBehaviourTest : public QtTest {
  protected:
    template <class F>
    F& showForm() {
        F& form = Forms::get<F>();
        form.Show();
        settle();
        return form;
    }
    QLineEdit& lineOf(Form& form, TextBox& box) {
        return *qobject_cast<QLineEdit*>(widgetOf<TextBoxWidget>(form, box).editor());
    }
    // Pixels dark enough to be text in the control's own (black) colour.
    static int darkPixels(QWidget* widget) {
        QImage image = widget->grab().toImage();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 80) ++dark;
        return dark;
    }
    static void expectOnScreenClearOf(const QRect& frame, const QRect& bar) {
        QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(screen.contains(frame)) << frame.x() << "," << frame.y();
        EXPECT_FALSE(frame.intersects(bar)) << frame.x() << "," << frame.y();
    }
};

TEST_F(DesktopBehaviourTest, AFormOpensWithItsFrameOnTheScreenAndClearOfTheLauncherBar) {
    Forms::registerForm<frmCompany>();
    frmBar& bar = showForm<frmBar>();
    QRect barFrame = windowOf(bar).frameGeometry();
    bool checked = false;
    soon(
        [&] {
            Form* company = Forms::find("frmCompany");
            ASSERT_NE(company, nullptr);
            settle();
            FormWindow& window = windowOf(*company);
            expectOnScreenClearOf(window.frameGeometry(), barFrame);
            // The form knows where it went.
            EXPECT_EQ(px(company->Top()), window.frameGeometry().top());
            checked = true;
            company->Unload();
        },
        FramingDelay);
    QTest::mouseClick(windowOf(bar).widgetOf(bar.cmdOpen), Qt::LeftButton);
    EXPECT_TRUE(checked);

    // A form asked to stand off the screen is brought onto it.
    frmCompany& far = showForm<frmCompany>();
    act([&] { far.Move(-9000, 200000, far.Width(), far.Height()); });
    settle();
    expectOnScreenClearOf(windowOf(far).frameGeometry(), barFrame);
    Forms::forgetRegistrations();
}

TEST_F(DesktopBehaviourTest, TabInAGridsCellEditorMovesToTheNextCellNotTheNextControl) {
    frmQtSample& form = showForm<frmQtSample>();
    form.hfg.SetRow(1);
    form.hfg.SetCol(1);
    form.txt.Move(form.hfg.Left() + form.hfg.CellLeft(), form.hfg.Top() + form.hfg.CellTop(),
                  form.hfg.CellWidth(), form.hfg.CellHeight());
    form.txt.SetVisible(true);
    form.txt.ZOrder(0);
    form.txt.SetFocus();
    settle();
    QLineEdit& editor = lineOf(form, form.txt);
    QTest::keyClicks(&editor, "abc");
    QTest::keyClick(&editor, Qt::Key_Tab);
    settle();
    EXPECT_FALSE(form.txt.Visible());
    EXPECT_EQ(form.ActiveControl(), &form.hfg);
    EXPECT_TRUE(windowOf(form).widgetOf(form.hfg)->hasFocus());
    EXPECT_EQ(form.hfg.Col(), 2);

    // Elsewhere Tab goes on to the next control.
    form.txtCash.SetFocus();
    QTest::keyClick(&lineOf(form, form.txtCash), Qt::Key_Tab);
    EXPECT_EQ(form.ActiveControl(), &form.txtPw);
}

// A typed text that matches an entry leaves the box at the first Tab, as a text matching none does,
// though the window system tells the box it lost the focus as it goes (and the box's own matching
// at that moment would pick the entry again and take the focus back).
TEST_F(DesktopBehaviourTest, TabLeavesAComboBoxWhoseTextMatchesAnEntry) {
    for (QString typed : {QStringLiteral("二天"), QStringLiteral("五天")}) {
        SCOPED_TRACE(typed.toStdString());
        frmQtSample& form = showForm<frmQtSample>();
        act([&] {
            form.cbDay.SetStyle(0);
            form.cbDay.SetFocus();
        });
        settle();
        auto* box = qobject_cast<QComboBox*>(windowOf(form).widgetOf(form.cbDay));
        QLineEdit* line = box->lineEdit();
        typeCharacters(line, typed);
        QTest::keyClick(line, Qt::Key_Tab);
        QFocusEvent lost(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(line, &lost);
        settle();
        EXPECT_EQ(form.ActiveControl(), &form.lstWt);
        EXPECT_EQ(form.cbDay.Text(), typed.toStdString());
        Forms::discardAll();
        settle();
    }
}

// A grid that is read, not typed into, runs its double-click handler on the current row for Enter
// or Space, and a grid that answers clicks only takes Space as a click on the current cell.
TEST_F(DesktopBehaviourTest, EnterOrSpaceOnAGridsRowRunsItsMouseHandler) {
    frmQtSample& form = showForm<frmQtSample>();
    act([&] {
        form.hfg.SetFocus();
        form.hfg.SetRow(1);
        form.hfg.SetCol(1);
    });
    settle();
    QWidget* grid = windowOf(form).widgetOf(form.hfg);
    form.events.clear();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Space);
    Events runs;
    for (const std::string& event : form.events)
        if (!event.starts_with("hfg_KeyDown")) runs.push_back(event);
    EXPECT_EQ(runs, (Events{"hfg_DblClick 2,1", "hfg_DblClick 2,2"}));
    form.hfg.DblClick = nullptr;
    form.events.clear();
    QTest::keyClick(grid, Qt::Key_Space);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(form.events, (Events{"hfg_Click 2,2", "cmdSv_Click"}));
}

// The arrow keys choose the options of a group in turn, round from the last to the first, and
// pass over one that is disabled; the focus goes with the choice.
TEST_F(DesktopBehaviourTest, TheArrowKeysChooseTheOptionsOfAGroup) {
    frmQtSample& form = showForm<frmQtSample>();
    act([&] {
        form.optA(1).SetEnabled(false);
        form.optA(0).userClick();
    });
    settle();
    form.events.clear();
    for (auto key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Up})
        QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(form.events, (Events{"optA_Click 2", "optA_Click 0", "optA_Click 2"}));
    EXPECT_TRUE(form.optA(2).Value() && !form.optA(0).Value());
    EXPECT_EQ(form.ActiveControl(), &form.optA(2));
}

// A pop-up menu opened from the keyboard drops from the button that has the focus; one opened by
// the mouse comes at the pointer.
TEST_F(DesktopBehaviourTest, AMenuOpenedByKeyDropsFromItsButton) {
    frmQtSample& form = showForm<frmQtSample>();
    form.cmdM.Click = [&] { form.PopupMenu(form.md); };
    QWidget* button = windowOf(form).widgetOf(form.cmdM);
    act([&] { form.cmdM.SetFocus(); });
    settle();
    QPoint opened(-1, -1);
    auto closeMenu = [&] {
        if (QWidget* menu = QApplication::activePopupWidget()) {
            opened = menu->pos();
            menu->close();
        }
    };
    soon(closeMenu, 50);
    QTest::keyClick(button, Qt::Key_Space);
    settle();
    EXPECT_EQ(opened, button->mapToGlobal(QPoint(0, button->height())));
    QCursor::setPos(button->mapToGlobal(QPoint(-200, -200)));
    soon(closeMenu, 50);
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
    EXPECT_NE(opened, button->mapToGlobal(QPoint(0, button->height())));
}

TEST_F(DesktopBehaviourTest, EveryDisabledControlIsDrawnDisabled) {
    frmQtSample& form = showForm<frmQtSample>();
    form.txtCash.SetText("12000");
    form.cbDay.SetListIndex(1);
    form.optA(0).SetValue(true);
    std::vector<Control*> controls = {&form.txtCash, &form.cbDay,   &form.cmdSv,   &form.cmdM,
                                      &form.ck,      &form.optA(1), &form.lbTitle, &form.optA(0)};
    settle();
    for (Control* control : controls)
        EXPECT_GT(darkPixels(windowOf(form).widgetOf(*control)), 10) << control->Name();
    for (Control* control : controls)
        if (control->Container() != &form.fme) control->SetEnabled(false);
    form.lbTitle.SetForeColor(0);
    // The frame's options are disabled by the frame alone.
    form.fme.SetEnabled(false);
    settle();
    for (Control* control : controls)
        EXPECT_EQ(darkPixels(windowOf(form).widgetOf(*control)), 0) << control->Name();
}

TEST_F(DesktopBehaviourTest, TheFocusIsDrawnOnButtonsOptionsCheckBoxesAndGridsOnly) {
    frmQtSample& form = showForm<frmQtSample>();
    for (Control* control :
         std::vector<Control*>{&form.cmdSv, &form.cmdM, &form.ck, &form.optA(1), &form.hfg}) {
        form.txtCash.SetFocus();
        settle();
        QWidget* widget = windowOf(form).widgetOf(*control);
        QImage unfocused = widget->grab().toImage();
        act([&] { form.FocusNext(); });
        control->SetFocus();
        settle();
        ASSERT_TRUE(widget->hasFocus()) << control->Name();
        EXPECT_NE(widget->grab().toImage(), unfocused) << control->Name();
        form.txtCash.SetFocus();
        settle();
        EXPECT_EQ(widget->grab().toImage(), unfocused) << control->Name() << " after leaving";
    }
}

TEST_F(DesktopBehaviourTest, TheCalendarIsTraditionalChineseFromSundayAndFollowsTheModel) {
    frmQtSample& form = showForm<frmQtSample>();
    auto& picker = widgetOf<DatePickerWidget>(form, form.DTP);
    picker.openCalendar();
    QCalendarWidget* calendar = picker.calendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->locale().name(), QStringLiteral("zh_TW"));
    EXPECT_EQ(calendar->firstDayOfWeek(), Qt::Sunday);
    EXPECT_EQ(calendar->minimumDate(), QDate(1912, 1, 1));
    EXPECT_EQ(calendar->maximumDate(), QDate(2910, 12, 31));
    // A date the form sets is the one the open calendar shows; a picked one is the model's.
    form.DTP.SetValue(Date::fromYmd(2027, 3, 4));
    EXPECT_EQ(calendar->selectedDate(), QDate(2027, 3, 4));
    emit calendar->clicked(QDate(2027, 3, 9));
    EXPECT_EQ(form.DTP.Value(), Date::fromYmd(2027, 3, 9));
    picker.openCalendar();
    EXPECT_EQ(picker.calendar()->selectedDate(), QDate(2027, 3, 9));
    picker.calendar()->parentWidget()->hide();
}

TEST_F(DesktopBehaviourTest, QtsOwnDialogsSpeakTraditionalChinese) {
    EXPECT_EQ(QCoreApplication::translate("QPrintPreviewDialog", "Print"), QStringLiteral("列印"));
}

TEST_F(DesktopBehaviourTest, AMessageBoxIsWideEnoughForItsTitle) {
    const std::string title = "公司資料維護作業 - 大樹營造股份有限公司";
    int width = 0;
    soon([&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        width = box->width();
        box->accept();
    });
    messageBox("完成", 64, title);
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(qs(title)) + 100);
}

TEST_F(DesktopBehaviourTest, AnAccessKeyFocusesTheControlAfterItsLabelOrPressesItsButton) {
    frmLoginSample& form = showForm<frmLoginSample>();
    QLineEdit& user = lineOf(form, form.txtUserName);
    QLineEdit& password = lineOf(form, form.txtPassword);
    QTest::keyClick(&user, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(form.ActiveControl(), &form.txtPassword);
    EXPECT_TRUE(password.hasFocus());
    QTest::keyClick(&password, Qt::Key_U, Qt::AltModifier);
    EXPECT_EQ(form.ActiveControl(), &form.txtUserName);
    EXPECT_TRUE(user.hasFocus());
    EXPECT_EQ(form.txtUserName.Text(), "");
    QTest::keyClick(&user, Qt::Key_O, Qt::AltModifier);
    settle();
    EXPECT_EQ(form.presses, 1);
}

TEST_F(DesktopBehaviourTest, APasteIsTypedThroughTheBoxsKeyFilterAndRaisesKeyUpOnce) {
    frmQtSample& form = showForm<frmQtSample>();
    int keyUps = 0;
    form.txtCash.KeyUp = [&](int&, int) { ++keyUps; };
    QLineEdit& line = lineOf(form, form.txtCash);
    auto pasteWith = [&](const std::function<void()>& paste) {
        form.txtCash.SetText("12000");
        form.txtCash.SelectAll();
        keyUps = 0;
        form.events.clear();
        paste();
        settle();
        EXPECT_EQ(form.txtCash.Text(), "10000");
        EXPECT_EQ(line.text(), "10000");
        EXPECT_EQ(keyUps, 1);
        EXPECT_EQ(form.events.size(), 8u);  // seven KeyPress and one Change
    };
    QGuiApplication::clipboard()->setText(QStringLiteral("10,0x00"));
    pasteWith([&] { QTest::keyClick(&line, Qt::Key_V, Qt::ControlModifier); });
    pasteWith([&] { QTest::keyClick(&line, Qt::Key_Insert, Qt::ShiftModifier); });
    pasteWith([&] {
        soon([] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions())
                if (isPasteEntry(*action)) action->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                line.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(&line, &event);
    });
}

TEST_F(DesktopBehaviourTest, PauseWaitsWithoutBusyingTheProcessorAndTheBusyButtonTakesNoPress) {
    frmQtSample& form = showForm<frmQtSample>();
    int clicks = 0;
    bool timerRan = false;
    form.cmdSv.Click = [&] {
        ++clicks;
        Pause(0.4);
    };
    QWidget* button = windowOf(form).widgetOf(form.cmdSv);
    soon([&] { timerRan = true; }, 50);
    soon([&] { QTest::mouseClick(button, Qt::LeftButton); }, 100);
    std::clock_t processor = std::clock();
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::mouseClick(button, Qt::LeftButton);
    double busySeconds = static_cast<double>(std::clock() - processor) / CLOCKS_PER_SEC;
    EXPECT_GT(elapsed.elapsed(), 400);
    EXPECT_LT(busySeconds, 0.2);
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(clicks, 1);
}

}  // namespace

// The tooltip a widget shows when the mouse rests at `at`; empty for none.
QString tooltipAt(QWidget* widget, QPoint at) {
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QCoreApplication::sendEvent(widget, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// The rows of an image holding text in the control's (black) colour.
int inkRows(const QImage& image) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 80) {
                ++rows;
                break;
            }
    return rows;
}

// A number never shows without its leading digits: a text too wide for its cell, box or label is
// cut short with an ellipsis at its end and shown whole as the tooltip; a box lower than the
// font's line cuts no glyph at its top or bottom.
// A framed label just wide enough for its text shows it whole on its one line, not wrapped out of
// sight below it.
TEST_F(DesktopBehaviourTest, AFramedLabelJustWideEnoughShowsItsWholeTextOnItsLine) {
    frmQtSample& form = showForm<frmQtSample>();
    auto& label = widgetOf<LabelWidget>(form, form.lbTitle);
    const QString caption = QStringLiteral("信義大樓新建工程");
    act([&] {
        form.lbTitle.SetFontSize(9);
        form.lbTitle.SetBorderStyle(1);
        form.lbTitle.SetCaption(utf8(caption));
    });
    settle();
    const int textWidth = label.fontMetrics().horizontalAdvance(caption);
    for (int spare : {0, 1, 2}) {
        act([&] { form.lbTitle.SetWidth((textWidth + 2 * label.frameWidth() + spare) * 15); });
        settle();
        EXPECT_EQ(label.text().count(QChar(0x2026)), 0) << spare;
        EXPECT_LT(label.heightForWidth(label.width()), 2 * label.fontMetrics().lineSpacing())
            << spare;
    }
}

TEST_F(DesktopBehaviourTest, ATextThatDoesNotFitEndsInAnEllipsisAndShowsWholeAsItsTooltip) {
    frmQtSample& form = showForm<frmQtSample>();
    act([&] {
        // A column the user narrowed stays as narrow: the grid widens only the form's widths.
        form.hfg.userResizeColumn(1, 600);
        form.hfg.SetColAlignment(1, RightCentre);
        form.hfg.SetTextMatrix(1, 1, "1151207004");
        form.lbTitle.Move(form.lbTitle.Left(), form.lbTitle.Top(), 900, 285);
        form.lbTitle.SetCaption("中華民國 115 年 12 月 07 日");
        form.txtCash.SetWidth(600);
        form.txtCash.SetText("1151207004");
        form.hfg.SetRow(2);
        form.txtPw.SetFocus();
    });
    settle();
    auto& grid = widgetOf<GridWidget>(form, form.hfg);
    QRect cut = grid.cellRect(1, 1);
    EXPECT_EQ(tooltipAt(grid.viewport(), cut.center()), "1151207004");
    QImage cell = grid.viewport()->grab(cut).toImage();
    EXPECT_GT(inkRows(cell), 5);
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_GE(qGray(cell.pixel(x, y)), 80) << "the text runs past the cell's left edge";

    auto& label = widgetOf<LabelWidget>(form, form.lbTitle);
    EXPECT_TRUE(label.text().endsWith(QChar(0x2026))) << label.text().toStdString();
    EXPECT_EQ(tooltipAt(&label, label.rect().center()), "中華民國 115 年 12 月 07 日");
    QLineEdit& box = lineOf(form, form.txtCash);
    EXPECT_EQ(tooltipAt(&box, box.rect().center()), "1151207004");

    // A total box of the contract form: 19 pixels high, a sunken frame, "1,050,000".
    act([&] {
        form.lbTitle.SetFontSize(9);
        form.lbTitle.SetFontBold(false);
        form.lbTitle.SetWidth(1500);
        form.lbTitle.SetBorderStyle(1);
        form.lbTitle.SetCaption("1,050,000");
    });
    settle();
    // The glyphs keep clear of the box's top and bottom rows: none of them is cut.
    QImage low = label.grab(label.contentsRect()).toImage();
    EXPECT_GE(inkRows(low), 9);
    EXPECT_EQ(inkRows(low.copy(0, 0, low.width(), 1)), 0);
    EXPECT_EQ(inkRows(low.copy(0, low.height() - 1, low.width(), 1)), 0);
}

// The program's forms on the real host, in a folder of their own.
class ProgramKeyboardTest : public QtTest {
  protected:
    ProgramKeyboardTest() : program(folder) {
        registerVoucherForms();
        registerContractForms();
        LoggedIn = true;
        UserRights = AllRights;
        AccDb().Execute(
            "INSERT INTO ri VALUES ('115031001', '一號工程合約', '2026-03-01', '林先生', "
            "'林小姐', '02-23456789', '1,000,000', '50,000', '0', '1,050,000', '', 'Q1', "
            "'K1', '一號工程', 'P001', '土木', '5,000', 0, '0')");
        AccDb().Execute(
            "INSERT INTO ri期 VALUES ('115031001', 1, '315,000', '2026-03-27', '30.00%', NULL, "
            "'', '', NULL, 0, '', '', 0)");
    }

    // Keys as the user presses them, each to the widget that has the focus: characters, and
    // {Tab}, {BackTab}, {Enter}, {Esc}, {Space}, {F2}, {Down}, {CtrlTab}.
    static void press(const std::string& keys) {
        static const std::map<std::string, std::pair<Qt::Key, Qt::KeyboardModifiers>> named{
            {"Tab", {Qt::Key_Tab, Qt::NoModifier}},
            {"BackTab", {Qt::Key_Backtab, Qt::ShiftModifier}},
            {"Enter", {Qt::Key_Return, Qt::NoModifier}},
            {"Esc", {Qt::Key_Escape, Qt::NoModifier}},
            {"Space", {Qt::Key_Space, Qt::NoModifier}},
            {"F2", {Qt::Key_F2, Qt::NoModifier}},
            {"Down", {Qt::Key_Down, Qt::NoModifier}},
            {"Up", {Qt::Key_Up, Qt::NoModifier}},
            {"CtrlTab", {Qt::Key_Tab, Qt::ControlModifier}}};
        for (size_t i = 0; i < keys.size(); ++i) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr) << "nothing has the focus before key " << i;
            if (keys[i] == '{') {
                size_t end = keys.find('}', i);
                auto [key, modifiers] = named.at(keys.substr(i + 1, end - i - 1));
                QTest::keyClick(focus, key, modifiers);
                i = end;
            } else {
                QTest::keyClicks(focus, QString(QChar(keys[i])));
            }
            settle();
        }
    }

    test::TempFolder folder;
    test::ProgramInFolder program;
};

// Each grid typed into takes a row by keyboard alone: a character on the current cell opens its
// editor with the character in it, Tab and Enter go on to the next cell, Shift+Tab back, F2
// opens the editor on what the cell holds; Ctrl+Tab leaves the grid.
TEST_F(ProgramKeyboardTest, TheGridsTypedIntoOpenTheirEditorsByKeyboard) {
    struct Cell {
        int row, col;
        std::string text;
    };
    struct Case {
        const char* form;
        std::function<Grid&(Form&)> grid;
        const char* startButton;  // pressed first: the grid is then open for editing
        Cell start;
        std::string keys;
        std::vector<Cell> cells;
        std::pair<int, int> current;
        // Ctrl+Tab then leaves the grid for this control.
        const char* after = nullptr;
    };
    const Case cases[] = {
        {"frmCom",
         [](Form& f) -> Grid& { return static_cast<frmCom&>(f).hfg(0); },
         nullptr,
         {1, 0, ""},
         "Bank{Tab}Holder{Tab}001-9{Enter}{BackTab}{BackTab}{F2}X{Enter}",
         {{1, 0, "Bank"}, {1, 1, "X"}, {1, 2, "001-9"}},
         {1, 2}},
        {"frmSt",
         [](Form& f) -> Grid& { return static_cast<frmSt&>(f).hfg(frmSt::ExpenseGrid); },
         nullptr,
         {1, 0, ""},
         "6100{Tab}Misc{Enter}7100{Enter}",
         {{1, 0, "6100"}, {1, 1, "Misc"}, {2, 0, "7100"}},
         {2, 1}},
        {"frmTag",
         [](Form& f) -> Grid& { return static_cast<frmTag&>(f).hfg; },
         "cmdAdd",
         {1, 3, ""},
         "{F2}{Down}{Tab}abc{Tab}1500{Enter}",
         {{1, 3, "借"}, {1, 4, "abc"}, {1, 5, "1500"}},
         {2, 1},
         "lst"},
        {"frmRio",
         [](Form& f) -> Grid& { return static_cast<frmRio&>(f).schedules.hfg; },
         "cmdAc",
         {2, 1, ""},
         "735000{Tab}{F2}{Tab}{Tab}{Tab}A7{Enter}",
         {{2, 1, "735,000"}, {2, 5, "A7"}},
         {2, 5}},
        {"frmRio",
         [](Form& f) -> Grid& { return static_cast<frmRio&>(f).schedules.HfgAM; },
         "cmdAM",
         {1, 1, ""},
         "Q9{Tab}K9{Tab}50000{Enter}",
         {{1, 1, "Q9"}, {1, 2, "K9"}, {1, 3, "50,000"}},
         {1, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        Form* form = Forms::getByName(c.form);
        ASSERT_NE(form, nullptr);
        form->Show();
        settle();
        if (c.startButton) act([&] { form->FindControl(c.startButton)->userClick(); });
        Grid& grid = c.grid(*form);
        act([&] {
            grid.SetFocus();
            grid.SetRow(c.start.row);
            grid.SetCol(c.start.col);
        });
        settle();
        press(c.keys);
        for (const Cell& cell : c.cells)
            EXPECT_EQ(grid.TextMatrix(cell.row, cell.col), cell.text)
                << cell.row << "," << cell.col;
        EXPECT_EQ(std::pair(grid.Row(), grid.Col()), c.current);
        EXPECT_EQ(form->ActiveControl(), &grid);
        if (c.after) {
            press("{CtrlTab}");
            EXPECT_EQ(form->ActiveControl()->Name(), c.after);
        }
        Forms::discardAll();
        settle();
    }
}

// Esc in a cell's editor cancels the edit: the cell keeps the text it had before the editor
// opened, whether the editor was opened by F2 or by typing, and the grid keeps the focus there.
TEST_F(ProgramKeyboardTest, EscInACellsEditorKeepsTheCellsOldText) {
    struct Case {
        const char* form;
        std::function<Grid&(Form&)> grid;
        const char* startButton;
        std::pair<int, int> cell;
        std::string keys;
        std::string kept;
    };
    const Case cases[] = {
        {"frmCom",
         [](Form& f) -> Grid& { return static_cast<frmCom&>(f).hfg(0); },
         nullptr,
         {1, 0},
         "Bank{Tab}{BackTab}{F2}Other{Esc}",
         "Bank"},
        {"frmCom",
         [](Form& f) -> Grid& { return static_cast<frmCom&>(f).hfg(0); },
         nullptr,
         {1, 0},
         "Bank{Tab}{BackTab}Z{Esc}",
         "Bank"},
        {"frmTag",
         [](Form& f) -> Grid& { return static_cast<frmTag&>(f).hfg; },
         "cmdAdd",
         {1, 4},
         "abc{Tab}{BackTab}{F2}xyz{Esc}",
         "abc"},
        {"frmRio",
         [](Form& f) -> Grid& { return static_cast<frmRio&>(f).schedules.hfg; },
         "cmdAc",
         {2, 1},
         "735000{Tab}{BackTab}{F2}9{Esc}",
         "735,000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form + std::string(" ") + c.keys);
        Form* form = Forms::getByName(c.form);
        form->Show();
        settle();
        if (c.startButton) act([&] { form->FindControl(c.startButton)->userClick(); });
        Grid& grid = c.grid(*form);
        act([&] {
            grid.SetFocus();
            grid.SetRow(c.cell.first);
            grid.SetCol(c.cell.second);
        });
        settle();
        press(c.keys);
        EXPECT_EQ(grid.TextMatrix(c.cell.first, c.cell.second), c.kept);
        EXPECT_EQ(std::pair(grid.Row(), grid.Col()), c.cell);
        EXPECT_EQ(form->ActiveControl(), &grid);
        Forms::discardAll();
        settle();
    }
}

// Enter on a date cell's picker opened by F2 writes the date it shows, as a pick of it does, and
// the grid has the focus again.
TEST_F(ProgramKeyboardTest, EnterOnADateCellsPickerWritesTheShownDate) {
    auto& form = static_cast<frmRio&>(*Forms::getByName("frmRio"));
    form.Show();
    settle();
    act([&] { form.schedules.cmdAc.userClick(); });
    act([&] {
        form.schedules.hfg.SetFocus();
        form.schedules.hfg.SetRow(2);
        form.schedules.hfg.SetCol(2);
    });
    settle();
    press("{F2}");
    ASSERT_EQ(form.ActiveControl(), &form.schedules.dtpi);
    std::string shown = GridRocDate(form.schedules.dtpi.Value());
    press("{Enter}");
    EXPECT_EQ(form.schedules.hfg.TextMatrix(2, 2), shown);
    EXPECT_FALSE(form.schedules.dtpi.Visible());
    EXPECT_EQ(form.ActiveControl(), &form.schedules.hfg);
}

// The company record is typed box after box: Tab goes from 名稱 to 地址, and on to 確定變更 only
// after the last of its six boxes.
TEST_F(ProgramKeyboardTest, TheCompanyRecordIsTypedBoxAfterBox) {
    frmCom& form = Forms::get<frmCom>();
    form.Show();
    act([&] { form.txtCo_name.SetFocus(); });
    settle();
    press("Name{Tab}Road{Tab}1{Tab}2{Tab}3{Tab}4{Tab}");
    EXPECT_EQ(form.txtCo_name.Text(), "Name");
    EXPECT_EQ(form.txtCo_add.Text(), "Road");
    EXPECT_EQ(form.txtCo_email.Text(), "4");
    EXPECT_EQ(form.ActiveControl(), &form.Command3);
}

// A new member typed in by keyboard on the real host: one press of 新增 starts the entry though
// the search box, which hides as it loses the focus, had it; Enter goes from 中文姓名 to 英文姓名;
// the number shown after the save is the one stored.
TEST_F(ProgramKeyboardTest, TheStaffFormTakesANewMemberByKeyboard) {
    PeopleDb().Execute(
        "INSERT INTO 員工 (員工編號, 中文姓名, 英文姓名) VALUES ('11001', '陳一', 'chen1')");
    auto& form = static_cast<frmSta&>(*Forms::getByName("frmSta"));
    form.Show();
    act([&] {
        form.Combo1.SetVisible(true);
        form.Combo1.SetFocus();
    });
    settle();
    QTest::mouseClick(windowOf(form).widgetOf(form.cmdAdd), Qt::LeftButton);
    settle();
    EXPECT_EQ(form.EntryMode, "AddF");
    EXPECT_EQ(form.ActiveControl(), &form.T2);
    typeCharacters(QApplication::focusWidget(), QStringLiteral("陳二"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    EXPECT_EQ(form.ActiveControl(), &form.T3);
    QTest::keyClicks(QApplication::focusWidget(), "chen2");
    QTest::mouseClick(windowOf(form).widgetOf(form.cmdY), Qt::LeftButton);
    settle();
    Recordset stored =
        PeopleDb().OpenRecordset("SELECT 員工編號 FROM 員工 WHERE 中文姓名 = ?", "陳二");
    ASSERT_FALSE(stored.Eof());
    EXPECT_EQ(stored.Fields(0).text(), "11002");
    EXPECT_EQ(form.T1.Text(), "11002");
}

// The cheque reminder by keyboard: it opens with its first list's first row current, and Enter
// opens that cheque as a double-click does.
TEST_F(ProgramKeyboardTest, EnterOnTheRemindersRowOpensItsCheque) {
    registerChequeForms();
    const Date today = Clock::today();
    test::AddChequeRow({.voucherNo = "R1", .received = true, .due = today.addDays(-1)});
    test::AddChequeRow({.voucherNo = "R2", .received = true, .due = today});
    std::vector<std::string> opened;
    auto& form = static_cast<frmArm&>(*Forms::getByName("frmArm"));
    form.Show();
    settle();
    ASSERT_FALSE(form.IsUnloaded());
    ASSERT_EQ(form.ActiveControl(), &form.hfgI);
    // A modeless show does not activate the window offscreen; the login's modal show does.
    for (const char* keys : {"{Enter}", "{Down}{Enter}"}) {
        // Offscreen no window manager gives the window the focus back after frmBill.
        windowOf(form).activateWindow();
        windowOf(form).widgetOf(form.hfgI)->setFocus();
        settle();
        soon(
            [&] {
                if (Form* bill = Forms::find("frmBill")) {
                    opened.push_back(ChequeVoucherNo);
                    bill->Unload();
                }
            },
            100);
        press(keys);
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"R1", "R2"}));
}

// The voucher form by keyboard: Tab reaches the scroll bar, whose arrow keys page back to an
// older voucher; the unsigned list opened with Space comes next in the Tab order, and Enter on
// its row shows that voucher.
TEST_F(ProgramKeyboardTest, TheVoucherFormPagesAndOpensAListedVoucherByKeyboard) {
    test::AddVoucherRow(test::Expense("1151120001", test::day(2026, 11, 20), 500, -1));
    test::AddVoucherRow(test::Expense("1151120002", test::day(2026, 11, 20), 700, -2));
    test::AddVoucherRow(test::Expense("1151120003", test::day(2026, 11, 20), 900, 0));
    auto& form = static_cast<frmIo&>(*Forms::getByName("frmIo"));
    form.Show();
    settle();
    act([&] { form.cmdAdd.SetFocus(); });
    settle();
    press("{BackTab}");
    ASSERT_EQ(form.ActiveControl(), &form.FSB);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    settle();
    EXPECT_EQ(form.lbNo.Caption(), "1151120002");
    act([&] { form.cmdNck.SetFocus(); });
    settle();
    press("{Space}");
    ASSERT_EQ(form.cmdNck.Caption(), "檢視未簽核收支單<<");
    press("{Tab}{Tab}{Tab}");
    ASSERT_EQ(form.ActiveControl(), &form.hfg);
    press("{Enter}");
    EXPECT_EQ(form.lbNo.Caption(), "1151120002");
}

// Space on 新增 or 修改 of the contract form starts the typing at the contract's name: the
// button pressed is disabled, and the keyboard must not pass on to 儲存.
TEST_F(ProgramKeyboardTest, AContractsEntryStartsAtItsNameByKeyboard) {
    auto& form = static_cast<frmRio&>(*Forms::getByName("frmRio"));
    form.Show();
    settle();
    for (CommandButton* button : {&form.cmdEdit, &form.cmdAdd}) {
        windowOf(form).activateWindow();
        act([&] { button->SetFocus(); });
        settle();
        press("{Space}");
        EXPECT_EQ(form.ActiveControl(), &form.txtNa) << button->Caption();
        act([&] { form.cmdCen.userClick(); });
        settle();
    }
}

// With 合計開票 ticked Space marks and unmarks the current row as a click does, and opens no
// voucher; the scroll bar shows that it has the keyboard.
TEST_F(ProgramKeyboardTest, SpaceMarksVouchersForOneChequeAndTheScrollBarShowsItsFocus) {
    test::AddVoucherRow(test::Expense("1151120001", test::day(2026, 11, 20), 500, -1));
    test::AddVoucherRow(test::Expense("1151120002", test::day(2026, 11, 20), 700, -2));
    auto& form = static_cast<frmIo&>(*Forms::getByName("frmIo"));
    form.Show();
    settle();
    QWidget* bar = windowOf(form).widgetOf(form.FSB);
    act([&] { form.cmdAdd.SetFocus(); });
    settle();
    QImage unfocused = bar->grab().toImage();
    press("{BackTab}");
    ASSERT_EQ(form.ActiveControl(), &form.FSB);
    EXPECT_NE(bar->grab().toImage(), unfocused);

    act([&] { form.cmdNck.SetFocus(); });
    settle();
    press("{Space}{Tab}{Tab}{Space}");
    ASSERT_EQ(form.ckco.Value(), 1);
    press("{Tab}{Tab}");
    ASSERT_EQ(form.ActiveControl(), &form.hfg);
    press("{Space}");
    EXPECT_EQ(form.hfg.TextMatrix(form.hfg.Row(), 0), "*");
    press("{Up}{Space}");
    EXPECT_EQ(form.hfg.TextMatrix(1, 0) + form.hfg.TextMatrix(2, 0), "**");
    press("{Space}");
    EXPECT_EQ(form.hfg.TextMatrix(1, 0), "");
    EXPECT_EQ(form.lbNo.Caption(), "1151120002");
    EXPECT_EQ(form.cmdNck.Caption(), "檢視未簽核收支單<<");
}

// The generated voucher is stored as it appears: Enter where the focus starts closes it.
TEST_F(ProgramKeyboardTest, EnterClosesTheGeneratedVoucher) {
    test::AddVoucherRow(test::Expense("1151120001", test::day(2026, 11, 20), 500, 1));
    AutoVoucherFromCashing = true;
    CashingVoucherNo = "1151120001";
    bool closedByEnter = false;
    soon(
        [&] {
            if (QApplication::activeModalWidget() && !Forms::find("frmIoAuto")) {
                QApplication::activeModalWidget()->close();
                return;
            }
            Form& generated = *Forms::find("frmIoAuto");
            windowOf(generated).activateWindow();
            settle();
            Control* focus = generated.ActiveControl();
            if (focus) QTest::keyClick(windowOf(generated).widgetOf(*focus), Qt::Key_Return);
            settle();
            closedByEnter = focus && !Forms::find("frmIoAuto");
            if (Forms::find("frmIoAuto")) act([] { Forms::unloadByName("frmIoAuto"); });
        },
        50);
    act([] {
        Transaction caller(AccDb(), TransactionKind::Writes);
        Forms::showByName("frmIoAuto", Modal);
        caller.Commit();
    });
    AutoVoucherFromCashing = false;
    EXPECT_TRUE(closedByEnter);
}

// The menu key and Shift+F10 open a schedule row's commands as the right button does, dropping
// from the current cell.
TEST_F(ProgramKeyboardTest, TheMenuKeyAndShiftF10OpenAScheduleRowsCommandsAtItsCell) {
    auto& form = static_cast<frmRio&>(*Forms::getByName("frmRio"));
    form.Show();
    settle();
    Grid& plan = form.schedules.hfg;
    QWidget* grid = windowOf(form).widgetOf(plan);
    windowOf(form).activateWindow();
    act([&] {
        plan.SetFocus();
        plan.SetRow(1);
        plan.SetCol(1);
    });
    settle();
    for (auto [key, modifiers] :
         {std::pair{Qt::Key_Menu, Qt::KeyboardModifiers(Qt::NoModifier)},
          std::pair{Qt::Key_F10, Qt::KeyboardModifiers(Qt::ShiftModifier)}}) {
        QStringList entries;
        QPoint at;
        soon(
            [&] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (!menu) return;
                for (QAction* action : menu->actions())
                    entries << action->text();
                at = menu->pos();
                menu->close();
            },
            50);
        QTest::keyClick(grid, key, modifiers);
        settle();
        EXPECT_TRUE(entries.contains("刪除")) << entries.join(",").toStdString();
        QRect cell = static_cast<GridWidget*>(grid)->cellRect(1, 1);
        EXPECT_NEAR(at.y(), grid->mapToGlobal(cell.bottomLeft()).y(), 30);
    }
}
