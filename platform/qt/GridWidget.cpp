#include "platform/qt/GridWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include "platform/db/Numbers.h"
#include "platform/qt/QtLook.h"

namespace kiv {

namespace {

// How close to a column's right edge a press starts widening the column.
constexpr int ResizeGrip = 3;

// The rows of a long grid whose plain texts are measured before a column gives back room it
// does not need: what the user sees first, without measuring a hundred thousand rows at a change.
constexpr int PlainTextRowsMeasured = 500;
// The longest dates or amounts of a column measured for its width (digits differ a little).
constexpr size_t LongestMeasured = 64;

Qt::Alignment cellAlignment(int alignment, const std::string& text) {
    if (alignment == 9) alignment = numberFromText(text) ? 7 : 1;
    alignment = std::clamp(alignment, 0, 8);
    static constexpr Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static constexpr Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return horizontal[alignment / 3] | vertical[alignment % 3];
}

}  // namespace

// Digits with their separators, sign, percent or time, an era and the 年月日 of a long date, days.
bool IsDateOrAmount(std::string_view text) {
    static constexpr std::string_view marks = ",./-+:%() ";
    static constexpr std::string_view words[] = {"年", "月", "日", "天", "中華民國"};
    bool digit = false;
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
            ++i;
        } else if (marks.find(c) != std::string_view::npos) {
            ++i;
        } else {
            auto word = std::find_if(std::begin(words), std::end(words), [&](std::string_view w) {
                return text.substr(i).starts_with(w);
            });
            if (word == std::end(words)) return false;
            i += word->size();
        }
    }
    return digit;
}

GridWidget::GridWidget(FormWindow& window, Grid& grid, QWidget* parent)
    : QAbstractScrollArea(parent), ControlBinding(window, grid, *this), grid_(grid) {
    setFocusPolicy(Qt::StrongFocus);
    // A border of 2 pixels, as the forms allow for when they lay an editor over a cell.
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    viewport()->setMouseTracking(true);
    watch(viewport());
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!updating_ && value != grid_.TopRow()) scrollTo(value, grid_.LeftCol());
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!updating_ && value != grid_.LeftCol()) scrollTo(grid_.TopRow(), value);
    });
}

void GridWidget::show(Property property) {
    if (!control()) return;
    switch (property) {
        case Property::Layout:
        case Property::Scroll:
        case Property::Cells:
        case Property::Font:
            scheduleScrollBars();
            viewport()->update();
            break;
        case Property::Colors:
        case Property::Current:
            viewport()->update();
            break;
        default:
            break;
    }
}

// Many changes in a row (a grid being filled) fit the columns and set the scroll bars once, on
// the next turn of the event loop.
void GridWidget::scheduleScrollBars() {
    if (scrollBarsPending_) return;
    scrollBarsPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (control()) fitColumns();
        showScrollBars();
    });
}

