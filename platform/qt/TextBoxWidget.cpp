#include "platform/qt/TextBoxWidget.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionFrame>
#include <QTextBlock>
#include <QToolTip>

#include "platform/db/Utf8.h"
#include "platform/qt/QtLook.h"

namespace kiv {

namespace {

// Draws a password box's characters as the box's own mask character.
class MaskStyle : public QProxyStyle {
  public:
    explicit MaskStyle(char32_t mask) : mask_(mask) {}
    char32_t mask() const { return mask_; }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return static_cast<int>(mask_);
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }

  private:
    char32_t mask_;
};

// A line editor that, without the focus, shows a text too wide for it cut short with an ellipsis
// at its end, instead of scrolled to the caret: a number is never shown without its leading
// digits. With the focus it shows and edits the whole text as usual.
class ElidingLineEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

    bool textIsCut() const {
        return echoMode() == QLineEdit::Normal &&
               fontMetrics().horizontalAdvance(text()) > textRect().width();
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        if (hasFocus() || !textIsCut()) {
            QLineEdit::paintEvent(event);
            return;
        }
        QPainter painter(this);
        QStyleOptionFrame panel;
        initStyleOption(&panel);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
        QRect area = textRect();
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }

  private:
    // Where the editor draws its text: inside the frame and the margins, as QLineEdit lays it.
    QRect textRect() const {
        QStyleOptionFrame panel;
        initStyleOption(&panel);
        QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
        return area.marginsRemoved(textMargins())
            .adjusted(HorizontalMargin, 0, -HorizontalMargin, 0);
    }
    // QLineEdit's own room between the contents' edge and the text.
    static constexpr int HorizontalMargin = 2;
};

}  // namespace

TextBoxWidget::TextBoxWidget(FormWindow& window, TextBox& box, QWidget* parent)
    : QWidget(parent), ControlBinding(window, box, *this), box_(box) {
    buildEditor();
}

QWidget* TextBoxWidget::editor() const {
    return line_ ? static_cast<QWidget*>(line_) : static_cast<QWidget*>(page_);
}

void TextBoxWidget::buildEditor() {
    delete line_;
    delete page_;
    line_ = nullptr;
    page_ = nullptr;
    if (box_.MultiLine()) {
        page_ = new QPlainTextEdit(this);
        page_->setTabChangesFocus(true);
        connect(page_, &QPlainTextEdit::textChanged, this, [this] {
            if (!updating_) takeEditorText();
        });
        connect(page_, &QPlainTextEdit::cursorPositionChanged, this, [this] {
            if (!updating_) takeEditorSelection();
        });
    } else {
        line_ = new ElidingLineEdit(this);
        connect(line_, &QLineEdit::textChanged, this, [this] {
            if (!updating_) takeEditorText();
        });
        connect(line_, &QLineEdit::selectionChanged, this, [this] {
            if (!updating_) takeEditorSelection();
        });
        connect(line_, &QLineEdit::cursorPositionChanged, this, [this] {
            if (!updating_) takeEditorSelection();
        });
    }
    QWidget* shown = editor();
    shown->setGeometry(rect());
    shown->setContextMenuPolicy(Qt::DefaultContextMenu);
    setFocusProxy(shown);
    watch(shown);
    shown->show();
}

void TextBoxWidget::resizeEvent(QResizeEvent*) {
    editor()->setGeometry(rect());
}

void TextBoxWidget::show(Property property) {
    if (!control()) return;
    Updating guard(updating_);
    switch (property) {
        case Property::Style:
            if (box_.MultiLine() != (page_ != nullptr)) {
                buildEditor();
                showText();
            }
            showStyle();
            break;
        case Property::Text:
            showText();
            break;
        case Property::Selection:
            showSelection();
            break;
        default:
            break;
    }
}

void TextBoxWidget::showStyle() {
    std::u32string mask = toCodePoints(box_.PasswordChar());
    if (line_) {
        line_->setReadOnly(box_.Locked());
        line_->setMaxLength(box_.MaxLength() > 0 ? box_.MaxLength() : 32767);
        static constexpr Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignRight,
                                                       Qt::AlignHCenter};
        line_->setAlignment(horizontal[std::clamp(box_.Alignment(), 0, 2)] | Qt::AlignVCenter);
        if (mask.empty()) {
            line_->setEchoMode(QLineEdit::Normal);
        } else {
            auto* shown = dynamic_cast<MaskStyle*>(line_->style());
            if (!shown || shown->mask() != mask.front()) {
                auto* style = new MaskStyle(mask.front());
                style->setParent(line_);
                line_->setStyle(style);
            }
            line_->setEchoMode(QLineEdit::Password);
        }
    }
    if (page_) page_->setReadOnly(box_.Locked());
}

void TextBoxWidget::showText() {
    QString text = displayText(box_.Text());
    if (editorText() != text) {
        if (line_) line_->setText(text);
        if (page_) page_->setPlainText(text);
    }
    showSelection();
}

