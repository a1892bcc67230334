#include "platform/qt/ListWidgets.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QTreeView>

#include "platform/db/Numbers.h"
#include "platform/db/Utf8.h"
#include "platform/qt/QtLook.h"

namespace kiv {

std::vector<int> columnWidthsInPixels(const std::string& widths, int columns) {
    std::vector<int> result(columns, -1);
    auto parts = splitText(widths, ";");
    for (int i = 0; i < columns && i < static_cast<int>(parts.size()); ++i) {
        std::string part = trimmed(parts[i]);
        if (part.empty()) continue;
        double value = leadingNumber(part);
        // Points are 20 twips, centimetres 567, inches 1440; a bare number is in points.
        double twips = value * 20;
        if (part.find("cm") != std::string::npos) twips = value * 567;
        if (part.find("in") != std::string::npos) twips = value * 1440;
        result[i] = px(static_cast<int>(twips));
    }
    return result;
}

ComboBoxWidget::ComboBoxWidget(FormWindow& window, ComboBox& box, QWidget* parent)
    : QComboBox(parent),
      ControlBinding(window, box, *this),
      box_(box),
      items_(new QStandardItemModel(this)),
      view_(new QTreeView) {
    view_->setHeaderHidden(true);
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setItemsExpandable(false);
    view_->setAllColumnsShowFocus(true);
    view_->header()->setStretchLastSection(false);
    view_->header()->setSectionResizeMode(QHeaderView::Fixed);
    view_->header()->setMinimumSectionSize(4);
    setModel(items_);
    setView(view_);
    setInsertPolicy(QComboBox::NoInsert);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (updating_) return;
        if (userAction([index](Control& c) { static_cast<ComboBox&>(c).userPick(index); })) {
            Updating guard(updating_);
            showChoice();
        }
    });
}

void ComboBoxWidget::show(Property property) {
    if (!control()) return;
    Updating guard(updating_);
    switch (property) {
        case Property::Style: {
            bool editable = box_.Style() != 2;
            if (editable != isEditable()) {
                setEditable(editable);
                if (editable) {
                    lineEdit()->setFrame(false);
                    setCompleter(nullptr);
                    // The model matches the typed text against the entries itself. Qt's own
                    // match when the box loses the focus would pick the entry again as if the
                    // user had, and that pick takes the focus back from where Tab moved it.
                    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
                    watch(lineEdit());
                    connect(lineEdit(), &QLineEdit::textEdited, this,
                            [this](const QString& text) { takeEditedText(text); });
                    connect(lineEdit(), &QLineEdit::cursorPositionChanged, this, [this] {
                        if (!updating_) takeSelection();
                    });
                }
            }
            setMaxVisibleItems(std::max(1, box_.ListRows()));
            showChoice();
            break;
        }
        case Property::Items:
            showItems();
            break;
        case Property::ListIndex:
        case Property::Text:
            showChoice();
            break;
        case Property::Selection:
            showSelection();
            break;
        default:
            break;
    }
}

void ComboBoxWidget::showItems() {
    int columns = std::max(1, box_.ColumnCount());
    items_->clear();
    items_->setColumnCount(columns);
    for (int row = 0; row < box_.ListCount(); ++row) {
        QList<QStandardItem*> cells;
        for (int column = 0; column < columns; ++column)
            cells.append(new QStandardItem(displayText(box_.List(row, column))));
        items_->appendRow(cells);
    }
    setModelColumn(std::clamp(box_.TextColumn() - 1, 0, columns - 1));
    showChoice();
}

void ComboBoxWidget::showChoice() {
    if (currentIndex() != box_.ListIndex()) setCurrentIndex(box_.ListIndex());
    showEditText();
}

void ComboBoxWidget::showEditText() {
    if (!isEditable()) return;
    QString text = qs(box_.Text());
    if (lineEdit()->text() != text) lineEdit()->setText(text);
    showSelection();
}

