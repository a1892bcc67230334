#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/xlsx/Workbook.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
namespace fs = std::filesystem;

namespace {

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
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "TMPDIR"})
            saved_.contains(name) ? ::setenv(name, saved_[name].c_str(), 1) : ::unsetenv(name);
    }
    std::string folder(const std::string& path) const { return folder_.file(path); }

    test::TempFolder folder_;
    std::map<std::string, std::string> saved_;
};

// A grid exported as the cheque list is: three title lines, then 12 rows of 11 columns with empty
// cells among them, the widths in twips / 90, bordered around and inside.
TEST_F(WorkbookTest, GridExportHasTitlesGridWidthsAndBorders) {
    TestHost host;
    Workbook book;
    book.setCell(1, 1, "大安營造 ： 開出票據明細");
    book.setCell(2, 1, "開票銀行：全部銀行");
    book.setCell(3, 1, "無起迄日      收支狀況");
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 11; ++c)
            book.setCell(r + 4, c + 1, r > 9 ? "" : std::to_string(r) + "-" + std::to_string(c));
    book.setCell(5, 10, "12,000");
    for (int c = 1; c <= 11; ++c)
        book.setColumnWidth(c, (c == 2 ? 1800 : 900 + 90 * c) / 90.0);
    book.addBorders({4, 1, 15, 11});
    std::string path = showWorkbook(book, "開出票據明細");
    EXPECT_EQ(path, folder("home/Documents/Kiv/開出票據明細 2026-12-06 093000.xlsx"));
    EXPECT_EQ(host.openedFiles(), std::vector<std::string>{path});

    test::SheetReader sheet(path);
    EXPECT_EQ(sheet.text("A3"), "無起迄日      收支狀況");
    EXPECT_EQ(sheet.text("K13"), "9-10");
    EXPECT_EQ(sheet.text("J5"), "12,000");
    EXPECT_FALSE(sheet.boxed("A1") || sheet.boxed("A3"));
    for (int r = 4; r <= 15; ++r)
        for (int c = 1; c <= 11; ++c)
            EXPECT_TRUE(sheet.boxed(columnLetters(c) + std::to_string(r))) << r << "," << c;
    EXPECT_FALSE(sheet.has("L4") || sheet.has("A16"));
    EXPECT_DOUBLE_EQ(sheet.width(1), 11);
    EXPECT_DOUBLE_EQ(sheet.width(2), 20);
    EXPECT_DOUBLE_EQ(sheet.width(12), -1);
}

TEST_F(WorkbookTest, SixtyFiveColumnsKeepTheirTextsWidthsAndBorders) {
    EXPECT_EQ(columnLetters(703), "AAA");
    TestHost host;
    Workbook book;
    for (int c = 1; c <= 65; ++c) {
        book.setCell(3, c, "M" + std::to_string(c));
        book.setCell(4, c, "98.5%");
        book.setColumnWidth(c, c == 65 ? 10 : 20);
    }
    book.addBorders({3, 1, 4, 65});
    test::SheetReader sheet(showWorkbook(book, "期間損益表"));
    EXPECT_EQ(sheet.text("Z3"), "M26");
    EXPECT_EQ(sheet.text("AA3"), "M27");
    EXPECT_EQ(sheet.text("BM4"), "98.5%");
    EXPECT_TRUE(sheet.boxed("BM4"));
    EXPECT_DOUBLE_EQ(sheet.width(27), 20);
    EXPECT_DOUBLE_EQ(sheet.width(65), 10);
    EXPECT_FALSE(sheet.has("BN3"));
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
