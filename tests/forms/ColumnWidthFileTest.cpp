#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/forms/ColumnWidthFile.h"
#include "platform/forms/ProgramFolder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"

using namespace kiv;

namespace {

class frmWidths : public Form {
  public:
    static constexpr const char* FormName = "frmWidths";
    frmWidths() : Form(FormName) { hfg.SetCols(4); }
    Grid hfg{*this, "hfg"};
};

class ColumnWidthFileTest : public ::testing::Test {
  protected:
    void SetUp() override { setProgramFolder(folder.file("")); }
    void TearDown() override {
        Forms::discardAll();
        setProgramFolder("");
    }
    Grid& grid() { return Forms::get<frmWidths>().hfg; }
    void write(const std::string& text) {
        std::ofstream(folder.file("w.ini"), std::ios::binary) << text;
    }
    std::string read() {
        std::ostringstream text;
        text << std::ifstream(folder.file("w.ini"), std::ios::binary).rdbuf();
        return text.str();
    }
    std::vector<int> widths() {
        std::vector<int> all;
        for (int c = 0; c < grid().Cols(); ++c)
            all.push_back(grid().ColWidth(c));
        return all;
    }

    test::TempFolder folder;
    TestHost host;
    ColumnWidthFile file{"w.ini", 4};
};

// A column the grid never set is written as -1 and stays at the default when read back.
TEST_F(ColumnWidthFileTest, WidthsSurviveARoundTrip) {
    for (const std::vector<int>& set : {std::vector<int>{200, 300, 400, 500}, {0, -1, -1, -1}}) {
        Forms::discardAll();
        for (int c = 0; c < 4; ++c)
            if (set[c] >= 0) grid().SetColWidth(c, set[c]);
        ASSERT_TRUE(file.Save(grid()));
        Forms::discardAll();
        file.Load(grid());
        EXPECT_EQ(widths(), set);
    }
    EXPECT_EQ(read(), "0\n-1\n-1\n-1\n");
}

// Whatever the file holds, the columns without a valid line keep their widths, or take the
// form's own widths when it has them (-1 is the grid's default), and nothing fails.
TEST_F(ColumnWidthFileTest, OnlyValidLinesSetWidths) {
    const std::vector<int> none, defaults{450, 900, 1100, 1300};
    struct Case {
        const char* text;
        const std::vector<int>& defaults;
        std::vector<int> widths;
    } cases[] = {
        {" 200\r\n 1800\r\n 0\r\n 900\r\n", none, {200, 1800, 0, 900}},
        {"200\n1800\n", none, {200, 1800, 700, 700}},
        {"200\nwide\n12x\n\n", none, {200, 700, 700, 700}},
        {"-5\n99999999999\n3.5\n 40 \n", none, {700, 700, 700, 40}},
        {"", none, {700, 700, 700, 700}},
        {"200\n-1\n0\n800\n", defaults, {200, -1, 0, 800}},
        {"200\n1800\n", defaults, {200, 1800, 1100, 1300}},
        {"wide\n-5\n\n 40 \r\n", defaults, {450, 900, 1100, 40}},
        {nullptr, defaults, {450, 900, 1100, 1300}},
    };
    for (const Case& c : cases) {
        std::remove(folder.file("w.ini").c_str());
        if (c.text) write(c.text);
        for (int col = 0; col < 4; ++col)
            grid().SetColWidth(col, 700);
        c.defaults.empty() ? file.Load(grid()) : file.Load(grid(), c.defaults);
        EXPECT_EQ(widths(), c.widths) << (c.text ? c.text : "no file");
    }
}

TEST_F(ColumnWidthFileTest, AMissingFileKeepsTheWidthsAndAnUnwritableOneIsReported) {
    grid().SetColWidth(1, 1500);
    file.Load(grid());
    EXPECT_EQ(widths(), (std::vector<int>{-1, 1500, -1, -1}));
    ColumnWidthFile nowhere("no such folder/w.ini", 4);
    EXPECT_FALSE(nowhere.Save(grid()));
}

// A grid with fewer columns than the file has lines reads and writes what it has.
TEST_F(ColumnWidthFileTest, AFileOfMoreLinesThanColumnsFitsTheGrid) {
    write("100\n200\n300\n400\n500\n600\n");
    ColumnWidthFile wide("w.ini", 6);
    wide.Load(grid());
    EXPECT_EQ(widths(), (std::vector<int>{100, 200, 300, 400}));
    wide.Save(grid());
    EXPECT_EQ(read(), "100\n200\n300\n400\n-1\n-1\n");
}

}  // namespace

namespace {

// The host may draw a column of the form's width wider than set; a width the user left in the file
// is drawn as it is, one equal to the form's stays the form's, and the file keeps the widths set.
TEST_F(ColumnWidthFileTest, KeepsTheUsersWidthsAsSavedAndWritesNoWidthTheHostFitted) {
    for (int c = 0; c < 4; ++c)
        grid().SetColWidth(c, 1000);
    write("1000\n600\n");
    file.Load(grid());
    file.Load(grid(), {1000, 1000, 500, 1000});
    grid().ShowColWidths({1500, 1500, 1500, 1500});
    std::vector<bool> users;
    std::vector<int> shown;
    for (int c = 0; c < 4; ++c) {
        users.push_back(grid().UserColWidth(c));
        shown.push_back(grid().ShownColWidth(c));
    }
    EXPECT_EQ(users, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(shown, (std::vector<int>{1500, 600, 1500, 1500}));
    grid().userResizeColumn(0, 700);
    EXPECT_EQ(grid().ShownColWidth(0), 700);
    ASSERT_TRUE(file.Save(grid()));
    EXPECT_EQ(read(), "700\n600\n500\n1000\n");
}

}  // namespace
