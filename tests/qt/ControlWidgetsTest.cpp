#include <QCalendarWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <chrono>

#include "platform/qt/ControlWidgets.h"
#include "platform/qt/DatePickerWidget.h"
#include "platform/qt/GridWidget.h"
#include "platform/qt/ListWidgets.h"
#include "platform/qt/TextBoxWidget.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/qt/SampleForm.h"

using namespace kiv;

namespace {

using Events = std::vector<std::string>;

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
    QWidget* widget(Control& control) { return windowOf(form).widgetOf(control); }
    GridWidget& grid() { return widgetOf<GridWidget>(form, form.hfg); }
    QWidget* viewport() { return grid().viewport(); }
    QPoint centre(int row, int col) { return grid().cellRect(row, col).center(); }
    frmQtSample& form = Forms::get<frmQtSample>();
};

TEST_F(ControlWidgetsTest, TypedKeysPassTheKeyPressFilterBeforeTheTextChanges) {
    QLineEdit& line = lineOf(form.txtCash);
    QTest::keyClicks(&line, "1a2");
    EXPECT_EQ(form.txtCash.Text(), "12");
    EXPECT_EQ(line.text(), "12");
    EXPECT_EQ(form.events, (Events{"txtCash_KeyPress 49", "txtCash_Change 1", "txtCash_KeyPress 97",
                                   "txtCash_KeyPress 50", "txtCash_Change 12"}));
    // The caret moved by the user is where the next key goes.
    QTest::keyClick(&line, Qt::Key_Home);
    QTest::keyClick(&line, Qt::Key_9);
    QTest::keyClick(&line, Qt::Key_End);
    QTest::keyClick(&line, Qt::Key_Backspace);
    EXPECT_EQ(form.txtCash.Text(), "91");

    // Text set by code shows with the caret at the end; a change that bypasses the keys (a paste,
    // an input method) reaches the model as Change without KeyPress.
    form.txtCash.SetText("9,500");
    EXPECT_EQ(line.text(), "9,500");
    EXPECT_EQ(line.cursorPosition(), 5);
    form.events.clear();
    line.setText("收入");
    EXPECT_EQ(form.txtCash.Text(), "收入");
    EXPECT_EQ(form.events, Events{"txtCash_Change 收入"});
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
    EXPECT_EQ(password.displayText(), "***");
}

TEST_F(ControlWidgetsTest, EnterAndEscapePressTheDefaultAndCancelButtonsCtrlEnterBreaksALine) {
    QTest::keyClick(&lineOf(form.txtCash), Qt::Key_Return);
    QTest::keyClick(&lineOf(form.txtCash), Qt::Key_Escape);
    EXPECT_EQ(form.events, (Events{"cmdSv_Click", "cmdCencel_Click"}));

    auto* page = qobject_cast<QPlainTextEdit*>(widgetOf<TextBoxWidget>(form, form.T19).editor());
    ASSERT_NE(page, nullptr);
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
    form.optA(0).SetValue(true);
    EXPECT_FALSE(third.isChecked());
    EXPECT_EQ(form.events,
              (Events{"ck_Click 1", "ck_Click 2", "optA_Click 1", "optA_Click 2", "optA_Click 0"}));
}

