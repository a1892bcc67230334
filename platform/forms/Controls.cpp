#include "platform/forms/Controls.h"

#include <algorithm>

#include "platform/db/Format.h"
#include "platform/db/Utf8.h"
#include "platform/forms/Clock.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/Host.h"
#include "platform/forms/ListControls.h"

namespace kiv {

namespace {

// Width in twips that a caption takes at a font size: CJK characters are as wide as the font is
// high, others half of it.
int captionWidth(const std::string& caption, double points) {
    double width = 0;
    for (char32_t c : toCodePoints(caption))
        width += c < 0x2E80 ? points * 10 : points * 20;
    return static_cast<int>(width) + 30;
}

}  // namespace

Label::Label(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetTabStop(false);
}

void Label::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    notify(Property::Caption);
    if (autoSize_) fitWidthToCaption();
}

void Label::SetAlignment(int alignment) {
    alignment_ = alignment;
    notify(Property::Style);
}

void Label::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize_) fitWidthToCaption();
}

void Label::SetBorderStyle(int style) {
    borderStyle_ = style;
    notify(Property::Style);
}

void Label::SetBackStyle(int style) {
    backStyle_ = style;
    notify(Property::Style);
}

void Label::fitWidthToCaption() {
    SetWidth(captionWidth(caption_, FontSize()));
}

CommandButton::CommandButton(Form& form, std::string name, int index)
    : Control(form, std::move(name), index) {}

void CommandButton::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    notify(Property::Caption);
}

void CommandButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    notify(Property::Style);
}

void CommandButton::SetStyle(int style) {
    style_ = style;
    notify(Property::Style);
}

void CommandButton::SetPicture(const std::string& picture) {
    picture_ = picture;
    notify(Property::Style);
}

void CommandButton::userClick() {
    if (!pressAndRelease()) return;
    clicking_ = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{clicking_};
    fire(Click);
}

TextBox::TextBox(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetBackColor(SystemColor::Window);
    SetForeColor(SystemColor::WindowText);
}

void TextBox::SetText(const std::string& text) {
    if (edit_.setText(text)) textChanged();
}

void TextBox::SetSelStart(int start) {
    edit_.select(start, 0);
    notify(Property::Selection);
}

void TextBox::SetSelLength(int length) {
    edit_.select(edit_.start(), length);
    notify(Property::Selection);
}

void TextBox::SetSelText(const std::string& text) {
    replaceSelection(text);
}

void TextBox::SelectAll() {
    edit_.selectAll();
    notify(Property::Selection);
}

void TextBox::CaretToEnd() {
    edit_.caretToEnd();
    notify(Property::Selection);
}

void TextBox::SetLocked(bool locked) {
    locked_ = locked;
    notify(Property::Style);
}

void TextBox::SetMaxLength(int length) {
    maxLength_ = length;
    notify(Property::Style);
}

void TextBox::SetPasswordChar(const std::string& mask) {
    passwordChar_ = mask;
    notify(Property::Style);
}

void TextBox::SetMultiLine(bool multiLine) {
    multiLine_ = multiLine;
    notify(Property::Style);
}

void TextBox::SetAlignment(int alignment) {
    alignment_ = alignment;
    notify(Property::Style);
}

void TextBox::replaceSelection(const std::string& text) {
    if (edit_.replaceSelection(text, maxLength_))
        textChanged();
    else
        notify(Property::Selection);
}

void TextBox::textChanged() {
    notify(Property::Text);
    fire(Change);
}

void TextBox::userType(std::string_view text) {
    for (char32_t c : toCodePoints(text))
        userKey(c);
}

void TextBox::focusTaken() {
    Grid* grid = gridBeneath(*this);
    if (grid && grid->EditedInPlace())
        cellBeforeEdit_ = CellBeforeEdit{grid, grid->Row(), grid->Col(),
                                         grid->TextMatrix(grid->Row(), grid->Col()), std::nullopt};
    else
        cellBeforeEdit_.reset();
}

void TextBox::rememberBoxBeforeEdit() {
    if (cellBeforeEdit_ && !cellBeforeEdit_->boxText) cellBeforeEdit_->boxText = Text();
}