// The widths in the forms are for the old desktop's narrower font. A column of the form's width
// is drawn at least as wide as its dates and amounts, and as wide as its header too while the grid
// has room; a grid too narrow for its columns takes back the blank room of columns wider than
// anything they show, so that the columns on their right come into view. A user's width stays.
void GridWidget::fitColumns() {
    const int cols = grid_.Cols(), rows = grid_.Rows();
    const int fixedRows = std::min(grid_.FixedRows(), rows);
    std::vector<int> shown(cols, -1), header(cols, 0);
    std::vector<bool> fitted(cols);
    std::vector<size_t> longest(cols, 0);
    std::vector<std::vector<int>> longestRows(cols);
    auto oneCell = [&](int row, int col) {
        return grid_.MergeCells() == 0 || !grid_.MergeRow(row) ||
               grid_.MergedColumns(row, col) == std::pair(col, col);
    };
    for (int col = 0; col < cols; ++col)
        fitted[col] = grid_.ColWidth(col) != 0 && !grid_.UserColWidth(col);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col) {
            if (!fitted[col]) continue;
            std::string_view text = grid_.CellText(row, col);
            if (text.empty() || !oneCell(row, col)) continue;
            if (row < fixedRows) {
                header[col] = std::max(header[col], textTwips(row, col, text));
            } else if (text.size() >= longest[col] && IsDateOrAmount(text)) {
                if (text.size() > longest[col]) longestRows[col].clear();
                longest[col] = text.size();
                if (longestRows[col].size() < LongestMeasured) longestRows[col].push_back(row);
            }
        }
    std::vector<int> content(cols, 0);
    int room = viewport()->width() * TwipsPerPixel, used = 0;
    for (int col = 0; col < cols; ++col) {
        int set = grid_.ColWidth(col) < 0 ? Grid::DefaultColWidth : grid_.ColWidth(col);
        for (int row : longestRows[col])
            content[col] = std::max(content[col], textTwips(row, col, grid_.CellText(row, col)));
        if (fitted[col]) shown[col] = std::max(set, content[col]);
        used += fitted[col] ? shown[col] : set;
    }
    for (int col = 0; col < cols && used < room; ++col) {
        if (!fitted[col]) continue;
        int wider = std::min(std::max(header[col], content[col]) - shown[col], room - used);
        if (wider <= 0) continue;
        shown[col] += wider;
        used += wider;
    }
    // What each column shows at most: its header, its dates and amounts, and the plain texts of its
    // first rows.
    std::vector<bool> filled(cols, false);
    auto neededWidths = [&] {
        const int measuredRows = std::min(rows, fixedRows + PlainTextRowsMeasured);
        std::vector<int> needed = content;
        for (int col = 0; col < cols; ++col)
            needed[col] = std::max(needed[col], header[col]);
        for (int row = fixedRows; row < measuredRows; ++row)
            for (int col = 0; col < cols; ++col) {
                std::string_view text = grid_.CellText(row, col);
                if (fitted[col] && !text.empty() && oneCell(row, col)) {
                    needed[col] = std::max(needed[col], textTwips(row, col, text));
                    filled[col] = true;
                }
            }
        return needed;
    };
    int headersShort = 0;
    for (int col = 0; col < cols; ++col)
        if (fitted[col]) headersShort += std::max(0, header[col] - shown[col]);
    if (used <= room && headersShort > 0) {
        // A header the room ran out for takes the blank room of the filled columns wider than
        // anything they show, so that a full grid shows every header whole where it can.
        std::vector<int> needed = neededWidths();
        int spare = room - used;
        for (int col = 0; col < cols && spare < headersShort; ++col) {
            if (!fitted[col] || !filled[col] || shown[col] <= needed[col]) continue;
            int given = std::min(shown[col] - needed[col], headersShort - spare);
            shown[col] -= given;
            spare += given;
        }
        for (int col = 0; col < cols && spare > 0; ++col) {
            if (!fitted[col] || header[col] <= shown[col]) continue;
            int wider = std::min(header[col] - shown[col], spare);
            shown[col] += wider;
            spare -= wider;
        }
    }
    if (used > room) {
        std::vector<int> needed = neededWidths();
        for (int col = 0; col < cols && used > room; ++col) {
            if (!fitted[col] || shown[col] <= needed[col]) continue;
            int narrower = std::min(shown[col] - needed[col], used - room);
            shown[col] -= narrower;
            used -= narrower;
        }
    }
    grid_.ShowColWidths(std::move(shown));
}

// The twips a cell's text needs to show whole: its text area's margins and a pixel that twips
// rounded down to pixels may take.
int GridWidget::textTwips(int row, int col, std::string_view text) const {
    QString shown = displayText(std::string(text));
    int pixels = QFontMetrics(cellFont(row, col)).horizontalAdvance(shown);
    int margins = QRect(0, 0, 100, 1).width() - textArea(QRect(0, 0, 100, 1)).width();
    return (pixels + margins + 1) * TwipsPerPixel;
}

