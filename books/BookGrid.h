#pragma once

#include <cstdint>
#include <string>

#include "platform/db/Amount.h"
#include "platform/db/Date.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DateLabel.h"
#include "platform/forms/Grid.h"

namespace kiv {

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

// The hourglass for as long as a list is built, the default pointer after, however it ends.
class HourglassPointer {
  public:
    HourglassPointer();
    ~HourglassPointer();
    HourglassPointer(const HourglassPointer&) = delete;
    HourglassPointer& operator=(const HourglassPointer&) = delete;
};

}  // namespace kiv
