#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/forms/Grid.h"
#include "platform/xlsx/GridCopy.h"
#include "platform/xlsx/Workbook.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
namespace fs = std::filesystem;

namespace {

class frmExport : public Form {
  public:
    static constexpr const char* FormName = "frmExport";
    frmExport() : Form(FormName) {}
    Grid hfg{*this, "hfg"};
};

// A home with a documents folder and a temporary folder, both of the test's own; the host's
// clock stands at 2026-12-06 09:30:00.
class WorkbookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "TMPDIR"})
            if (const char* value = std::getenv(name)) saved_[name] = value;
        fs::create_directories(folder("home/Documents"));
        fs::create_directories(folder("tmp"));
        ::setenv("HOME", folder("home").c_str(), 1);
        ::setenv("TMPDIR", folder("tmp").c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override {
        Forms::discardAll();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "TMPDIR"})
            saved_.contains(name) ? ::setenv(name, saved_[name].c_str(), 1) : ::unsetenv(name);
    }
    std::string folder(const std::string& path) const { return folder_.file(path); }

    test::TempFolder folder_;
    std::map<std::string, std::string> saved_;
};

// A form's grid as the lists export it: title lines down column A, the grid from the start row,
// its blank last row included, boxed around and inside, past column Z; widths in twips / 90, which
// Excel keeps in whole pixels, so a width reads back within 0.1 (-1: the sheet's default).
TEST_F(WorkbookTest, ACopiedGridKeepsItsCellsWidthsAndBordersAndIsOpened) {
    for (auto [column, letters] :
         {std::pair{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {703, "AAA"}})
        EXPECT_EQ(columnLetters(column), letters);
    TestHost host;
    Grid& g = Forms::get<frmExport>().hfg;
    g.SetRows(3);
    g.SetCols(65);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 65; ++j)
            g.SetTextMatrix(i, j, std::to_string(i) + "-" + std::to_string(j));
    g.SetTextMatrix(1, 2, "=1+1");  // a formula typed as a text stays a text
    g.SetColWidth(0, 0);
    g.SetColWidth(1, 1800);
    g.SetColWidth(2, 1100);
    struct Case {
        int startRow;
        GridWidths rule;
        std::vector<double> widths;  // columns 1 to 4, then 65
    } cases[] = {{4, GridWidths::DefaultAsTen, {-0.71, 20, 12.22, 10, 10}},
                 {3, GridWidths::DefaultAsSheet, {-0.71, 20, 12.22, -1, -1}},
                 {4, GridWidths::None, {-1, -1, -1, -1, -1}}};
    std::vector<std::string> opened;
    for (const Case& c : cases) {
        std::string path =
            showWorkbook(CopyGridToWorkbook(g, {"大安營造 ： 開出票據明細", "開票銀行:全部銀行"},
                                            c.startRow, c.rule),
                         "開出票據明細");
        if (opened.empty())
            EXPECT_EQ(path, folder("home/Documents/Kiv/開出票據明細 2026-12-06 093000.xlsx"));
        opened.push_back(path);
        test::SheetReader sheet(path);
        auto at = [&](int col, int row) {
            return columnLetters(col) + std::to_string(c.startRow + row);
        };
        EXPECT_EQ(sheet.text("A1"), "大安營造 ： 開出票據明細");
        EXPECT_EQ(sheet.text("A2"), "開票銀行:全部銀行");
        EXPECT_FALSE(sheet.boxed("A1") || sheet.boxed("A2"));
        EXPECT_EQ(sheet.text(at(1, 0)), "0-0");
        EXPECT_EQ(sheet.text(at(27, 0)), "0-26");
        EXPECT_EQ(sheet.text(at(65, 1)), "1-64");
        EXPECT_EQ(sheet.text(at(3, 1)), "=1+1");
        for (int r = 0; r < 3; ++r)
            for (int col = 1; col <= 65; ++col)
                EXPECT_TRUE(sheet.boxed(at(col, r))) << at(col, r);
        EXPECT_TRUE(sheet.has(at(2, 2)) && sheet.text(at(2, 2)).empty());
        EXPECT_FALSE(sheet.has(at(66, 0)) || sheet.has(at(1, 3)));
        for (int col : {1, 2, 3, 4, 65})
            EXPECT_NEAR(sheet.width(col), c.widths[std::min(col, 5) - 1], 0.1) << col;
    }
    EXPECT_EQ(host.openedFiles(), opened);
}

