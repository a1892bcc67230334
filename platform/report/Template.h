#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kiv {

// A report template: a banded page layout in millimetres over the print tables of pt.mdb.
//
//   rpt 1                         ; first line: the format's version
//   page 210 148 10               ; width height margin
//   font 11 bold                  ; point size, optional bold, for the items that follow
//   band header 28                ; on top of every page
//   band detail ptios 100         ; once per row of a table or view, in stored order
//   band summary biSum 6          ; once per row of a second table or view, after the details
//   band footer 8                 ; once, after the last row
//   text  0 0 190 C "收支單"      ; x y width align(L|C|R) literal, relative to the band
//   field 30 12 60 L #1           ; column 1 of the band's row
//   field 0 0 190 C company.ion "收支單"   ; first row of another table; the literal when Null
//   field 0 6 190 C seday#0       ; column 0 of the first row of another table
//   field 170 0 20 R @page        ; the page number; @pages the page count
//   line  0 20 190 20             ; x1 y1 x2 y2
//   box   0 22 190 60             ; x y width height
//
// ";" starts a comment outside quotes; strings are double-quoted with \" and \\ inside.

enum class Align { Left, Center, Right };

struct Font {
    double size = 10;  // points
    bool bold = false;
};

// What a field prints.
struct FieldRef {
    enum class Kind { Column, TableField, TableColumn, Page, Pages };
    Kind kind = Kind::Column;
    std::string table;  // TableField, TableColumn
    std::string field;  // TableField
    int column = 0;     // Column, TableColumn

    // "company.ion", "seday#0": the key of a value read from the first row of another table.
    std::string key() const;
};

struct TextItem {
    double x = 0, y = 0, width = 0;
    Align align = Align::Left;
    Font font;
    std::string text;
};

struct FieldItem {
    double x = 0, y = 0, width = 0;
    Align align = Align::Left;
    Font font;
    FieldRef ref;
    // Printed instead of a Null value.
    std::optional<std::string> nullText;
    int line = 0;
};

struct LineItem {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct BoxItem {
    double x = 0, y = 0, width = 0, height = 0;
};

using Item = std::variant<TextItem, FieldItem, LineItem, BoxItem>;

struct Band {
    std::string table;  // detail and summary bands
    double height = 0;
    std::vector<Item> items;
    int line = 0;
};

struct Template {
    double pageWidth = 210, pageHeight = 297, margin = 10;
    std::optional<Band> header, detail, summary, footer;

    // The height bands may fill on a page.
    double bodyHeight() const { return pageHeight - 2 * margin; }
};

// A template the parser or the data refused, with the line (from 1) at fault.
class TemplateError : public std::runtime_error {
  public:
    TemplateError(int line, const std::string& reason) : std::runtime_error(reason), line_(line) {}
    int line() const { return line_; }

  private:
    int line_;
};

// Reads a template's text (UTF-8); throws TemplateError at the first fault.
Template parseTemplate(std::string_view text);

}  // namespace kiv
