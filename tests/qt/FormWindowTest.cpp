#include <QAbstractButton>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <stdexcept>

#include "platform/db/Database.h"
#include "shell/Schema.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/qt/SampleForm.h"
#include "tests/support/TempFolder.h"

using namespace kiv;

namespace {

using Log = std::vector<std::string>;

// A form shown modally by frmOpener.
class frmPick : public Form {
  public:
    static constexpr const char* FormName = "frmPick";
    frmPick() : Form(FormName) {
        SetBorderStyle(3);
        cmdOK.Click = [this] { Unload(); };
    }
    void Form_QueryUnload(int& cancel, int) override { cancel = refuse ? 1 : 0; }
    CommandButton cmdOK{*this, "cmdOK"};
    bool refuse = false;
};

class frmOpener : public Form {
  public:
    static constexpr const char* FormName = "frmOpener";
    frmOpener() : Form(FormName) {
        cmdOpen.Click = [this] {
            log.push_back("before show");
            Forms::get<frmPick>().Show(Modal);
            log.push_back("after show");
        };
        cmdFail.Click = [] { throw std::runtime_error("資料庫已鎖定"); };
    }
    CommandButton cmdOpen{*this, "cmdOpen"};
    CommandButton cmdFail{*this, "cmdFail"};
    Log log;
};

class FormWindowTest : public QtTest {
  protected:
    // The visible message box, dialog or menu of the moment.
    template <class W>
    static W* shown() {
        if (auto* modal = qobject_cast<W*>(QApplication::activeModalWidget())) return modal;
        return qobject_cast<W*>(QApplication::activePopupWidget());
    }
    template <class F>
    F& showForm() {
        F& form = Forms::get<F>();
        form.Show();
        settle();
        return form;
    }
    void click(Form& form, Control& control) {
        QTest::mouseClick(windowOf(form).widgetOf(control), Qt::LeftButton);
    }
};

TEST_F(FormWindowTest, AModalShowInAClickHandlerReturnsOnlyWhenTheFormCloses) {
    frmOpener& opener = showForm<frmOpener>();
    soon(
        [&] {
            auto* pick = dynamic_cast<frmPick*>(Forms::find("frmPick"));
            ASSERT_NE(pick, nullptr);
            FormWindow* window = host.windowOf(*pick);
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
            // Closing through the frame asks the form first.
            pick->refuse = true;
            window->close();
            opener.log.push_back(Forms::isLoaded<frmPick>() ? "still open" : "closed");
            pick->refuse = false;
            click(*pick, pick->cmdOK);
        },
        50);
    click(opener, opener.cmdOpen);
    EXPECT_EQ(opener.log, (Log{"before show", "still open", "after show"}));
    EXPECT_FALSE(Forms::isLoaded<frmPick>());
}

// A modal form, a message box and an input box open above the window of the form that asked,
// whatever other window Qt holds active at that moment (a window about to go, another form's).
TEST_F(FormWindowTest, DialogsStandAboveTheWindowOfTheFormThatAskedForThem) {
    frmOpener& opener = showForm<frmOpener>();
    QWidget elsewhere;
    elsewhere.show();
    std::vector<QWindow*> owners;
    auto ownerOfShown = [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        owners.push_back(
            dialog && dialog->windowHandle() ? dialog->windowHandle()->transientParent() : nullptr);
    };
    soon(
        [&] {
            auto* pick = dynamic_cast<frmPick*>(Forms::find("frmPick"));
            ASSERT_NE(pick, nullptr);
            QWindow* pickWindow = windowOf(*pick).windowHandle();
            EXPECT_EQ(pickWindow->transientParent(), windowOf(opener).windowHandle());
            elsewhere.activateWindow();
            settle();
            EXPECT_EQ(QApplication::activeWindow(), &elsewhere);
            soon([&] {
                ownerOfShown();
                qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->accept();
            });
            act([] { messageBox("確定處理此票據為[退 票]", 292, "Kiv"); });
            soon([&] {
                ownerOfShown();
                qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject();
            });
            act([] { inputBox("請輸入搜尋文字"); });
            EXPECT_EQ(owners, (std::vector<QWindow*>{pickWindow, pickWindow}));
            act([&] { pick->Unload(); });
        },
        50);
    click(opener, opener.cmdOpen);
    EXPECT_EQ(owners.size(), 2u);
}

// When a modal form closes, the keyboard goes back to the window that opened it, whichever window
// (the launcher bar, another program's) the window manager gave the focus to meanwhile.
TEST_F(FormWindowTest, TheOpenerHasTheFocusAgainWhenItsModalFormCloses) {
    frmOpener& opener = showForm<frmOpener>();
    QWidget elsewhere;
    elsewhere.show();
    soon(
        [&] {
            auto* pick = dynamic_cast<frmPick*>(Forms::find("frmPick"));
            ASSERT_NE(pick, nullptr);
            act([&] { pick->Unload(); });
            elsewhere.activateWindow();
        },
        50);
    click(opener, opener.cmdOpen);
    settle();
    EXPECT_EQ(QApplication::activeWindow(), &windowOf(opener));
}

TEST_F(FormWindowTest, ClosingThroughTheFrameRunsQueryUnloadAndCanBeRefused) {
    frmQtSample& form = showForm<frmQtSample>();
    form.refuseClose = true;
    windowOf(form).close();
    settle();
    EXPECT_EQ(form.events, Log{"QueryUnload 0"});
    ASSERT_TRUE(Forms::isLoaded<frmQtSample>());
    EXPECT_TRUE(windowOf(form).isVisible());

    form.refuseClose = false;
    windowOf(form).close();
    settle();
    EXPECT_FALSE(Forms::isLoaded<frmQtSample>());
    EXPECT_EQ(host.windowOf(form), nullptr);
}

TEST_F(FormWindowTest, TheWindowHasTheFormsClientSizePositionAndBorder) {
    frmQtSample& form = showForm<frmQtSample>();
    FormWindow& window = windowOf(form);
    EXPECT_EQ(window.windowTitle(), "收支單 - 範例");
    EXPECT_EQ(window.size(), QSize(form.ScaleWidth() / 15, form.ScaleHeight() / 15));
    // Asked for at (80, 60), the 760-pixel-wide window is kept on the 800-pixel screen.
    EXPECT_EQ(window.pos(), QPoint(40, 60));
    EXPECT_EQ(form.Left(), 40 * 15);
    form.SetBorderStyle(3);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    form.SetTopMost(true);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    // The launcher bar stands above the screen: its title bar is hidden, its lower part shows.
    form.Move(3000, -830, 9000, 3585);
    EXPECT_EQ(window.pos().y(), 0);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.content()->y(), -36);
    EXPECT_EQ(window.height(), (3585 - 830) / 15);
    EXPECT_EQ(form.Top(), -830);
}

