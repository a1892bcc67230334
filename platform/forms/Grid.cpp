#include "platform/forms/Grid.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <stdexcept>

#include "platform/db/Numbers.h"
#include "platform/db/Utf8.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Host.h"
#include "platform/forms/ListControls.h"

namespace kiv {

namespace {

// A cell's text as a sort compares it, worked out once per cell rather than at every comparison.
struct SortKey {
    std::string_view text;
    std::optional<double> number;
    std::string folded;
};

SortKey sortKey(std::string_view text, int order) {
    SortKey key{text, std::nullopt, {}};
    const bool numeric = order == 3 || order == 4;
    const bool withCase = order == 7 || order == 8;
    const bool withoutCase = order == 5 || order == 6;
    if (!withCase && !withoutCase) key.number = numberFromText(text);
    if (!numeric && !withCase) key.folded = foldCase(std::string(text));
    return key;
}

int compareValues(double x, double y) {
    return x < y ? -1 : x > y ? 1 : 0;
}

// A control's place on the form: its own inside every container it stands in.
std::pair<int, int> placeOnForm(const Control& control) {
    int left = 0, top = 0;
    for (const Control* c = &control; c; c = c->Container()) {
        left += c->Left();
        top += c->Top();
    }
    return {left, top};
}

// 3/4 by value (text as 0), 5/6 text without case, 7/8 text with case, anything else the old
// grid's generic order: two numbers (separators allowed) by value, anything else as text
// without case.
int compareKeys(const SortKey& a, const SortKey& b, int order) {
    switch (order) {
        case 3:
        case 4:
            return compareValues(a.number.value_or(0), b.number.value_or(0));
        case 5:
        case 6:
            return a.folded.compare(b.folded);
        case 7:
        case 8:
            return a.text.compare(b.text);
        default:
            if (a.number && b.number) return compareValues(*a.number, *b.number);
            return a.folded.compare(b.folded);
    }
}

// Whole numbers of a packed row, seven bits a byte, the last byte below 128.
uint32_t takeNumber(const char* data, uint32_t& at) {
    uint32_t n = 0;
    for (int shift = 0;; shift += 7) {
        auto byte = static_cast<unsigned char>(data[at++]);
        n |= static_cast<uint32_t>(byte & 0x7F) << shift;
        if (byte < 0x80) return n;
    }
}

// Writes a whole number as takeNumber reads it; the bytes it took.
size_t putNumber(char* out, uint32_t n) {
    size_t size = 0;
    for (; n >= 0x80; n >>= 7)
        out[size++] = static_cast<char>((n & 0x7F) | 0x80);
    out[size++] = static_cast<char>(n);
    return size;
}

}  // namespace

// Where column `col` lies in the block; a column past the stored ones is not found, and `stored`
// then counts them.
Grid::PackedRow::Span Grid::PackedRow::locate(int col) const {
    const bool onward = static_cast<uint32_t>(col) >= seenCol_;
    uint32_t at = onward ? seenAt_ : 0;
    int c = onward ? static_cast<int>(seenCol_) : 0;
    for (; at < size_; ++c) {
        uint32_t start = at;
        uint32_t format = takeNumber(data_.get(), at);
        uint32_t length = takeNumber(data_.get(), at);
        if (c == col) {
            seenCol_ = static_cast<uint32_t>(c);
            seenAt_ = start;
            return {start, at + length, at, length, format, c, true};
        }
        at += length;
    }
    return {size_, size_, size_, 0, 0, c, false};
}

std::string_view Grid::PackedRow::text(int col) const {
    Span span = locate(col);
    return {data_.get() + span.text, span.length};
}

// The empty cells past the row's last stored one read as empty texts.
void Grid::PackedRow::texts(int firstCol, std::span<std::optional<std::string_view>> out) const {
    size_t filled = 0;
    for (uint32_t at = 0, c = 0; at < size_ && filled < out.size(); ++c) {
        takeNumber(data_.get(), at);
        const uint32_t length = takeNumber(data_.get(), at);
        if (c >= static_cast<uint32_t>(firstCol))
            out[filled++] = std::string_view(data_.get() + at, length);
        at += length;
    }
    for (; filled < out.size(); ++filled)
        out[filled] = std::string_view();
}

uint32_t Grid::PackedRow::format(int col) const {
    return locate(col).format;
}

// Writes the cell's text, or its format, or both; false when the cell already held them. The new
// cell is put together first when its text lies in this row's own block.
bool Grid::PackedRow::set(int col, std::optional<std::string_view> text,
                          std::optional<uint32_t> format, uint32_t room) {
    Span span = locate(col);
    const std::string_view oldText(data_.get() + span.text, span.length);
    const uint32_t newFormat = format.value_or(span.format);
    // A stored cell's new format whose number takes as many bytes as the old one's is written in
    // place: formatting a block of cells moves no text.
    char head[12];
    if (!text && span.found) {
        if (newFormat == span.format) return false;
        const size_t size = putNumber(head, newFormat);
        if (span.start + size + putNumber(head + size, span.length) == span.text) {
            putNumber(data_.get() + span.start, newFormat);
            return true;
        }
    }
    std::string kept;
    if (!text) text = kept.assign(oldText);
    if (newFormat == span.format && *text == oldText) return false;
    size_t headSize = putNumber(head, newFormat);
    headSize += putNumber(head + headSize, static_cast<uint32_t>(text->size()));
    const uint32_t blanks = span.found ? 0 : 2 * static_cast<uint32_t>(col - span.stored);
    const auto cellSize = static_cast<uint32_t>(blanks + headSize + text->size());
    const uint32_t size = size_ - (span.end - span.start) + cellSize;
    if (size > capacity_) {
        uint32_t capacity = std::max({size, capacity_ + capacity_ / 2, room});
        auto data = std::make_unique<char[]>(capacity);
        if (size_ > 0) std::memcpy(data.get(), data_.get(), size_);
        data_ = std::move(data);
        capacity_ = capacity;
    }
    std::memmove(data_.get() + span.start + cellSize, data_.get() + span.end, size_ - span.end);
    char* out = data_.get() + span.start;
    std::memset(out, 0, blanks);
    std::memcpy(out + blanks, head, headSize);
    std::memcpy(out + blanks + headSize, text->data(), text->size());
    size_ = size;
    // The cells before this one kept their places.
    seenCol_ = static_cast<uint32_t>(col);
    seenAt_ = span.start + blanks;
    return true;
}

void Grid::PackedRow::truncate(int cols) {
    Span span = locate(cols);
    if (!span.found) return;
    size_ = span.start;
    seenCol_ = seenAt_ = 0;
}

// A little room is kept: rows filled alike start with their final size.
void Grid::PackedRow::fit() {
    if (capacity_ - size_ <= size_ / 8) return;
    if (size_ == 0) {
        data_.reset();
    } else {
        auto data = std::make_unique<char[]>(size_);
        std::memcpy(data.get(), data_.get(), size_);
        data_ = std::move(data);
    }
    capacity_ = size_;
}

Grid::Grid(Form& form, std::string name, int index) : Control(form, std::move(name), index) {
    SetBackColor(SystemColor::Window);
    SetForeColor(SystemColor::WindowText);
    rows_.resize(2);
    colWidths_.assign(cols_, -1);
    shownColWidths_.assign(cols_, -1);
    userColWidths_.assign(cols_, false);
    colAlignments_.assign(cols_, 9);
    rowHeights_.assign(2, -1);
    mergeRows_.assign(2, false);
    mergeCols_.assign(cols_, false);
}

void Grid::changed(Property property) {
    notify(property);
}

void Grid::checkCell(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_)
        throw std::out_of_range(Name() + " 沒有第 " + std::to_string(row) + " 列第 " +
                                std::to_string(col) + " 欄");
}

