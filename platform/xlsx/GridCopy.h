#pragma once

#include <string>
#include <vector>

#include "platform/xlsx/Workbook.h"

namespace kiv {

class Grid;

// What a column the grid never gave a width (-1) becomes in the sheet.
enum class GridWidths {
    DefaultAsTen,    // width 10
    DefaultAsSheet,  // the sheet's own default width
    None,            // no column gets a width at all
};

// The workbook every grid export starts from: the title lines down column A from row 1, as text
// and without borders; then grid cell (i, j) as text in sheet row startRow + i, column j + 1,
// every cell of the grid (fixed and empty ones too, colours left behind); each column's width
// as the grid's twips / 90 (0 stays 0, so a hidden column stays hidden); thin lines around and
// inside the grid's area. The caller shows it with showWorkbook.
Workbook CopyGridToWorkbook(const Grid& grid, const std::vector<std::string>& titleLines,
                            int startRow, GridWidths widths);

}  // namespace kiv
