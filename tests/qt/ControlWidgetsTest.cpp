#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include "platform/qt/ControlWidgets.h"
#include "platform/qt/DatePickerWidget.h"
#include "platform/qt/ListWidgets.h"
#include "platform/qt/TextBoxWidget.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/qt/SampleForm.h"

using namespace kiv;

namespace {

class ControlWidgetsTest : public QtTest {
  protected:
    ControlWidgetsTest() {
        form.Show();
        settle();
        form.events.clear();
    }
    QLineEdit& lineOf(TextBox& box) {
        auto* line = qobject_cast<QLineEdit*>(widgetOf<TextBoxWidget>(form, box).editor());
        EXPECT_NE(line, nullptr);
        return *line;
    }
    frmQtSample& form = Forms::get<frmQtSample>();
};

TEST_F(ControlWidgetsTest, TypedKeysPassTheKeyPressFilterBeforeTheTextChanges) {
    QLineEdit& line = lineOf(form.txtCash);
    QTest::keyClicks(&line, "1a2");
    EXPECT_EQ(form.txtCash.Text(), "12");
    EXPECT_EQ(line.text(), "12");
    EXPECT_EQ(form.events, (std::vector<std::string>{"txtCash_KeyPress 49", "txtCash_Change 1",
                                                     "txtCash_KeyPress 97", "txtCash_KeyPress 50",
                                                     "txtCash_Change 12"}));

    // The caret moved by the user is where the next key goes.
    QTest::keyClick(&line, Qt::Key_Home);
    QTest::keyClick(&line, Qt::Key_9);
    EXPECT_EQ(form.txtCash.Text(), "912");
    QTest::keyClick(&line, Qt::Key_Delete);
    EXPECT_EQ(form.txtCash.Text(), "92");
    QTest::keyClick(&line, Qt::Key_End);
    QTest::keyClick(&line, Qt::Key_Backspace);
    EXPECT_EQ(line.text(), "9");
    EXPECT_EQ(line.cursorPosition(), 1);
}

TEST_F(ControlWidgetsTest, TextSetByCodeShowsWithTheCaretAtTheEnd) {
    QLineEdit& line = lineOf(form.txtCash);
    form.txtCash.SetText("9,500");
    EXPECT_EQ(line.text(), "9,500");
    EXPECT_EQ(line.cursorPosition(), 5);
    form.txtCash.SelectAll();
    EXPECT_EQ(line.selectedText(), "9,500");
    // A change that bypasses the keys (a paste, an input method) reaches the model as a new
    // text: Change, without KeyPress.
    form.events.clear();
    line.setText("收入");
    EXPECT_EQ(form.txtCash.Text(), "收入");
    EXPECT_EQ(form.events, std::vector<std::string>{"txtCash_Change 收入"});
}

TEST_F(ControlWidgetsTest, LockedBoxesKeepTheirTextAndPasswordBoxesMaskIt) {
    QLineEdit& line = lineOf(form.txtCash);
    form.txtCash.SetText("12");
    form.txtCash.SetLocked(true);
    QTest::keyClicks(&line, "3");
    line.setText("pasted");
    EXPECT_EQ(form.txtCash.Text(), "12");
    EXPECT_EQ(line.text(), "12");

    QLineEdit& password = lineOf(form.txtPw);
    QTest::keyClicks(&password, "abc");
    EXPECT_EQ(form.txtPw.Text(), "abc");
    EXPECT_EQ(password.echoMode(), QLineEdit::Password);
    EXPECT_EQ(password.displayText(), "***");
}

TEST_F(ControlWidgetsTest, EnterInATextBoxPressesTheDefaultButtonAndCtrlEnterBreaksALine) {
    QTest::keyClick(&lineOf(form.txtCash), Qt::Key_Return);
    QTest::keyClick(&lineOf(form.txtCash), Qt::Key_Escape);
    EXPECT_EQ(form.events, (std::vector<std::string>{"cmdSv_Click", "cmdCencel_Click"}));

    auto* page = qobject_cast<QPlainTextEdit*>(widgetOf<TextBoxWidget>(form, form.T19).editor());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->toPlainText(), "第一行\n第二行");
    form.T19.CaretToEnd();
    QTest::keyClick(page, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(page, "x");
    EXPECT_EQ(form.T19.Text(), "第一行\r\n第二行\r\nx");
    EXPECT_EQ(page->toPlainText(), "第一行\n第二行\nx");
}

TEST_F(ControlWidgetsTest, CheckBoxesAndOptionsClickThroughTheModel) {
    auto& check = widgetOf<CheckBoxWidget>(form, form.ck);
    QTest::mouseClick(&check, Qt::LeftButton);
    EXPECT_EQ(form.ck.Value(), 1);
    EXPECT_EQ(check.checkState(), Qt::Checked);
    form.ck.SetValue(0);
    EXPECT_EQ(check.checkState(), Qt::Unchecked);
    form.ck.SetValue(2);
    EXPECT_EQ(check.checkState(), Qt::PartiallyChecked);

    auto& second = widgetOf<OptionButtonWidget>(form, form.optA(1));
    auto& third = widgetOf<OptionButtonWidget>(form, form.optA(2));
    QTest::mouseClick(&second, Qt::LeftButton);
    QTest::mouseClick(&third, Qt::LeftButton);
    QTest::mouseClick(&third, Qt::LeftButton);
    EXPECT_FALSE(form.optA(1).Value());
    EXPECT_TRUE(form.optA(2).Value());
    EXPECT_FALSE(second.isChecked());
    EXPECT_TRUE(third.isChecked());
    // The options sit inside their frame, at their twips geometry relative to it.
    EXPECT_EQ(third.parentWidget(), windowOf(form).widgetOf(form.fme));
    EXPECT_EQ(third.geometry(), QRect(12, 60, 160, 18));
    form.optA(0).SetValue(true);
    EXPECT_TRUE(widgetOf<OptionButtonWidget>(form, form.optA(0)).isChecked());
    EXPECT_FALSE(third.isChecked());
    EXPECT_EQ(form.events,
              (std::vector<std::string>{"ck_Click 1", "ck_Click 0", "ck_Click 2", "optA_Click 1",
                                        "optA_Click 2", "optA_Click 0"}));
}

TEST_F(ControlWidgetsTest, AMultiColumnComboBoxShowsItsTextColumnAndDropsDownAllColumns) {
    auto& combo = widgetOf<ComboBoxWidget>(form, form.cbAcc);
    EXPECT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.modelColumn(), 2);
    EXPECT_EQ(combo.model()->columnCount(), 3);
    EXPECT_EQ(combo.itemText(1), "銀行存款");

