#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Grid.h"

namespace kiv {

// A grid whose rows are typed into keeps one empty row at its end for the next entry.
void KeepBlankLastRow(Grid& grid);

// Lays a text box over the grid's current cell to edit it: two pixels inside the cell, above the
// grid, holding the cell's text all selected, with the focus. `offsetLeft` and `offsetTop` add the
// place of a frame that holds the grid but not the box.
void OpenCellEditor(TextBox& editor, const Grid& grid, int offsetLeft = 0, int offsetTop = 0);

}  // namespace kiv
