#include <QAbstractButton>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "platform/qt/ControlWidgets.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/qt/SampleForm.h"

using namespace kiv;

namespace {

// A form shown modally by frmOpener; it reads back what the opener handed over.
class frmPick : public Form {
  public:
    static constexpr const char* FormName = "frmPick";
    frmPick() : Form(FormName) {
        SetBorderStyle(3);
        SetCaption("選取");
        cmdOK.Click = [this] { Unload(); };
    }
    void Form_QueryUnload(int& cancel, int) override { cancel = refuse ? 1 : 0; }
    CommandButton cmdOK{*this, "cmdOK"};
    TextBox txtName{*this, "txtName"};
    bool refuse = false;
};

class frmOpener : public Form {
  public:
    static constexpr const char* FormName = "frmOpener";
    frmOpener() : Form(FormName) {
        cmdOpen.Click = [this] {
            log.push_back("before show");
            frmPick& pick = Forms::get<frmPick>();
            pick.Show(Modal);
            log.push_back("after show");
        };
        cmdFail.Click = [this] { throw std::runtime_error("資料庫已鎖定"); };
    }
    CommandButton cmdOpen{*this, "cmdOpen"};
    CommandButton cmdFail{*this, "cmdFail"};
    std::vector<std::string> log;
};

class FormWindowTest : public QtTest {
  protected:
    // The visible message box, dialog or menu of the moment.
    template <class W>
    static W* shown() {
        if (auto* modal = qobject_cast<W*>(QApplication::activeModalWidget())) return modal;
        return qobject_cast<W*>(QApplication::activePopupWidget());
    }
};

TEST_F(FormWindowTest, AModalShowInAClickHandlerReturnsOnlyWhenTheFormCloses) {
    frmOpener& opener = Forms::get<frmOpener>();
    opener.Show();
    settle();
    soon(
        [&] {
            opener.log.push_back("modal form up");
            frmPick* pick = dynamic_cast<frmPick*>(Forms::find("frmPick"));
            ASSERT_NE(pick, nullptr);
            FormWindow* window = host.windowOf(*pick);
            ASSERT_NE(window, nullptr);
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
            QTest::mouseClick(window->widgetOf(pick->cmdOK), Qt::LeftButton);
        },
        50);
    QTest::mouseClick(windowOf(opener).widgetOf(opener.cmdOpen), Qt::LeftButton);
    EXPECT_EQ(opener.log, (std::vector<std::string>{"before show", "modal form up", "after show"}));
    EXPECT_FALSE(Forms::isLoaded<frmPick>());
}

TEST_F(FormWindowTest, ClosingThroughTheFrameRunsQueryUnloadAndCanBeRefused) {
    frmQtSample& form = Forms::get<frmQtSample>();
    form.Show();
    settle();
    form.refuseClose = true;
    windowOf(form).close();
    settle();
    EXPECT_EQ(form.events, std::vector<std::string>{"QueryUnload 0"});
    ASSERT_TRUE(Forms::isLoaded<frmQtSample>());
    EXPECT_TRUE(windowOf(form).isVisible());

    form.refuseClose = false;
    windowOf(form).close();
    settle();
    EXPECT_FALSE(Forms::isLoaded<frmQtSample>());
    EXPECT_EQ(host.windowOf(form), nullptr);
}

TEST_F(FormWindowTest, ClosingAModalFormThroughItsFrameEndsTheShowUnlessRefused) {
    frmOpener& opener = Forms::get<frmOpener>();
    opener.Show();
    settle();
    soon(
        [&] {
            auto* pick = dynamic_cast<frmPick*>(Forms::find("frmPick"));
            ASSERT_NE(pick, nullptr);
            pick->refuse = true;
            host.windowOf(*pick)->close();
            opener.log.push_back(Forms::isLoaded<frmPick>() ? "still open" : "closed");
            pick->refuse = false;
            host.windowOf(*pick)->close();
        },
        50);
    QTest::mouseClick(windowOf(opener).widgetOf(opener.cmdOpen), Qt::LeftButton);
    EXPECT_EQ(opener.log, (std::vector<std::string>{"before show", "still open", "after show"}));
}

TEST_F(FormWindowTest, TheWindowHasTheFormsClientSizePositionAndBorder) {
    frmQtSample& form = Forms::get<frmQtSample>();
    form.Show();
    settle();
    FormWindow& window = windowOf(form);
    EXPECT_EQ(window.windowTitle(), "收支單 - 範例");
    EXPECT_EQ(window.size(), QSize(form.ScaleWidth() / 15, form.ScaleHeight() / 15));
    EXPECT_EQ(window.pos(), QPoint(80, 60));
    form.SetBorderStyle(3);
    EXPECT_TRUE(window.windowFlags() & Qt::Dialog);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    form.SetTopMost(true);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    form.SetBackColor(0xFFC0C0);
    EXPECT_EQ(window.content()->palette().color(QPalette::Window), QColor(192, 192, 255));
}

TEST_F(FormWindowTest, AFormAboveTheScreenShowsItsLowerPartAtTheTopEdge) {
    frmQtSample& form = Forms::get<frmQtSample>();
    form.Move(3000, -290, 9000, 3585);
    form.Show();
    settle();
    FormWindow& window = windowOf(form);
    EXPECT_EQ(window.pos().y(), 0);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    // The title bar is above the screen; the client area starts at the top edge.
    EXPECT_EQ(window.content()->y(), 0);
    form.SetTop(-830);
    EXPECT_EQ(window.pos().y(), 0);
    EXPECT_EQ(window.content()->y(), -36);
    EXPECT_EQ(window.height(), (3585 - 830) / 15);
    EXPECT_EQ(form.Top(), -830);
}

TEST_F(FormWindowTest, MessageBoxStylesGiveTheirButtonsIconsAndDefaults) {
    struct Case {
        int style;
        QMessageBox::Icon icon;
        std::vector<QString> buttons;
        QString defaultButton;
        QString press;
        int answer;
    };
    std::vector<Case> cases{
        {0, QMessageBox::NoIcon, {"確定"}, "確定", "確定", AnswerOk},
        {16, QMessageBox::Critical, {"確定"}, "確定", "確定", AnswerOk},
        {292, QMessageBox::Question, {"是(&Y)", "否(&N)"}, "否(&N)", "是(&Y)", AnswerYes},
        {35, QMessageBox::Question, {"是(&Y)", "否(&N)", "取消"}, "是(&Y)", "取消", AnswerCancel},
        {52, QMessageBox::Warning, {"是(&Y)", "否(&N)"}, "是(&Y)", "否(&N)", AnswerNo},
        {65, QMessageBox::Information, {"確定", "取消"}, "確定", "取消", AnswerCancel},
    };
    for (const Case& c : cases) {
        soon([&] {
            auto* box = shown<QMessageBox>();
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->icon(), c.icon) << c.style;
            std::vector<QString> captions;
            QAbstractButton* press = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                captions.push_back(button->text());
                if (button->text() == c.press) press = button;
            }
            std::sort(captions.begin(), captions.end());
            auto expected = c.buttons;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(captions, expected) << c.style;
            EXPECT_EQ(box->defaultButton()->text(), c.defaultButton) << c.style;
            ASSERT_NE(press, nullptr);
            press->click();
        });
        EXPECT_EQ(messageBox("確定刪除\r\n如果刪除會將所包含的施工一並刪除", c.style, "Kiv"),
                  c.answer)
            << c.style;
    }
}