const Grid::CellFormat& Grid::formatAt(int row, int col) const {
    checkCell(row, col);
    return formats_[rows_[row].format(col)];
}

bool Grid::setCell(int row, int col, std::optional<std::string_view> text,
                   std::optional<uint32_t> format) {
    if (row != openRow_) {
        if (openRow_ >= 0 && openRow_ < Rows()) {
            rows_[openRow_].fit();
            rowRoom_ = rows_[openRow_].size();
        }
        openRow_ = row;
    }
    return rows_[row].set(col, text, format, rowRoom_);
}

// The current cell, or every selected one, takes the change. A block of cells holds few
// formats: each is changed and looked up once, not once per cell.
template <class Change>
void Grid::changeFormat(Change&& change) {
    uint32_t from = 0, to = 0;
    bool known = false;
    forEachTargetCell([&](int r, int c) {
        checkCell(r, c);
        const uint32_t old = rows_[r].format(c);
        if (!known || old != from) {
            CellFormat format = formats_[old];
            change(format);
            from = old;
            to = formatNumber(format);
            known = true;
        }
        setCell(r, c, std::nullopt, to);
    });
    changed(Property::Cells);
}

uint32_t Grid::formatNumber(const CellFormat& format) {
    auto key = std::make_tuple(format.back, format.fore, int{format.alignment}, format.bold);
    if (format.back == Unset && format.fore == Unset && format.alignment < 0 && !format.bold)
        return 0;
    auto [found, added] = formatNumbers_.try_emplace(key, static_cast<uint32_t>(formats_.size()));
    if (added) formats_.push_back(format);
    return found->second;
}

