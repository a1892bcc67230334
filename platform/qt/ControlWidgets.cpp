#include "platform/qt/ControlWidgets.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>

#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/Menu.h"
#include "platform/qt/DatePickerWidget.h"
#include "platform/qt/GridWidget.h"
#include "platform/qt/ListWidgets.h"
#include "platform/qt/QtLook.h"
#include "platform/qt/TextBoxWidget.h"

namespace kiv {

ControlBinding* makeControlWidget(FormWindow& window, Control& control, QWidget* parent) {
    if (auto* c = dynamic_cast<Label*>(&control)) return new LabelWidget(window, *c, parent);
    if (auto* c = dynamic_cast<CommandButton*>(&control))
        return new CommandButtonWidget(window, *c, parent);
    if (auto* c = dynamic_cast<TextBox*>(&control)) return new TextBoxWidget(window, *c, parent);
    if (auto* c = dynamic_cast<CheckBox*>(&control)) return new CheckBoxWidget(window, *c, parent);
    if (auto* c = dynamic_cast<OptionButton*>(&control))
        return new OptionButtonWidget(window, *c, parent);
    if (auto* c = dynamic_cast<Frame*>(&control)) return new FrameWidget(window, *c, parent);
    if (auto* c = dynamic_cast<PictureBox*>(&control))
        return new PictureBoxWidget(window, *c, parent);
    if (auto* c = dynamic_cast<ComboBox*>(&control)) return new ComboBoxWidget(window, *c, parent);
    if (auto* c = dynamic_cast<ListBox*>(&control)) return new ListBoxWidget(window, *c, parent);
    if (auto* c = dynamic_cast<DatePicker*>(&control))
        return new DatePickerWidget(window, *c, parent);
    if (auto* c = dynamic_cast<FlatScrollBar*>(&control))
        return new ScrollBarWidget(window, *c, parent);
    if (auto* c = dynamic_cast<Grid*>(&control)) return new GridWidget(window, *c, parent);
    return nullptr;
}

namespace {

bool isEnterKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

LabelWidget::LabelWidget(FormWindow& window, Label& label, QWidget* parent)
    : QLabel(parent), ControlBinding(window, label, *this, true), label_(label) {
    setTextFormat(Qt::RichText);
    setWordWrap(true);
}

namespace {

// A caption's "&" marks its access key, drawn underlined; "&&" is an ampersand. Blanks and line
// breaks stay as they are.
QString labelText(const std::string& caption) {
    QString text = displayText(caption);
    QString shown;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            shown += text[i] == '&' ? QStringLiteral("&amp;")
                                    : QStringLiteral("<u>") + QString(text[i]).toHtmlEscaped() +
                                          QStringLiteral("</u>");
        } else {
            shown += QString(text[i]).toHtmlEscaped();
        }
    }
    return QStringLiteral("<span style=\"white-space:pre-wrap\">") + shown +
           QStringLiteral("</span>");
}

}  // namespace

namespace {

// The caption as plain text: the access key's "&" dropped, "&&" an ampersand.
QString plainCaption(const std::string& caption) {
    QString text = displayText(caption);
    QString shown;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

}  // namespace

void LabelWidget::show(Property property) {
    if (property == Property::Style) {
        setFrameStyle(label_.BorderStyle() == 1 ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
        applyColors();
    }
    if (property == Property::Caption || property == Property::Style || property == Property::Font)
        showCaption();
}

// A label one line high shows a caption too wide for it cut short with an ellipsis at its end
// (never wrapped onto a line below its box), and the whole caption as its tooltip. One lower than
// the font's line shows its glyphs in the middle of its box, so that none loses its top or bottom.
void LabelWidget::showCaption() {
    static constexpr Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    QFontMetrics metrics(font());
    QRect area = contentsRect();
    bool oneLine = area.height() < 2 * metrics.lineSpacing();
    QString plain = plainCaption(label_.Caption());
    // A framed label keeps half an "x" clear of its frame, unless its text needs that room to show
    // whole (it would wrap out of sight).
    int indent = frameWidth() > 0 ? metrics.horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    bool fitsInside = metrics.horizontalAdvance(plain) <= area.width() - indent;
    setIndent(fitsInside ? -1 : 0);
    cut_ = oneLine && !plain.contains('\n') && metrics.horizontalAdvance(plain) > area.width();
    // A rich text's line takes a pixel more than the font's height.
    low_ = oneLine && area.height() <= metrics.height() + 1;
    setAlignment(horizontal[std::clamp(label_.Alignment(), 0, 2)] | Qt::AlignTop);
    if (cut_ || low_) {
        setWordWrap(false);
        setTextFormat(Qt::PlainText);
        setText(cut_ ? metrics.elidedText(plain, Qt::ElideRight, area.width()) : plain);
    } else {
        setTextFormat(Qt::RichText);
        setWordWrap(true);
        setText(labelText(label_.Caption()));
    }
}

// The text of a label lower than the font's line is drawn by its glyphs' middle on the box's
// middle: the line's own room above the glyphs would push a comma's tail out at the bottom.
void LabelWidget::paintEvent(QPaintEvent* event) {
    if (!low_) {
        QLabel::paintEvent(event);
        return;
    }
    QFrame::paintEvent(event);
    QPainter painter(this);
    QRect area = contentsRect();
    QFontMetrics metrics(font());
    QRect ink = metrics.tightBoundingRect(QStringLiteral("國1,"));
    int baseline = area.top() + (area.height() - ink.height()) / 2 - ink.top();
    int width = metrics.horizontalAdvance(text());
    int left = label_.Alignment() == 1   ? area.right() + 1 - width
               : label_.Alignment() == 2 ? area.left() + (area.width() - width) / 2
                                         : area.left();
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(QPoint(left, baseline), text());
}

void LabelWidget::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (control()) showCaption();
}

bool LabelWidget::filter(QObject* watched, QEvent* event) {
    if (control() && cut_ && event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                           plainCaption(label_.Caption()), this);
        return true;
    }
    return ControlBinding::filter(watched, event);
}

