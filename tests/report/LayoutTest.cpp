#include <gtest/gtest.h>

#include "platform/report/Layout.h"
#include "tests/report/PrintBook.h"

namespace kiv {
namespace {

using Texts = std::vector<std::string>;

// A small page: 80 mm between the margins under a 20 mm header, room for four 15 mm rows.
const Template list = parseTemplate(
    "rpt 1\n"
    "page 100 100 10\n"
    "band header 20\n"
    "text 0 0 80 C \"清單\"\n"
    "field 60 10 10 R @page\n"
    "field 70 10 10 R @pages\n"
    "band detail ptio 15\n"
    "field 0 0 40 L #0\n"
    "field 40 0 40 R #1 \"無\"\n"
    "line 0 15 80 15\n"
    "band summary biSum 5\n"
    "field 0 0 80 L #0\n"
    "band footer 10\n"
    "box 0 0 80 10\n"
    "text 0 0 80 L \"完\"\n");

PageModel layOutRows(int detailRows, int summaryRows = 0) {
    ReportData data;
    for (int i = 1; i <= detailRows; ++i)
        data.detail.rows.push_back({"列" + std::to_string(i), ""});
    for (int i = 1; i <= summaryRows; ++i)
        data.summary.rows.push_back({"合" + std::to_string(i)});
    return layOut(list, data);
}

Texts texts(const Page& page) {
    Texts all;
    for (const auto& t : page.texts)
        all.push_back(t.text);
    return all;
}

// The top of the text on the page; -1 when it is not there.
double top(const Page& page, const std::string& text) {
    for (const auto& t : page.texts)
        if (t.text == text) return t.y;
    return -1;
}

TEST(Layout, RowsThatDoNotFitStartANewPageUnderTheRepeatedHeader) {
    PageModel model = layOutRows(10);
    ASSERT_EQ(model.pages.size(), 3u);
    for (size_t p = 0; p < 3; ++p) {
        const Page& page = model.pages[p];
        EXPECT_DOUBLE_EQ(top(page, "清單"), 10);
        EXPECT_EQ(page.texts[1].text, std::to_string(p + 1));
        EXPECT_EQ(page.texts[2].text, "3");
    }
    EXPECT_DOUBLE_EQ(top(model.pages[0], "列4"), 75);
    EXPECT_DOUBLE_EQ(top(model.pages[1], "列5"), 30);
    EXPECT_DOUBLE_EQ(model.pages[1].texts[3].x, 10);
    EXPECT_EQ(model.pages[0].lines.size(), 4u);
    EXPECT_DOUBLE_EQ(model.pages[0].lines[0].y1, 45);
    EXPECT_DOUBLE_EQ(model.pages[0].lines[0].x2, 90);
    // The footer once, after the last row.
    EXPECT_EQ(top(model.pages[1], "完"), -1);
    EXPECT_DOUBLE_EQ(top(model.pages[2], "完"), 60);
    ASSERT_EQ(model.pages[2].boxes.size(), 1u);
    EXPECT_DOUBLE_EQ(model.pages[2].boxes[0].height, 10);
}

TEST(Layout, SummaryRowsFollowTheDetailAndAFooterThatDoesNotFitGoesOnAPageOfItsOwn) {
    PageModel model = layOutRows(3, 5);
    ASSERT_EQ(model.pages.size(), 2u);
    EXPECT_DOUBLE_EQ(top(model.pages[0], "合3"), 85);
    EXPECT_DOUBLE_EQ(top(model.pages[1], "合4"), 30);
    EXPECT_DOUBLE_EQ(top(model.pages[1], "完"), 40);
    // Four rows fill the first page exactly.
    EXPECT_EQ(texts(layOutRows(4).pages[1]), (Texts{"清單", "2", "2", "完"}));
}

TEST(Layout, AnEmptyTablePrintsHeaderAndFooterNullItsLiteralAndEmptyTextNothing) {
    EXPECT_EQ(texts(layOutRows(0).pages.at(0)), (Texts{"清單", "1", "1", "完"}));
    ReportData data;
    data.detail.rows = {{"甲", Value()}, {"", ""}};
    const Page page = layOut(list, data).pages[0];
    EXPECT_EQ(texts(page), (Texts{"清單", "1", "1", "甲", "無", "完"}));
    EXPECT_DOUBLE_EQ(page.texts[4].x, 50);
    EXPECT_DOUBLE_EQ(page.texts[4].width, 40);
}

TEST(ReportData, ReadsTablesInStoredOrderViewsInTheirOwnAndFirstRows) {
    test::PrintBook book;
    // The summary view gives one row per due date, bank and state.
    book.fill("bip", {"B3||||未處理|||||台銀|2026-03-01", "B1||||未處理|||||台銀|2026-01-01",
                      "B2||||到  期|||||台銀|2026-01-01", "B4||||未處理|||||台銀|2026-03-01"});
    book.setCompany("大安營造", Value());
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
    // An empty table gives Null.
    EXPECT_EQ(texts(layOut(t, data).pages[0]), (Texts{"無起迄日", "收支單", "大安營造"}));
}

TEST(ReportData, NamesTheDataFileLacksAreTemplateErrorsAtTheirLine) {
    test::PrintBook book;
    auto errorLine = [&](const std::string& text) {
        try {
            readReportData(parseTemplate(text), book.pt());
        } catch (const TemplateError& error) {
            return error.line();
        }
        return 0;
    };
    EXPECT_EQ(errorLine("rpt 1\n\nband detail ptiox 5\n"), 3);
    EXPECT_EQ(errorLine("rpt 1\nband detail ptio 5\nfield 0 0 9 L #11\nfield 0 0 9 L #12\n"), 4);
    EXPECT_EQ(errorLine("rpt 1\nband header 5\nfield 0 0 9 L company.title\n"), 3);
    EXPECT_EQ(errorLine("rpt 1\nband footer 5\nfield 0 0 9 L seday#1\n"), 3);
    EXPECT_EQ(errorLine("rpt 1\nband footer 5\nfield 0 0 9 L company#6\n"), 0);
}

}  // namespace
}  // namespace kiv
