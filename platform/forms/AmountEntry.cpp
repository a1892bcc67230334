#include "platform/forms/AmountEntry.h"

namespace kiv {

void AmountKeyFilter(int& keyAscii) {
    if ((keyAscii >= '0' && keyAscii <= '9') || keyAscii == Key::Backspace) return;
    beep();
    keyAscii = 0;
}

// A text too long to be an amount still shows grouped as it is typed; the save refuses it.
void LiveThousandsFormat(TextBox& box) {
    AmountReading reading = ReadAmount(box.Text());
    if (!reading.amount && reading.fault != AmountFault::TooLong) return;
    box.SetText(GroupedAmountText(box.Text()));
    box.CaretToEnd();
}

AmountReading TypedAmount(TextBox& box, std::string_view field, AmountRule rule,
                          const char* title) {
    AmountReading reading = ReadAmount(box.Text(), rule);
    if (!reading.refused()) return reading;
    messageBox(AmountRefusal(field, reading.fault, rule), 48, title);
    box.SetFocus();
    box.SelectAll();
    return reading;
}

AmountReading CellAmount(Grid& grid, int row, int col, std::string_view field, AmountRule rule,
                         const char* title) {
    AmountReading reading = ReadAmount(grid.TextMatrix(row, col), rule);
    if (!reading.refused()) return reading;
    messageBox(AmountRefusal(field, reading.fault, rule), 48, title);
    grid.SetRow(row);
    grid.SetCol(col);
    return reading;
}

}  // namespace kiv
