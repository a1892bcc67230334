#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/db/Amount.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Grid.h"
#include "platform/forms/Host.h"

namespace kiv {

// The key filter of every amount box: digits and Backspace pass, any other key is dropped with a
// beep.
void AmountKeyFilter(int& keyAscii);

// Keeps an amount box showing its digits grouped "##,##0" while the user types, the caret at the
// end. A text that is no amount (ReadAmount) is left as typed, so that pasted text is never read
// as something else; the action that uses the amount refuses it.
void LiveThousandsFormat(TextBox& box);

// The amount typed into a box, read by ReadAmount. A text that is no amount is refused before
// it returns: the message names the field (style 48, the title given) and the box takes the focus
// with its text selected, to be typed again; the reading's fault tells the caller to store
// nothing.
AmountReading TypedAmount(TextBox& box, std::string_view field, AmountRule rule = {},
                          const char* title = ApplicationTitle);

// The same for an amount typed into a grid cell; `field` names the row as well ("第2期的應收金額")
// and the refused cell becomes the grid's current one.
AmountReading CellAmount(Grid& grid, int row, int col, std::string_view field, AmountRule rule = {},
                         const char* title = ApplicationTitle);

}  // namespace kiv
