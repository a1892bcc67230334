#include "platform/forms/CellEditor.h"

#include "platform/forms/Host.h"

namespace kiv {

void KeepBlankLastRow(Grid& grid) {
    if (!grid.TextMatrix(grid.Rows() - 1, 0).empty()) grid.SetRows(grid.Rows() + 1);
}

void OpenCellEditor(TextBox& editor, const Grid& grid, int offsetLeft, int offsetTop) {
    constexpr int Inset = 2 * TwipsPerPixel;
    editor.Move(offsetLeft + grid.Left() + grid.CellLeft() + Inset,
                offsetTop + grid.Top() + grid.CellTop() + Inset, grid.CellWidth(),
                grid.CellHeight());
    editor.SetVisible(true);
    editor.ZOrder(0);
    editor.SetFocus();
    editor.SetText(grid.Text());
    editor.SelectAll();
}

}  // namespace kiv
