#pragma once

#include <QComboBox>
#include <QTreeWidget>

#include "platform/forms/ListControls.h"
#include "platform/qt/ControlBinding.h"

class QStandardItemModel;
class QTreeView;

namespace kiv {

// A combo box. Its drop-down shows every column of the entries; the box shows the text column.
// Typing goes key by key through the model, which completes the text from the entries.
class ComboBoxWidget : public QComboBox, public ControlBinding {
  public:
    ComboBoxWidget(FormWindow& window, ComboBox& box, QWidget* parent);
    void showPopup() override;

  protected:
    void show(Property property) override;
    bool filter(QObject* watched, QEvent* event) override;

  private:
    void showItems();
    void showChoice();
    void showEditText();
    void showSelection();
    bool routeKey(QKeyEvent& key);
    void takeEditedText(const QString& text);
    void takeSelection();
    int columnWidthPixels(int column) const;

    ComboBox& box_;
    QStandardItemModel* items_;
    QTreeView* view_;
};

// A list box of one or more columns, with a tick box per entry in the tick style. A click or an
// arrow key picks an entry through the model, which flips the tick.
class ListBoxWidget : public QTreeWidget, public ControlBinding {
  public:
    ListBoxWidget(FormWindow& window, ListBox& box, QWidget* parent);

  protected:
    void show(Property property) override;
    bool filter(QObject* watched, QEvent* event) override;

  private:
    void showItems();
    void showChoice();
    void pick(int row);
    void moveTo(int row);

    ListBox& box_;
};

// Widths in pixels of the columns as the old runtime wrote them ("50 pt;2 cm;1 in"; a bare
// number is in points); -1 where none is given.
std::vector<int> columnWidthsInPixels(const std::string& widths, int columns);

}  // namespace kiv
