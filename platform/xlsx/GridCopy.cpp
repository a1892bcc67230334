#include "platform/xlsx/GridCopy.h"

#include "platform/forms/Grid.h"

namespace kiv {

namespace {

// Excel's width units are about a character, and a character about 90 twips.
constexpr double TwipsPerCharacter = 90;
constexpr double DefaultColumnWidth = 10;

void copyWidths(const Grid& grid, Workbook& book, GridWidths widths) {
    if (widths == GridWidths::None) return;
    for (int col = 0; col < grid.Cols(); ++col) {
        int twips = grid.ColWidth(col);
        if (twips >= 0)
            book.setColumnWidth(col + 1, twips / TwipsPerCharacter);
        else if (widths == GridWidths::DefaultAsTen)
            book.setColumnWidth(col + 1, DefaultColumnWidth);
    }
}

}  // namespace

Workbook CopyGridToWorkbook(const Grid& grid, const std::vector<std::string>& titleLines,
                            int startRow, GridWidths widths) {
    Workbook book;
    for (size_t line = 0; line < titleLines.size(); ++line)
        book.setCell(static_cast<int>(line) + 1, 1, titleLines[line]);
    for (int row = 0; row < grid.Rows(); ++row)
        for (int col = 0; col < grid.Cols(); ++col)
            book.setCell(startRow + row, col + 1, grid.TextMatrix(row, col));
    copyWidths(grid, book, widths);
    if (grid.Rows() > 0 && grid.Cols() > 0)
        book.addBorders({startRow, 1, startRow + grid.Rows() - 1, grid.Cols()});
    return book;
}

}  // namespace kiv
