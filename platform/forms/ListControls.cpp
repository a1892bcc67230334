#include "platform/forms/ListControls.h"

#include <algorithm>
#include <stdexcept>

#include "platform/db/Utf8.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"

namespace kiv {

void ListControl::AddItem(const std::string& text, int index) {
    if (index < 0 || index > ListCount()) index = ListCount();
    rows_.insert(rows_.begin() + index, std::vector<std::string>{text});
    selected_.insert(selected_.begin() + index, false);
    if (listIndex_ >= index) ++listIndex_;
    notify(Property::Items);
}

void ListControl::RemoveItem(int index) {
    if (index < 0 || index >= ListCount())
        throw std::out_of_range("沒有第 " + std::to_string(index) + " 項");
    rows_.erase(rows_.begin() + index);
    selected_.erase(selected_.begin() + index);
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
    notify(Property::Items);
}

void ListControl::Clear() {
    rows_.clear();
    selected_.clear();
    listIndex_ = -1;
    notify(Property::Items);
}

std::string ListControl::List(int row, int column) const {
    if (row < 0 || row >= ListCount()) return "";
    const auto& entry = rows_[row];
    return column >= 0 && column < static_cast<int>(entry.size()) ? entry[column] : "";
}

void ListControl::SetList(int row, int column, const std::string& text) {
    if (row < 0 || row > ListCount())
        throw std::out_of_range("沒有第 " + std::to_string(row) + " 項");
    if (row == ListCount()) {
        rows_.emplace_back();
        selected_.push_back(false);
    }
    auto& entry = rows_[row];
    if (static_cast<int>(entry.size()) <= column) entry.resize(column + 1);
    entry[column] = text;
    notify(Property::Items);
}

void ListControl::SetRows(std::vector<std::vector<std::string>> rows) {
    rows_ = std::move(rows);
    selected_.assign(rows_.size(), false);
    listIndex_ = -1;
    notify(Property::Items);
}

void ListControl::SetColumnCount(int count) {
    columnCount_ = std::max(1, count);
    notify(Property::Items);
}

void ListControl::SetTextColumn(int column) {
    textColumn_ = column;
    notify(Property::Items);
}

void ListControl::SetColumnWidths(const std::string& widths) {
    columnWidths_ = widths;
    notify(Property::Items);
}

std::string ListControl::Column(int column, int row) const {
    if (row < 0) row = listIndex_;
    return List(row, column);
}

std::string ListControl::EntryText(int row) const {
    return List(row, std::max(textColumn_, 1) - 1);
}

int ListControl::FindEntry(const std::string& text) const {
    for (int i = 0; i < ListCount(); ++i)
        if (equalsNoCase(EntryText(i), text)) return i;
    return -1;
}

void ListControl::setListIndexQuietly(int index) {
    listIndex_ = index >= 0 && index < ListCount() ? index : -1;
    notify(Property::ListIndex);
}

ComboBox::ComboBox(Form& form, std::string name, int index, Flavor flavor)
    : ListControl(form, std::move(name), index),
      flavor_(flavor),
      matchEntry_(flavor == Flavor::Forms2) {
    SetBackColor(SystemColor::Window);
    SetForeColor(SystemColor::WindowText);
}

void ComboBox::changeText(const std::string& text, bool raiseChange) {
    if (!edit_.setText(text)) return;
    notify(Property::Text);
    if (raiseChange) fire(Change);
}

void ComboBox::SetText(const std::string& text) {
    int match = FindEntry(text);
    if (style_ == 2 && match < 0 && !text.empty())
        throw std::invalid_argument("「" + text + "」不在清單中");
    changeText(match >= 0 ? EntryText(match) : text, true);
    if (flavor_ == Flavor::Forms2 && match >= 0) {
        SetListIndex(match);
        return;
    }
    setListIndexQuietly(match);
}

void ComboBox::SetListIndex(int index) {
    bool forms2 = flavor_ == Flavor::Forms2;
    if (index >= ListCount()) {
        if (!forms2) throw std::out_of_range("沒有第 " + std::to_string(index) + " 項");
        index = -1;
    }
    if (index < 0) {
        setListIndexQuietly(-1);
        changeText("", forms2);
        return;
    }
    bool chosenBefore = index == listIndex_;
    setListIndexQuietly(index);
    // A standard box's Change is for typing; a Forms 2.0 box's for any new value.
    changeText(EntryText(index), forms2);
    if (!(forms2 && chosenBefore)) fire(Click);
}

void ComboBox::Clear() {
    ListControl::Clear();
    changeText("", false);
}

void ComboBox::SetListRows(int rows) {
    listRows_ = rows;
    notify(Property::Style);
}

std::string ComboBox::Value() const {
    if (listIndex_ < 0) return Text();
    return List(listIndex_, std::max(BoundColumn(), 1) - 1);
}

void ComboBox::SetStyle(int style) {
    style_ = style;
    notify(Property::Style);
}

void ComboBox::SelectAll() {
    edit_.selectAll();
    notify(Property::Selection);
}

void ComboBox::userPick(int index) {
    if (!CanTakeFocus() || !userFocus()) return;
    if (index < 0 || index >= ListCount()) return;
    SetListIndex(index);
}

void ComboBox::userType(std::string_view text) {
    for (char32_t c : toCodePoints(text))
        userKey(c);
}

void ComboBox::userKey(char32_t character, int shift) {
    if (!CanTakeFocus() || !userFocus()) return;
    int key = static_cast<int>(character);
    int code = keyCodeFor(character);
    if (KeyDown) KeyDown(code, shift);
    Grid* grid = gridBeneath(*this);
    bool cellEnter = key == Key::Enter && grid && grid->EditedInPlace();
    // Enter and Esc press the form's default and cancel buttons, as in a text box.
    if (!cellEnter && form().pressButtonForKey(key)) return;
    // Enter in a box over a cell goes on to the next cell, as Tab does; the box never sees it.
    if (cellEnter) {
        userTab(0);
        return;
    }
    if (KeyPress) KeyPress(key);
    if (key != 0 && style_ != 2) {
        bool changed = false;
        if (key == Key::Backspace)
            changed = edit_.deleteBackward();
        else if (key >= 32)
            changed = edit_.replaceSelection(fromCodePoint(static_cast<char32_t>(key)));
        if (changed) {
            notify(Property::Text);
            fire(Change);
        }
        if (key != Key::Backspace) completeFromEntries();
        if (listIndex_ >= 0 && !equalsNoCase(EntryText(listIndex_), Text()))
            setListIndexQuietly(-1);
    }
    if (KeyUp) KeyUp(code, shift);
}

// Typing completes the text from the first entry that begins with it; the completed part stays
// selected so that the next key replaces it.
void ComboBox::completeFromEntries() {
    if (!matchEntry_ || Text().empty()) return;
    std::string typed = foldCase(Text());
    for (int i = 0; i < ListCount(); ++i) {
        std::string entry = EntryText(i);
        if (foldCase(entry).rfind(typed, 0) != 0) continue;
        int typedLength = edit_.size();
        changeText(entry, true);
        edit_.select(typedLength, static_cast<int>(characterCount(entry)) - typedLength);
        notify(Property::Selection);
        if (listIndex_ != i) {
            setListIndexQuietly(i);
            fire(Click);
        }
        return;
    }
}

void ComboBox::userTab(int shift) {
    TabOnFrom(*this, shift);
}

void ComboBox::userReplaceText(const std::string& text) {
    if (style_ == 2) return;
    changeText(text, true);
    int match = FindEntry(text);
    if (match >= 0 && flavor_ == Flavor::Forms2 && match != listIndex_) {
        setListIndexQuietly(match);
        fire(Click);
    } else {
        setListIndexQuietly(match);
    }
}

void ComboBox::userSelect(int start, int length) {
    edit_.select(start, length);
}

ListBox::ListBox(Form& form, std::string name, int index)
    : ListControl(form, std::move(name), index) {
    SetBackColor(SystemColor::Window);
    SetForeColor(SystemColor::WindowText);
}

std::string ListBox::Text() const {
    return listIndex_ < 0 ? "" : EntryText(listIndex_);
}

void ListBox::SetListIndex(int index) {
    if (index >= ListCount()) throw std::out_of_range("沒有第 " + std::to_string(index) + " 項");
    setListIndexQuietly(index);
    if (index >= 0) fire(Click);
}

std::string ListBox::Value() const {
    return listIndex_ < 0 ? "" : List(listIndex_, std::max(BoundColumn(), 1) - 1);
}

void ListBox::SetMultiSelect(int mode) {
    multiSelect_ = mode;
    notify(Property::Style);
}

void ListBox::SetStyle(int style) {
    style_ = style;
    notify(Property::Style);
}

bool ListBox::Selected(int row) const {
    if (row < 0 || row >= ListCount())
        throw std::out_of_range("沒有第 " + std::to_string(row) + " 項");
    return selected_[row];
}

void ListBox::SetSelected(int row, bool selected) {
    if (row < 0 || row >= ListCount())
        throw std::out_of_range("沒有第 " + std::to_string(row) + " 項");
    selected_[row] = selected;
    notify(Property::Value);
}

void ListBox::userPick(int index) {
    if (!CanTakeFocus() || !userFocus()) return;
    if (index < 0 || index >= ListCount()) return;
    if (style_ == 1 || multiSelect_ != 0) SetSelected(index, !Selected(index));
    SetListIndex(index);
}

void ListBox::userMoveTo(int index) {
    if (style_ != 1 && multiSelect_ == 0) return userPick(index);
    if (!CanTakeFocus() || !userFocus()) return;
    if (index < 0 || index >= ListCount()) return;
    SetListIndex(index);
}

void ListBox::userDblClick() {
    if (!CanTakeFocus()) return;
    fire(DblClick);
}

}  // namespace kiv
