#include <QScrollBar>
#include <QTest>
#include <chrono>

#include "platform/qt/GridWidget.h"
#include "platform/qt/TextBoxWidget.h"
#include "tests/qt/QtTestSupport.h"
#include "tests/qt/SampleForm.h"

using namespace kiv;

namespace {

class GridWidgetTest : public QtTest {
  protected:
    GridWidgetTest() {
        form.Show();
        settle();
        form.events.clear();
    }
    GridWidget& grid() { return widgetOf<GridWidget>(form, form.hfg); }
    QPoint centre(int row, int col) { return grid().cellRect(row, col).center(); }
    frmQtSample& form = Forms::get<frmQtSample>();
};

TEST_F(GridWidgetTest, CellsSitWhereTheModelSaysTheyAre) {
    // Column 0 is 300 twips, column 1 is 1200, rows 300 each: pixels are twips / 15.
    EXPECT_EQ(grid().cellRect(0, 0), QRect(0, 0, 20, 20));
    EXPECT_EQ(grid().cellRect(1, 1), QRect(20, 20, 80, 20));
    EXPECT_EQ(grid().cellRect(2, 2).left(), form.hfg.ColPos(2) / 15);
    // A column of width 0 is hidden.
    EXPECT_TRUE(grid().cellRect(1, 5).isEmpty());
}

TEST_F(GridWidgetTest, APressAndReleaseMakeOneClickAndADoubleClickOneMore) {
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, centre(2, 3));
    EXPECT_EQ(form.hfg.Row(), 2);
    EXPECT_EQ(form.hfg.Col(), 3);
    EXPECT_EQ(form.events, std::vector<std::string>{"hfg_Click 2,3"});

    form.events.clear();
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, centre(4, 2));
    std::vector<std::string> expected{"hfg_Click 4,2", "hfg_DblClick 4,2"};
    // QTest's double click may or may not send the first press and release itself.
    if (form.events.size() == 1) expected.erase(expected.begin());
    EXPECT_EQ(form.events, expected);
}

TEST_F(GridWidgetTest, AClickOnAHeaderCellIsAClickWithTheMouseOnTheFixedRow) {
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, centre(0, 2));
    EXPECT_EQ(form.events, std::vector<std::string>{"hfg_Click 0,2"});
    // The column below the header is selected, ready for a sort.
    EXPECT_EQ(form.hfg.Col(), 2);
    EXPECT_EQ(form.hfg.Row(), 1);
    EXPECT_EQ(form.hfg.RowSel(), form.hfg.Rows() - 1);
}

TEST_F(GridWidgetTest, MouseButtonsReachMouseDownAndUpWithTheCellUnderTheMouse) {
    std::vector<std::string> seen;
    form.hfg.MouseDown = [&](int button, int, float, float) {
        seen.push_back("down " + std::to_string(button) + " " +
                       std::to_string(form.hfg.MouseRow()) + "," +
                       std::to_string(form.hfg.MouseCol()));
    };
    form.hfg.MouseUp = [&](int button, int, float, float) {
        seen.push_back("up " + std::to_string(button));
    };
    QTest::mouseClick(grid().viewport(), Qt::RightButton, {}, centre(3, 1));
    EXPECT_EQ(seen, (std::vector<std::string>{"down 2 3,1", "up 2"}));
    EXPECT_TRUE(form.events.empty());
}

TEST_F(GridWidgetTest, KeysMoveTheCurrentCellAfterKeyDownSawTheRowBefore) {
    form.hfg.SetRow(1);
    form.hfg.SetCol(2);
    QTest::keyClick(&grid(), Qt::Key_Down);
    EXPECT_EQ(form.hfg.Row(), 2);
    EXPECT_EQ(form.events, std::vector<std::string>{"hfg_KeyDown 40 row 1"});
}