void LabelWidget::applyColors() {
    ControlBinding::applyColors();
    setAutoFillBackground(label_.BackStyle() == 1);
}

CommandButtonWidget::CommandButtonWidget(FormWindow& window, CommandButton& button, QWidget* parent)
    : QPushButton(parent), ControlBinding(window, button, *this), button_(button) {
    // The model moves the focus as part of the click, after MouseDown as the old runtime did.
    setFocusPolicy(Qt::TabFocus);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this,
            [this] { userAction([](Control& c) { c.userClick(); }); });
}

void CommandButtonWidget::show(Property property) {
    if (property == Property::Caption) setText(displayText(button_.Caption()));
    if (property == Property::Style) {
        setDefault(button_.Default());
        applyColors();
    }
}

// A standard button is drawn in the desktop's face; a graphical one is filled flat with its own
// colour, its caption using the whole width as the old buttons did.
void CommandButtonWidget::applyColors() {
    QPalette palette = QPushButton::palette();
    palette.setColor(QPalette::Button, qtColor(SystemColor::ButtonFace));
    for (auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::ButtonText, qtColor(button_.ForeColor()));
    setDisabledLook(palette);
    setPalette(palette);
    if (button_.Style() != 1) {
        setStyleSheet(QString());
        return;
    }
    QColor face = qtColor(button_.BackColor());
    setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: %2; padding: 0px;"
                       " border: 1px solid #808080; border-top-color: #ffffff;"
                       " border-left-color: #ffffff; }"
                       " QPushButton:pressed { background-color: %3; border-color: #808080; }"
                       " QPushButton:disabled { color: #a0a0a0; }")
            .arg(face.name(), qtColor(button_.ForeColor()).name(), face.darker(115).name()));
}

// The style draws a default button as it draws a focused one, and a graphical button's style
// sheet draws no focus at all: the dotted rectangle inside the edge marks the focus on every
// button, as the old buttons showed it.
void CommandButtonWidget::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus() || !control()) return;
    QPainter painter(this);
    QPen pen(qtColor(button_.ForeColor()));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(3, 3, -4, -4));
}

bool CommandButtonWidget::filter(QObject* watched, QEvent* event) {
    if (!control()) return false;
    if (isEnterKey(event)) {
        userAction([](Control& c) { c.userClick(); });
        return true;
    }
    return ControlBinding::filter(watched, event);
}

CheckBoxWidget::CheckBoxWidget(FormWindow& window, CheckBox& box, QWidget* parent)
    : ModelButton(window, box, parent), box_(box) {
    setTristate(true);
}

void CheckBoxWidget::show(Property property) {
    if (property == Property::Caption) setText(displayText(box_.Caption()));
    if (property == Property::Value) {
        static constexpr Qt::CheckState states[] = {Qt::Unchecked, Qt::Checked,
                                                    Qt::PartiallyChecked};
        setCheckState(states[std::clamp(box_.Value(), 0, 2)]);
    }
}

OptionButtonWidget::OptionButtonWidget(FormWindow& window, OptionButton& option, QWidget* parent)
    : ModelButton(window, option, parent), option_(option) {
    // The model keeps the options of a container exclusive, arrays included.
    setAutoExclusive(false);
}