    // Picking an entry goes through the model: Click, the text and the bound value follow.
    combo.setCurrentIndex(1);
    emit combo.activated(1);
    EXPECT_EQ(form.cbAcc.ListIndex(), 1);
    EXPECT_EQ(form.cbAcc.Value(), "1102");
    EXPECT_EQ(combo.currentText(), "銀行存款");
    EXPECT_EQ(form.events, std::vector<std::string>{"cbAcc_Click 銀行存款"});

    form.cbAcc.SetListIndex(2);
    EXPECT_EQ(combo.currentIndex(), 2);
    EXPECT_EQ(combo.lineEdit()->text(), "材料費");

    combo.showPopup();
    auto* view = qobject_cast<QTreeView*>(combo.view());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    int columns = 0;
    for (int column = 0; column < 3; ++column) {
        EXPECT_FALSE(view->isColumnHidden(column));
        EXPECT_GT(view->columnWidth(column), 10);
        columns += view->columnWidth(column);
    }
    settle();
    EXPECT_GE(view->viewport()->width(), columns);
    combo.hidePopup();
}

TEST_F(ControlWidgetsTest, TypingInAComboBoxCompletesFromTheEntriesThroughTheModel) {
    auto& combo = widgetOf<ComboBoxWidget>(form, form.cbAcc);
    form.cbAcc.SetText("");
    form.events.clear();
    typeCharacters(combo.lineEdit(), "銀");
    EXPECT_EQ(form.cbAcc.Text(), "銀行存款");
    EXPECT_EQ(form.cbAcc.ListIndex(), 1);
    EXPECT_EQ(combo.lineEdit()->text(), "銀行存款");
    EXPECT_EQ(combo.lineEdit()->selectedText(), "行存款");
    EXPECT_EQ(form.events, std::vector<std::string>{"cbAcc_Click 銀行存款"});

    // The next key replaces the completed part; a text no entry begins with chooses none.
    QTest::keyClicks(combo.lineEdit(), "x");
    EXPECT_EQ(form.cbAcc.Text(), "銀x");
    EXPECT_EQ(form.cbAcc.ListIndex(), -1);
    EXPECT_EQ(combo.lineEdit()->text(), "銀x");
}

