#pragma once

#include <cstdint>
#include <string>

#include "platform/db/Date.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Grid.h"

namespace kiv {

inline constexpr const char* BooksTitle = "Kiv";
inline constexpr int HeaderAlignment = 4;
inline constexpr int LeftAlignment = 1;
inline constexpr int Hourglass = 11;

// One column of a book's grid: its header caption and its width in twips.
struct BookColumn {
    const char* caption;
    int width;
};

// The grid's columns: their header captions, centred, and their widths.
template <size_t N>
void SetBookColumns(Grid& grid, const BookColumn (&columns)[N]) {
    grid.SetCols(static_cast<int>(N));
    for (int c = 0; c < static_cast<int>(N); ++c) {
        grid.SetTextMatrix(0, c, columns[c].caption);
        grid.SetColWidth(c, columns[c].width);
        grid.SetRow(0);
        grid.SetCol(c);
        grid.SetCellAlignment(HeaderAlignment);
    }
}

// An amount as the books show it, "##,##0", the sign in front.
std::string AmountText(int64_t amount);

// An amount read back from a label or a cell: the leading whole number of its text with every ","
// removed, its sign included; 0 for an empty or other text.
int64_t AmountShown(const std::string& text);

// A date as the book's labels and cells show it, "gg ee/mm/dd".
std::string ShownDay(const Date& day);

// The company's name, which begins the first line of every workbook copied from a book.
std::string CompanyName();

// The hourglass for as long as a list is built, the default pointer after, however it ends.
class HourglassPointer {
  public:
    HourglassPointer();
    ~HourglassPointer();
    HourglassPointer(const HourglassPointer&) = delete;
    HourglassPointer& operator=(const HourglassPointer&) = delete;
};

}  // namespace kiv
