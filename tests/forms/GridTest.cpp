#include <gtest/gtest.h>

#include "tests/support/TestHost.h"

using namespace kiv;

namespace {

class frmList : public Form {
  public:
    static constexpr const char* FormName = "frmList";
    frmList() : Form(FormName) {
        hfg.Click = [this] { clicks.push_back({hfg.MouseRow(), hfg.Row()}); };
        hfg.KeyDown = [this](int&, int) { rowAtKeyDown = hfg.Row(); };
    }
    Grid hfg{*this, "hfg"};
    std::vector<std::pair<int, int>> clicks;
    int rowAtKeyDown = -1;
};

class GridTest : public ::testing::Test {
  protected:
    Grid& grid() { return Forms::get<frmList>().hfg; }
    void fill(const std::vector<std::string>& column1) {
        grid().SetRows(static_cast<int>(column1.size()) + 1);
        grid().SetCols(3);
        for (size_t i = 0; i < column1.size(); ++i) {
            grid().SetTextMatrix(static_cast<int>(i) + 1, 1, column1[i]);
            grid().SetTextMatrix(static_cast<int>(i) + 1, 2, "row" + std::to_string(i + 1));
        }
    }
    void sortColumn(int col, int order) {
        grid().SetRow(1);
        grid().SetRowSel(grid().Rows() - 1);
        grid().SetCol(col);
        grid().SetColSel(col);
        grid().SetSort(order);
    }
    std::vector<std::string> column(int col) {
        std::vector<std::string> texts;
        for (int r = 1; r < grid().Rows(); ++r)
            texts.push_back(grid().TextMatrix(r, col));
        return texts;
    }
    TestHost host;
};

TEST_F(GridTest, CellsOutsideTheGridAreAnErrorAndGrowNothing) {
    grid().SetRows(3);
    EXPECT_THROW(grid().SetTextMatrix(3, 0, "x"), std::out_of_range);
    EXPECT_THROW(grid().TextMatrix(0, 2), std::out_of_range);
    EXPECT_EQ(grid().Rows(), 3);
    grid().SetRows(1);
    EXPECT_EQ(grid().FixedRows(), 0);
    EXPECT_THROW(grid().SetFixedRows(1), std::invalid_argument);
}

TEST_F(GridTest, GenericSortOrdersNumbersByValueAndTextAsTextAndRowsKeepTheirColours) {
    fill({"10", "9", "1,200", "abc", "Abd"});
    // Sorted rows carry their colours.
    grid().SetRow(1);
    grid().SetCol(2);
    grid().SetCellForeColor(255);
    sortColumn(1, 1);
    EXPECT_EQ(column(1), (std::vector<std::string>{"9", "10", "1,200", "abc", "Abd"}));
    EXPECT_EQ(column(2), (std::vector<std::string>{"row2", "row1", "row3", "row4", "row5"}));
    EXPECT_EQ(grid().ForeColorAt(2, 2), 255u);
    EXPECT_EQ(grid().ForeColorAt(1, 2), Grid::Unset);
    sortColumn(1, 2);
    EXPECT_EQ(column(1), (std::vector<std::string>{"Abd", "abc", "1,200", "10", "9"}));
}

TEST_F(GridTest, ClearEmptiesEveryCellButKeepsTheShape) {
    fill({"a", "b"});
    grid().SetColWidth(1, 1800);
    grid().SetTextMatrix(0, 1, "header");
    grid().SetRow(1);
    grid().SetCellBackColor(0xC0FFFF);
    grid().Clear();
    EXPECT_EQ(grid().Rows(), 3);
    EXPECT_EQ(grid().TextMatrix(0, 1), "");
    EXPECT_EQ(grid().CellBackColor(), 0u);
    EXPECT_EQ(grid().ColWidth(1), 1800);
    EXPECT_EQ(grid().ColWidth(2), -1);
}

// Cells are kept packed row by row: texts of every length, cells written out of order, formats
// and texts changed apart, columns cut and grown again, and many distinct formats.
TEST_F(GridTest, EveryCellKeepsItsOwnTextAndFormat) {
    grid().SetRows(3);
    grid().SetCols(6);
    const std::string texts[] = {
        "", "單號", std::string(127, 'a'), std::string(128, 'b'), std::string(20000, 'c'), "末"};
    for (int col : {5, 0, 3, 1, 4, 2})
        grid().SetTextMatrix(1, col, texts[col]);
    SetCellForeColor(grid(), 1, 3, 0x0000FF);
    grid().SetTextMatrix(1, 3, "改過");
    SetCellBackColor(grid(), 1, 4, 0x00FF00);
    for (int col = 0; col < 6; ++col)
        EXPECT_EQ(grid().TextMatrix(1, col), col == 3 ? "改過" : texts[col]) << col;
    EXPECT_EQ(grid().ForeColorAt(1, 3), 0x0000FFu);
    EXPECT_EQ(grid().BackColorAt(1, 4), 0x00FF00u);
    EXPECT_EQ(grid().ForeColorAt(1, 4), Grid::Unset);

    grid().SetCols(3);
    grid().SetCols(6);
    EXPECT_EQ(grid().TextMatrix(1, 2), texts[2]);
    EXPECT_EQ(grid().TextMatrix(1, 3), "");
    EXPECT_EQ(grid().ForeColorAt(1, 3), Grid::Unset);

    for (Color c = 0; c < 300; ++c)
        SetCellForeColor(grid(), 2, static_cast<int>(c % 6), c);
    for (int col = 0; col < 6; ++col)
        EXPECT_EQ(grid().ForeColorAt(2, col), static_cast<Color>(294 + col));
    EXPECT_EQ(grid().TextMatrix(1, 2), texts[2]);
}

TEST_F(GridTest, FillStyleRepeatFormatsTheSelection) {
    fill({"a", "b", "c"});
    grid().SetRow(1);
    grid().SetCol(1);
    grid().SetRowSel(3);
    grid().SetColSel(2);
    grid().SetFillStyle(1);
    grid().SetCellAlignment(7);
    EXPECT_EQ(grid().AlignmentAt(3, 2), 7);
    EXPECT_EQ(grid().AlignmentAt(0, 1), 9);
}

TEST_F(GridTest, MergedHeaderCellsReportTheirRun) {
    grid().SetCols(6);
    for (int c = 1; c < 6; ++c)
        grid().SetTextMatrix(0, c, c < 3 ? "收入" : c < 5 ? "支出" : "");
    grid().SetMergeCells(1);
    grid().SetMergeRow(0, true);
    EXPECT_EQ(grid().MergedColumns(0, 2), std::make_pair(1, 2));
    EXPECT_EQ(grid().MergedColumns(0, 3), std::make_pair(3, 4));
    EXPECT_EQ(grid().MergedColumns(0, 5), std::make_pair(5, 5));
    EXPECT_EQ(grid().TextMatrix(0, 2), "收入");
}

TEST_F(GridTest, AClickMakesTheCellCurrentBeforeTheHandlerAndKeyDownSeesTheRowBeforeTheMove) {
    fill({"a", "b", "c"});
    host.clickCell(grid(), 2, 1);
    host.clickCell(grid(), 0, 2);
    auto& clicks = Forms::get<frmList>().clicks;
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0], std::make_pair(2, 2));
    EXPECT_EQ(clicks[1].first, 0);
    EXPECT_EQ(grid().Col(), 2);
    EXPECT_EQ(grid().RowSel(), 3);
    grid().SetRow(1);
    host.act([&] { grid().userKeyDown(Key::Down); });
    EXPECT_EQ(Forms::get<frmList>().rowAtKeyDown, 1);
    EXPECT_EQ(grid().Row(), 2);
}