void GridWidget::showScrollBars() {
    scrollBarsPending_ = false;
    if (!control()) return;
    Updating guard(updating_);
    int fixedRows = grid_.FixedRows(), fixedCols = grid_.FixedCols();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(fixedRows, std::max(fixedRows, lastTopRow()));
    vertical->setPageStep(std::max(1, static_cast<int>(rowsInView().index.size()) - fixedRows));
    vertical->setValue(grid_.TopRow());
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(fixedCols, std::max(fixedCols, lastLeftCol()));
    horizontal->setPageStep(1);
    horizontal->setValue(grid_.LeftCol());
}

void GridWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    scheduleScrollBars();
}

void GridWidget::scrollContentsBy(int, int) {
    viewport()->update();
}

void GridWidget::scrollTo(int topRow, int leftCol) {
    userAction([&](Control& c) { static_cast<Grid&>(c).userScrollTo(topRow, leftCol); });
    if (control()) showScrollBars();
}

GridWidget::Lines GridWidget::rowsInView() const {
    Lines lines;
    int height = viewport()->height(), twips = 0;
    lines.edge.push_back(0);
    auto add = [&](int row) {
        int rowTwips = grid_.RowHeight(row);
        if (rowTwips <= 0) return true;
        twips += rowTwips;
        lines.index.push_back(row);
        lines.edge.push_back(px(twips));
        return lines.edge.back() < height;
    };
    for (int row = 0; row < std::min(grid_.FixedRows(), grid_.Rows()); ++row)
        if (!add(row)) return lines;
    for (int row = grid_.TopRow(); row < grid_.Rows(); ++row)
        if (!add(row)) break;
    return lines;
}

GridWidget::Lines GridWidget::colsInView() const {
    Lines lines;
    int width = viewport()->width(), twips = 0;
    lines.edge.push_back(0);
    auto add = [&](int col) {
        int colTwips = grid_.ShownColWidth(col);
        if (colTwips == 0) return true;
        twips += colTwips;
        lines.index.push_back(col);
        lines.edge.push_back(px(twips));
        return lines.edge.back() < width;
    };
    for (int col = 0; col < std::min(grid_.FixedCols(), grid_.Cols()); ++col)
        if (!add(col)) return lines;
    for (int col = grid_.LeftCol(); col < grid_.Cols(); ++col)
        if (!add(col)) break;
    return lines;
}

// The highest TopRow that still fills the view: the last rows fit below the fixed ones.
int GridWidget::lastTopRow() const {
    int room = viewport()->height() * TwipsPerPixel;
    for (int row = 0; row < std::min(grid_.FixedRows(), grid_.Rows()); ++row)
        room -= grid_.RowHeight(row);
    int row = grid_.Rows() - 1;
    int used = 0;
    while (row >= grid_.FixedRows()) {
        used += grid_.RowHeight(row);
        if (used > room) return std::min(row + 1, grid_.Rows() - 1);
        --row;
    }
    return grid_.FixedRows();
}

int GridWidget::lastLeftCol() const {
    int room = viewport()->width() * TwipsPerPixel;
    auto width = [&](int col) { return grid_.ShownColWidth(col); };
    for (int col = 0; col < std::min(grid_.FixedCols(), grid_.Cols()); ++col)
        room -= width(col);
    int col = grid_.Cols() - 1;
    int used = 0;
    while (col >= grid_.FixedCols()) {
        used += width(col);
        if (used > room) return std::min(col + 1, grid_.Cols() - 1);
        --col;
    }
    return grid_.FixedCols();
}

int GridWidget::cellAtRow(int y) const {
    Lines rows = rowsInView();
    for (size_t i = 0; i < rows.index.size(); ++i)
        if (y >= rows.edge[i] && y < rows.edge[i + 1]) return rows.index[i];
    return -1;
}

int GridWidget::cellAtCol(int x) const {
    Lines cols = colsInView();
    for (size_t i = 0; i < cols.index.size(); ++i)
        if (x >= cols.edge[i] && x < cols.edge[i + 1]) return cols.index[i];
    return -1;
}

