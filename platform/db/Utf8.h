#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kiv {

// Texts are UTF-8; the forms count characters (code points), never bytes.

std::u32string toCodePoints(std::string_view text);
std::string fromCodePoints(std::u32string_view codePoints);
std::string fromCodePoint(char32_t codePoint);

size_t characterCount(std::string_view text);
// The `count` characters from 0-based character position `start` (clipped to the text).
std::string characterMid(std::string_view text, size_t start, size_t count = std::string::npos);
std::string characterLeft(std::string_view text, size_t count);
std::string characterRight(std::string_view text, size_t count);

// ASCII letters folded to lower case; other characters unchanged (Chinese has no case).
std::string foldCase(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
// 0-based character position of `needle` in `text` compared without case, or npos.
size_t findNoCase(std::string_view text, std::string_view needle);

std::string trimmed(std::string_view text);
std::vector<std::string> splitText(std::string_view text, std::string_view delimiter);

}  // namespace kiv
