#include "platform/forms/Control.h"

#include <algorithm>

#include "platform/forms/Form.h"

namespace kiv {

GestureWatch::GestureWatch(const Form& form) : form_(form), wasVisible_(form.Visible()) {}

bool GestureWatch::ended() const {
    return form_.IsUnloaded() || (wasVisible_ && !form_.Visible());
}

Control::Control(Form& form, std::string name, int index)
    : form_(form), name_(std::move(name)), index_(index) {
    form_.registerControl(this);
    zIndex_ = form_.nextZIndex();
}

Control::~Control() {
    form_.unregisterControl(this);
}

void Control::SetContainer(Control* container) {
    container_ = container;
    notify(Property::Geometry);
}

void Control::SetLeft(int twips) {
    Move(twips, top_, width_, height_);
}
void Control::SetTop(int twips) {
    Move(left_, twips, width_, height_);
}
void Control::SetWidth(int twips) {
    Move(left_, top_, twips, height_);
}
void Control::SetHeight(int twips) {
    Move(left_, top_, width_, twips);
}

void Control::Move(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    notify(Property::Geometry);
}

void Control::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    notify(Property::Enabled);
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    notify(Property::Visible);
}

bool Control::IsEffectivelyEnabled() const {
    for (const Control* c = this; c; c = c->container_)
        if (!c->enabled_) return false;
    return true;
}

bool Control::IsEffectivelyVisible() const {
    for (const Control* c = this; c; c = c->container_)
        if (!c->visible_) return false;
    return true;
}

void Control::SetBackColor(Color color) {
    if (color == backColor_) return;
    backColor_ = color;
    notify(Property::Colors);
}

void Control::SetForeColor(Color color) {
    if (color == foreColor_) return;
    foreColor_ = color;
    notify(Property::Colors);
}

void Control::SetToolTipText(const std::string& text) {
    toolTip_ = text;
    notify(Property::ToolTip);
}

void Control::SetTabIndex(int index) {
    form_.placeInTabOrder(this, index);
}

void Control::SetFontBold(bool bold) {
    fontBold_ = bold;
    notify(Property::Font);
}

void Control::SetFontSize(double points) {
    fontSize_ = points;
    notify(Property::Font);
}

void Control::ZOrder(int position) {
    zIndex_ = position == 0 ? form_.nextZIndex() : -form_.nextZIndex();
    notify(Property::ZOrder);
}

void Control::SetFocus() {
    if (CanTakeFocus()) form_.moveFocus(this);
}

bool Control::HasFocus() const {
    return form_.ActiveControl() == this;
}

bool Control::CanTakeFocus() const {
    return IsEffectivelyEnabled() && IsEffectivelyVisible();
}

bool Control::pressAndRelease() {
    if (!IsEffectivelyEnabled() || !IsEffectivelyVisible() || ignoresPresses()) return false;
    GestureWatch gesture(form_);
    if (MouseDown) MouseDown(LeftButton, 0, 0, 0);
    if (gesture.ended() || (CanTakeFocus() && !form_.moveFocus(this))) return false;
    if (MouseUp) MouseUp(LeftButton, 0, 0, 0);
    return !gesture.ended();
}

void Control::userClick() {
    if (pressAndRelease()) fire(Click);
}

void Control::userDblClick() {
    if (!IsEffectivelyEnabled() || !IsEffectivelyVisible() || ignoresPresses()) return;
    GestureWatch gesture(form_);
    userClick();
    if (!gesture.ended()) fire(DblClick);
}

void Control::userSecondClick() {
    if (!IsEffectivelyEnabled() || !IsEffectivelyVisible() || ignoresPresses()) return;
    fire(DblClick);
}

void Control::userMouseDown(int button, int shift, float x, float y) {
    if (!IsEffectivelyEnabled() || ignoresPresses()) return;
    if (MouseDown) MouseDown(button, shift, x, y);
}

void Control::userMouseUp(int button, int shift, float x, float y) {
    if (!IsEffectivelyEnabled() || ignoresPresses()) return;
    if (MouseUp) MouseUp(button, shift, x, y);
}

bool Control::userFocus() {
    return CanTakeFocus() && form_.moveFocus(this);
}

void Control::notify(Property property) {
    observers_.tell([&](ControlObserver& observer) { observer.propertyChanged(*this, property); });
}

const Control* StandingIn(const Control& control, const Control* container) {
    for (const Control* c = &control; c; c = c->Container())
        if (c->Container() == container) return c;
    return nullptr;
}

bool DrawnAbove(const Control& upper, const Control& lower) {
    for (const Control* shared = lower.Container();; shared = shared->Container()) {
        const Control* a = StandingIn(upper, shared);
        const Control* b = StandingIn(lower, shared);
        if (a && b) return a != b && a->ZIndex() > b->ZIndex();
        if (!shared) return false;
    }
}

}  // namespace kiv
