#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/forms/Control.h"

namespace kiv {

// A flex grid: a table of text cells whose first FixedRows rows and FixedCols columns are fixed
// headers. Row 0 and column 0 are cells like the others. Cell formats (colours, alignment, bold)
// belong to their cells: they move with the rows when sorting and go on Clear.
class Grid;

// The grid's cell alignments by name.
inline constexpr int LeftCentre = 1;
inline constexpr int CentreCentre = 4;
inline constexpr int RightCentre = 7;

// The grid a control is laid over as its cell editor (a shown control inside the grid's area,
// above it), or null; with `evenHidden` also for an editor that has just hidden itself.
Grid* gridBeneath(const Control& control, bool evenHidden = false);

// Tab (backwards: Shift+Tab) in an editor laid over a grid's cell: the edit ends, the editor
// goes and the grid's next cell becomes the current one, the grid holding the focus. False when
// the editor lies over no grid; true also when the control losing the focus refused (Validate).
bool TabToNextCell(Control& editor, bool backwards);
// Tab pressed in a box that may lie over a cell: to the grid's next cell, else to the form's next
// (Shift: previous) control.
void TabOnFrom(Control& box, int shift);

class Grid : public Control {
  public:
    Grid(Form& form, std::string name, int index = -1);

    // Widths and heights the grid draws with when none was set.
    static constexpr int DefaultColWidth = 960;
    static constexpr int DefaultRowHeight = 300;