// Esc in a box over a cell ends the edit as if nothing had been typed: the box's text as it was
// before the first key (so that the form's own handlers see the old value), the cell's text as it
// was, the focus back on the grid at the same cell.
bool TextBox::cancelCellEdit() {
    if (!cellBeforeEdit_) return false;
    CellBeforeEdit before = *cellBeforeEdit_;
    Grid* grid = gridBeneath(*this);
    if (grid != before.grid || grid->Row() != before.row || grid->Col() != before.col) return false;
    if (before.boxText) userReplaceText(*before.boxText);
    if (!grid->userFocus()) return true;
    grid->SetTextMatrix(before.row, before.col, before.cellText);
    SetVisible(false);
    fire(CellEditCancelled);
    return true;
}

void TextBox::userKey(char32_t character, int shift) {
    if (!CanTakeFocus() || !userFocus()) return;
    if (character != Key::Escape) rememberBoxBeforeEdit();
    int code = keyCodeFor(character);
    if (KeyDown) KeyDown(code, shift);
    if (code == 0) return;
    bool multiLineEnter = multiLine_ && character == Key::Enter && (shift & CtrlMask);
    if (form().KeyPreview() && !multiLineEnter) {
        int previewed = static_cast<int>(character);
        form().Form_KeyPress(previewed);
        character = static_cast<char32_t>(previewed);
    }
    if (character == Key::Escape && cancelCellEdit()) return;
    Grid* grid = gridBeneath(*this);
    bool cellEnter = character == Key::Enter && grid && grid->EditedInPlace();
    if (!multiLineEnter && !cellEnter && form().pressButtonForKey(static_cast<int>(character)))
        return;
    // Tab moves the focus on, and Enter ends the edit of a cell and goes on to the next cell as
    // Tab does; the box never sees either.
    if ((character == Key::Tab && !(shift & CtrlMask)) || cellEnter) {
        userTab(cellEnter ? 0 : shift);
        return;
    }
    int key = static_cast<int>(character);
    if (character != 0 && KeyPress) KeyPress(key);
    if (key != 0 && !locked_) {
        if (key == Key::Backspace) {
            if (edit_.deleteBackward()) textChanged();
        } else if (key == Key::Enter) {
            if (multiLineEnter) replaceSelection("\r\n");
        } else if (key >= 32 || key == Key::Tab) {
            replaceSelection(fromCodePoint(static_cast<char32_t>(key)));
        }
    }
    int up = code;
    if (KeyUp) KeyUp(up, shift);
}

void TextBox::userKeyDown(int keyCode, int shift) {
    if (!CanTakeFocus() || !userFocus()) return;
    rememberBoxBeforeEdit();
    if (KeyDown) KeyDown(keyCode, shift);
    // Up and Down end the edit of a cell and go to the cell above or below.
    Grid* grid = gridBeneath(*this);
    if ((keyCode == Key::Up || keyCode == Key::Down) && grid && grid->EditedInPlace() &&
        !multiLine_) {
        if (!grid->userFocus()) return;
        SetVisible(false);
        grid->userKeyDown(keyCode, shift);
        return;
    }
    int length = edit_.size();
    int caret = edit_.start() + edit_.length();
    switch (keyCode) {
        case Key::Delete:
            if (!locked_ && edit_.deleteForward()) textChanged();
            break;
        case Key::Home:
        case Key::End:
        case Key::Left:
        case Key::Right: {
            int target = keyCode == Key::Home   ? 0
                         : keyCode == Key::End  ? length
                         : keyCode == Key::Left ? std::max(0, caret - 1)
                                                : std::min(length, caret + 1);
            int anchor = shift & ShiftMask ? edit_.start() : target;
            edit_.select(std::min(anchor, target), std::abs(target - anchor));
            notify(Property::Selection);
            break;
        }
        default:
            break;
    }
    if (KeyUp) KeyUp(keyCode, shift);
}

void TextBox::userTab(int shift) {
    TabOnFrom(*this, shift);
}