void Grid::SetRows(int rows) {
    rows = std::max(rows, 0);
    rows_.resize(rows);
    rowHeights_.resize(rows, -1);
    mergeRows_.resize(rows, false);
    fixedRows_ = std::min(fixedRows_, std::max(rows - 1, 0));
    int last = std::max(rows - 1, 0);
    row_ = std::min(row_, last);
    rowSel_ = std::min(rowSel_, last);
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(last, fixedRows_));
    changed(Property::Layout);
}

void Grid::SetCols(int cols) {
    cols = std::max(cols, 0);
    if (cols < cols_)
        for (auto& row : rows_)
            row.truncate(cols);
    cols_ = cols;
    colWidths_.resize(cols, -1);
    shownColWidths_.resize(cols, -1);
    userColWidths_.resize(cols, false);
    colAlignments_.resize(cols, 9);
    mergeCols_.resize(cols, false);
    fixedCols_ = std::min(fixedCols_, std::max(cols - 1, 0));
    int last = std::max(cols - 1, 0);
    col_ = std::min(col_, last);
    colSel_ = std::min(colSel_, last);
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(last, fixedCols_));
    changed(Property::Layout);
}

void Grid::SetFixedRows(int rows) {
    if (rows < 0 || (rows > 0 && rows >= Rows()))
        throw std::invalid_argument(Name() + " 的固定列數必須小於列數");
    fixedRows_ = rows;
    if (row_ < fixedRows_ && fixedRows_ < Rows()) row_ = rowSel_ = fixedRows_;
    topRow_ = fixedRows_;
    changed(Property::Layout);
}

void Grid::SetFixedCols(int cols) {
    if (cols < 0 || (cols > 0 && cols >= cols_))
        throw std::invalid_argument(Name() + " 的固定欄數必須小於欄數");
    fixedCols_ = cols;
    if (col_ < fixedCols_ && fixedCols_ < cols_) col_ = colSel_ = fixedCols_;
    leftCol_ = fixedCols_;
    changed(Property::Layout);
}

std::string Grid::TextMatrix(int row, int col) const {
    checkCell(row, col);
    return std::string(rows_[row].text(col));
}

std::string_view Grid::CellText(int row, int col) const {
    checkCell(row, col);
    return rows_[row].text(col);
}

void Grid::SetTextMatrix(int row, int col, const std::string& text) {
    checkCell(row, col);
    if (setCell(row, col, text, std::nullopt)) changed(Property::Cells);
}

void Grid::CellTexts(int row, int firstCol,
                     std::span<std::optional<std::string_view>> texts) const {
    if (texts.empty()) return;
    checkCell(row, firstCol);
    checkCell(row, firstCol + static_cast<int>(texts.size()) - 1);
    rows_[row].texts(firstCol, texts);
}

void Grid::SetTextMatrixInColor(int row, int col, const std::string& text, Color foreColor) {
    checkCell(row, col);
    CellFormat format = formats_[rows_[row].format(col)];
    format.fore = foreColor;
    if (setCell(row, col, text, formatNumber(format))) changed(Property::Cells);
}

void Grid::SetRow(int row) {
    checkCell(row, 0);
    row_ = rowSel_ = row;
    changed(Property::Current);
}

void Grid::SetCol(int col) {
    checkCell(0, col);
    col_ = colSel_ = col;
    changed(Property::Current);
}

void Grid::SetRowSel(int row) {
    checkCell(row, 0);
    rowSel_ = row;
    changed(Property::Current);
}

void Grid::SetColSel(int col) {
    checkCell(0, col);
    colSel_ = col;
    changed(Property::Current);
}

std::string Grid::Text() const {
    return TextMatrix(row_, col_);
}

template <class F>
void Grid::forEachTargetCell(F&& apply) {
    if (fillStyle_ == 0) {
        apply(row_, col_);
        return;
    }
    for (int r = std::min(row_, rowSel_); r <= std::max(row_, rowSel_); ++r)
        for (int c = std::min(col_, colSel_); c <= std::max(col_, colSel_); ++c)
            apply(r, c);
}

void Grid::SetText(const std::string& text) {
    forEachTargetCell([&](int r, int c) {
        checkCell(r, c);
        setCell(r, c, text, std::nullopt);
    });
    changed(Property::Cells);
}

void Grid::SetAllowUserResizing(int mode) {
    allowUserResizing_ = mode;
    changed(Property::Layout);
}

void Grid::SetTopRow(int row) {
    topRow_ = std::clamp(row, fixedRows_, std::max(Rows() - 1, fixedRows_));
    changed(Property::Scroll);
}

void Grid::SetLeftCol(int col) {
    leftCol_ = std::clamp(col, fixedCols_, std::max(cols_ - 1, fixedCols_));
    changed(Property::Scroll);
}

int Grid::ColWidth(int col) const {
    checkCell(0, col);
    return colWidths_[col];
}

void Grid::SetColWidth(int col, int twips) {
    checkCell(0, col);
    colWidths_[col] = twips;
    userColWidths_[col] = false;
    changed(Property::Layout);
}