    int Rows() const { return static_cast<int>(rows_.size()); }
    // Growing adds empty, unformatted rows; shrinking drops rows from the end. FixedRows stays
    // below Rows (so Rows = 1 leaves no fixed row).
    void SetRows(int rows);
    int Cols() const { return cols_; }
    void SetCols(int cols);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int rows);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int cols);

    // A cell outside the grid raises std::out_of_range: the grid never grows by itself.
    std::string TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const std::string& text);
    // The cell's text lent without a copy, for reading many cells: valid until the grid changes.
    std::string_view CellText(int row, int col) const;
    // The texts of cells (row, firstCol) onwards, one for each element of `texts`, lent as by
    // CellText and read in one pass along the row.
    void CellTexts(int row, int firstCol, std::span<std::optional<std::string_view>> texts) const;
    // Writes the text and the cell's fore colour together, leaving the current cell where it is:
    // a list filled row by row colours a cell as it writes it.
    void SetTextMatrixInColor(int row, int col, const std::string& text, Color foreColor);

    // The current cell, and the far corner of the selection.
    int Row() const { return row_; }
    void SetRow(int row);
    int Col() const { return col_; }
    void SetCol(int col);
    // Makes (row, col) the current cell, the row first, as a form moving to a cell does.
    void SetCurrentCell(int row, int col) {
        SetRow(row);
        SetCol(col);
    }
    int RowSel() const { return rowSel_; }
    void SetRowSel(int row);
    int ColSel() const { return colSel_; }
    void SetColSel(int col);
    // Text of the current cell (set: of every selected cell when FillStyle is 1).
    std::string Text() const;
    void SetText(const std::string& text);

    // 0: formats and Text apply to the current cell; 1: to every selected cell.
    int FillStyle() const { return fillStyle_; }
    void SetFillStyle(int style) { fillStyle_ = style; }
    // 0 free, 1 by whole rows, 2 by whole columns.
    int SelectionMode() const { return selectionMode_; }
    void SetSelectionMode(int mode) { selectionMode_ = mode; }
    // A click on a fixed header cell selects the whole column (or row) below (or beside) it.
    bool AllowBigSelection() const { return allowBigSelection_; }
    void SetAllowBigSelection(bool allow) { allowBigSelection_ = allow; }
    // The form lays an editor over a cell the user clicks. The keyboard then opens it as well: a
    // character typed on the current cell (or F2, or Enter) clicks the cell and the character
    // goes into the editor that opened; Tab and Shift+Tab go from cell to cell.
    bool EditedInPlace() const { return editedInPlace_; }
    void SetEditedInPlace(bool edited) { editedInPlace_ = edited; }
    // 0 none, 1 columns: the user may drag column widths.
    int AllowUserResizing() const { return allowUserResizing_; }
    void SetAllowUserResizing(int mode);

    // The first scrollable row and column shown.
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int col);

    // The cell under the mouse at the last mouse event, fixed cells included.
    int MouseRow() const { return mouseRow_; }
    int MouseCol() const { return mouseCol_; }

    // Column widths in twips; a column whose width was never set reads -1. Width 0 hides it.
    int ColWidth(int col) const;
    void SetColWidth(int col, int twips);
    // A width the user left in a width file: one other than the width the form gave the column is
    // the user's own, drawn as it is; one equal to it stays the form's.
    void SetSavedColWidth(int col, int twips);
    // Whether the column's width is the user's (dragged, or read back from a width file) rather
    // than the form's.
    bool UserColWidth(int col) const;
    // The width a column is drawn with: the host fits a column of the form's width to its header
    // and to its dates and amounts (ShowColWidths); a user's width and a hidden column are drawn
    // as set. ColWidth keeps the width set, for the width files and the workbooks.
    int ShownColWidth(int col) const;
    // The host's widths, one per column in twips; -1 draws a column as set.
    void ShowColWidths(std::vector<int> twips);
    int RowHeight(int row) const;
    void SetRowHeight(int row, int twips);

    // Alignments: 0 left-top, 1 left-centre, 2 left-bottom, 3 centre-top, 4 centre-centre,
    // 5 centre-bottom, 6 right-top, 7 right-centre, 8 right-bottom, 9 general (text left,
    // numbers right).
    int ColAlignment(int col) const;
    void SetColAlignment(int col, int alignment);
    int CellAlignment() const;
    void SetCellAlignment(int alignment);
    // Colours of the current cell (or the selection); 0 reads for a colour never set.
    Color CellBackColor() const;
    void SetCellBackColor(Color color);
    Color CellForeColor() const;
    void SetCellForeColor(Color color);
    bool CellFontBold() const;
    void SetCellFontBold(bool bold);

    // Formats of any cell, for the hosts that draw the grid: Unset where no colour was set, the
    // cell's own alignment or else its column's.
    static constexpr Color Unset = 0xFFFFFFFF;
    Color BackColorAt(int row, int col) const;
    Color ForeColorAt(int row, int col) const;
    int AlignmentAt(int row, int col) const;
    bool BoldAt(int row, int col) const;

    Color BackColorFixed() const { return backColorFixed_; }
    void SetBackColorFixed(Color color);
    Color ForeColorFixed() const { return foreColorFixed_; }
    void SetForeColorFixed(Color color);
    Color BackColorSel() const { return backColorSel_; }
    void SetBackColorSel(Color color);
    Color GridColor() const { return gridColor_; }
    void SetGridColor(Color color);
    Color BackColorBkg() const { return backColorBkg_; }
    void SetBackColorBkg(Color color);

    // 0 never, 1 free, 2 restrict rows, 3 restrict columns, 4 fixed cells only: neighbouring
    // cells of equal text in a row (or column) flagged by MergeRow (MergeCol) draw as one.
    int MergeCells() const { return mergeCells_; }
    void SetMergeCells(int mode);
    bool MergeRow(int row) const;
    void SetMergeRow(int row, bool merge);
    bool MergeCol(int col) const;
    void SetMergeCol(int col, bool merge);
    // The first and last column of the merged run holding (row, col) in that row.
    std::pair<int, int> MergedColumns(int row, int col) const;

    // Sorts the rows Row..RowSel by the columns Col..ColSel: 1 generic ascending, 2 generic
    // descending (two numbers compare by value, anything else as text), 3/4 numeric, 5/6 text
    // without case, 7/8 text with case. Whole rows move with their formats.
    void SetSort(int order);

    // Adds a row of tab-separated texts at `index` (or the end); removes a row.
    void AddItem(const std::string& tabSeparated, int index = -1);
    void RemoveItem(int index);
    // Moves row `row` to `position`, as RowPosition did.
    void MoveRow(int row, int position);
    // Empties the text and the formats of every cell, fixed ones included; Rows, Cols, widths and
    // the fixed counts stay.
    void Clear();
    // Column headers and alignments as "<left|^centre|>right".
    void SetFormatString(const std::string& format);
    bool Redraw() const { return redraw_; }
    void SetRedraw(bool redraw);

    // The current cell's rectangle in twips relative to the grid, as drawn (fixed cells first,
    // then the scrolled ones from TopRow and LeftCol).
    int CellLeft() const;
    int CellTop() const;
    int CellWidth() const;
    int CellHeight() const;
    // Column and row positions as drawn; -1 for a cell scrolled out of view.
    int ColPos(int col) const;
    int RowPos(int row) const;
    // The cell at a point in twips relative to the grid; -1 outside the cells.
    int RowAt(int y) const;
    int ColAt(int x) const;

    std::function<void()> EnterCell;
    std::function<void()> LeaveCell;
    std::function<void()> RowColChange;
    std::function<void()> SelChange;
    std::function<void()> Scroll;

    // The user presses a mouse button on a cell: the cell under the mouse is recorded, a
    // non-fixed cell becomes the current one (a fixed header cell selects its column or row),
    // then MouseDown runs.
    void userMouseDownAt(int row, int col, int button = LeftButton, int shift = 0);
    void userMouseUpAt(int row, int col, int button = LeftButton, int shift = 0);
    // The left button released after a press on the grid: MouseUp, then Click.
    void userMouseUpClickAt(int row, int col, int shift = 0);
    // The second press of a double click, the first press and release having clicked: DblClick.
    void userSecondClickAt(int row, int col);
    // A left click on a cell: press, release, Click.
    void userClickCell(int row, int col);
    // A double click on a cell: the click of the first press, then DblClick.
    void userDblClickCell(int row, int col);
    // A key: KeyDown (which sees the current row before the move), then the move.
    void userKeyDown(int keyCode, int shift = 0);
    // The menu key (or Shift+F10): the right button pressed and let go on the current cell, so
    // that a grid's pop-up menu of row commands opens without the mouse.
    void userMenuKey();
    // A typed character: KeyPress, unless it is an Enter or Esc that presses the form's default
    // or cancel button; then, in a grid edited in place, the cell's editor opens with it.
    void userKey(char32_t character);
    // Tab in the grid's cell editor: the next shown cell of the row, after the row's last the
    // first of the next row (backwards with Shift); the last cell stays the current one and the
    // result is false.
    bool userNextCell(bool backwards = false);
    // Tab on the grid itself: from cell to cell in a grid edited in place, on to the next (with
    // Shift the previous) control from its last (first) cell, with Ctrl from any cell, and from
    // any other grid.
    void userTab(int shift = 0);
    void userScrollTo(int topRow, int leftCol);
    void userResizeColumn(int col, int twips);

  private:
    struct CellFormat {
        Color back = Unset;
        Color fore = Unset;
        signed char alignment = -1;
        bool bold = false;
    };

    // One row's cells in one block: for each column in turn, the number of its format and the
    // length of its text (each a variable-length number, one byte when small) and then the text;
    // the empty, unformatted cells at the end of a row are left out, so an empty row holds no
    // block. A large grid costs little more than its texts.
    class PackedRow {
      public:
        PackedRow() = default;
        PackedRow(PackedRow&& other) noexcept { *this = std::move(other); }
        PackedRow& operator=(PackedRow&& other) noexcept {
            data_ = std::move(other.data_);
            size_ = std::exchange(other.size_, 0);
            capacity_ = std::exchange(other.capacity_, 0);
            seenCol_ = std::exchange(other.seenCol_, 0);
            seenAt_ = std::exchange(other.seenAt_, 0);
            return *this;
        }
        std::string_view text(int col) const;
        void texts(int firstCol, std::span<std::optional<std::string_view>> out) const;
        uint32_t format(int col) const;
        // Writes the text, the format or both (nullopt keeps it); false when nothing changed.
        // `room` is the block size to start with, should the row have none.
        bool set(int col, std::optional<std::string_view> text, std::optional<uint32_t> format,
                 uint32_t room);
        void truncate(int cols);
        // Gives back the room kept for further cells.
        void fit();
        uint32_t size() const { return size_; }

      private:
        struct Span {
            uint32_t start, end, text, length, format;
            int stored;
            bool found;
        };
        Span locate(int col) const;

        std::unique_ptr<char[]> data_;
        uint32_t size_ = 0;
        uint32_t capacity_ = 0;
        // The start of the cell looked up last: a form fills and reads a row from left to
        // right, so the next lookup goes on from there instead of from the row's first cell.
        mutable uint32_t seenCol_ = 0;
        mutable uint32_t seenAt_ = 0;
    };

    void checkCell(int row, int col) const;
    const CellFormat& formatAt(int row, int col) const;
    bool setCell(int row, int col, std::optional<std::string_view> text,
                 std::optional<uint32_t> format);
    template <class Change>
    void changeFormat(Change&& change);
    uint32_t formatNumber(const CellFormat& format);
    template <class F>
    void forEachTargetCell(F&& apply);
    void makeCurrent(int row, int col);
    void openEditorByKey(char32_t typed);
    bool runRowByKey(char32_t character);
    bool clickRowByKey();
    Control* editorOverCurrentCell() const;
    int drawnColWidth(int col) const;
    int drawnRowHeight(int row) const;
    void changed(Property property);

    std::vector<PackedRow> rows_;
    // Every format a cell holds, the first none; each by its number.
    std::vector<CellFormat> formats_{CellFormat{}};
    std::map<std::tuple<Color, Color, int, bool>, uint32_t> formatNumbers_;
    // The row written last keeps room to grow until a write moves to another row; the next new
    // row starts with as much room as that one took.
    int openRow_ = -1;
    uint32_t rowRoom_ = 0;
    int cols_ = 2;
    int fixedRows_ = 1, fixedCols_ = 1;
    int row_ = 1, col_ = 1, rowSel_ = 1, colSel_ = 1;
    int topRow_ = 1, leftCol_ = 1;
    int mouseRow_ = 0, mouseCol_ = 0;
    std::vector<int> colWidths_;
    std::vector<int> shownColWidths_;
    std::vector<bool> userColWidths_;
    std::vector<int> colAlignments_;
    std::vector<int> rowHeights_;
    std::vector<bool> mergeRows_, mergeCols_;
    int fillStyle_ = 0;
    int selectionMode_ = 0;
    bool allowBigSelection_ = true;
    int allowUserResizing_ = 0;
    bool editedInPlace_ = false;
    int mergeCells_ = 0;
    bool redraw_ = true;
    Color backColorFixed_ = SystemColor::ButtonFace;
    Color foreColorFixed_ = SystemColor::ButtonText;
    Color backColorSel_ = SystemColor::Highlight;
    Color gridColor_ = 0xC0C0C0;
    Color backColorBkg_ = SystemColor::AppWorkspace;
};