void TextBox::userPaste(const std::string& text, int keyCode, int shift) {
    if (!CanTakeFocus() || !userFocus()) return;
    rememberBoxBeforeEdit();
    std::u32string pasted = toCodePoints(text);
    if (!multiLine_) pasted = pasted.substr(0, pasted.find_first_of(U"\r\n"));
    bool changed = false;
    for (size_t i = 0; i < pasted.size() && HasFocus(); ++i) {
        char32_t c = pasted[i];
        if (c == '\n' && i > 0 && pasted[i - 1] == '\r') continue;
        int key = c == '\n' ? Key::Enter : static_cast<int>(c);
        if (KeyPress) KeyPress(key);
        if (key == 0 || locked_) continue;
        std::string inserted = key == Key::Enter ? std::string("\r\n")
                               : key >= 32 || key == Key::Tab
                                   ? fromCodePoint(static_cast<char32_t>(key))
                                   : std::string();
        if (!inserted.empty()) changed |= edit_.replaceSelection(inserted, maxLength_);
    }
    if (changed)
        textChanged();
    else
        notify(Property::Selection);
    if (KeyUp) KeyUp(keyCode, shift);
}

void TextBox::userReplaceText(const std::string& text) {
    rememberBoxBeforeEdit();
    if (!locked_ && edit_.setText(text)) textChanged();
}

void TextBox::userSelect(int start, int length) {
    edit_.select(start, length);
}

CheckBox::CheckBox(Form& form, std::string name, int index)
    : Control(form, std::move(name), index) {}

void CheckBox::SetCaption(const std::string& caption) {
    caption_ = caption;
    notify(Property::Caption);
}

void CheckBox::SetValue(int value) {
    if (value == value_) return;
    value_ = value;
    notify(Property::Value);
    fire(Click);
}

void CheckBox::userClick() {
    if (pressAndRelease()) SetValue(value_ == 0 ? 1 : 0);
}

OptionButton::OptionButton(Form& form, std::string name, int index)
    : Control(form, std::move(name), index) {}

void OptionButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    notify(Property::Caption);
}

void OptionButton::SetValue(bool value) {
    if (!value) {
        if (value_) {
            value_ = false;
            notify(Property::Value);
        }
        return;
    }
    for (Control* other : form().Controls()) {
        auto* option = dynamic_cast<OptionButton*>(other);
        if (option && option != this && option->Container() == Container() && option->value_) {
            option->value_ = false;
            option->notify(Property::Value);
        }
    }
    if (value_) return;
    value_ = true;
    notify(Property::Value);
    fire(Click);
}

void OptionButton::userClick() {
    if (pressAndRelease()) SetValue(true);
}

void OptionButton::userArrow(bool forward) {
    std::vector<OptionButton*> group;
    for (Control* control : form().TabOrder()) {
        auto* option = dynamic_cast<OptionButton*>(control);
        if (option && option->Container() == Container() &&
            (option == this || option->CanTakeFocus()))
            group.push_back(option);
    }
    auto at = std::find(group.begin(), group.end(), this);
    if (group.size() < 2 || at == group.end()) return;
    size_t index = static_cast<size_t>(at - group.begin());
    size_t next = (index + (forward ? 1 : group.size() - 1)) % group.size();
    group[next]->userClick();
}

Frame::Frame(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetTabStop(false);
}

void Frame::SetCaption(const std::string& caption) {
    caption_ = caption;
    notify(Property::Caption);
}

void Frame::SetBorderStyle(int style) {
    borderStyle_ = style;
    notify(Property::Style);
}

PictureBox::PictureBox(Form& form, std::string name, int index)
    : Control(form, std::move(name), index) {
    SetTabStop(false);
}

void PictureBox::SetBorderStyle(int style) {
    borderStyle_ = style;
    notify(Property::Style);
}

// A picker the form never sets shows today, as a new date picker does, not the clock's first day.
DatePicker::DatePicker(Form& form, std::string name, int index)
    : Control(form, std::move(name), index), value_(Clock::today().dateOnly()) {
    SetBackColor(SystemColor::Window);
    SetForeColor(SystemColor::WindowText);
}

namespace {

std::string rocDayText(const Date& date) {
    return "民國" + std::to_string(date.year() - 1911) + "年" + std::to_string(date.month()) +
           "月" + std::to_string(date.day()) + "日";
}

}  // namespace