void Grid::SetSavedColWidth(int col, int twips) {
    checkCell(0, col);
    if (twips == colWidths_[col] && !userColWidths_[col]) return;
    colWidths_[col] = twips;
    userColWidths_[col] = true;
    changed(Property::Layout);
}

bool Grid::UserColWidth(int col) const {
    checkCell(0, col);
    return userColWidths_[col];
}

int Grid::ShownColWidth(int col) const {
    checkCell(0, col);
    return drawnColWidth(col);
}

void Grid::ShowColWidths(std::vector<int> twips) {
    twips.resize(cols_, -1);
    if (twips == shownColWidths_) return;
    shownColWidths_ = std::move(twips);
    changed(Property::Layout);
}

int Grid::RowHeight(int row) const {
    return drawnRowHeight(row);
}

void Grid::SetRowHeight(int row, int twips) {
    checkCell(row, 0);
    rowHeights_[row] = twips;
    changed(Property::Layout);
}

int Grid::ColAlignment(int col) const {
    checkCell(0, col);
    return colAlignments_[col];
}

void Grid::SetColAlignment(int col, int alignment) {
    checkCell(0, col);
    colAlignments_[col] = alignment;
    changed(Property::Cells);
}

int Grid::CellAlignment() const {
    return AlignmentAt(row_, col_);
}

void Grid::SetCellAlignment(int alignment) {
    changeFormat([&](CellFormat& f) { f.alignment = static_cast<signed char>(alignment); });
}

Color Grid::CellBackColor() const {
    Color color = BackColorAt(row_, col_);
    return color == Unset ? 0 : color;
}

void Grid::SetCellBackColor(Color color) {
    changeFormat([&](CellFormat& f) { f.back = color; });
}

Color Grid::CellForeColor() const {
    Color color = ForeColorAt(row_, col_);
    return color == Unset ? 0 : color;
}

void Grid::SetCellForeColor(Color color) {
    changeFormat([&](CellFormat& f) { f.fore = color; });
}

bool Grid::CellFontBold() const {
    return BoldAt(row_, col_);
}

void Grid::SetCellFontBold(bool bold) {
    changeFormat([&](CellFormat& f) { f.bold = bold; });
}

Color Grid::BackColorAt(int row, int col) const {
    return formatAt(row, col).back;
}
Color Grid::ForeColorAt(int row, int col) const {
    return formatAt(row, col).fore;
}

int Grid::AlignmentAt(int row, int col) const {
    const CellFormat& f = formatAt(row, col);
    return f.alignment >= 0 ? f.alignment : colAlignments_[col];
}

bool Grid::BoldAt(int row, int col) const {
    return formatAt(row, col).bold;
}

void Grid::SetBackColorFixed(Color color) {
    backColorFixed_ = color;
    changed(Property::Colors);
}

void Grid::SetForeColorFixed(Color color) {
    foreColorFixed_ = color;
    changed(Property::Colors);
}

void Grid::SetBackColorSel(Color color) {
    backColorSel_ = color;
    changed(Property::Colors);
}

void Grid::SetGridColor(Color color) {
    gridColor_ = color;
    changed(Property::Colors);
}

void Grid::SetBackColorBkg(Color color) {
    backColorBkg_ = color;
    changed(Property::Colors);
}

void Grid::SetMergeCells(int mode) {
    mergeCells_ = mode;
    changed(Property::Cells);
}

bool Grid::MergeRow(int row) const {
    checkCell(row, 0);
    return mergeRows_[row];
}

void Grid::SetMergeRow(int row, bool merge) {
    checkCell(row, 0);
    mergeRows_[row] = merge;
    changed(Property::Cells);
}

bool Grid::MergeCol(int col) const {
    checkCell(0, col);
    return mergeCols_[col];
}

void Grid::SetMergeCol(int col, bool merge) {
    checkCell(0, col);
    mergeCols_[col] = merge;
    changed(Property::Cells);
}

std::pair<int, int> Grid::MergedColumns(int row, int col) const {
    checkCell(row, col);
    const std::string_view text = rows_[row].text(col);
    bool merging = mergeCells_ != 0 && mergeRows_[row] && !text.empty() &&
                   (mergeCells_ != 4 || row < fixedRows_);
    if (!merging) return {col, col};
    int first = col, last = col;
    while (first > 0 && rows_[row].text(first - 1) == text)
        --first;
    while (last + 1 < cols_ && rows_[row].text(last + 1) == text)
        ++last;
    return {first, last};
}