void ComboBoxWidget::showSelection() {
    if (isEditable())
        showLineSelection(*lineEdit(), box_.Text(), box_.SelStart(), box_.SelLength());
}

int ComboBoxWidget::columnWidthPixels(int column) const {
    auto widths = columnWidthsInPixels(box_.ColumnWidths(), std::max(1, box_.ColumnCount()));
    if (widths[column] >= 0) return widths[column];
    int widest = 0;
    for (int row = 0; row < box_.ListCount(); ++row)
        widest = std::max(
            widest, view_->fontMetrics().horizontalAdvance(displayText(box_.List(row, column))));
    return widest + 16;
}

// The drop-down is as wide as its columns (never narrower than the box) so that every column shows.
void ComboBoxWidget::showPopup() {
    QWidget* popup = view_->window();
    popup->setMinimumWidth(0);
    QComboBox::showPopup();
    int columns = std::max(1, box_.ColumnCount());
    int total = 0;
    for (int column = 0; column < columns; ++column) {
        int width = columnWidthPixels(column);
        // A column of width 0 holds a value that is not shown (a key).
        view_->setColumnHidden(column, width == 0);
        if (width == 0) continue;
        view_->setColumnWidth(column, width);
        total += view_->columnWidth(column);
    }
    // The container lays the view out again later; a minimum width keeps the columns in view.
    int frame = 2 * view_->frameWidth() + popup->width() - view_->width();
    int wanted = std::max({popup->width(), width(), total + frame});
    popup->setMinimumWidth(wanted);
    if (columns == 1) view_->setColumnWidth(0, wanted - frame);
}

void ComboBoxWidget::takeEditedText(const QString& text) {
    if (updating_) return;
    std::string edited = utf8(text);
    if (!userAction([&](Control& c) { static_cast<ComboBox&>(c).userReplaceText(edited); })) return;
    Updating guard(updating_);
    showChoice();
}

void ComboBoxWidget::takeSelection() {
    if (!control() || !isEditable()) return;
    auto [start, length] = lineSelection(*lineEdit(), box_.Text());
    box_.userSelect(start, length);
}

bool ComboBoxWidget::filter(QObject* watched, QEvent* event) {
    if (!control()) return false;
    if (event->type() == QEvent::KeyPress && (watched == this || watched == lineEdit()))
        return routeKey(*static_cast<QKeyEvent*>(event));
    return ControlBinding::filter(watched, event);
}

// Typing keys go to the model key by key; keys that move the caret, delete or pick another entry
// stay with Qt and reach the model as a caret move, a replaced text or a pick.
bool ComboBoxWidget::routeKey(QKeyEvent& key) {
    int shift = shiftState(key.modifiers());
    auto typeKey = [&](char32_t c) {
        userAction([&](Control& box) { static_cast<ComboBox&>(box).userKey(c, shift); });
    };
    switch (key.key()) {
        // Tab goes through the model: a box over a grid's cell moves to the next cell, and no
        // Tab is lost to the box's own handling of a completed entry.
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            if (key.modifiers() & Qt::ControlModifier) return false;
            userAction([&](Control& box) {
                static_cast<ComboBox&>(box).userTab(key.key() == Qt::Key_Backtab ? shift | ShiftMask
                                                                                 : shift);
            });
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            typeKey(static_cast<char32_t>(virtualKey(key.key())));
            return true;
        case Qt::Key_Escape:
            if (isEditable()) {
                typeKey(static_cast<char32_t>(virtualKey(key.key())));
                return true;
            }
            return false;
        case Qt::Key_Backspace:
            if (!isEditable()) return false;
            typeKey(Key::Backspace);
            return true;
        default:
            break;
    }
    if (!isEditable() || (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
    std::u32string typed = typedCharacters(key);
    if (typed.empty()) return false;
    for (char32_t c : typed) {
        typeKey(c);
        if (!control()) break;
    }
    if (control()) {
        Updating guard(updating_);
        showChoice();
    }
    return true;
}

ListBoxWidget::ListBoxWidget(FormWindow& window, ListBox& box, QWidget* parent)
    : QTreeWidget(parent), ControlBinding(window, box, *this), box_(box) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::MultiSelection);
    setFocusPolicy(Qt::StrongFocus);
    watch(viewport());
}