TEST_F(WorkbookTest, NewFilesNeverReplaceOldOnesAndGoToTheProgramsDocumentsElseTheTemporaryFolder) {
    TestHost host;
    Workbook first, second;
    first.setCell(1, 1, "first");
    second.setCell(1, 1, "second");
    std::string firstPath = showWorkbook(first, "收支查詢");
    std::string secondPath = showWorkbook(second, "收支查詢");
    EXPECT_EQ(fs::path(secondPath).filename(), "收支查詢 2026-12-06 093000 (2).xlsx");
    EXPECT_EQ(test::SheetReader(firstPath).text("A1"), "first");
    EXPECT_EQ(test::SheetReader(secondPath).text("A1"), "second");
    EXPECT_EQ(fs::path(showWorkbook(first, " 應收/付\n查詢 ")).filename(),
              "應收_付_查詢 2026-12-06 093000.xlsx");
    EXPECT_EQ(fs::path(showWorkbook(first, "")).filename(), "活頁簿 2026-12-06 093000.xlsx");

    fs::create_directories(folder("home/.config"));
    fs::create_directories(folder("home/文件"));
    std::ofstream(folder("home/.config/user-dirs.dirs"))
        << "# xdg\nXDG_DOCUMENTS_DIR=\"$HOME/文件\"\n";
    EXPECT_EQ(fs::path(showWorkbook(first, "a")).parent_path(), folder("home/文件/Kiv"));
    // A home without a documents folder gets one.
    fs::remove_all(folder("home"));
    fs::create_directories(folder("home"));
    EXPECT_EQ(fs::path(showWorkbook(first, "a")).parent_path(), folder("home/Documents/Kiv"));
    fs::remove_all(folder("home"));
    EXPECT_EQ(fs::path(showWorkbook(first, "a")).parent_path(), folder("tmp"));
}

// An amount as the lists show it becomes a number in "#,##0", so that a sum in the sheet adds it,
// boxed or not; a date, a code, a number without its separators or with one misplaced, and an
// amount of more digits than the sheet keeps, stay texts as shown.
TEST_F(WorkbookTest, AmountsAreNumberCellsAndEveryOtherTextStaysAText) {
    struct Case {
        std::string text;
        bool number;
    } cases[] = {{"2,100", true},
                 {"-400", true},
                 {"0", true},
                 {"12", true},
                 {"999,999,999,999,999", true},
                 {"1,000,000,000,000,000", false},
                 {"4101", false},
                 {"115030101", false},
                 {"001", false},
                 {"-0", false},
                 {",100", false},
                 {"100,", false},
                 {"1,00", false},
                 {"1,0000", false},
                 {"1,,000", false},
                 {"115/12/08", false},
                 {"33.33%", false},
                 {"--5", false},
                 {"", false},
                 {"一般", false}};
    Workbook book;
    for (size_t i = 0; i < std::size(cases); ++i) {
        book.setCell(static_cast<int>(i) + 1, 1, cases[i].text);
        book.setCell(static_cast<int>(i) + 1, 2, cases[i].text);
    }
    book.addBorders({1, 2, static_cast<int>(std::size(cases)), 2});
    std::string path = folder("amounts.xlsx");
    book.save(path);
    test::SheetReader sheet(path);
    for (size_t i = 0; i < std::size(cases); ++i)
        for (const char* column : {"A", "B"}) {
            std::string at = column + std::to_string(i + 1);
            EXPECT_EQ(sheet.number(at), cases[i].number) << cases[i].text;
            EXPECT_EQ(sheet.text(at), cases[i].text) << at;
            if (cases[i].number) {
                EXPECT_EQ(sheet.format(at), "#,##0") << at;
            }
            EXPECT_EQ(sheet.boxed(at), column == std::string("B")) << at;
        }
}

// A desktop on which nothing opens a workbook.
class HostWithoutSpreadsheet : public TestHost {
  public:
    bool openWithDesktop(const std::string&) override { return false; }
};

TEST_F(WorkbookTest, WhenNothingOpensItTheUserIsToldWhereItIs) {
    HostWithoutSpreadsheet host;
    host.answerMessage(AnswerOk);
    std::string path = showWorkbook(Workbook{}, "開出票據明細");
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "找不到可開啟活頁簿的程式，檔案已存於：\n" + path);
    EXPECT_EQ(host.messages()[0].style, 64);
    EXPECT_TRUE(fs::exists(path));
}

}  // namespace