void Grid::SetSort(int order) {
    int firstRow = std::min(row_, rowSel_), lastRow = std::max(row_, rowSel_);
    int firstCol = std::min(col_, colSel_), lastCol = std::max(col_, colSel_);
    checkCell(lastRow, lastCol);
    bool descending = order % 2 == 0;
    // The rows are ordered by their numbers, each row's keys worked out once, and then moved.
    const int keyCols = lastCol - firstCol + 1;
    std::vector<SortKey> keys;
    keys.reserve(static_cast<size_t>(lastRow - firstRow + 1) * keyCols);
    for (int r = firstRow; r <= lastRow; ++r)
        for (int c = firstCol; c <= lastCol; ++c)
            keys.push_back(sortKey(rows_[r].text(c), order));
    std::vector<int> ranks(static_cast<size_t>(lastRow - firstRow + 1));
    std::iota(ranks.begin(), ranks.end(), 0);
    auto before = [&](int x, int y) {
        for (int c = 0; c < keyCols; ++c) {
            int result = compareKeys(keys[x * keyCols + c], keys[y * keyCols + c], order);
            if (result != 0) return descending ? result > 0 : result < 0;
        }
        return false;
    };
    std::stable_sort(ranks.begin(), ranks.end(), before);
    std::vector<PackedRow> sorted;
    sorted.reserve(ranks.size());
    for (int i : ranks)
        sorted.push_back(std::move(rows_[firstRow + i]));
    std::move(sorted.begin(), sorted.end(), rows_.begin() + firstRow);
    changed(Property::Cells);
}

void Grid::AddItem(const std::string& tabSeparated, int index) {
    if (index < 0 || index > Rows()) index = Rows();
    PackedRow row;
    auto texts = splitText(tabSeparated, "\t");
    for (int c = 0; c < cols_ && c < static_cast<int>(texts.size()); ++c)
        row.set(c, texts[c], std::nullopt, 0);
    rows_.insert(rows_.begin() + index, std::move(row));
    rowHeights_.insert(rowHeights_.begin() + index, -1);
    mergeRows_.insert(mergeRows_.begin() + index, false);
    changed(Property::Layout);
}

void Grid::RemoveItem(int index) {
    checkCell(index, 0);
    rows_.erase(rows_.begin() + index);
    rowHeights_.erase(rowHeights_.begin() + index);
    mergeRows_.erase(mergeRows_.begin() + index);
    int last = std::max(Rows() - 1, 0);
    fixedRows_ = std::min(fixedRows_, last);
    row_ = std::min(row_, last);
    rowSel_ = std::min(rowSel_, last);
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(last, fixedRows_));
    changed(Property::Layout);
}

void Grid::MoveRow(int row, int position) {
    checkCell(row, 0);
    checkCell(position, 0);
    auto moved = std::move(rows_[row]);
    rows_.erase(rows_.begin() + row);
    rows_.insert(rows_.begin() + position, std::move(moved));
    changed(Property::Cells);
}

void Grid::Clear() {
    for (auto& row : rows_)
        row = PackedRow{};
    formats_.assign(1, CellFormat{});
    formatNumbers_.clear();
    rowRoom_ = 0;
    changed(Property::Cells);
}

void Grid::SetFormatString(const std::string& format) {
    auto parts = splitText(format, ";");
    auto columns = splitText(parts[0], "|");
    SetCols(static_cast<int>(columns.size()));
    for (int c = 0; c < cols_; ++c) {
        std::string text = columns[c];
        if (!text.empty() && (text[0] == '<' || text[0] == '^' || text[0] == '>')) {
            colAlignments_[c] = text[0] == '<' ? 1 : text[0] == '^' ? 4 : 7;
            text.erase(0, 1);
        }
        if (Rows() > 0) setCell(0, c, text, std::nullopt);
    }
    changed(Property::Cells);
}

void Grid::SetRedraw(bool redraw) {
    redraw_ = redraw;
    if (redraw_) changed(Property::Cells);
}

int Grid::drawnColWidth(int col) const {
    int set = colWidths_[col] < 0 ? DefaultColWidth : colWidths_[col];
    if (set == 0 || userColWidths_[col] || shownColWidths_[col] < 0) return set;
    return shownColWidths_[col];
}

int Grid::drawnRowHeight(int row) const {
    checkCell(row, 0);
    return rowHeights_[row] < 0 ? DefaultRowHeight : rowHeights_[row];
}

int Grid::ColPos(int col) const {
    checkCell(0, col);
    if (col >= fixedCols_ && col < leftCol_) return -1;
    int x = 0;
    for (int c = 0; c < std::min(col, fixedCols_); ++c)
        x += drawnColWidth(c);
    for (int c = leftCol_; c < col; ++c)
        x += drawnColWidth(c);
    return x;
}

int Grid::RowPos(int row) const {
    checkCell(row, 0);
    if (row >= fixedRows_ && row < topRow_) return -1;
    int y = 0;
    for (int r = 0; r < std::min(row, fixedRows_); ++r)
        y += drawnRowHeight(r);
    for (int r = topRow_; r < row; ++r)
        y += drawnRowHeight(r);
    return y;
}