TEST_F(FormWindowTest, MessageBoxTitlesTellNoneFromEmptyAndShowLineBreaks) {
    std::vector<QString> titles;
    auto answer = [&] {
        auto* box = shown<QMessageBox>();
        ASSERT_NE(box, nullptr);
        titles.push_back(box->windowTitle());
        EXPECT_EQ(box->text(), "支票存款的餘額不足,無法兌現\n餘額為 100");
        box->buttons().front()->click();
    };
    soon(answer);
    messageBox("支票存款的餘額不足,無法兌現\r\n餘額為 100", 16);
    soon(answer);
    messageBox("支票存款的餘額不足,無法兌現\r\n餘額為 100", 16, "");
    soon(answer);
    messageBox("支票存款的餘額不足,無法兌現\r\n餘額為 100", 16, "KIV");
    EXPECT_EQ(titles, (std::vector<QString>{"Kiv", "", "KIV"}));
}

TEST_F(FormWindowTest, InputBoxesStartWithTheirDefaultAndGiveEmptyOnCancel) {
    soon([] {
        auto* dialog = shown<QInputDialog>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->textValue(), "9500");
        EXPECT_EQ(dialog->windowTitle(), "Kiv");
        dialog->setTextValue("9,500");
        dialog->accept();
    });
    EXPECT_EQ(inputBox("填入沖帳金額", "Kiv", "9500"), "9,500");
    soon([] {
        auto* dialog = shown<QInputDialog>();
        ASSERT_NE(dialog, nullptr);
        dialog->reject();
    });
    EXPECT_EQ(inputBox("請輸入搜尋文字", std::nullopt, "收入"), "");
}