TEST_F(ControlWidgetsTest, AMultiColumnComboBoxShowsItsTextColumnAndDropsDownAllColumns) {
    auto& combo = widgetOf<ComboBoxWidget>(form, form.cbAcc);
    EXPECT_EQ(combo.itemText(1), "銀行存款");
    // Picking an entry goes through the model: Click, the text and the bound value follow.
    combo.setCurrentIndex(1);
    emit combo.activated(1);
    EXPECT_EQ(form.cbAcc.ListIndex(), 1);
    EXPECT_EQ(form.cbAcc.Value(), "1102");
    form.cbAcc.SetListIndex(2);
    EXPECT_EQ(combo.lineEdit()->text(), "材料費");

    // Typing completes from the entries; the next key replaces the completed part.
    form.cbAcc.SetText("");
    typeCharacters(combo.lineEdit(), "銀");
    EXPECT_EQ(form.cbAcc.Text(), "銀行存款");
    EXPECT_EQ(combo.lineEdit()->selectedText(), "行存款");
    QTest::keyClicks(combo.lineEdit(), "x");
    EXPECT_EQ(form.cbAcc.Text(), "銀x");
    EXPECT_EQ(form.cbAcc.ListIndex(), -1);
    EXPECT_EQ(form.events,
              (Events{"cbAcc_Click 銀行存款", "cbAcc_Click 材料費", "cbAcc_Click 銀行存款"}));

    // A pick-only box moves with the arrow keys.
    form.cbDay.SetListIndex(0);
    QTest::keyClick(&widgetOf<ComboBoxWidget>(form, form.cbDay), Qt::Key_Down);
    EXPECT_EQ(form.cbDay.Text(), "一天");
}

TEST_F(ControlWidgetsTest, TickListDatePickerAndScrollBarChangeThroughTheModel) {
    auto& list = widgetOf<ListBoxWidget>(form, form.lstWt);
    QRect second = list.visualItemRect(list.topLevelItem(1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_TRUE(form.lstWt.Selected(1));
    form.lstWt.SetSelected(1, false);
    EXPECT_EQ(list.topLevelItem(1)->checkState(0), Qt::Unchecked);

    auto& picker = widgetOf<DatePickerWidget>(form, form.DTP);
    EXPECT_EQ(form.DTP.DisplayText(), "中華民國 115/12/06");
    picker.openCalendar();
    ASSERT_NE(picker.calendar(), nullptr);
    EXPECT_EQ(picker.calendar()->selectedDate(), QDate(2026, 12, 6));
    emit picker.calendar()->clicked(QDate(2026, 12, 24));
    EXPECT_EQ(form.DTP.Value(), Date::fromYmd(2026, 12, 24));

    auto& bar = widgetOf<ScrollBarWidget>(form, form.FSB);
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(form.FSB.Value(), 1);
    form.FSB.SetValue(7);
    EXPECT_EQ(bar.value(), 7);
    EXPECT_EQ(form.events,
              (Events{"lstWt_Click 1", "DTP_Change 2026-12-24", "FSB_Change 1", "FSB_Change 7"}));
}

// In a list of ticks or of several choices the arrows only move: Down twice and Space ticks the
// third entry alone, and Space again clears it.
TEST_F(ControlWidgetsTest, ArrowsMoveThroughAListOfSeveralChoicesAndSpaceTicks) {
    for (const bool ticks : {true, false}) {
        SCOPED_TRACE(ticks ? "ticks" : "several choices");
        form.lstWt.SetStyle(ticks ? 1 : 0);
        form.lstWt.SetMultiSelect(ticks ? 0 : 1);
        form.lstWt.SetListIndex(0);
        for (int row = 0; row < form.lstWt.ListCount(); ++row)
            form.lstWt.SetSelected(row, false);
        auto& list = widgetOf<ListBoxWidget>(form, form.lstWt);
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Down);
        EXPECT_EQ(form.lstWt.ListIndex(), 2);
        QTest::keyClick(&list, Qt::Key_Space);
        for (int row = 0; row < form.lstWt.ListCount(); ++row)
            EXPECT_EQ(form.lstWt.Selected(row), row == 2) << row;
        QTest::keyClick(&list, Qt::Key_Space);
        EXPECT_FALSE(form.lstWt.Selected(2));
    }
}

TEST_F(ControlWidgetsTest, WidgetsFollowTheModelsGeometryStateColoursAndOrder) {
    QWidget* cash = widget(form.txtCash);
    form.txtCash.Move(1500, 1500, 3000, 450);
    EXPECT_EQ(cash->geometry(), QRect(100, 100, 200, 30));
    form.txtCash.SetVisible(false);
    EXPECT_FALSE(cash->isVisible());
    // A frame disabled takes its options with it.
    form.fme.SetEnabled(false);
    EXPECT_FALSE(widget(form.optA(0))->isEnabled());

    // Colours are &HBBGGRR numbers; the font draws Chinese.
    QWidget* label = widget(form.lbAcIo);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(255, 192, 192));

    // Later controls lie on top; ZOrder 1 sends a control back, 0 brings it forward.
    form.lbAcIo.Move(form.P1.Left(), form.P1.Top(), 600, 300);
    QPoint inside = widget(form.P1)->geometry().topLeft() + QPoint(5, 5);
    EXPECT_EQ(windowOf(form).content()->childAt(inside), widget(form.P1));
    form.lbAcIo.ZOrder(0);
    EXPECT_EQ(windowOf(form).content()->childAt(inside), label);
    form.lbAcIo.ZOrder(1);
    EXPECT_EQ(windowOf(form).content()->childAt(inside), widget(form.P1));
}