int Grid::ColAt(int x) const {
    for (int c = 0; c < cols_; ++c) {
        int left = ColPos(c);
        if (left >= 0 && x >= left && x < left + drawnColWidth(c)) return c;
    }
    return -1;
}

int Grid::RowAt(int y) const {
    int top = 0;
    for (int r = 0; r < Rows(); ++r) {
        if (r >= fixedRows_ && r < topRow_) continue;
        int height = drawnRowHeight(r);
        if (y >= top && y < top + height) return r;
        top += height;
        if (top > y) break;
    }
    return -1;
}

int Grid::CellLeft() const {
    return ColPos(col_);
}
int Grid::CellTop() const {
    return RowPos(row_);
}
int Grid::CellWidth() const {
    return drawnColWidth(col_);
}
int Grid::CellHeight() const {
    return drawnRowHeight(row_);
}

void Grid::makeCurrent(int row, int col) {
    if (row == row_ && col == col_ && rowSel_ == row && colSel_ == col) return;
    bool moved = row != row_ || col != col_;
    if (moved) fire(LeaveCell);
    row_ = rowSel_ = row;
    col_ = colSel_ = col;
    changed(Property::Current);
    if (moved) {
        fire(EnterCell);
        fire(RowColChange);
    }
    fire(SelChange);
}

void Grid::userMouseDownAt(int row, int col, int button, int shift) {
    if (!IsEffectivelyEnabled()) return;
    userFocus();
    mouseRow_ = row;
    mouseCol_ = col;
    bool onCell = row >= 0 && row < Rows() && col >= 0 && col < cols_;
    if (button == LeftButton && onCell) {
        if (row >= fixedRows_ && col >= fixedCols_) {
            makeCurrent(row, col);
        } else if (allowBigSelection_ && row < fixedRows_ && col >= fixedCols_ &&
                   Rows() > fixedRows_) {
            row_ = fixedRows_;
            rowSel_ = Rows() - 1;
            col_ = colSel_ = col;
            changed(Property::Current);
            fire(SelChange);
        } else if (allowBigSelection_ && col < fixedCols_ && row >= fixedRows_ &&
                   cols_ > fixedCols_) {
            row_ = rowSel_ = row;
            col_ = fixedCols_;
            colSel_ = cols_ - 1;
            changed(Property::Current);
            fire(SelChange);
        }
    }
    if (MouseDown) {
        float x = onCell ? static_cast<float>(std::max(ColPos(col), 0)) : 0;
        float y = onCell ? static_cast<float>(std::max(RowPos(row), 0)) : 0;
        MouseDown(button, shift, x, y);
    }
}

void Grid::userMouseUpAt(int row, int col, int button, int shift) {
    if (!IsEffectivelyEnabled()) return;
    mouseRow_ = row;
    mouseCol_ = col;
    if (MouseUp) {
        bool onCell = row >= 0 && row < Rows() && col >= 0 && col < cols_;
        float x = onCell ? static_cast<float>(std::max(ColPos(col), 0)) : 0;
        float y = onCell ? static_cast<float>(std::max(RowPos(row), 0)) : 0;
        MouseUp(button, shift, x, y);
    }
}

void Grid::userMouseUpClickAt(int row, int col, int shift) {
    if (!IsEffectivelyEnabled() || !IsEffectivelyVisible()) return;
    GestureWatch gesture(form());
    userMouseUpAt(row, col, LeftButton, shift);
    if (!gesture.ended()) fire(Click);
}

void Grid::userSecondClickAt(int row, int col) {
    if (!IsEffectivelyEnabled() || !IsEffectivelyVisible()) return;
    mouseRow_ = row;
    mouseCol_ = col;
    fire(DblClick);
}

void Grid::userClickCell(int row, int col) {
    if (!IsEffectivelyEnabled() || !IsEffectivelyVisible()) return;
    GestureWatch gesture(form());
    userMouseDownAt(row, col, LeftButton);
    if (!gesture.ended()) userMouseUpClickAt(row, col);
}

void Grid::userDblClickCell(int row, int col) {
    if (!IsEffectivelyEnabled() || !IsEffectivelyVisible()) return;
    GestureWatch gesture(form());
    userClickCell(row, col);
    if (!gesture.ended()) fire(DblClick);
}

void Grid::userMenuKey() {
    if (!IsEffectivelyEnabled()) return;
    const int row = row_, col = col_;
    userMouseDownAt(row, col, RightButton);
    userMouseUpAt(row, col, RightButton);
}