bool DatePicker::InRange(const Date& date) const {
    Date day = date.dateOnly();
    return day >= minDate_ && day <= maxDate_;
}

void DatePicker::SetValue(const Date& date) {
    if (date == value_) return;
    if (!InRange(date))
        throw DateOutOfRange("日期必須介於" + rocDayText(minDate_) + "與" + rocDayText(maxDate_) +
                             "之間");
    value_ = date;
    notify(Property::Value);
}

void DatePicker::SetMinDate(const Date& date) {
    minDate_ = std::clamp(date.dateOnly(), EarliestDate(), LatestDate());
    maxDate_ = std::max(maxDate_, minDate_);
    keepValueInRange();
}

void DatePicker::SetMaxDate(const Date& date) {
    maxDate_ = std::clamp(date.dateOnly(), EarliestDate(), LatestDate());
    minDate_ = std::min(minDate_, maxDate_);
    keepValueInRange();
}

void DatePicker::keepValueInRange() {
    notify(Property::Style);
    if (InRange(value_)) return;
    Date day = std::clamp(value_.dateOnly(), minDate_, maxDate_);
    value_ = Date::fromDays(day.days(), value_.secondsOfDay());
    notify(Property::Value);
}

void DatePicker::SetCheckBox(bool shown) {
    checkBox_ = shown;
    notify(Property::Style);
}

void DatePicker::SetChecked(bool checked) {
    checked_ = checked;
    notify(Property::Value);
}

void DatePicker::SetCustomFormat(const std::string& pattern) {
    customFormat_ = pattern;
    notify(Property::Style);
}

std::string DatePicker::DisplayText() const {
    return customFormat_.empty() ? shortDateText(value_) : Format(value_, customFormat_);
}

void DatePicker::userPick(const Date& date) {
    if (!CanTakeFocus() || !userFocus()) return;
    if (!InRange(date)) {
        beep();
        return;
    }
    bool changed = date != value_;
    value_ = date;
    notify(Property::Value);
    if (changed) fire(Change);
    fire(CloseUp);
    fire(Picked);
}

bool DatePicker::userEnterOverCell() {
    Grid* grid = gridBeneath(*this);
    if (!grid || !grid->EditedInPlace()) return false;
    userPick(value_);
    if (!IsEffectivelyVisible()) grid->userFocus();
    return true;
}

// A Tab stop like any control, so that paging through records needs no mouse.
FlatScrollBar::FlatScrollBar(Form& form, std::string name, int index)
    : Control(form, std::move(name), index) {}

void FlatScrollBar::SetMin(int min) {
    min_ = min;
    clampValue();
    notify(Property::Style);
}

void FlatScrollBar::SetMax(int max) {
    max_ = max;
    clampValue();
    notify(Property::Style);
}

void FlatScrollBar::SetValue(int value) {
    int low = std::min(min_, max_), high = std::max(min_, max_);
    value = std::clamp(value, low, high);
    if (value == value_) return;
    value_ = value;
    notify(Property::Value);
    fire(Change);
}

void FlatScrollBar::clampValue() {
    SetValue(value_);
}

void FlatScrollBar::SetOrientation(int orientation) {
    orientation_ = orientation;
    notify(Property::Style);
}

void FlatScrollBar::userScroll(int value) {
    if (!IsEffectivelyEnabled()) return;
    SetValue(value);
}

void FlatScrollBar::userKeyDown(int keyCode, int shift) {
    if (!IsEffectivelyEnabled()) return;
    if (KeyDown) KeyDown(keyCode, shift);
    const int low = std::min(min_, max_), high = std::max(min_, max_);
    int target = value_;
    switch (keyCode) {
        case Key::Left:
        case Key::Up:
            target -= std::max(1, smallChange_);
            break;
        case Key::Right:
        case Key::Down:
            target += std::max(1, smallChange_);
            break;
        case Key::PageUp:
            target -= std::max(1, largeChange_);
            break;
        case Key::PageDown:
            target += std::max(1, largeChange_);
            break;
        case Key::Home:
            target = low;
            break;
        case Key::End:
            target = high;
            break;
        default:
            return;
    }
    SetValue(std::clamp(target, low, high));
}

}  // namespace kiv