// The voucher form prints the other layout on a right click of its print button.
TEST_F(ControlWidgetsTest, RightButtonsReachMouseDownAndMouseUpButNotClick) {
    std::vector<int> buttons;
    form.cmdM.MouseDown = [&](int button, int, float, float) { buttons.push_back(button); };
    form.cmdM.MouseUp = [&](int button, int, float, float) { buttons.push_back(-button); };
    QTest::mouseClick(widget(form.cmdM), Qt::RightButton);
    EXPECT_EQ(buttons, (std::vector<int>{RightButton, -RightButton}));
    EXPECT_TRUE(form.events.empty());
}

TEST_F(ControlWidgetsTest, TabFollowsTheFormsTabOrderAndValidateCanKeepTheFocus) {
    QApplication::setActiveWindow(&windowOf(form));
    form.txtCash.SetFocus();
    QWidget* cash = widgetOf<TextBoxWidget>(form, form.txtCash).editor();
    EXPECT_TRUE(cash->hasFocus());
    bool refuse = true;
    form.txtCash.Validate = [&](bool& cancel) { cancel = refuse; };
    QTest::keyClick(cash, Qt::Key_Tab);
    EXPECT_EQ(form.ActiveControl(), &form.txtCash);
    EXPECT_TRUE(cash->hasFocus());
    refuse = false;
    QTest::keyClick(cash, Qt::Key_Tab);
    EXPECT_EQ(form.ActiveControl(), &form.txtPw);
    EXPECT_TRUE(widgetOf<TextBoxWidget>(form, form.txtPw).editor()->hasFocus());
    // A click in another box moves the model's focus too.
    QTest::mouseClick(cash, Qt::LeftButton);
    EXPECT_EQ(form.ActiveControl(), &form.txtCash);
}

TEST_F(ControlWidgetsTest, GridCellsSitWhereTheModelSaysTheyAre) {
    // Column 0 is 300 twips, column 1 is 1200, rows 300 each: pixels are twips / 15.
    EXPECT_EQ(grid().cellRect(0, 0), QRect(0, 0, 20, 20));
    EXPECT_EQ(grid().cellRect(1, 1), QRect(20, 20, 80, 20));
    // A column of width 0 is hidden.
    EXPECT_TRUE(grid().cellRect(1, 5).isEmpty());
}

TEST_F(ControlWidgetsTest, GridClicksDoubleClicksAndHeaderClicksReachTheModel) {
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, centre(2, 3));
    EXPECT_EQ(form.hfg.Row(), 2);
    EXPECT_EQ(form.hfg.Col(), 3);
    EXPECT_EQ(form.events, Events{"hfg_Click 2,3"});

    form.events.clear();
    QTest::mouseDClick(viewport(), Qt::LeftButton, {}, centre(4, 2));
    Events expected{"hfg_Click 4,2", "hfg_DblClick 4,2"};
    // QTest's double click may or may not send the first press and release itself.
    if (form.events.size() == 1) expected.erase(expected.begin());
    EXPECT_EQ(form.events, expected);

    // A click on a header selects the column below it, ready for a sort.
    form.events.clear();
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, centre(0, 2));
    EXPECT_EQ(form.events, Events{"hfg_Click 0,2"});
    EXPECT_EQ(form.hfg.Row(), 1);
    EXPECT_EQ(form.hfg.RowSel(), form.hfg.Rows() - 1);

    Events buttons;
    form.hfg.MouseDown = [&](int button, int, float, float) {
        buttons.push_back(std::to_string(button) + " at " + std::to_string(form.hfg.MouseRow()));
    };
    QTest::mouseClick(viewport(), Qt::RightButton, {}, centre(3, 1));
    EXPECT_EQ(buttons, Events{"2 at 3"});
    EXPECT_EQ(form.events.size(), 1u);
}