void OptionButtonWidget::show(Property property) {
    if (property == Property::Caption) setText(displayText(option_.Caption()));
    if (property == Property::Value) setChecked(option_.Value());
}

// The arrow keys go from option to option of the group, choosing each as they go.
bool OptionButtonWidget::filter(QObject* watched, QEvent* event) {
    if (!control()) return false;
    if (watched == this && event->type() == QEvent::KeyPress &&
        !(static_cast<QKeyEvent*>(event)->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        int key = static_cast<QKeyEvent*>(event)->key();
        bool forward = key == Qt::Key_Down || key == Qt::Key_Right;
        if (forward || key == Qt::Key_Up || key == Qt::Key_Left) {
            userAction([forward](Control& c) { static_cast<OptionButton&>(c).userArrow(forward); });
            return true;
        }
    }
    return ControlBinding::filter(watched, event);
}

FrameWidget::FrameWidget(FormWindow& window, Frame& frame, QWidget* parent)
    : QGroupBox(parent), ControlBinding(window, frame, *this, true), frame_(frame) {
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

void FrameWidget::show(Property property) {
    if (property == Property::Caption) setTitle(displayText(frame_.Caption()));
    // A frame without a border only groups its controls: nothing of it is drawn.
    if (property == Property::Style)
        setStyleSheet(frame_.BorderStyle() == 0
                          ? QStringLiteral("QGroupBox { border: none; margin: 0px; padding: 0px; }")
                          : QString());
}

PictureBoxWidget::PictureBoxWidget(FormWindow& window, PictureBox& picture, QWidget* parent)
    : QFrame(parent), ControlBinding(window, picture, *this, true), picture_(picture) {
    setAutoFillBackground(true);
}

void PictureBoxWidget::show(Property property) {
    if (property == Property::Style)
        setFrameStyle(picture_.BorderStyle() == 1 ? QFrame::Panel | QFrame::Sunken
                                                  : QFrame::NoFrame);
}

ScrollBarWidget::ScrollBarWidget(FormWindow& window, FlatScrollBar& bar, QWidget* parent)
    : QScrollBar(parent), ControlBinding(window, bar, *this), bar_(bar) {
    // Tab reaches the bar and the arrow keys move it, so that paging needs no mouse; a click on
    // it leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    // The bar's Change comes once the user lets go of the thumb, not at every step of a drag.
    setTracking(false);
    connect(this, &QScrollBar::valueChanged, this, [this](int value) {
        if (!updating_) takeValue(value);
    });
}

void ScrollBarWidget::show(Property property) {
    if (property == Property::Style) {
        setOrientation(bar_.Orientation() == 0 ? Qt::Vertical : Qt::Horizontal);
        setRange(std::min(bar_.Min(), bar_.Max()), std::max(bar_.Min(), bar_.Max()));
        setInvertedAppearance(bar_.Min() > bar_.Max());
        setSingleStep(std::max(1, bar_.SmallChange()));
        setPageStep(std::max(1, bar_.LargeChange()));
    }
    if (property == Property::Style || property == Property::Value) setValue(bar_.Value());
}

// The arrow keys step as the bar's arrows do: left and up towards the minimum, right and down
// towards the maximum; the page keys step by the bar's large change, Home and End go to its ends.
// (A scroll bar of Qt steps a horizontal bar the other way.) The bar's model steps, after its
// KeyDown, from the range as it then stands.
void ScrollBarWidget::keyPressEvent(QKeyEvent* event) {
    const int code = virtualKey(event->key());
    const bool steps = code == Key::Left || code == Key::Up || code == Key::Right ||
                       code == Key::Down || code == Key::PageUp || code == Key::PageDown ||
                       code == Key::Home || code == Key::End;
    if (!steps) {
        QScrollBar::keyPressEvent(event);
        return;
    }
    const int shift = shiftState(event->modifiers());
    if (!userAction(
            [code, shift](Control& c) { static_cast<FlatScrollBar&>(c).userKeyDown(code, shift); }))
        return;
    Updating guard(updating_);
    setValue(bar_.Value());
}

// The style draws no focus on a scroll bar, yet the arrow keys move the bar that has it: a dotted
// frame on its thumb shows the user which bar that is.
void ScrollBarWidget::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (!hasFocus()) return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    if (thumb.isEmpty()) thumb = rect();
    QPainter painter(this);
    QPen pen(QColor(0, 0, 0));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(thumb.adjusted(1, 1, -2, -2));
}

void ScrollBarWidget::takeValue(int value) {
    if (!userAction([value](Control& c) { static_cast<FlatScrollBar&>(c).userScroll(value); }))
        return;
    Updating guard(updating_);
    setValue(bar_.Value());
}

}  // namespace kiv