QRect GridWidget::cellRect(int row, int col) const {
    Lines rows = rowsInView(), cols = colsInView();
    auto r = std::find(rows.index.begin(), rows.index.end(), row);
    auto c = std::find(cols.index.begin(), cols.index.end(), col);
    if (r == rows.index.end() || c == cols.index.end()) return {};
    size_t i = r - rows.index.begin(), j = c - cols.index.begin();
    return QRect(QPoint(cols.edge[j], rows.edge[i]),
                 QPoint(cols.edge[j + 1] - 1, rows.edge[i + 1] - 1));
}

bool GridWidget::selected(int row, int col) const {
    int top = std::min(grid_.Row(), grid_.RowSel()), bottom = std::max(grid_.Row(), grid_.RowSel());
    if (row < top || row > bottom) return false;
    if (grid_.SelectionMode() == 1) return true;
    int left = std::min(grid_.Col(), grid_.ColSel()), right = std::max(grid_.Col(), grid_.ColSel());
    if (col < left || col > right) return false;
    // The current cell itself shows a focus frame, not the selection colour.
    return !(row == grid_.Row() && col == grid_.Col());
}

void GridWidget::paintEvent(QPaintEvent*) {
    if (!control()) return;
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), qtColor(grid_.BackColorBkg()));
    Lines rows = rowsInView(), cols = colsInView();
    for (size_t i = 0; i < rows.index.size(); ++i) {
        int row = rows.index[i];
        bool fixedRow = row < grid_.FixedRows();
        bool merging = grid_.MergeCells() != 0 && grid_.MergeRow(row);
        for (size_t j = 0; j < cols.index.size();) {
            int col = cols.index[j];
            bool fixedCol = col < grid_.FixedCols();
            size_t last = j;
            if (merging) {
                int mergedTo = grid_.MergedColumns(row, col).second;
                while (last + 1 < cols.index.size() && cols.index[last + 1] <= mergedTo &&
                       (cols.index[last + 1] < grid_.FixedCols()) == fixedCol)
                    ++last;
            }
            QRect rect(QPoint(cols.edge[j], rows.edge[i]),
                       QPoint(cols.edge[last + 1] - 1, rows.edge[i + 1] - 1));
            paintCell(painter, rect, row, col, fixedRow || fixedCol);
            j = last + 1;
        }
    }
}

void GridWidget::paintCell(QPainter& painter, const QRect& rect, int row, int col, bool fixed) {
    Color back = grid_.BackColorAt(row, col);
    Color fore = grid_.ForeColorAt(row, col);
    bool highlighted = !fixed && selected(row, col);
    QColor backColor = back != Grid::Unset ? qtColor(back)
                       : fixed             ? qtColor(grid_.BackColorFixed())
                                           : qtColor(grid_.BackColor());
    QColor foreColor = fore != Grid::Unset ? qtColor(fore)
                       : fixed             ? qtColor(grid_.ForeColorFixed())
                                           : qtColor(grid_.ForeColor());
    if (highlighted) {
        backColor = qtColor(grid_.BackColorSel());
        foreColor = qtColor(SystemColor::HighlightText);
    }
    painter.fillRect(rect, backColor);
    if (fixed) {
        // Raised: light on the top and left edges, dark on the bottom and right.
        painter.setPen(QColor(255, 255, 255));
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(QColor(128, 128, 128));
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomRight());
    } else {
        painter.setPen(qtColor(grid_.GridColor()));
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomRight());
    }
    const std::string& text = grid_.TextMatrix(row, col);
    if (!text.empty()) {
        QFont font = cellFont(row, col);
        painter.setFont(font);
        painter.setPen(foreColor);
        QRect area = textArea(rect);
        painter.save();
        painter.setClipRect(rect.adjusted(0, 0, -1, -1));
        // A text too wide for its cell ends in an ellipsis, so that a number never shows without
        // its leading digits; the whole text is the cell's tooltip.
        QString shown = QFontMetrics(font).elidedText(displayText(text), Qt::ElideRight,
                                                      area.width(), Qt::TextSingleLine);
        painter.drawText(
            area, cellAlignment(grid_.AlignmentAt(row, col), text) | Qt::TextSingleLine, shown);
        painter.restore();
    }
    // Only the grid that has the keyboard frames its current cell, so that a glance tells which
    // of a form's grids the keys will go to.
    if (!fixed && hasFocus() && row == grid_.Row() && col == grid_.Col()) {
        QPen focus(QColor(0, 0, 0));
        focus.setStyle(Qt::DotLine);
        painter.setPen(focus);
        painter.drawRect(rect.adjusted(1, 1, -2, -2));
    }
}

