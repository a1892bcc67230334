#include <gtest/gtest.h>

#include "platform/report/Layout.h"
#include "tests/report/PrintBook.h"

namespace kiv {
namespace {

using Texts = std::vector<std::string>;

// A small page: 80 mm between the margins under a 20 mm header, room for four 15 mm rows.
const Template list = parseTemplate(
    "rpt 1\npage 100 100 10\nband header 20\ntext 0 0 80 C \"清單\"\n"
    "field 60 10 10 R @page\nfield 70 10 10 R @pages\n"
    "band detail ptio 15\nfield 0 0 40 L #0\nfield 40 0 40 R #1 \"無\"\nline 0 15 80 15\n"
    "band summary biSum 5\nfield 0 0 80 L #0\n"
    "band footer 10\nbox 0 0 80 10\ntext 0 0 80 L \"完\"\n");

Texts texts(const Page& page) {
    Texts all;
    for (const auto& t : page.texts)
        all.push_back(t.text);
    return all;
}

// Rows that do not fit start a new page under the repeated header with its page numbers; summary
// rows follow the detail and the footer comes once, last, on a page of its own when it must.
TEST(Layout, RowsFillPagesUnderTheRepeatedHeaderThenSummaryRowsThenTheFooter) {
    struct Case {
        int rows, summaryRows;
        size_t pages;
        std::string text;  // where it stands, once, in the report: page, left and top
        size_t page;
        double x, y;
    } cases[] = {{10, 0, 3, "列4", 0, 10, 75}, {10, 0, 3, "列5", 1, 10, 30},
                 {10, 0, 3, "完", 2, 10, 60},  {3, 5, 2, "合3", 0, 10, 85},
                 {3, 5, 2, "合4", 1, 10, 30},  {3, 5, 2, "完", 1, 10, 40},
                 {4, 0, 2, "完", 1, 10, 30},   {0, 0, 1, "完", 0, 10, 30}};
    for (const Case& c : cases) {
        ReportData data;
        for (int i = 1; i <= c.rows; ++i)
            data.detail.rows.push_back({"列" + std::to_string(i), ""});
        for (int i = 1; i <= c.summaryRows; ++i)
            data.summary.rows.push_back({"合" + std::to_string(i)});
        PageModel model = layOut(list, data);
        ASSERT_EQ(model.pages.size(), c.pages) << c.text;
        std::vector<std::pair<size_t, const PageText*>> found;
        for (size_t p = 0; p < c.pages; ++p) {
            Texts all = texts(model.pages[p]);
            EXPECT_EQ(Texts(all.begin(), all.begin() + 3),
                      (Texts{"清單", std::to_string(p + 1), std::to_string(c.pages)}));
            EXPECT_DOUBLE_EQ(model.pages[p].texts[0].y, 10);
            EXPECT_EQ(model.pages[p].boxes.size(), p + 1 == c.pages ? 1u : 0u);
            for (const auto& t : model.pages[p].texts)
                if (t.text == c.text) found.push_back({p, &t});
        }
        ASSERT_EQ(found.size(), 1u) << c.text;
        EXPECT_EQ(found[0].first, c.page) << c.text;
        EXPECT_DOUBLE_EQ(found[0].second->x, c.x) << c.text;
        EXPECT_DOUBLE_EQ(found[0].second->y, c.y) << c.text;
    }
}

// Tables are read in the order they were filled, views in their own; fields outside the detail
// take the first row, a name in any case; Null prints the field's literal, an empty text nothing.
TEST(Layout, TheDataFilesRowsAndValuesGoWhereTheTemplateSays) {
    test::PrintBook book;
    // The summary view gives one row per due date, bank and state.
    book.fill("bip", {"B3||||未處理|||||台銀|2026-03-01", "B1||||未處理|||||台銀|2026-01-01",
                      "B2||||到  期|||||台銀|2026-01-01", "B4||||未處理|||||台銀|2026-03-01"});
    book.pt().Execute("UPDATE company SET co_name = '大安營造', ion = NULL");
    Template t = parseTemplate(
        "rpt 1\nband header 10\nfield 0 0 10 L seday#0 \"無起迄日\"\n"
        "field 0 0 10 L company.ion \"收支單\"\nfield 0 0 10 L company.CO_NAME\n"
        "band detail bip 5\nband summary biSum 5\n");
    ReportData data = readReportData(t, book.pt());
    ASSERT_EQ(data.detail.rows.size(), 4u);
    EXPECT_EQ(data.detail.fields.size(), 11u);
    EXPECT_EQ(data.detail.rows[0][0].text(), "B3");
    EXPECT_EQ(data.detail.rows[2][0].text(), "B2");
    ASSERT_EQ(data.summary.rows.size(), 3u);
    EXPECT_EQ(data.summary.rows[0][2].text(), "到  期");
    EXPECT_EQ(data.summary.rows[2][0].text(), "2026-03-01");
    EXPECT_EQ(texts(layOut(t, data).pages[0]), (Texts{"無起迄日", "收支單", "大安營造"}));

    ReportData rows;
    rows.detail.rows = {{"甲", Value()}, {"", ""}};
    const Page page = layOut(list, rows).pages[0];
    EXPECT_EQ(texts(page), (Texts{"清單", "1", "1", "甲", "無", "完"}));
    EXPECT_DOUBLE_EQ(page.texts[4].x, 50);
    ASSERT_EQ(page.lines.size(), 2u);
    EXPECT_EQ(std::vector<double>(
                  {page.lines[1].x1, page.lines[1].y1, page.lines[1].x2, page.lines[1].y2}),
              std::vector<double>({10, 60, 90, 60}));
}

}  // namespace
}  // namespace kiv
