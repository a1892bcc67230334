#include "platform/qt/ControlBinding.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include "platform/forms/Form.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/QtLook.h"

namespace kiv {

ControlBinding::ControlBinding(FormWindow& window, Control& control, QWidget& widget,
                               bool leftClicks)
    : window_(window),
      control_(&control),
      widget_(widget),
      leftClicks_(leftClicks),
      tap_([this](QObject* watched, QEvent* event) { return filter(watched, event); }) {
    control.addObserver(this);
    widget.installEventFilter(&tap_);
}

ControlBinding::~ControlBinding() {
    detach();
}

void ControlBinding::detach() {
    if (control_) control_->removeObserver(this);
    control_ = nullptr;
}

void ControlBinding::watch(QObject* object) {
    object->installEventFilter(&tap_);
}

void ControlBinding::refresh() {
    if (!control_) return;
    Updating guard(updating_);
    applyGeometry();
    widget_.setEnabled(control_->Enabled());
    widget_.setToolTip(qs(control_->ToolTipText()));
    widget_.setFont(controlFont(control_->FontSize(), control_->FontBold()));
    applyColors();
    for (Property property : {Property::Caption, Property::Text, Property::Style, Property::Items,
                              Property::Value, Property::ListIndex, Property::Selection,
                              Property::Layout, Property::Cells, Property::Scroll})
        show(property);
    widget_.setVisible(control_->Visible());
}

void ControlBinding::propertyChanged(Control&, Property property) {
    if (!control_) return;
    Updating guard(updating_);
    switch (property) {
        case Property::Geometry:
            applyGeometry();
            break;
        case Property::Enabled:
            widget_.setEnabled(control_->Enabled());
            break;
        case Property::Visible:
            widget_.setVisible(control_->Visible());
            break;
        case Property::Colors:
            applyColors();
            break;
        case Property::Font:
            widget_.setFont(controlFont(control_->FontSize(), control_->FontBold()));
            break;
        case Property::ToolTip:
            widget_.setToolTip(qs(control_->ToolTipText()));
            break;
        case Property::ZOrder:
            window_.restack(widget_.parentWidget());
            break;
        case Property::Focus:
            applyFocus();
            break;
        default:
            break;
    }
    show(property);
}

void ControlBinding::applyGeometry() {
    QWidget* parent = window_.containerWidget(control_->Container());
    if (parent && widget_.parentWidget() != parent) {
        QWidget* before = widget_.parentWidget();
        widget_.setParent(parent);
        widget_.setVisible(control_->Visible());
        window_.restack(parent);
        if (before) window_.restack(before);
    }
    widget_.setGeometry(px(control_->Left()), px(control_->Top()), px(control_->Width()),
                        px(control_->Height()));
}

// The control's colours are its enabled look; disabled, it is drawn as the desktop draws a
// disabled control (grey text, a box on the button face), whatever its colours, so that a control
// that ignores the user never looks as if it would take a key or a click.
void ControlBinding::applyColors() {
    QPalette palette = widget_.palette();
    QColor back = qtColor(control_->BackColor());
    QColor fore = qtColor(control_->ForeColor());
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            palette.setColor(group, role, back);
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, fore);
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, back);
    palette.setColor(QPalette::Disabled, QPalette::Button, back);
    setDisabledLook(palette);
    widget_.setPalette(palette);
}

// The model moves the focus, by the keys as by code: the focus is always drawn, not only after
// Qt's own Tab.
void ControlBinding::applyFocus() {
    if (!control_->HasFocus() || widget_.hasFocus()) return;
    widget_.window()->setAttribute(Qt::WA_KeyboardFocusChange);
    widget_.setFocus(Qt::OtherFocusReason);
}

bool ControlBinding::userAction(const std::function<void(Control&)>& action) {
    if (!control_) return false;
    act([&] { action(*control_); });
    return control_ != nullptr;
}

float ControlBinding::twipsX(const QMouseEvent& event) const {
    return static_cast<float>(event.position().x() * TwipsPerPixel);
}

float ControlBinding::twipsY(const QMouseEvent& event) const {
    return static_cast<float>(event.position().y() * TwipsPerPixel);
}

bool ControlBinding::forwardMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    int button = mouseButton(mouse->button());
    int shift = shiftState(mouse->modifiers());
    bool left = mouse->button() == Qt::LeftButton;
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (left) return leftClicks_;
            userAction([&](Control& c) {
                c.userMouseDown(button, shift, twipsX(*mouse), twipsY(*mouse));
            });
            return true;
        case QEvent::MouseButtonRelease:
            if (!left) {
                userAction([&](Control& c) {
                    c.userMouseUp(button, shift, twipsX(*mouse), twipsY(*mouse));
                });
                return true;
            }
            if (leftClicks_ && widget_.rect().contains(mouse->position().toPoint()))
                userAction([](Control& c) { c.userClick(); });
            return leftClicks_;
        case QEvent::MouseButtonDblClick:
            if (left && leftClicks_) {
                userAction([](Control& c) { c.userSecondClick(); });
                return true;
            }
            return false;
        default:
            return false;
    }
}

bool ControlBinding::filter(QObject*, QEvent* event) {
    if (!control_) return false;
    switch (event->type()) {
        case QEvent::FocusIn: {
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
                control_->HasFocus())
                return false;
            bool taken = false;
            userAction([&](Control& c) { taken = c.userFocus(); });
            // A Validate that refused keeps the focus where the model has it.
            if (!taken && control_)
                QTimer::singleShot(0, &widget_, [this] { window_.showFocus(); });
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return forwardMouse(event);
        default:
            return false;
    }
}

}  // namespace kiv