TEST_F(FormWindowTest, APopupMenuShowsItsEntriesAndTheChosenOnesClickRuns) {
    frmQtSample& form = Forms::get<frmQtSample>();
    form.Show();
    settle();
    form.mdel.SetEnabled(false);
    std::vector<std::string> entries;
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
    EXPECT_EQ(entries, (std::vector<std::string>{"刪除 (off)", "-", "機具"}));
    EXPECT_EQ(form.events.back(), "mMach_Click");
}

TEST_F(FormWindowTest, AnErrorInAHandlerIsShownAndTheProgramGoesOn) {
    frmOpener& opener = Forms::get<frmOpener>();
    opener.Show();
    settle();
    QString seen, title;
    soon([&] {
        auto* box = shown<QMessageBox>();
        ASSERT_NE(box, nullptr);
        seen = box->text();
        title = box->windowTitle();
        box->buttons().front()->click();
    });
    QTest::mouseClick(windowOf(opener).widgetOf(opener.cmdFail), Qt::LeftButton);
    EXPECT_EQ(seen, "資料庫已鎖定");
    EXPECT_EQ(title, "Kiv");
    EXPECT_TRUE(Forms::isLoaded<frmOpener>());
    EXPECT_TRUE(windowOf(opener).isVisible());
}

TEST_F(FormWindowTest, PostedActionsRunAfterTheCurrentEvent) {
    std::vector<std::string> order;
    act([&] {
        postAfterEvent([&] { order.push_back("posted"); });
        order.push_back("handler");
    });
    settle();
    EXPECT_EQ(order, (std::vector<std::string>{"handler", "posted"}));
}

// Runs the program in this (death test's child) process: a first form, then what `then` does.
int runProgramWith(std::function<void()> then) {
    static int argc = 1;
    static char name[] = "kiv";
    static char* argv[] = {name, nullptr};
    return runQtProgram(argc, argv, [then] {
        Forms::registerForm<frmOpener>();
        Forms::get<frmOpener>().Show();
        QTimer::singleShot(100, [then] { act(then); });
    });
}

void runUntilTheLastWindowCloses() {
    int code = runProgramWith([] { Forms::unload<frmOpener>(); });
    std::fprintf(stderr, "loop ended\n");
    std::exit(code);
}

void runUntilTheProgramEnds() {
    onProgramEnd([] { std::fprintf(stderr, "databases closed\n"); });
    runProgramWith([] { endProgram(); });
    std::exit(3);
}

TEST(QtProgramTest, TheProgramRunsUntilItsLastWindowCloses) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(runUntilTheLastWindowCloses(), ::testing::ExitedWithCode(0), "loop ended");
}

TEST(QtProgramTest, EndingTheProgramRunsTheEndCallbacksAndLeavesAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(runUntilTheProgramEnds(), ::testing::ExitedWithCode(0), "databases closed");
}

}  // namespace
