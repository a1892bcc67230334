#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/forms/Clock.h"
#include "platform/xlsx/Workbook.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestHost.h"
#include "tests/xlsx/SheetReader.h"

using namespace kiv;
namespace fs = std::filesystem;

namespace {

// A desktop on which nothing opens a workbook.
class HostWithoutSpreadsheet : public TestHost {
  public:
    bool openWithDesktop(const std::string&) override { return false; }
};

// A home with a documents folder and a temporary folder, both of the test's own.
class WorkbookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "TMPDIR"})
            if (const char* value = std::getenv(name)) saved_[name] = value;
        fs::create_directories(folder_.file("home/Documents"));
        fs::create_directories(folder_.file("tmp"));
        ::setenv("HOME", folder_.file("home").c_str(), 1);
        ::setenv("TMPDIR", folder_.file("tmp").c_str(), 1);
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

// The cheque list as exported: three title lines, then a header row and eleven rows of eleven
// columns with empty cells among them, bordered around and inside.
Workbook chequeListBook() {
    Workbook book;
    book.setCell(1, 1, "大安營造 ： 開出票據明細");
    book.setCell(2, 1, "開票銀行：全部銀行");
    book.setCell(3, 1, "無起迄日      收支狀況");
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 11; ++c)
            book.setCell(r + 4, c + 1, r > 9 ? "" : std::to_string(r) + "-" + std::to_string(c));
    book.setCell(5, 10, "12,000");
    book.setCell(5, 11, "A&B <C> \"D\"");
    for (int c = 1; c <= 11; ++c)
        book.setColumnWidth(c, (c == 2 ? 1800 : 900 + 90 * c) / 90.0);
    book.addBorders({4, 1, 15, 11});
    return book;
}

}  // namespace

TEST(ColumnLetters, GoPastZ) {
    EXPECT_EQ(columnLetters(1), "A");
    EXPECT_EQ(columnLetters(26), "Z");
    EXPECT_EQ(columnLetters(27), "AA");
    EXPECT_EQ(columnLetters(52), "AZ");
    EXPECT_EQ(columnLetters(65), "BM");
    EXPECT_EQ(columnLetters(703), "AAA");
}

TEST_F(WorkbookTest, GridExportHasTitlesGridWidthsAndBorders) {
    TestHost host;
    Clock::useFixedTime(Date::fromYmdHms(2026, 3, 9, 14, 5, 7));
    std::string path = showWorkbook(chequeListBook(), "開出票據明細");
    EXPECT_EQ(path, folder("home/Documents/開出票據明細 2026-03-09 140507.xlsx"));
    EXPECT_EQ(host.openedFiles(), std::vector<std::string>{path});

    test::SheetReader sheet(path);
    EXPECT_EQ(sheet.text("A1"), "大安營造 ： 開出票據明細");
    EXPECT_EQ(sheet.text("A2"), "開票銀行：全部銀行");
    EXPECT_EQ(sheet.text("A3"), "無起迄日      收支狀況");
    EXPECT_EQ(sheet.text("A4"), "0-0");
    EXPECT_EQ(sheet.text("K13"), "9-10");
    EXPECT_EQ(sheet.text("J5"), "12,000");
    EXPECT_EQ(sheet.text("K5"), "A&B <C> \"D\"");
    EXPECT_FALSE(sheet.boxed("A1") || sheet.boxed("A3"));
    for (int r = 4; r <= 15; ++r)
        for (int c = 1; c <= 11; ++c)
            EXPECT_TRUE(sheet.boxed(columnLetters(c) + std::to_string(r))) << r << "," << c;
    EXPECT_FALSE(sheet.has("L4") || sheet.has("A16"));
    EXPECT_DOUBLE_EQ(sheet.width(1), 11);
    EXPECT_DOUBLE_EQ(sheet.width(2), 20);
    EXPECT_DOUBLE_EQ(sheet.width(10), 20);
    EXPECT_DOUBLE_EQ(sheet.width(12), -1);
}

TEST_F(WorkbookTest, SixtyFiveColumnsKeepTheirTextsWidthsAndBorders) {
    TestHost host;
    Workbook book;
    for (int c = 1; c <= 65; ++c) {
        book.setCell(3, c, "M" + std::to_string(c));
        book.setCell(4, c, "98.5%");
        book.setColumnWidth(c, c == 65 ? 10 : 20);
    }
    book.addBorders({3, 1, 4, 65});
    test::SheetReader sheet(showWorkbook(book, "期間損益表"));
    EXPECT_EQ(sheet.text("AA3"), "M27");
    EXPECT_EQ(sheet.text("BM3"), "M65");
    EXPECT_EQ(sheet.text("BM4"), "98.5%");
    EXPECT_TRUE(sheet.boxed("BM4"));
    EXPECT_DOUBLE_EQ(sheet.width(27), 20);
    EXPECT_DOUBLE_EQ(sheet.width(65), 10);
    EXPECT_FALSE(sheet.has("BN3"));
}

TEST_F(WorkbookTest, NewFilesNeverReplaceOldOnesAndTitlesMakeSafeNames) {
    TestHost host;
    Clock::useFixedTime(Date::fromYmdHms(2026, 3, 9, 14, 5, 7));
    std::string first = showWorkbook(chequeListBook(), "收支查詢");
    Workbook other;
    other.setCell(1, 1, "second");
    std::string second = showWorkbook(other, "收支查詢");
    EXPECT_EQ(fs::path(second).filename(), "收支查詢 2026-03-09 140507 (2).xlsx");
    EXPECT_EQ(test::SheetReader(first).text("A4"), "0-0");
    EXPECT_EQ(test::SheetReader(second).text("A1"), "second");

    EXPECT_EQ(fs::path(showWorkbook(other, " 應收/付\n查詢 ")).filename(),
              "應收_付_查詢 2026-03-09 140507.xlsx");
    EXPECT_EQ(fs::path(showWorkbook(other, "")).filename(), "活頁簿 2026-03-09 140507.xlsx");
}

TEST_F(WorkbookTest, TheDesktopsDocumentsFolderElseTheTemporaryFolder) {
    TestHost host;
    fs::create_directories(folder("home/.config"));
    fs::create_directories(folder("home/文件"));
    std::ofstream(folder("home/.config/user-dirs.dirs"))
        << "# xdg\nXDG_DOCUMENTS_DIR=\"$HOME/文件\"\n";
    EXPECT_EQ(fs::path(showWorkbook(Workbook{}, "a")).parent_path(), folder("home/文件"));

    fs::remove_all(folder("home"));
    EXPECT_EQ(fs::path(showWorkbook(Workbook{}, "a")).parent_path(), folder("tmp"));
}

TEST_F(WorkbookTest, WhenNothingOpensItTheUserIsToldWhereItIs) {
    HostWithoutSpreadsheet host;
    host.answerMessage(AnswerOk);
    std::string path = showWorkbook(chequeListBook(), "開出票據明細");
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "找不到可開啟活頁簿的程式，檔案已存於：\n" + path);
    EXPECT_EQ(host.messages()[0].style, 64);
    EXPECT_EQ(host.messages()[0].title, std::optional<std::string>("Kiv"));
    EXPECT_TRUE(fs::exists(path));
}