TEST_F(ControlWidgetsTest, APickOnlyComboBoxMovesWithTheArrowKeys) {
    auto& combo = widgetOf<ComboBoxWidget>(form, form.cbDay);
    EXPECT_FALSE(combo.isEditable());
    form.cbDay.SetListIndex(0);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(form.cbDay.ListIndex(), 1);
    EXPECT_EQ(form.cbDay.Text(), "一天");
    EXPECT_EQ(form.events, (std::vector<std::string>{"cbDay_Click 0", "cbDay_Click 1"}));
}

TEST_F(ControlWidgetsTest, ATickListFlipsTicksThroughTheModel) {
    auto& list = widgetOf<ListBoxWidget>(form, form.lstWt);
    QRect second = list.visualItemRect(list.topLevelItem(1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_TRUE(form.lstWt.Selected(1));
    EXPECT_EQ(list.topLevelItem(1)->checkState(0), Qt::Checked);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_FALSE(form.lstWt.Selected(1));
    EXPECT_EQ(list.topLevelItem(1)->checkState(0), Qt::Unchecked);
    form.lstWt.SetSelected(2, true);
    EXPECT_EQ(list.topLevelItem(2)->checkState(0), Qt::Checked);
    EXPECT_EQ(form.events, (std::vector<std::string>{"lstWt_Click 1", "lstWt_Click 1"}));
}

TEST_F(ControlWidgetsTest, ADatePickerShowsRocDatesAndAPickInTheCalendarIsTheUsers) {
    auto& picker = widgetOf<DatePickerWidget>(form, form.DTP);
    EXPECT_EQ(form.DTP.DisplayText(), "中華民國 115/12/06");
    picker.openCalendar();
    ASSERT_NE(picker.calendar(), nullptr);
    EXPECT_EQ(picker.calendar()->selectedDate(), QDate(2026, 12, 6));
    emit picker.calendar()->clicked(QDate(2026, 12, 24));
    EXPECT_EQ(picker.calendar(), nullptr);
    EXPECT_EQ(form.DTP.Value(), Date::fromYmd(2026, 12, 24));
    EXPECT_EQ(form.events, std::vector<std::string>{"DTP_Change 2026-12-24"});
}

TEST_F(ControlWidgetsTest, AScrollBarRaisesChangeForTheUsersMovesAndShowsTheModels) {
    auto& bar = widgetOf<ScrollBarWidget>(form, form.FSB);
    EXPECT_EQ(bar.maximum(), 9);
    // Showing the bar raised nothing.
    EXPECT_TRUE(form.events.empty());
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(form.FSB.Value(), 1);
    form.FSB.SetValue(7);
    EXPECT_EQ(bar.value(), 7);
    EXPECT_EQ(form.events, (std::vector<std::string>{"FSB_Change 1", "FSB_Change 7"}));
}

TEST_F(ControlWidgetsTest, WidgetsFollowTheModelsGeometryStateAndOrder) {
    QWidget* cash = windowOf(form).widgetOf(form.txtCash);
    EXPECT_EQ(cash->geometry(), QRect(16, 40, 160, 22));
    form.txtCash.Move(1500, 1500, 3000, 450);
    EXPECT_EQ(cash->geometry(), QRect(100, 100, 200, 30));
    form.txtCash.SetEnabled(false);
    EXPECT_FALSE(cash->isEnabled());
    form.txtCash.SetVisible(false);
    EXPECT_FALSE(cash->isVisible());
    form.txtCash.SetToolTipText("金額");
    EXPECT_EQ(cash->toolTip(), "金額");

    // A frame disabled or hidden takes its options with it.
    form.fme.SetEnabled(false);
    EXPECT_FALSE(windowOf(form).widgetOf(form.optA(0))->isEnabled());

    // Later controls lie on top; ZOrder 1 sends a control back, 0 brings it forward.
    QWidget* content = windowOf(form).content();
    QWidget* label = windowOf(form).widgetOf(form.lbAcIo);
    QWidget* picture = windowOf(form).widgetOf(form.P1);
    form.lbAcIo.Move(form.P1.Left(), form.P1.Top(), 600, 300);
    QPoint inside = picture->geometry().topLeft() + QPoint(5, 5);
    EXPECT_EQ(content->childAt(inside), picture);
    form.lbAcIo.ZOrder(0);
    EXPECT_EQ(content->childAt(inside), label);
    form.lbAcIo.ZOrder(1);
    EXPECT_EQ(content->childAt(inside), picture);
}

TEST_F(ControlWidgetsTest, ColoursAreBlueGreenRedNumbersAndFontsAreCjk) {
    QWidget* label = windowOf(form).widgetOf(form.lbAcIo);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(255, 192, 192));
    QWidget* title = windowOf(form).widgetOf(form.lbTitle);
    EXPECT_EQ(title->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_TRUE(title->font().bold());
    EXPECT_TRUE(QFontInfo(title->font()).family().contains("Noto Sans CJK"));
    EXPECT_TRUE(QFontMetrics(title->font()).inFontUcs4(U'收'));
}

TEST_F(ControlWidgetsTest, RightButtonsReachMouseDownAndMouseUp) {
    std::vector<int> buttons;
    form.cmdM.MouseDown = [&](int button, int, float, float) { buttons.push_back(button); };
    form.cmdM.MouseUp = [&](int button, int, float, float) { buttons.push_back(-button); };
    QTest::mouseClick(windowOf(form).widgetOf(form.cmdM), Qt::RightButton);
    EXPECT_EQ(buttons, (std::vector<int>{RightButton, -RightButton}));
    EXPECT_TRUE(form.events.empty());
}

}  // namespace

namespace {

TEST_F(ControlWidgetsTest, TabFollowsTheFormsTabOrderAndValidateCanKeepTheFocus) {
    QApplication::setActiveWindow(&windowOf(form));
    form.txtCash.SetFocus();
    QWidget* cash = widgetOf<TextBoxWidget>(form, form.txtCash).editor();
    QWidget* password = widgetOf<TextBoxWidget>(form, form.txtPw).editor();
    EXPECT_TRUE(cash->hasFocus());

    bool refuse = true;
    form.txtCash.Validate = [&](bool& cancel) { cancel = refuse; };
    QTest::keyClick(cash, Qt::Key_Tab);
    EXPECT_EQ(form.ActiveControl(), &form.txtCash);
    EXPECT_TRUE(cash->hasFocus());

    refuse = false;
    QTest::keyClick(cash, Qt::Key_Tab);
    EXPECT_EQ(form.ActiveControl(), &form.txtPw);
    EXPECT_TRUE(password->hasFocus());

    // A click in another box moves the model's focus too.
    QTest::mouseClick(cash, Qt::LeftButton);
    EXPECT_EQ(form.ActiveControl(), &form.txtCash);
}

}  // namespace

namespace {

TEST(ColumnWidthsTest, PointsCentimetresAndHiddenColumns) {
    EXPECT_EQ(columnWidthsInPixels("50 pt;0;;1 cm", 5), (std::vector<int>{66, 0, -1, 37, -1}));
    EXPECT_EQ(columnWidthsInPixels("", 2), (std::vector<int>{-1, -1}));
}

}  // namespace