// A grid hidden while a form fills it, so that it is drawn once, with the hourglass (or the arrow
// and hourglass) showing; both come back however the filling ends, a failed query included.
class HiddenWhileFilling {
  public:
    explicit HiddenWhileFilling(Grid& grid, int mousePointer = 11);
    ~HiddenWhileFilling();
    HiddenWhileFilling(const HiddenWhileFilling&) = delete;
    HiddenWhileFilling& operator=(const HiddenWhileFilling&) = delete;

  private:
    Grid& grid_;
};

// Moves the current cell to (row, col) and formats it, as a form fills a grid cell by cell.
void SetCellForeColor(Grid& grid, int row, int col, Color color);
void SetCellBackColor(Grid& grid, int row, int col, Color color);
void SetCellAlignment(Grid& grid, int row, int col, int alignment);
// Formats every cell from (row, col) to (lastRow, lastCol) at once, as a listing formats whole
// columns; the current cell is left on the last one.
void SetCellsForeColor(Grid& grid, int row, int col, int lastRow, int lastCol, Color color);
void SetCellsAlignment(Grid& grid, int row, int col, int lastRow, int lastCol, int alignment);

// Sorts the rows from row 1 to the last by one column (1 ascending, 2 descending, as SetSort takes
// it), as a click on that column's header does.
void SortRowsByColumn(Grid& grid, int col, int order);

}  // namespace kiv