QFont GridWidget::cellFont(int row, int col) const {
    return controlFont(grid_.FontSize(), grid_.FontBold() || grid_.BoldAt(row, col));
}

QRect GridWidget::textArea(const QRect& cell) {
    return cell.adjusted(3, 1, -3, -1);
}

bool GridWidget::cellTextCut(int row, int col) const {
    QString text = displayText(grid_.TextMatrix(row, col));
    QRect cell = cellRect(row, col);
    return !text.isEmpty() && !cell.isEmpty() &&
           QFontMetrics(cellFont(row, col)).horizontalAdvance(text) > textArea(cell).width();
}

int GridWidget::shownColumnsWidth() const {
    int twips = 0;
    for (int col = 0; col < grid_.Cols(); ++col)
        twips += grid_.ShownColWidth(col);
    return px(twips);
}

// The whole text of a cell under the mouse that is shown cut short; empty for one that fits.
QString GridWidget::cutTextAt(QPoint point) const {
    int row = cellAtRow(point.y()), col = cellAtCol(point.x());
    if (row < 0 || col < 0 || !cellTextCut(row, col)) return {};
    return displayText(grid_.TextMatrix(row, col));
}

int GridWidget::resizeBorderAt(QPoint point) const {
    if (grid_.AllowUserResizing() == 0 || grid_.AllowUserResizing() == 2) return -1;
    Lines rows = rowsInView();
    int fixedBottom = rows.edge[std::min<size_t>(grid_.FixedRows(), rows.index.size())];
    if (point.y() >= fixedBottom && grid_.FixedRows() > 0) return -1;
    Lines cols = colsInView();
    for (size_t j = 0; j < cols.index.size(); ++j)
        if (std::abs(point.x() - cols.edge[j + 1]) <= ResizeGrip) return static_cast<int>(j);
    return -1;
}

bool GridWidget::mouseEvent(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    QPoint point = mouse->position().toPoint();
    int row = cellAtRow(point.y()), col = cellAtCol(point.x());
    int button = mouseButton(mouse->button());
    int shift = shiftState(mouse->modifiers());
    bool left = mouse->button() == Qt::LeftButton;
    auto grid = [](Control& c) -> Grid& { return static_cast<Grid&>(c); };
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            int border = left ? resizeBorderAt(point) : -1;
            if (border >= 0) {
                Lines cols = colsInView();
                resizingCol_ = cols.index[border];
                resizingLeft_ = cols.edge[border];
                return true;
            }
            secondPress_ = false;
            userAction([&](Control& c) { grid(c).userMouseDownAt(row, col, button, shift); });
            return true;
        }
        case QEvent::MouseMove:
            if (resizingCol_ >= 0) {
                int twips = std::max(0, point.x() - resizingLeft_) * TwipsPerPixel;
                int col = resizingCol_;
                userAction([&](Control& c) { grid(c).userResizeColumn(col, twips); });
                return true;
            }
            viewport()->setCursor(resizeBorderAt(point) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
            return false;
        case QEvent::MouseButtonRelease:
            if (resizingCol_ >= 0) {
                resizingCol_ = -1;
                return true;
            }
            if (left && !secondPress_)
                userAction([&](Control& c) { grid(c).userMouseUpClickAt(row, col, shift); });
            else
                userAction([&](Control& c) { grid(c).userMouseUpAt(row, col, button, shift); });
            secondPress_ = false;
            return true;
        case QEvent::MouseButtonDblClick:
            if (!left) {
                userAction([&](Control& c) { grid(c).userMouseDownAt(row, col, button, shift); });
                return true;
            }
            secondPress_ = true;
            userAction([&](Control& c) { grid(c).userSecondClickAt(row, col); });
            return true;
        default:
            return false;
    }
}

