#include <gtest/gtest.h>

#include "platform/forms/Grid.h"
#include "platform/xlsx/GridCopy.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;

namespace {

class frmExport : public Form {
  public:
    static constexpr const char* FormName = "frmExport";
    frmExport() : Form(FormName) {}
    Grid hfg{*this, "hfg"};
};

class GridCopyTest : public ::testing::Test {
  protected:
    void TearDown() override { Forms::discardAll(); }
    // A grid of `rows` x `cols` whose cell (i, j) reads "i-j", except the blank last row.
    Grid& grid(int rows, int cols) {
        Grid& g = Forms::get<frmExport>().hfg;
        g.SetRows(rows);
        g.SetCols(cols);
        for (int i = 0; i + 1 < rows; ++i)
            for (int j = 0; j < cols; ++j)
                g.SetTextMatrix(i, j, std::to_string(i) + "-" + std::to_string(j));
        return g;
    }
    test::SheetReader saved(const Workbook& book) {
        std::string path = folder.file("book" + std::to_string(++saves) + ".xlsx");
        book.save(path);
        return test::SheetReader(path);
    }
    static std::string at(int col, int row) { return columnLetters(col) + std::to_string(row); }

    test::TempFolder folder;
    TestHost host;
    int saves = 0;
};

TEST_F(GridCopyTest, TitlesGoDownColumnAAndTheGridFromTheStartRowBoxed) {
    Grid& g = grid(3, 4);
    g.SetBackColorFixed(0xC0C0FF);
    for (int startRow : {3, 4}) {
        Workbook book = CopyGridToWorkbook(g, {"永建營造 ： 開出票據明細", "開票銀行:全部銀行"},
                                           startRow, GridWidths::DefaultAsTen);
        test::SheetReader sheet = saved(book);
        EXPECT_EQ(sheet.text("A1"), "永建營造 ： 開出票據明細");
        EXPECT_EQ(sheet.text("A2"), "開票銀行:全部銀行");
        EXPECT_FALSE(sheet.boxed("A1") || sheet.boxed("A2"));
        EXPECT_EQ(sheet.text(at(1, startRow)), "0-0");
        EXPECT_EQ(sheet.text(at(4, startRow + 1)), "1-3");
        for (int r = startRow; r < startRow + 3; ++r)
            for (int c = 1; c <= 4; ++c)
                EXPECT_TRUE(sheet.boxed(at(c, r))) << at(c, r);
        // The blank last row is written and boxed too; nothing lies outside the grid's area.
        EXPECT_TRUE(sheet.has(at(2, startRow + 2)));
        EXPECT_EQ(sheet.text(at(2, startRow + 2)), "");
        EXPECT_FALSE(sheet.has(at(5, startRow)) || sheet.has(at(1, startRow + 3)));
    }
}

// Widths in twips / 90; Excel keeps whole pixels, so a width reads back within 0.1.
TEST_F(GridCopyTest, WidthsFollowTheGridAndTheCallersRuleForDefaults) {
    Grid& g = grid(2, 4);
    g.SetColWidth(0, 0);
    g.SetColWidth(1, 1800);
    g.SetColWidth(2, 1100);
    struct Case {
        GridWidths rule;
        std::vector<double> widths;
    } cases[] = {
        {GridWidths::DefaultAsTen, {-0.71, 20, 12.22, 10}},
        {GridWidths::DefaultAsSheet, {-0.71, 20, 12.22, -1}},
        {GridWidths::None, {-1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        test::SheetReader sheet = saved(CopyGridToWorkbook(g, {}, 4, c.rule));
        for (int col = 1; col <= 4; ++col)
            EXPECT_NEAR(sheet.width(col), c.widths[col - 1], 0.1) << col;
        EXPECT_DOUBLE_EQ(sheet.width(2), c.rule == GridWidths::None ? -1 : 20);
    }
    // No width is ever written negative: a -1 width stays the sheet's default.
    Workbook book = CopyGridToWorkbook(g, {}, 4, GridWidths::DefaultAsSheet);
    std::string path = folder.file("negative.xlsx");
    book.save(path);
    FILE* pipe = ::popen(("unzip -p '" + path + "' xl/worksheets/sheet1.xml").c_str(), "r");
    std::string xml;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        xml.append(buffer, n);
    ::pclose(pipe);
    EXPECT_EQ(xml.find("width=\"-"), std::string::npos);
}

}  // namespace