void Grid::userKeyDown(int keyCode, int shift) {
    if (!IsEffectivelyEnabled()) return;
    if (KeyDown) KeyDown(keyCode, shift);
    if (keyCode == Key::F2 && editedInPlace_) {
        openEditorByKey(0);
        return;
    }
    int row = row_, col = col_;
    switch (keyCode) {
        case Key::Up:
            row = std::max(row - 1, fixedRows_);
            break;
        case Key::Down:
            row = std::min(row + 1, Rows() - 1);
            break;
        case Key::Left:
            col = std::max(col - 1, fixedCols_);
            break;
        case Key::Right:
            col = std::min(col + 1, cols_ - 1);
            break;
        default:
            break;
    }
    if (row != row_ || col != col_) {
        makeCurrent(row, col);
        if (row_ < topRow_) SetTopRow(row_);
    }
    if (KeyUp) KeyUp(keyCode, shift);
}

// The grid's own key handler sees the key first; a key it takes (sets to 0) goes no further, so
// that a form can give Space or Enter a meaning of its own on its grid. A grid with a key handler
// answers Enter there rather than as a click.
void Grid::userKey(char32_t character) {
    if (!IsEffectivelyEnabled()) return;
    int key = static_cast<int>(character);
    if (KeyPress) {
        KeyPress(key);
        if (key == 0) return;
    }
    const auto typed = static_cast<char32_t>(key);
    if (runRowByKey(typed)) return;
    bool opensEditor = editedInPlace_ && (typed == Key::Enter || typed >= 32);
    if (!(opensEditor && typed == Key::Enter) && form().pressButtonForKey(key)) return;
    if (!KeyPress && key == Key::Enter && clickRowByKey()) return;
    if (opensEditor) openEditorByKey(typed == Key::Enter ? 0 : typed);
}

// A grid that is read, not typed into, takes the keyboard's usual equivalents of the mouse on its
// current cell: Enter (or Space) as a double click where the grid answers one, Space as a click on
// the cell where it answers clicks only, so that no row needs the mouse to be chosen.
bool Grid::runRowByKey(char32_t character) {
    if (editedInPlace_ || (character != Key::Enter && character != U' ')) return false;
    if (row_ < fixedRows_ || col_ < fixedCols_ || row_ >= Rows() || col_ >= cols_) return false;
    if (DblClick) {
        mouseRow_ = row_;
        mouseCol_ = col_;
        fire(DblClick);
        return true;
    }
    return character == U' ' && clickRowByKey();
}

// Enter too clicks the current cell of a read grid that answers clicks only, where neither a
// default button nor a key handler of the grid takes it: a settlement row is chosen by either key.
bool Grid::clickRowByKey() {
    if (editedInPlace_ || !(Click || MouseDown || MouseUp)) return false;
    if (row_ < fixedRows_ || col_ < fixedCols_ || row_ >= Rows() || col_ >= cols_) return false;
    userClickCell(row_, col_);
    return true;
}

// As a click on the current cell opens it; the typed character then replaces what the editor
// selected, as typing into a clicked cell does.
void Grid::openEditorByKey(char32_t typed) {
    if (row_ < fixedRows_ || col_ < fixedCols_ || row_ >= Rows() || col_ >= cols_) return;
    GestureWatch gesture(form());
    userClickCell(row_, col_);
    if (gesture.ended()) return;
    Control* editor = editorOverCurrentCell();
    if (!editor) return;
    if (!editor->HasFocus() && !editor->userFocus()) return;
    if (typed == 0) return;
    if (auto* box = dynamic_cast<TextBox*>(editor))
        box->userKey(typed);
    else if (auto* combo = dynamic_cast<ComboBox*>(editor))
        combo->userKey(typed);
}

// The editor the form laid over the current cell: the control with the focus when it lies over
// the grid, else a shown text box, combo box or date picker over the cell.
Control* Grid::editorOverCurrentCell() const {
    Control* active = form().ActiveControl();
    if (active && active != this && gridBeneath(*active) == this) return active;
    auto [gridLeft, gridTop] = placeOnForm(*this);
    int x = gridLeft + CellLeft() + CellWidth() / 2, y = gridTop + CellTop() + CellHeight() / 2;
    for (Control* control : form().Controls()) {
        bool typedInto = dynamic_cast<TextBox*>(control) || dynamic_cast<ComboBox*>(control) ||
                         dynamic_cast<DatePicker*>(control);
        if (!typedInto || gridBeneath(*control) != this) continue;
        auto [left, top] = placeOnForm(*control);
        if (x >= left && x < left + control->Width() && y >= top && y < top + control->Height())
            return control;
    }
    return nullptr;
}

void Grid::userTab(int shift) {
    if (!IsEffectivelyEnabled()) return;
    bool backwards = shift & ShiftMask;
    // Ctrl+Tab leaves a grid edited in place from any cell.
    if (editedInPlace_ && !(shift & CtrlMask) && userNextCell(backwards)) return;
    if (backwards)
        form().FocusPrevious();
    else
        form().FocusNext();
}