TEST_F(GridWidgetTest, TheScrollBarIsTopRowBothWays) {
    form.hfg.SetRows(200);
    settle();
    QScrollBar* bar = grid().verticalScrollBar();
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_GT(bar->maximum(), 180);
    bar->setValue(50);
    EXPECT_EQ(form.hfg.TopRow(), 50);
    EXPECT_EQ(form.events, std::vector<std::string>{"hfg_Scroll 50"});
    // The fixed row stays; the first scrolled row drawn is TopRow.
    EXPECT_EQ(grid().cellRect(0, 1).top(), 0);
    EXPECT_EQ(grid().cellRect(50, 1).top(), 20);
    EXPECT_TRUE(grid().cellRect(2, 1).isEmpty());

    form.hfg.SetTopRow(120);
    settle();
    EXPECT_EQ(bar->value(), 120);
    EXPECT_EQ(form.events.size(), 1u);

    // Going down past the last row in view scrolls it into view.
    form.hfg.SetRow(120);
    int lastShown = 120;
    while (!grid().cellRect(lastShown + 1, 1).isEmpty())
        ++lastShown;
    form.hfg.SetRow(lastShown);
    QTest::keyClick(&grid(), Qt::Key_Down);
    EXPECT_EQ(form.hfg.Row(), lastShown + 1);
    EXPECT_FALSE(grid().cellRect(lastShown + 1, 1).isEmpty());
}

TEST_F(GridWidgetTest, DraggingAHeaderBorderResizesTheColumnWhenAllowed) {
    QRect header = grid().cellRect(0, 1);
    QPoint border(header.right() + 1, header.center().y());
    QTest::mousePress(grid().viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(grid().viewport(), border + QPoint(40, 0));
    QTest::mouseRelease(grid().viewport(), Qt::LeftButton, {}, border + QPoint(40, 0));
    EXPECT_EQ(form.hfg.ColWidth(1), 1200);
    EXPECT_EQ(form.events, std::vector<std::string>{"hfg_Click 0,2"});

    form.events.clear();
    form.hfg.SetAllowUserResizing(1);
    QTest::mousePress(grid().viewport(), Qt::LeftButton, {}, border);
    QMouseEvent move(QEvent::MouseMove, border + QPoint(40, 0),
                     grid().viewport()->mapToGlobal(border + QPoint(40, 0)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(grid().viewport(), &move);
    QTest::mouseRelease(grid().viewport(), Qt::LeftButton, {}, border + QPoint(40, 0));
    EXPECT_EQ(form.hfg.ColWidth(1), 1800);
    EXPECT_TRUE(form.events.empty());
}

TEST_F(GridWidgetTest, AnEditorLaidOverACellShowsAboveTheGrid) {
    form.hfg.SetRow(3);
    form.hfg.SetCol(2);
    form.txt.SetVisible(true);
    form.txt.Move(form.hfg.Left() + form.hfg.CellLeft() + 30,
                  form.hfg.Top() + form.hfg.CellTop() + 30, form.hfg.CellWidth(),
                  form.hfg.CellHeight());
    QWidget* content = windowOf(form).content();
    QWidget* editor = windowOf(form).widgetOf(form.txt);
    QWidget* at = content->childAt(editor->geometry().center());
    EXPECT_TRUE(at == editor || editor->isAncestorOf(at));
    // The forms add 2 pixels for the grid's border: the editor lies exactly on the cell.
    EXPECT_EQ(grid().viewport()->geometry().topLeft(), QPoint(2, 2));
    EXPECT_EQ(editor->geometry().topLeft(), grid().geometry().topLeft() +
                                                grid().viewport()->geometry().topLeft() +
                                                grid().cellRect(3, 2).topLeft());
}

TEST_F(GridWidgetTest, AHundredThousandRowsFillAndDrawQuickly) {
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    form.hfg.SetVisible(false);
    form.hfg.SetCols(13);
    form.hfg.SetRows(100001);
    for (int r = 1; r < form.hfg.Rows(); ++r)
        for (int c = 0; c < 13; ++c)
            form.hfg.SetTextMatrix(r, c, std::to_string(r * 13 + c));
    form.hfg.SetVisible(true);
    settle();
    QPixmap picture = grid().grab();
    form.hfg.SetTopRow(99990);
    settle();
    picture = grid().grab();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_LT(seconds, 10.0);
    EXPECT_EQ(grid().verticalScrollBar()->value(), 99990);
    EXPECT_EQ(grid().cellRect(99990, 1).top(), 20);
    EXPECT_FALSE(grid().cellRect(99991, 1).isEmpty());
}

}  // namespace