void TextBoxWidget::showSelection() {
    const std::string& text = box_.Text();
    if (line_) {
        showLineSelection(*line_, text, box_.SelStart(), box_.SelLength());
        return;
    }
    QTextCursor cursor = page_->textCursor();
    cursor.setPosition(editorPosition(text, box_.SelStart()));
    cursor.setPosition(editorPosition(text, box_.SelStart() + box_.SelLength()),
                       QTextCursor::KeepAnchor);
    page_->setTextCursor(cursor);
}

QString TextBoxWidget::editorText() const {
    return line_ ? line_->text() : page_->toPlainText();
}

void TextBoxWidget::takeEditorText() {
    QString text = editorText();
    if (page_) text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    std::string replaced = utf8(text);
    if (!userAction([&](Control& c) { static_cast<TextBox&>(c).userReplaceText(replaced); }))
        return;
    // A locked box or a handler may have kept or rewritten the text.
    Updating guard(updating_);
    showText();
}

void TextBoxWidget::takeEditorSelection() {
    if (!control()) return;
    const std::string& text = box_.Text();
    if (line_) {
        auto [start, length] = lineSelection(*line_, text);
        box_.userSelect(start, length);
        return;
    }
    QTextCursor cursor = page_->textCursor();
    int start = modelPosition(text, cursor.selectionStart());
    box_.userSelect(start, modelPosition(text, cursor.selectionEnd()) - start);
}

void TextBoxWidget::pasteClipboard(int keyCode, int shift) {
    std::string text = utf8(QGuiApplication::clipboard()->text());
    if (page_) {
        QString lines = QGuiApplication::clipboard()->text();
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        text = utf8(lines);
    }
    userAction([&](Control& box) { static_cast<TextBox&>(box).userPaste(text, keyCode, shift); });
}

// The editor's menu names each entry's key after a tab, the paste's among them.
bool isPasteEntry(const QAction& action) {
    QString key = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    return action.text().endsWith(QLatin1Char('\t') + key);
}

// The editor's own menu, with its paste taken through the model.
void TextBoxWidget::showContextMenu(const QPoint& at) {
    QMenu* menu = line_ ? line_->createStandardContextMenu() : page_->createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        if (!isPasteEntry(*action)) continue;
        action->disconnect();
        connect(action, &QAction::triggered, this, [this] { pasteClipboard('V', CtrlMask); });
    }
    menu->exec(at);
    delete menu;
}

bool TextBoxWidget::filter(QObject* watched, QEvent* event) {
    if (!control()) return false;
    if (watched == editor() && event->type() == QEvent::KeyPress)
        return routeKey(*static_cast<QKeyEvent*>(event));
    if (watched == editor() && event->type() == QEvent::ToolTip && line_ &&
        static_cast<ElidingLineEdit*>(line_)->textIsCut()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), line_->text(), this);
        return true;
    }
    if (watched == editor() && event->type() == QEvent::ContextMenu) {
        showContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return ControlBinding::filter(watched, event);
}

// The keys the old text box handled itself go to the model; shortcuts (copy, paste, undo) and
// the focus keys stay with Qt; a paste and Tab go to the model.
bool TextBoxWidget::routeKey(QKeyEvent& key) {
    int shift = shiftState(key.modifiers());
    auto typeKey = [&](char32_t c) {
        userAction([&](Control& box) { static_cast<TextBox&>(box).userKey(c, shift); });
    };
    auto pressKey = [&](int code) {
        userAction([&](Control& box) { static_cast<TextBox&>(box).userKeyDown(code, shift); });
    };
    // A paste goes through the box's key filter as typing the same keys would.
    if (key.matches(QKeySequence::Paste)) {
        pasteClipboard(virtualKey(key.key()), shift);
        return true;
    }
    switch (key.key()) {
        case Qt::Key_Tab:
            if (key.modifiers() & Qt::ControlModifier) return false;
            userAction([&](Control& box) { static_cast<TextBox&>(box).userTab(shift); });
            return true;
        case Qt::Key_Backtab:
            userAction(
                [&](Control& box) { static_cast<TextBox&>(box).userTab(shift | ShiftMask); });
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Backspace:
            typeKey(static_cast<char32_t>(virtualKey(key.key())));
            return true;
        case Qt::Key_Delete:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
            pressKey(virtualKey(key.key()));
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            pressKey(virtualKey(key.key()));
            // A page editor moves its caret between lines itself.
            if (page_ && control()) {
                static_cast<QObject*>(page_)->event(&key);
                takeEditorSelection();
            }
            return true;
        default:
            break;
    }
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    std::u32string typed = typedCharacters(key);
    if (!typed.empty()) {
        for (char32_t c : typed) {
            typeKey(c);
            if (!control()) break;
        }
        return true;
    }
    if (int code = virtualKey(key.key())) {
        pressKey(code);
        return true;
    }
    return false;
}

}  // namespace kiv
