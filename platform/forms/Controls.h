#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/db/Date.h"
#include "platform/forms/Control.h"
#include "platform/forms/EditableText.h"

namespace kiv {

class Grid;

class Label : public Control {
  public:
    Label(Form& form, std::string name, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // 0 left, 1 right, 2 centre.
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment);
    // The label takes the width of its caption.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // 0 none, 1 a thin sunken frame.
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    // 0 transparent, 1 opaque (the back colour shows).
    int BackStyle() const { return backStyle_; }
    void SetBackStyle(int style);
    bool CanTakeFocus() const override { return false; }

  private:
    void fitWidthToCaption();
    std::string caption_;
    int alignment_ = 0;
    bool autoSize_ = false;
    int borderStyle_ = 0;
    int backStyle_ = 1;
};

class CommandButton : public Control {
  public:
    CommandButton(Form& form, std::string name, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // Enter anywhere on the form presses the default button, Esc the cancel button.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool isCancel) { cancel_ = isCancel; }
    // 0 standard, 1 graphical (the back colour and the picture show).
    int Style() const { return style_; }
    void SetStyle(int style);
    // The name of a picture shown instead of (or with) the caption.
    const std::string& Picture() const { return picture_; }
    void SetPicture(const std::string& picture);

    // A press while the button's own Click still runs (it pauses, letting events in) is ignored,
    // so that one press never runs its action twice over.
    void userClick() override;

  protected:
    bool ignoresPresses() const override { return clicking_; }

  private:
    bool clicking_ = false;
    std::string caption_;
    bool default_ = false;
    bool cancel_ = false;
    int style_ = 0;
    std::string picture_;
};

class TextBox : public Control {
  public:
    TextBox(Form& form, std::string name, int index = -1);

    const std::string& Text() const { return edit_.text(); }
    // Raises Change when the text really changes; the caret then stands at the end.
    void SetText(const std::string& text);

    // Selection in characters.
    int SelStart() const { return edit_.start(); }
    int SelLength() const { return edit_.length(); }
    std::string SelText() const { return edit_.selected(); }
    void SetSelStart(int start);
    void SetSelLength(int length);
    // Replaces the selection (Change when the text changes); the caret follows the new text.
    void SetSelText(const std::string& text);
    // The old "{HOME}+{END}": the whole text selected.
    void SelectAll();
    void CaretToEnd();

    bool Locked() const { return locked_; }
    void SetLocked(bool locked);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    const std::string& PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(const std::string& mask);
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool multiLine);
    // 0 left, 1 right, 2 centre.
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment);

    std::function<void()> Change;
    // Esc ended the edit of the grid cell beneath the box: the box and the cell are as they were
    // before the first key, the focus is on the grid. A form whose handlers wrote other cells
    // while the box was typed into puts them back here.
    std::function<void()> CellEditCancelled;

    // The user types characters key by key: KeyDown, KeyPress (which may drop or change the
    // character), the text changes (Change), KeyUp. Backspace and Enter are keys like the others.
    void userType(std::string_view text);
    void userKey(char32_t character, int shift = 0);
    // A key without a character (Delete, arrows, Home, End), with KeyDown and KeyUp.
    void userKeyDown(int keyCode, int shift = 0);
    // Tab: the focus moves on to the next control, or, in a cell editor laid over a grid, the
    // edit ends and the grid's next cell becomes the current one.
    void userTab(int shift = 0);
    // Text from the clipboard, taken as if typed: each character passes KeyPress (which may drop
    // or change it) and is inserted, Change follows once when the text changed, KeyUp once for
    // the key that pasted. A one-line box takes the first line only.
    void userPaste(const std::string& text, int keyCode = 'V', int shift = CtrlMask);
    // The text changed in another way (dropped, undone): Change only.
    void userReplaceText(const std::string& text);
    void userSelect(int start, int length);

  protected:
    void focusTaken() override;

  private:
    void replaceSelection(const std::string& text);
    void textChanged();
    void rememberBoxBeforeEdit();
    bool cancelCellEdit();
    // A box laid over a cell remembers the cell as it was when the box took the focus, and its
    // own text before the user's first key, so that Esc can put both back.
    struct CellBeforeEdit {
        Grid* grid = nullptr;
        int row = 0;
        int col = 0;
        std::string cellText;
        std::optional<std::string> boxText;
    };
    std::optional<CellBeforeEdit> cellBeforeEdit_;
    EditableText edit_;
    bool locked_ = false;
    int maxLength_ = 0;
    std::string passwordChar_;
    bool multiLine_ = false;
    int alignment_ = 0;
};

