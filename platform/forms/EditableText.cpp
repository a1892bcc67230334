#include "platform/forms/EditableText.h"

#include <algorithm>

#include "platform/db/Utf8.h"

namespace kiv {

int EditableText::size() const {
    return static_cast<int>(characterCount(text_));
}

std::string EditableText::selected() const {
    return characterMid(text_, start_, length_);
}

bool EditableText::setText(const std::string& text) {
    if (text == text_) return false;
    text_ = text;
    caretToEnd();
    return true;
}

void EditableText::select(int start, int length) {
    start_ = std::clamp(start, 0, size());
    length_ = std::clamp(length, 0, size() - start_);
}

void EditableText::selectAll() {
    select(0, size());
}

void EditableText::caretToEnd() {
    select(size(), 0);
}

bool EditableText::replaceSelection(const std::string& inserted, int maxLength) {
    std::u32string chars = toCodePoints(text_);
    std::u32string added = toCodePoints(inserted);
    if (maxLength > 0) {
        int room = maxLength - (static_cast<int>(chars.size()) - length_);
        if (room < static_cast<int>(added.size())) added.resize(std::max(room, 0));
    }
    chars.replace(start_, length_, added);
    std::string next = fromCodePoints(chars);
    start_ += static_cast<int>(added.size());
    length_ = 0;
    if (next == text_) return false;
    text_ = std::move(next);
    return true;
}

bool EditableText::deleteBackward() {
    if (length_ == 0) {
        if (start_ == 0) return false;
        select(start_ - 1, 1);
    }
    return replaceSelection("");
}

bool EditableText::deleteForward() {
    if (length_ == 0) {
        if (start_ >= size()) return false;
        length_ = 1;
    }
    return replaceSelection("");
}

}  // namespace kiv
