#pragma once

#include <optional>
#include <string>

#include "platform/forms/Controls.h"

namespace kiv {

// The key filter of every amount box: digits and Backspace pass, any other key is dropped with a
// beep.
void AmountKeyFilter(int& keyAscii);

// Keeps an amount box showing its digits grouped "##,##0" while the user types, the caret at the
// end. A text that is not digits (with or without separators) is left as typed, so that pasted
// text is never read as something else; the action that uses the amount refuses it.
void LiveThousandsFormat(TextBox& box);

// The whole amount of an amount text of 1 to 15 digits, separators allowed; nullopt for any other
// text.
std::optional<int64_t> WholeAmountOfText(const std::string& text);

}  // namespace kiv
