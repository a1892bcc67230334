#include <gtest/gtest.h>

#include "platform/report/ReportData.h"
#include "tests/report/PrintBook.h"

namespace kiv {
namespace {

// The layout and report tests read every kind of item through their templates; what they do not
// see is which font an item takes, where a field stands in its file and how texts are quoted.
TEST(Template, ItemsTakeTheFontInForceAndTextsTheirQuotes) {
    Template t = parseTemplate(
        "\xEF\xBB\xBFrpt 1\r\n"
        "font 11 bold\n"
        "band header 28\r\n"
        "text 0 0 50 L \"a \\\"b\\\" c\\\\d ; no comment\"  ; comment\r\n"
        "   ; only a comment\n"
        "font 9\n"
        "band detail ptios 100\n"
        "field 30 12.5 60 L #19 \"\"\n");
    const auto& title = std::get<TextItem>(t.header->items.at(0));
    EXPECT_EQ(title.text, "a \"b\" c\\d ; no comment");
    EXPECT_TRUE(title.font.bold);
    EXPECT_DOUBLE_EQ(title.font.size, 11);
    const auto& amount = std::get<FieldItem>(t.detail->items.at(0));
    EXPECT_FALSE(amount.font.bold);
    EXPECT_DOUBLE_EQ(amount.font.size, 9);
    EXPECT_DOUBLE_EQ(amount.y, 12.5);
    EXPECT_EQ(amount.ref.column, 19);
    EXPECT_EQ(amount.nullText, std::optional<std::string>(""));
    EXPECT_EQ(amount.line, 8);
    EXPECT_DOUBLE_EQ(t.pageHeight, 297);  // without a page statement: A4 portrait
}

// A faulty template, and one naming what the print file lacks, is refused at the line at fault.
TEST(Template, RefusesWithTheLineAtFault) {
    test::PrintBook book;
    auto errorLine = [&](const std::string& text) {
        try {
            readReportData(parseTemplate(text), book.pt());
        } catch (const TemplateError& error) {
            return error.line();
        }
        return 0;
    };
    const std::string head = "rpt 1\npage 210 148 10\n";  // 128 mm between the margins
    const std::string band = head + "band detail ptios 20\n";
    const std::pair<std::string, int> cases[] = {
        // The version comes first.
        {"; nothing\n\n", 1},
        {"; c\npage 210 297 10\nrpt 1\n", 2},
        {"\nrpt 2\n", 2},
        // Statements and their values.
        {head + "pager 1 2 3\n", 3},
        {"rpt 1\nband header 9\npage 210 148 10\n", 3},
        {"rpt 1\npage 210 148\n", 2},
        {"rpt 1\npage 20 20 10\n", 2},
        {head + "font 0\n", 3},
        {head + "font 10 italic\n", 3},
        // Bands, and bands that could never be placed.
        {head + "band middle 10\n", 3},
        {head + "band header 10\nband header 10\n", 4},
        {head + "band detail 10\n", 3},
        {head + "band detail pt -5\n", 3},
        {head + "band header 129\n", 3},
        {head + "band header 100\nband summary biSum 28\nband footer 29\n", 5},
        {head + "band header 100\nband detail pt 28\nband footer 28\n", 0},
        // Items.
        {head + "text 0 0 10 L \"x\"\n", 3},
        {band + "text 0 0 10 X \"x\"\n", 4},
        {band + "text 0 0 10 L \"x\" \"y\"\n", 4},
        {band + "text 0 0 1O L \"x\"\n", 4},
        {band + "text 0 nan 10 L \"x\"\n", 4},
        {band + "field 0 0 10 L #x\n", 4},
        {band + "field 0 0 10 L company.\n", 4},
        {band + "field 0 0 10 L \"#1\"\n", 4},
        {band + "field 0 0 10 L #1 bare\n", 4},
        {head + "band footer 10\nfield 0 0 10 L #1\n", 4},
        {band + "box 0 0 10 0\n", 4},
        // Quoting.
        {band + "text 0 0 10 L \"open\n", 4},
        {band + "text 0 0 10 L \"a\\nb\"\n", 4},
        {band + "text 0 0 10 L \"a\"b\n", 4},
        {band + "text 0 0 10 L a\"b\"\n", 4},
        // Tables, columns and fields the print file lacks.
        {"rpt 1\n\nband detail ptiox 5\n", 3},
        {"rpt 1\nband detail ptio 5\nfield 0 0 9 L #11\nfield 0 0 9 L #12\n", 4},
        {"rpt 1\nband header 5\nfield 0 0 9 L company.title\n", 3},
        {"rpt 1\nband footer 5\nfield 0 0 9 L seday#1\n", 3},
        {"rpt 1\nband footer 5\nfield 0 0 9 L company#6\n", 0}};
    for (const auto& [text, line] : cases)
        EXPECT_EQ(errorLine(text), line) << text;
}

}  // namespace
}  // namespace kiv