TEST_F(GridTest, CellGeometryFollowsWidthsAndScrolling) {
    fill({"a", "b", "c", "d"});
    grid().SetColWidth(0, 300);
    grid().SetColWidth(1, 1800);
    grid().SetRowHeight(0, 400);
    grid().SetRow(3);
    grid().SetCol(2);
    EXPECT_EQ(grid().CellLeft(), 2100);
    EXPECT_EQ(grid().CellTop(), 400 + 2 * Grid::DefaultRowHeight);
    EXPECT_EQ(grid().CellWidth(), Grid::DefaultColWidth);
    host.act([&] { grid().userScrollTo(3, 1); });
    EXPECT_EQ(grid().CellTop(), 400);
    EXPECT_EQ(grid().RowPos(1), -1);
    EXPECT_EQ(grid().RowAt(450), 3);
    grid().SetFixedCols(0);
    grid().SetFixedRows(0);
    EXPECT_EQ(grid().ColPos(0), 0);
    EXPECT_EQ(grid().RowPos(0), 0);
}

TEST_F(GridTest, AddItemAndRemoveItemShiftRows) {
    fill({"a", "b"});
    grid().AddItem("\tnew\tx", 1);
    EXPECT_EQ(column(1), (std::vector<std::string>{"new", "a", "b"}));
    grid().RemoveItem(2);
    EXPECT_EQ(column(1), (std::vector<std::string>{"new", "b"}));
    grid().MoveRow(2, 1);
    EXPECT_EQ(column(1), (std::vector<std::string>{"b", "new"}));
}

}  // namespace

