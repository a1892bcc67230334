#pragma once

#include <string>
#include <vector>

#include "platform/forms/Control.h"
#include "platform/forms/EditableText.h"

namespace kiv {

// The entries of a combo box or list box: rows of one or more columns, with a chosen row.
class ListControl : public Control {
  public:
    using Control::Control;

    // Adds an entry (its first column) at `index`, or at the end.
    void AddItem(const std::string& text, int index = -1);
    void RemoveItem(int index);
    // Removes every entry and empties the box; the column settings stay.
    virtual void Clear();
    int ListCount() const { return static_cast<int>(rows_.size()); }
    // Column `column` (0-based) of entry `row`; "" for a column the entry does not have.
    std::string List(int row, int column = 0) const;
    void SetList(int row, int column, const std::string& text);
    // Every entry at once from a table of rows and columns.
    void SetRows(std::vector<std::vector<std::string>> rows);

    int ColumnCount() const { return columnCount_; }
    void SetColumnCount(int count);
    // 1-based: the column given as Value, and the column shown as the text.
    int BoundColumn() const { return boundColumn_; }
    void SetBoundColumn(int column) { boundColumn_ = column; }
    int TextColumn() const { return textColumn_; }
    void SetTextColumn(int column);
    // Widths of the drop-down's columns as the old runtime wrote them ("50 pt;50 pt").
    const std::string& ColumnWidths() const { return columnWidths_; }
    void SetColumnWidths(const std::string& widths);

    int ListIndex() const { return listIndex_; }
    // Column `column` of entry `row` (the chosen one when -1); "" when there is none.
    std::string Column(int column, int row = -1) const;
    // The text column of entry `row`.
    std::string EntryText(int row) const;
    // The first entry whose text column equals `text` (letter case ignored), or -1.
    int FindEntry(const std::string& text) const;

  protected:
    void setListIndexQuietly(int index);
    std::vector<std::vector<std::string>> rows_;
    // Ticks or multiple selection of the list box, one flag per entry.
    std::vector<bool> selected_;
    int listIndex_ = -1;

  private:
    int columnCount_ = 1;
    int boundColumn_ = 1;
    int textColumn_ = 1;
    std::string columnWidths_;
};

// A combo box. The standard one raises Click only when an entry is chosen (by the user or by
// setting ListIndex); the Forms 2.0 one also when its text is set to an entry's text or typing
// completes to one, and reads its Value from the bound column.
class ComboBox : public ListControl {
  public:
    enum class Flavor { Standard, Forms2 };
    ComboBox(Form& form, std::string name, int index = -1, Flavor flavor = Flavor::Standard);

    Flavor flavor() const { return flavor_; }
    const std::string& Text() const { return edit_.text(); }
    void SetText(const std::string& text);
    // Choosing an entry from code raises Click (a Forms 2.0 box: only when it chose another,
    // and beyond its entries it chooses none); -1 chooses none and clears the text.
    void SetListIndex(int index);
    void Clear() override;
    // The bound column of the chosen entry; the text when none is chosen.
    std::string Value() const;

    // 0 a drop-down with a typed text, 2 pick-only.
    int Style() const { return style_; }
    void SetStyle(int style);
    // Typing completes the text from the entries (Forms 2.0 combo boxes do by default).
    bool MatchEntry() const { return matchEntry_; }
    void SetMatchEntry(bool complete) { matchEntry_ = complete; }
    int ListRows() const { return listRows_; }
    void SetListRows(int rows);

    int SelStart() const { return edit_.start(); }
    int SelLength() const { return edit_.length(); }
    void SelectAll();

    std::function<void()> Change;
    std::function<void()> DropDown;

    // The user picks an entry from the drop-down.
    void userPick(int index);
    // The user types into the box's text key by key (KeyPress may drop a key).
    void userType(std::string_view text);
    // Enter in a box laid over a cell of a grid edited in place ends the edit and goes on to the
    // next cell, as Tab does.
    void userKey(char32_t character, int shift = 0);
    // Tab: the focus moves on to the next control (with Shift the previous), or, in a box laid
    // over a grid's cell, to the grid's next cell.
    void userTab(int shift = 0);
    void userReplaceText(const std::string& text);
    // The user moves the caret or selects part of the text (the next key replaces it).
    void userSelect(int start, int length);

  private:
    void changeText(const std::string& text, bool raiseChange);
    void completeFromEntries();
    Flavor flavor_;
    EditableText edit_;
    int style_ = 0;
    bool matchEntry_;
    int listRows_ = 8;
};

// A list box: one entry chosen, or (with tick boxes or multi-select) any entries selected.
class ListBox : public ListControl {
  public:
    ListBox(Form& form, std::string name, int index = -1);

    // The chosen entry's text; "" when none.
    std::string Text() const;
    void SetListIndex(int index);
    // The bound column of the chosen entry; "" when none.
    std::string Value() const;

    // 0 plain, 1 a tick box per entry.
    int Style() const { return style_; }
    void SetStyle(int style);
    // 0 one entry, 1 or 2 several.
    int MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(int mode);
    bool Selected(int row) const;
    void SetSelected(int row, bool selected);

    // The user clicks an entry: it becomes the chosen one (and its tick flips), then Click.
    void userPick(int index);
    // The user moves to an entry with the arrow keys: in a list of ticks or of several choices the
    // entry becomes the current one and nothing is ticked or chosen on the way (Space does that);
    // in a list of one choice it is picked.
    void userMoveTo(int index);
    void userDblClick() override;

  private:
    int style_ = 0;
    int multiSelect_ = 0;
};

}  // namespace kiv
