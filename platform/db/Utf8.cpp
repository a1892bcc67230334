#include "platform/db/Utf8.h"

namespace kiv {

namespace {

// Decodes one code point at text[i], advancing i; a malformed byte is taken as U+FFFD.
char32_t decodeAt(std::string_view text, size_t& i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int length = c < 0x80           ? 1
                 : (c >> 5) == 0x6  ? 2
                 : (c >> 4) == 0xE  ? 3
                 : (c >> 3) == 0x1E ? 4
                                    : 0;
    if (length == 0 || i + length > text.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = length == 1 ? c : c & (0xFF >> (length + 1));
    for (int k = 1; k < length; ++k) {
        unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    i += length;
    return cp;
}

// Byte offset of character position `position` (the text's size when past its end).
size_t byteOffset(std::string_view text, size_t position) {
    size_t i = 0;
    for (size_t n = 0; n < position && i < text.size(); ++n)
        decodeAt(text, i);
    return i;
}

}  // namespace

std::u32string toCodePoints(std::string_view text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();)
        out += decodeAt(text, i);
    return out;
}

std::string fromCodePoint(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string fromCodePoints(std::u32string_view codePoints) {
    std::string out;
    for (char32_t cp : codePoints)
        out += fromCodePoint(cp);
    return out;
}

size_t characterCount(std::string_view text) {
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++n)
        decodeAt(text, i);
    return n;
}

std::string characterMid(std::string_view text, size_t start, size_t count) {
    size_t from = byteOffset(text, start);
    if (count == std::string::npos) return std::string(text.substr(from));
    size_t to = from + byteOffset(text.substr(from), count);
    return std::string(text.substr(from, to - from));
}

std::string characterLeft(std::string_view text, size_t count) {
    return characterMid(text, 0, count);
}

std::string characterRight(std::string_view text, size_t count) {
    size_t length = characterCount(text);
    return count >= length ? std::string(text) : characterMid(text, length - count);
}

std::string foldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return out;
}

// Compared in place: names are compared on every field looked up by name and every column read.
bool equalsNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    };
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

size_t findNoCase(std::string_view text, std::string_view needle) {
    std::string haystack = foldCase(text);
    size_t at = haystack.find(foldCase(needle));
    if (at == std::string::npos) return std::string::npos;
    return characterCount(std::string_view(haystack).substr(0, at));
}

std::string trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return "";
    size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> splitText(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t at = delimiter.empty() ? std::string_view::npos : text.find(delimiter, start);
        if (at == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, at - start));
        start = at + delimiter.size();
    }
}

}  // namespace kiv