TEST_F(FormWindowTest, MessageBoxStylesGiveTheirButtonsIconsDefaultsAndTitles) {
    // Style, title asked for → icon, the buttons in sorted order, the default, the one pressed,
    // the title shown, the answer.
    struct Case {
        int style;
        std::optional<std::string> title;
        QMessageBox::Icon icon;
        QString buttons, defaultButton, press, shownTitle;
        int answer;
    };
    using Box = QMessageBox;
    const Case cases[] = {
        {16, std::nullopt, Box::Critical, "確定", "確定", "確定", "Kiv", AnswerOk},
        {292, "", Box::Question, "否(&N) 是(&Y)", "否(&N)", "是(&Y)", "", AnswerYes},
        {35, "KIV", Box::Question, "取消 否(&N) 是(&Y)", "是(&Y)", "取消", "KIV", AnswerCancel},
        {52, "Kiv", Box::Warning, "否(&N) 是(&Y)", "是(&Y)", "否(&N)", "Kiv", AnswerNo},
        {65, "Kiv", Box::Information, "取消 確定", "確定", "取消", "Kiv", AnswerCancel},
    };
    for (const Case& c : cases) {
        soon([&] {
            auto* box = shown<QMessageBox>();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->icon(), c.icon) << c.style;
            EXPECT_EQ(box->windowTitle(), c.shownTitle) << c.style;
            EXPECT_EQ(box->text(), "確定刪除\n如果刪除會將所包含的施工一並刪除");
            QStringList captions;
            QAbstractButton* press = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                captions.push_back(button->text());
                if (button->text() == c.press) press = button;
            }
            captions.sort();
            EXPECT_EQ(captions.join(" "), c.buttons) << c.style;
            EXPECT_EQ(box->defaultButton()->text(), c.defaultButton) << c.style;
            ASSERT_NE(press, nullptr);
            press->click();
        });
        EXPECT_EQ(messageBox("確定刪除\r\n如果刪除會將所包含的施工一並刪除", c.style, c.title),
                  c.answer)
            << c.style;
    }
}

TEST_F(FormWindowTest, InputBoxesStartWithTheirDefaultAndGiveEmptyOnCancel) {
    soon([] {
        auto* dialog = shown<QInputDialog>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->textValue(), "9500");
        dialog->setTextValue("9,500");
        dialog->accept();
    });
    EXPECT_EQ(inputBox("填入沖帳金額", "Kiv", "9500"), "9,500");
    soon([] { shown<QInputDialog>()->reject(); });
    EXPECT_EQ(inputBox("請輸入搜尋文字", std::nullopt, "收入"), "");
}