void ListBoxWidget::show(Property property) {
    if (!control()) return;
    Updating guard(updating_);
    if (property == Property::Items || property == Property::Style) showItems();
    if (property == Property::ListIndex || property == Property::Value) showChoice();
}

void ListBoxWidget::showItems() {
    int columns = std::max(1, box_.ColumnCount());
    clear();
    setColumnCount(columns);
    auto widths = columnWidthsInPixels(box_.ColumnWidths(), columns);
    for (int column = 0; column < columns; ++column) {
        setColumnHidden(column, widths[column] == 0);
        if (widths[column] > 0) setColumnWidth(column, widths[column]);
    }
    QList<QTreeWidgetItem*> items;
    for (int row = 0; row < box_.ListCount(); ++row) {
        auto* item = new QTreeWidgetItem;
        for (int column = 0; column < columns; ++column)
            item->setText(column, displayText(box_.List(row, column)));
        // The tick shows the model's state; the model alone flips it.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        items.append(item);
    }
    addTopLevelItems(items);
    showChoice();
}

void ListBoxWidget::showChoice() {
    bool ticks = box_.Style() == 1;
    bool several = box_.MultiSelect() != 0;
    for (int row = 0; row < topLevelItemCount() && row < box_.ListCount(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        bool selected = box_.Selected(row);
        if (ticks) item->setCheckState(0, selected ? Qt::Checked : Qt::Unchecked);
        item->setSelected(several && !ticks ? selected : row == box_.ListIndex());
    }
    if (box_.ListIndex() >= 0 && box_.ListIndex() < topLevelItemCount()) {
        QTreeWidgetItem* current = topLevelItem(box_.ListIndex());
        setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
        scrollToItem(current);
    }
}

void ListBoxWidget::pick(int row) {
    if (row < 0 || row >= box_.ListCount()) return;
    if (!userAction([row](Control& c) { static_cast<ListBox&>(c).userPick(row); })) return;
    Updating guard(updating_);
    showChoice();
}

void ListBoxWidget::moveTo(int row) {
    if (row < 0 || row >= box_.ListCount()) return;
    if (!userAction([row](Control& c) { static_cast<ListBox&>(c).userMoveTo(row); })) return;
    Updating guard(updating_);
    showChoice();
}

bool ListBoxWidget::filter(QObject* watched, QEvent* event) {
    if (!control()) return false;
    if (watched == viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                if (mouse->button() != Qt::LeftButton) return forwardMouse(event);
                pick(indexAt(mouse->position().toPoint()).row());
                return true;
            case QEvent::MouseButtonDblClick:
                if (mouse->button() == Qt::LeftButton)
                    userAction([](Control& c) { c.userSecondClick(); });
                return true;
            case QEvent::MouseButtonRelease:
                if (mouse->button() != Qt::LeftButton) return forwardMouse(event);
                return true;
            default:
                return false;
        }
    }
    if (watched == this && event->type() == QEvent::KeyPress) {
        int current = box_.ListIndex();
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
                moveTo(std::max(current - 1, 0));
                return true;
            case Qt::Key_Down:
                moveTo(std::min(current + 1, box_.ListCount() - 1));
                return true;
            case Qt::Key_Home:
                moveTo(0);
                return true;
            case Qt::Key_End:
                moveTo(box_.ListCount() - 1);
                return true;
            case Qt::Key_Space:
                pick(std::max(current, 0));
                return true;
            default:
                return false;
        }
    }
    return ControlBinding::filter(watched, event);
}

}  // namespace kiv