// After a key moved the current cell past the bottom or right of the view, the view follows.
void GridWidget::keepCurrentInView() {
    if (!control()) return;
    Lines rows = rowsInView(), cols = colsInView();
    int top = grid_.TopRow(), leftCol = grid_.LeftCol();
    bool rowShown = false;
    for (size_t i = 0; i < rows.index.size(); ++i)
        if (rows.index[i] == grid_.Row() && rows.edge[i + 1] <= viewport()->height())
            rowShown = true;
    if (!rowShown && grid_.Row() >= grid_.FixedRows()) {
        int visible = std::max(1, static_cast<int>(rows.index.size()) - grid_.FixedRows() - 1);
        top = grid_.Row() < top ? grid_.Row()
                                : std::max(grid_.FixedRows(), grid_.Row() - visible + 1);
    }
    bool colShown = false;
    for (size_t j = 0; j < cols.index.size(); ++j)
        if (cols.index[j] == grid_.Col() && cols.edge[j + 1] <= viewport()->width())
            colShown = true;
    if (!colShown && grid_.Col() >= grid_.FixedCols())
        leftCol = grid_.Col() < leftCol ? grid_.Col() : std::min(grid_.Col(), lastLeftCol());
    if (top != grid_.TopRow() || leftCol != grid_.LeftCol()) scrollTo(top, leftCol);
}

bool GridWidget::keyEvent(QKeyEvent& key) {
    int shift = shiftState(key.modifiers());
    if (key.key() == Qt::Key_Menu || (key.key() == Qt::Key_F10 && shift == ShiftMask)) {
        keepCurrentInView();
        userAction([](Control& c) { static_cast<Grid&>(c).userMenuKey(); });
        return true;
    }
    int code = virtualKey(key.key());
    if (code == Key::Tab) {
        userAction([&](Control& c) { static_cast<Grid&>(c).userTab(shift); });
        keepCurrentInView();
        return true;
    }
    std::u32string typed = typedCharacters(key);
    if (code != 0 && code != Key::Enter && code != Key::Escape && code != Key::Backspace) {
        userAction([&](Control& c) { static_cast<Grid&>(c).userKeyDown(code, shift); });
        keepCurrentInView();
        return true;
    }
    if (code != 0) typed = std::u32string(1, static_cast<char32_t>(code));
    for (char32_t c : typed)
        if (!userAction([c](Control& grid) { static_cast<Grid&>(grid).userKey(c); })) break;
    return !typed.empty();
}

bool GridWidget::filter(QObject* watched, QEvent* event) {
    if (!control()) return false;
    if (watched == viewport()) {
        switch (event->type()) {
            case QEvent::ToolTip: {
                auto* help = static_cast<QHelpEvent*>(event);
                QString whole = cutTextAt(help->pos());
                if (whole.isEmpty() && grid_.ToolTipText().empty())
                    QToolTip::hideText();
                else
                    QToolTip::showText(help->globalPos(),
                                       whole.isEmpty() ? qs(grid_.ToolTipText()) : whole, this);
                return true;
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
                return mouseEvent(event);
            default:
                return false;
        }
    }
    if (watched == this && event->type() == QEvent::KeyPress)
        return keyEvent(*static_cast<QKeyEvent*>(event));
    if (watched == this && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        viewport()->update();
    return ControlBinding::filter(watched, event);
}

}  // namespace kiv