// A block formatted at once gives each cell what formatting it alone gives: the cells' other
// formats stay, cells of differing formats each keep theirs, nothing outside the block changes,
// and the current cell ends on the block's last, the fill style as it was.
TEST_F(GridTest, ABlockFormattedAtOnceFormatsEachCellAsOneByOne) {
    fill({"a", "b", "c", "d"});
    SetCellForeColor(grid(), 2, 1, 0x0000FF);
    grid().SetCellFontBold(true);
    SetCellBackColor(grid(), 3, 2, 0x00FF00);
    SetCellsAlignment(grid(), 2, 1, 3, 2, LeftCentre);
    SetCellsForeColor(grid(), 1, 2, 4, 2, 0xFF0000);

    struct Expected {
        int row, col;
        Color fore, back;
        int alignment;
        bool bold;
    };
    const int general = 9;
    for (const Expected& e : std::initializer_list<Expected>{
             {1, 1, Grid::Unset, Grid::Unset, general, false},
             {2, 1, 0x0000FF, Grid::Unset, LeftCentre, true},
             {3, 1, Grid::Unset, Grid::Unset, LeftCentre, false},
             {4, 1, Grid::Unset, Grid::Unset, general, false},
             {1, 2, 0xFF0000, Grid::Unset, general, false},
             {2, 2, 0xFF0000, Grid::Unset, LeftCentre, false},
             {3, 2, 0xFF0000, 0x00FF00, LeftCentre, false},
             {4, 2, 0xFF0000, Grid::Unset, general, false},
         }) {
        EXPECT_EQ(grid().ForeColorAt(e.row, e.col), e.fore) << e.row << "," << e.col;
        EXPECT_EQ(grid().BackColorAt(e.row, e.col), e.back) << e.row << "," << e.col;
        EXPECT_EQ(grid().AlignmentAt(e.row, e.col), e.alignment) << e.row << "," << e.col;
        EXPECT_EQ(grid().BoldAt(e.row, e.col), e.bold) << e.row << "," << e.col;
    }
    EXPECT_EQ(grid().Row(), 4);
    EXPECT_EQ(grid().Col(), 2);
    EXPECT_EQ(grid().RowSel(), 4);
    EXPECT_EQ(grid().FillStyle(), 0);
    EXPECT_EQ(grid().TextMatrix(3, 2), "row3");
}

// A text written with its colour gives the cell what writing it and then colouring it gives, the
// cell's other formats kept, and leaves the current cell where it was. A row's texts read at once
// are what each cell reads, the unwritten ones past the row's end empty.
TEST_F(GridTest, ATextWrittenInColourAndARowReadAtOnceMatchTheCellByCellCalls) {
    grid().SetRows(3);
    grid().SetCols(5);
    SetCellBackColor(grid(), 1, 2, 0x00FF00);
    grid().SetCellFontBold(true);
    SetCellAlignment(grid(), 1, 2, LeftCentre);
    grid().SetRow(2);
    grid().SetCol(4);
    grid().SetTextMatrix(1, 0, "first");
    grid().SetTextMatrixInColor(1, 2, "1,200", 0x0000FF);
    grid().SetTextMatrixInColor(1, 1, "between", 0xFF0000);
    grid().SetTextMatrixInColor(1, 1, "again", 0xFF0000);

    EXPECT_EQ(grid().Row(), 2);
    EXPECT_EQ(grid().Col(), 4);
    EXPECT_EQ(grid().TextMatrix(1, 2), "1,200");
    EXPECT_EQ(grid().ForeColorAt(1, 2), 0x0000FFu);
    EXPECT_EQ(grid().BackColorAt(1, 2), 0x00FF00u);
    EXPECT_EQ(grid().AlignmentAt(1, 2), LeftCentre);
    EXPECT_TRUE(grid().BoldAt(1, 2));
    EXPECT_EQ(grid().ForeColorAt(1, 1), 0xFF0000u);
    EXPECT_EQ(grid().BackColorAt(1, 1), Grid::Unset);
    EXPECT_FALSE(grid().BoldAt(1, 1));

    for (int first : {0, 1, 3}) {
        std::vector<std::optional<std::string_view>> texts(5 - first, "stale");
        grid().CellTexts(1, first, texts);
        for (int col = first; col < 5; ++col)
            EXPECT_EQ(texts[col - first], grid().CellText(1, col)) << first << "," << col;
    }
    std::vector<std::optional<std::string_view>> emptyRow(5, "stale");
    grid().CellTexts(2, 0, emptyRow);
    EXPECT_EQ(emptyRow, std::vector<std::optional<std::string_view>>(5, std::string_view()));
    // Colouring the written cells again keeps every text where it was.
    SetCellsForeColor(grid(), 1, 0, 1, 4, 0x00FFFF);
    std::vector<std::optional<std::string_view>> recoloured(5);
    grid().CellTexts(1, 0, recoloured);
    EXPECT_EQ(recoloured, (std::vector<std::optional<std::string_view>>{
                              "first", "again", "1,200", std::string_view(), std::string_view()}));
    for (int col = 0; col < 5; ++col)
        EXPECT_EQ(grid().ForeColorAt(1, col), 0x00FFFFu) << col;
    EXPECT_EQ(grid().BackColorAt(1, 2), 0x00FF00u);

    std::vector<std::optional<std::string_view>> tooMany(3);
    EXPECT_THROW(grid().CellTexts(1, 3, tooMany), std::out_of_range);
    EXPECT_THROW(grid().SetTextMatrixInColor(3, 0, "x", 0), std::out_of_range);
}