class CheckBox : public Control {
  public:
    CheckBox(Form& form, std::string name, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // 0 unticked, 1 ticked, 2 greyed. Setting a new value raises Click.
    int Value() const { return value_; }
    void SetValue(int value);
    void userClick() override;

  private:
    std::string caption_;
    int value_ = 0;
};

// One of a group of options: the options of one container (frame, picture box or the form)
// exclude one another.
class OptionButton : public Control {
  public:
    OptionButton(Form& form, std::string name, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Value() const { return value_; }
    // Selecting an option clears the others of its group and raises Click when it was not
    // selected before.
    void SetValue(bool value);
    void userClick() override;
    // An arrow key on an option: the next (or previous) option of its group in the tab order
    // that can take the focus is chosen as a click chooses it, round from the last to the first.
    void userArrow(bool forward);

  private:
    std::string caption_;
    bool value_ = false;
};

class Frame : public Control {
  public:
    Frame(Form& form, std::string name, int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    bool CanTakeFocus() const override { return false; }

  private:
    std::string caption_;
    int borderStyle_ = 1;
};

class PictureBox : public Control {
  public:
    PictureBox(Form& form, std::string name, int index = -1);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    bool CanTakeFocus() const override { return false; }

  private:
    int borderStyle_ = 1;
};

// A date given to a picker outside its range; nothing of the picker changes.
class DateOutOfRange : public std::range_error {
  public:
    using std::range_error::range_error;
};

class DatePicker : public Control {
  public:
    DatePicker(Form& form, std::string name, int index = -1);

    // The calendar every picker keeps to: ROC years 1 to 999, the dates the program can show and
    // read back as they were.
    static Date EarliestDate() { return Date::fromYmd(1912, 1, 1); }
    static Date LatestDate() { return Date::fromYmd(2910, 12, 31); }

    const Date& Value() const { return value_; }
    // Setting the date from code raises no Change. A day outside MinDate..MaxDate is refused
    // with DateOutOfRange.
    void SetValue(const Date& date);
    // The range the picker takes, within EarliestDate..LatestDate; a value outside a narrowed
    // range moves to its nearest end.
    const Date& MinDate() const { return minDate_; }
    const Date& MaxDate() const { return maxDate_; }
    void SetMinDate(const Date& date);
    void SetMaxDate(const Date& date);
    bool InRange(const Date& date) const;
    // A picker with a tick box: unticked means no date.
    bool CheckBox() const { return checkBox_; }
    void SetCheckBox(bool shown);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    // Shown with this pattern of Format ("gg ee/mm/dd"); empty for the short date.
    const std::string& CustomFormat() const { return customFormat_; }
    void SetCustomFormat(const std::string& pattern);
    std::string DisplayText() const;

    std::function<void()> Change;
    std::function<void()> CloseUp;
    // Every pick of the user, also of the date the picker already shows (which raises no Change):
    // what a pick writes (a date label, a cell) is written here, so that no pick is lost.
    std::function<void()> Picked;

    // The user picks a date from the drop-down: Change, then CloseUp, then Picked. A date outside
    // the range is refused with a beep and changes nothing.
    void userPick(const Date& date);
    // Enter on a picker laid over the cell of a grid typed into: the shown date is picked, and
    // the grid takes the focus back once the pick has put the picker away. False (nothing done)
    // for a picker elsewhere.
    bool userEnterOverCell();

  private:
    void keepValueInRange();
    Date value_;
    Date minDate_ = EarliestDate();
    Date maxDate_ = LatestDate();
    bool checkBox_ = false;
    bool checked_ = true;
    std::string customFormat_;
};

class FlatScrollBar : public Control {
  public:
    FlatScrollBar(Form& form, std::string name, int index = -1);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    // Change is raised on every change of Value, by code or by the user, never when the value
    // stays the same. A value outside Min..Max is brought inside.
    void SetMin(int min);
    void SetMax(int max);
    void SetValue(int value);
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int step) { smallChange_ = step; }
    int LargeChange() const { return largeChange_; }
    void SetLargeChange(int step) { largeChange_ = step; }
    // 0 vertical, 1 horizontal.
    int Orientation() const { return orientation_; }
    void SetOrientation(int orientation);

    std::function<void()> Change;

    void userScroll(int value);
    // A key on the bar: KeyDown first, which may change the bar's range (a form counting its rows
    // again), then the step the key makes from the value and the range as they then stand: the
    // arrows by SmallChange (left and up towards the lower end, right and down towards the
    // higher), the page keys by LargeChange, Home and End to the ends. Other keys only KeyDown.
    void userKeyDown(int keyCode, int shift = 0);

  private:
    void clampValue();
    int min_ = 0, max_ = 32767, value_ = 0;
    int smallChange_ = 1, largeChange_ = 1;
    int orientation_ = 1;
};

}  // namespace kiv
