#include <gtest/gtest.h>

#include "platform/report/Template.h"

namespace kiv {
namespace {

int errorLine(const std::string& text) {
    try {
        parseTemplate(text);
    } catch (const TemplateError& error) {
        return error.line();
    }
    return 0;
}

TEST(Template, ReadsEveryKindOfItem) {
    Template t = parseTemplate(
        "; a voucher\n"
        "rpt 1\n"
        "page 210 148 10              ; A5 landscape\n"
        "font 11 bold\n"
        "band header 28\n"
        "text  0 0 190 C \"收支單\"\n"
        "field 0 0 190 C company.ion \"收支單\"\n"
        "field 0 6 190 L seday#0\n"
        "font 9\n"
        "field 170 0 20 R @page\n"
        "field 180 0 10 R @pages\n"
        "band detail ptios 100\n"
        "field 30 12.5 60 L #19\n"
        "line  0 20 190 20\n"
        "box   0 22 190 60\n"
        "band summary biSum 6\n"
        "band footer 8\n");
    EXPECT_DOUBLE_EQ(t.pageHeight, 148);
    EXPECT_DOUBLE_EQ(t.bodyHeight(), 128);
    ASSERT_TRUE(t.header && t.detail && t.summary && t.footer);
    EXPECT_EQ(t.detail->table, "ptios");
    EXPECT_EQ(t.summary->table, "biSum");
    EXPECT_DOUBLE_EQ(t.footer->height, 8);

    const auto& head = t.header->items;
    ASSERT_EQ(head.size(), 5u);
    const auto& title = std::get<TextItem>(head[0]);
    EXPECT_EQ(title.text, "收支單");
    EXPECT_EQ(title.align, Align::Center);
    EXPECT_TRUE(title.font.bold);
    const auto& ion = std::get<FieldItem>(head[1]);
    EXPECT_EQ(ion.ref.key(), "company.ion");
    EXPECT_EQ(ion.nullText, std::optional<std::string>("收支單"));
    EXPECT_EQ(ion.line, 7);
    EXPECT_EQ(std::get<FieldItem>(head[2]).ref.kind, FieldRef::Kind::TableColumn);
    EXPECT_EQ(std::get<FieldItem>(head[2]).ref.key(), "seday#0");
    EXPECT_EQ(std::get<FieldItem>(head[3]).ref.kind, FieldRef::Kind::Page);
    EXPECT_EQ(std::get<FieldItem>(head[3]).align, Align::Right);
    EXPECT_FALSE(std::get<FieldItem>(head[3]).font.bold);
    EXPECT_EQ(std::get<FieldItem>(head[4]).ref.kind, FieldRef::Kind::Pages);

    const auto& detail = t.detail->items;
    ASSERT_EQ(detail.size(), 3u);
    const auto& amount = std::get<FieldItem>(detail[0]);
    EXPECT_EQ(amount.ref.kind, FieldRef::Kind::Column);
    EXPECT_EQ(amount.ref.column, 19);
    EXPECT_DOUBLE_EQ(amount.y, 12.5);
    EXPECT_DOUBLE_EQ(amount.font.size, 9);
    EXPECT_DOUBLE_EQ(std::get<LineItem>(detail[1]).x2, 190);
    EXPECT_DOUBLE_EQ(std::get<BoxItem>(detail[2]).height, 60);
}

TEST(Template, QuotesCommentsAndLineEndings) {
    Template t = parseTemplate(
        "\xEF\xBB\xBFrpt 1\r\n"
        "band header 10\r\n"
        "text 0 0 50 L \"a \\\"b\\\" c\\\\d ; no comment\"  ; comment\r\n"
        "   ; only a comment\n"
        "text 0 5 50 R \"\"\n");
    ASSERT_EQ(t.header->items.size(), 2u);
    EXPECT_EQ(std::get<TextItem>(t.header->items[0]).text, "a \"b\" c\\d ; no comment");
    EXPECT_EQ(std::get<TextItem>(t.header->items[1]).text, "");
    // Without a page statement: A4 portrait, 10 mm margins.
    EXPECT_DOUBLE_EQ(t.pageWidth, 210);
    EXPECT_DOUBLE_EQ(t.pageHeight, 297);
}

TEST(Template, RefusesWithTheLineAtFault) {
    const std::string head = "rpt 1\npage 210 148 10\n";  // 128 mm between the margins
    const std::string band = head + "band detail ptios 20\n";
    const std::pair<std::string, int> cases[] = {
        // The version comes first.
        {"", 1},
        {"; nothing\n\n", 1},
        {"; c\npage 210 297 10\nrpt 1\n", 2},
        {"\nrpt 2\n", 2},
        {"rpt\n", 1},
        // Statements and their values.
        {head + "pager 1 2 3\n", 3},
        {head + "page 210 148 10\n", 3},
        {"rpt 1\npage 210 148\n", 2},
        {"rpt 1\npage 20 20 10\n", 2},
        {"rpt 1\nband header 9\npage 210 148 10\n", 3},
        {head + "font 0\n", 3},
        {head + "font 10 italic\n", 3},
        {head + "font ten\n", 3},
        // Bands.
        {head + "band middle 10\n", 3},
        {head + "band header 10\nband header 10\n", 4},
        {head + "band detail 10\n", 3},
        {head + "band footer pt 10\n", 3},
        {head + "band detail pt 0\n", 3},
        {head + "band detail pt -5\n", 3},
        {head + "band header 129\n", 3},
        {head + "band header 100\nband footer 29\n", 4},
        {head + "band header 100\nband summary biSum 28\nband footer 29\n", 5},
        {head + "band header 100\nband detail pt 28\nband footer 28\n", 0},
        // Items.
        {head + "text 0 0 10 L \"x\"\n", 3},
        {band + "text 0 0 10 L x\n", 4},
        {band + "text 0 0 10 X \"x\"\n", 4},
        {band + "text 0 0 0 L \"x\"\n", 4},
        {band + "text 0 0 10 L \"x\" \"y\"\n", 4},
        {band + "text 0 0 1O L \"x\"\n", 4},
        {band + "text 0 nan 10 L \"x\"\n", 4},
        {band + "field 0 0 10 L #\n", 4},
        {band + "field 0 0 10 L #x\n", 4},
        {band + "field 0 0 10 L company\n", 4},
        {band + "field 0 0 10 L company.\n", 4},
        {band + "field 0 0 10 L .ion\n", 4},
        {band + "field 0 0 10 L seday#-1\n", 4},
        {band + "field 0 0 10 L \"#1\"\n", 4},
        {band + "field 0 0 10 L #1 bare\n", 4},
        {band + "line 0 0 10\n", 4},
        {band + "box 0 0 10 0\n", 4},
        {head + "band header 10\nfield 0 0 10 L #1\n", 4},
        {head + "band footer 10\nfield 0 0 10 L #1\n", 4},
        // Quoting.
        {band + "text 0 0 10 L \"open\n", 4},
        {band + "text 0 0 10 L \"a\\nb\"\n", 4},
        {band + "text 0 0 10 L \"a\"b\n", 4},
        {band + "text 0 0 10 L a\"b\"\n", 4}};
    for (const auto& [text, line] : cases)
        EXPECT_EQ(errorLine(text), line) << text;
}

}  // namespace
}  // namespace kiv