bool Grid::userNextCell(bool backwards) {
    if (!IsEffectivelyEnabled()) return false;
    int row = row_, col = col_;
    int cells = std::max(0, (Rows() - fixedRows_) * (cols_ - fixedCols_));
    for (int step = 0; step < cells; ++step) {
        col += backwards ? -1 : 1;
        if (col >= cols_) {
            col = fixedCols_;
            ++row;
        } else if (col < fixedCols_) {
            col = cols_ - 1;
            --row;
        }
        if (row < fixedRows_ || row >= Rows()) return false;
        if (drawnColWidth(col) > 0) break;
    }
    if (row == row_ && col == col_) return false;
    makeCurrent(row, col);
    if (row_ < topRow_) SetTopRow(row_);
    return true;
}

void TabOnFrom(Control& box, int shift) {
    if (!box.CanTakeFocus()) return;
    if (TabToNextCell(box, shift & ShiftMask)) return;
    if (shift & ShiftMask)
        box.form().FocusPrevious();
    else
        box.form().FocusNext();
}

bool TabToNextCell(Control& editor, bool backwards) {
    Grid* grid = gridBeneath(editor);
    if (!grid) return false;
    if (!grid->userFocus()) return true;
    editor.SetVisible(false);
    grid->userNextCell(backwards);
    return true;
}

HiddenWhileFilling::HiddenWhileFilling(Grid& grid, int mousePointer) : grid_(grid) {
    setMousePointer(mousePointer);
    grid_.SetVisible(false);
}

HiddenWhileFilling::~HiddenWhileFilling() {
    grid_.SetVisible(true);
    setMousePointer(0);
}

Grid* gridBeneath(const Control& control, bool evenHidden) {
    if (!evenHidden && !control.IsEffectivelyVisible()) return nullptr;
    auto [left, top] = placeOnForm(control);
    for (Control* other : control.form().Controls()) {
        auto* grid = dynamic_cast<Grid*>(other);
        if (!grid || grid == &control || !grid->IsEffectivelyVisible() ||
            !DrawnAbove(control, *grid))
            continue;
        auto [gridLeft, gridTop] = placeOnForm(*grid);
        bool inside = left >= gridLeft && left < gridLeft + grid->Width() && top >= gridTop &&
                      top < gridTop + grid->Height();
        if (inside) return grid;
    }
    return nullptr;
}

void Grid::userScrollTo(int topRow, int leftCol) {
    int oldTop = topRow_, oldLeft = leftCol_;
    topRow_ = std::clamp(topRow, fixedRows_, std::max(Rows() - 1, fixedRows_));
    leftCol_ = std::clamp(leftCol, fixedCols_, std::max(cols_ - 1, fixedCols_));
    if (topRow_ == oldTop && leftCol_ == oldLeft) return;
    changed(Property::Scroll);
    fire(Scroll);
}

void Grid::userResizeColumn(int col, int twips) {
    checkCell(0, col);
    colWidths_[col] = std::max(twips, 0);
    userColWidths_[col] = true;
    changed(Property::Layout);
}

void SetCellForeColor(Grid& grid, int row, int col, Color color) {
    grid.SetRow(row);
    grid.SetCol(col);
    grid.SetCellForeColor(color);
}

void SetCellBackColor(Grid& grid, int row, int col, Color color) {
    grid.SetRow(row);
    grid.SetCol(col);
    grid.SetCellBackColor(color);
}

void SetCellAlignment(Grid& grid, int row, int col, int alignment) {
    grid.SetRow(row);
    grid.SetCol(col);
    grid.SetCellAlignment(alignment);
}

namespace {

// Selects the block, lets `format` format every cell of it, and leaves the current cell on its
// last cell, as formatting the cells one by one would.
template <class Format>
void formatBlock(Grid& grid, int row, int col, int lastRow, int lastCol, Format&& format) {
    const int fillStyle = grid.FillStyle();
    grid.SetRow(row);
    grid.SetCol(col);
    grid.SetRowSel(lastRow);
    grid.SetColSel(lastCol);
    grid.SetFillStyle(1);
    format();
    grid.SetFillStyle(fillStyle);
    grid.SetRow(lastRow);
    grid.SetCol(lastCol);
}

}  // namespace

void SetCellsForeColor(Grid& grid, int row, int col, int lastRow, int lastCol, Color color) {
    formatBlock(grid, row, col, lastRow, lastCol, [&] { grid.SetCellForeColor(color); });
}

void SetCellsAlignment(Grid& grid, int row, int col, int lastRow, int lastCol, int alignment) {
    formatBlock(grid, row, col, lastRow, lastCol, [&] { grid.SetCellAlignment(alignment); });
}

void SortRowsByColumn(Grid& grid, int col, int order) {
    grid.SetRow(1);
    grid.SetRowSel(grid.Rows() - 1);
    grid.SetCol(col);
    grid.SetColSel(col);
    grid.SetSort(order);
}

}  // namespace kiv