TEST_F(FormWindowTest, APopupMenuShowsItsEntriesAndTheChosenOnesClickRuns) {
    frmQtSample& form = showForm<frmQtSample>();
    form.mdel.SetEnabled(false);
    Log entries;
    soon([&] {
        auto* menu = shown<QMenu>();
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            entries.push_back(action->isSeparator()
                                  ? "-"
                                  : utf8(action->text()) + (action->isEnabled() ? "" : " (off)"));
        menu->setActiveAction(menu->actions().back());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    act([&] { form.PopupMenu(form.md); });
    EXPECT_EQ(entries, (Log{"刪除 (off)", "-", "機具"}));
    EXPECT_EQ(form.events.back(), "mMach_Click");
}

TEST_F(FormWindowTest, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
    frmOpener& opener = showForm<frmOpener>();
    QString seen, title;
    soon([&] {
        auto* box = shown<QMessageBox>();
        ASSERT_NE(box, nullptr);
        seen = box->text();
        title = box->windowTitle();
        box->buttons().front()->click();
    });
    click(opener, opener.cmdFail);
    EXPECT_EQ(seen, "資料庫已鎖定");
    EXPECT_EQ(title, "Kiv");
    EXPECT_TRUE(windowOf(opener).isVisible());

    // An action posted from a handler runs after it.
    Log order;
    act([&] {
        postAfterEvent([&] { order.push_back("posted"); });
        order.push_back("handler");
    });
    settle();
    EXPECT_EQ(order, (Log{"handler", "posted"}));
}

// A read an action leaves running while a message box waits for the user keeps no old state of the
// file: what another copy commits meanwhile is read, inside the same action.
TEST_F(FormWindowTest, AReadRunningWhileAMessageBoxWaitsKeepsNoOldStateOfTheFile) {
    showForm<frmOpener>();
    test::TempFolder folder;
    auto copyA = Database::open(folder.file("acc.mdb"), accSchema());
    auto copyB = Database::open(folder.file("acc.mdb"), accSchema());
    for (int i = 0; i < 10; ++i)
        copyA->Execute("INSERT INTO use VALUES (?, ?)", i, "用途" + std::to_string(i));
    int64_t counted = 0;
    soon(
        [&] {
            copyB->Execute("INSERT INTO use VALUES (10, '新用途')");
            counted = copyA->OpenRecordset("SELECT count(*) FROM use").Fields(0).wholeNumber();
            shown<QMessageBox>()->accept();
        },
        50);
    act([&] {
        Recordset words = copyA->OpenRecordset("SELECT * FROM use ORDER BY id");
        words.Move(4);
        messageBox("完成", MessageInformation);
    });
    EXPECT_EQ(counted, 11);
}

// Runs the program in this (death test's child) process: a first form, then what `then` does.
template <class First = frmOpener>
int runProgramWith(std::function<void()> then) {
    static int argc = 1;
    static char name[] = "kiv";
    static char* argv[] = {name, nullptr};
    return runQtProgram(argc, argv, [then] {
        Forms::registerForm<First>();
        Forms::get<First>().Show();
        QTimer::singleShot(100, [then] { act(then); });
    });
}

TEST(QtProgramTest, TheProgramRunsUntilItsLastWindowClosesOrItIsEnded) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto lastWindowCloses = [] {
        int code = runProgramWith([] { Forms::unload<frmOpener>(); });
        std::fprintf(stderr, "loop ended\n");
        std::exit(code);
    };
    EXPECT_EXIT(lastWindowCloses(), ::testing::ExitedWithCode(0), "loop ended");
    auto ended = [] {
        onProgramEnd([] { std::fprintf(stderr, "databases closed\n"); });
        runProgramWith([] { endProgram(); });
        std::exit(3);
    };
    EXPECT_EXIT(ended(), ::testing::ExitedWithCode(0), "databases closed");
}

// The launcher's shape: a tool window on top of the others, made before its Load puts it above
// the screen's edge.
class frmToolBar : public Form {
  public:
    static constexpr const char* FormName = "frmToolBar";
    frmToolBar() : Form(FormName) {
        SetBorderStyle(4);
        SetTopMost(true);
        cmdOpen.Click = [] { Forms::showByName("frmLocked", Modeless); };
    }
    void Form_Load() override { Move(3000, -290, 675, 3585); }
    CommandButton cmdOpen{*this, "cmdOpen"};
};

// A form whose Load is refused: another copy holds the file it writes as it opens.
class frmLocked : public Form {
  public:
    static constexpr const char* FormName = "frmLocked";
    frmLocked() : Form(FormName) {}
    void Form_Load() override {
        throw std::runtime_error("pt.mdb 正由另一個程式寫入中，請稍後再試");
    }
};

// The user opens a form from the launcher, with nothing else open, and the form cannot open:
// once the message is answered, the launcher is still there and the program runs on.
TEST(QtProgramTest, AFormThatCannotOpenLeavesTheLauncherAndTheProgramRunning) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto refusedOpen = [] {
        int code = runProgramWith<frmToolBar>([] {
            Forms::registerForm<frmLocked>();
            FormWindow* bar = QtHost::current()->windowOf(Forms::get<frmToolBar>());
            QTimer::singleShot(100, [] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (box) QTest::keyClick(box, Qt::Key_Return);
            });
            QTimer::singleShot(600, [bar] {
                if (bar->isVisible()) std::fprintf(stderr, "still running\n");
                endProgram();
            });
            QTest::mouseClick(bar->widgetOf(Forms::get<frmToolBar>().cmdOpen), Qt::LeftButton);
        });
        std::fprintf(stderr, "loop ended\n");
        std::exit(code);
    };
    EXPECT_EXIT(refusedOpen(), ::testing::ExitedWithCode(0), "still running");
}

}  // namespace
