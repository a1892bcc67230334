#pragma once

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include "platform/forms/Controls.h"
#include "platform/qt/ControlBinding.h"

namespace kiv {

// A text box: a line editor, or a page editor when multi-line. The keys that type or move the
// caret go to the model first (KeyPress may drop or change a key before the text changes); the
// editor shows the model's text and selection. A paste is typed into the model key by key;
// whatever else changes the editor's text (an input method, undo) is handed to the model as a
// replaced text.
// Whether an entry of an editor's own context menu is its paste.
bool isPasteEntry(const QAction& action);

class TextBoxWidget : public QWidget, public ControlBinding {
  public:
    TextBoxWidget(FormWindow& window, TextBox& box, QWidget* parent);

    // The editor that has the focus and receives the keys.
    QWidget* editor() const;

  protected:
    void show(Property property) override;
    bool filter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildEditor();
    bool routeKey(QKeyEvent& key);
    void pasteClipboard(int keyCode, int shift);
    void showContextMenu(const QPoint& at);
    void showText();
    void showSelection();
    void showStyle();
    QString editorText() const;
    void takeEditorText();
    void takeEditorSelection();

    TextBox& box_;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* page_ = nullptr;
};

}  // namespace kiv