TEST_F(ControlWidgetsTest, GridKeysAndTheScrollBarMoveTheRowAndTopRow) {
    form.hfg.SetRows(200);
    form.hfg.SetRow(1);
    settle();
    QTest::keyClick(&grid(), Qt::Key_Down);
    EXPECT_EQ(form.hfg.Row(), 2);
    EXPECT_EQ(form.events, Events{"hfg_KeyDown 40 row 1"});

    QScrollBar* bar = grid().verticalScrollBar();
    bar->setValue(50);
    EXPECT_EQ(form.hfg.TopRow(), 50);
    EXPECT_EQ(form.events.back(), "hfg_Scroll 50");
    // The fixed row stays; the first scrolled row drawn is TopRow.
    EXPECT_EQ(grid().cellRect(50, 1).top(), 20);
    EXPECT_TRUE(grid().cellRect(2, 1).isEmpty());
    form.hfg.SetTopRow(120);
    settle();
    EXPECT_EQ(bar->value(), 120);

    // Going down past the last row in view scrolls it into view.
    int lastShown = 120;
    while (!grid().cellRect(lastShown + 1, 1).isEmpty())
        ++lastShown;
    form.hfg.SetRow(lastShown);
    QTest::keyClick(&grid(), Qt::Key_Down);
    EXPECT_FALSE(grid().cellRect(lastShown + 1, 1).isEmpty());
}

TEST_F(ControlWidgetsTest, GridAnEditorLaidOverACellLiesExactlyOnItAboveTheGrid) {
    form.hfg.SetRow(3);
    form.hfg.SetCol(2);
    form.txt.SetVisible(true);
    // The forms add 2 pixels (30 twips) for the grid's border.
    form.txt.Move(form.hfg.Left() + form.hfg.CellLeft() + 30,
                  form.hfg.Top() + form.hfg.CellTop() + 30, form.hfg.CellWidth(),
                  form.hfg.CellHeight());
    QWidget* editor = windowOf(form).widgetOf(form.txt);
    QWidget* at = windowOf(form).content()->childAt(editor->geometry().center());
    EXPECT_TRUE(at == editor || editor->isAncestorOf(at));
    EXPECT_EQ(editor->geometry().topLeft(), grid().geometry().topLeft() +
                                                viewport()->geometry().topLeft() +
                                                grid().cellRect(3, 2).topLeft());
}

TEST_F(ControlWidgetsTest, GridAHundredThousandRowsFillAndDrawQuickly) {
    auto start = std::chrono::steady_clock::now();
    form.hfg.SetVisible(false);
    form.hfg.SetCols(13);
    form.hfg.SetRows(100001);
    for (int r = 1; r < form.hfg.Rows(); ++r)
        for (int c = 0; c < 13; ++c)
            form.hfg.SetTextMatrix(r, c, std::to_string(r * 13 + c));
    form.hfg.SetVisible(true);
    settle();
    grid().grab();
    form.hfg.SetTopRow(99990);
    settle();
    grid().grab();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
              10.0);
    EXPECT_EQ(grid().cellRect(99990, 1).top(), 20);
}

TEST(ColumnWidthsTest, PointsCentimetresAndHiddenColumns) {
    EXPECT_EQ(columnWidthsInPixels("50 pt;0;;1 cm", 5), (std::vector<int>{66, 0, -1, 37, -1}));
}

}  // namespace
