#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kiv {

// A range of cells, 1-based and inclusive, as Excel counts rows and columns.
struct CellRange {
    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;
};

// A workbook of one sheet as the grid exports build it: cells as text, column widths and thin
// borders around and inside ranges. A cell whose text is an amount as the lists show it ("2,100",
// "-400") is written as a number in the "#,##0" format, as a spreadsheet turns such a typed text
// into a number; every other text (dates, codes, names) stays a text. Nothing else (fonts, merges,
// colours, formulas) belongs to those exports.
class Workbook {
  public:
    // Rows and columns count from 1. An empty text is written too, as a blank cell.
    void setCell(int row, int column, const std::string& text);
    // The cell's text; "" when it was never written.
    std::string cell(int row, int column) const;

    // A width in Excel's character units; the forms pass the grid's width in twips / 90.
    void setColumnWidth(int column, double width);
    // Thin lines on the range's four edges and on every line inside it.
    void addBorders(const CellRange& range);

    // Writes the workbook to `path` (replacing a file there); throws std::runtime_error when
    // the file cannot be written.
    void save(const std::string& path) const;

  private:
    bool bordered(int row, int column) const;

    std::map<std::pair<int, int>, std::string> cells_;
    std::map<int, double> widths_;
    std::vector<CellRange> borders_;
};

// "A" for 1, "Z" for 26, "AA" for 27, "BM" for 65.
std::string columnLetters(int column);

// Saves the workbook under a new file named after `title` and the time (never replacing a file)
// in the program's folder of the user's documents folder ("Documents/Kiv"), or the temporary
// folder when that cannot be written, and opens
// it with the desktop's program for the user to look at, save elsewhere or print. When nothing
// can open it the user is told where it lies. Returns the file's path.
std::string showWorkbook(const Workbook& book, const std::string& title);

}  // namespace kiv
