#include "platform/forms/Form.h"

#include <algorithm>

#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Host.h"
#include "platform/forms/Menu.h"

namespace kiv {

Form::Form(std::string name) : name_(std::move(name)) {}

Form::~Form() = default;

void Form::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    notify(Property::Caption);
}

void Form::SetLeft(int twips) {
    Move(twips, top_, width_, height_);
}
void Form::SetTop(int twips) {
    Move(left_, twips, width_, height_);
}
void Form::SetWidth(int twips) {
    Move(left_, top_, twips, height_);
}
void Form::SetHeight(int twips) {
    Move(left_, top_, width_, twips);
}

void Form::Move(int left, int top, int width, int height) {
    bool sizeChanged = width != width_ || height != height_;
    if (!sizeChanged && left == left_ && top == top_) return;
    left_ = left;
    top_ = top;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    notify(Property::Geometry);
    if (sizeChanged && visible_) resized();
}

int Form::ScaleWidth() const {
    return std::max(0, width_ - 2 * BorderWidth());
}

int Form::ScaleHeight() const {
    return std::max(0, height_ - TitleBarHeight() - BorderWidth());
}

void Form::SetClientSize(int width, int height) {
    Move(left_, top_, width + 2 * BorderWidth(), height + TitleBarHeight() + BorderWidth());
}

void Form::SetBorderStyle(int style) {
    borderStyle_ = style;
    notify(Property::Style);
}

void Form::SetBackColor(Color color) {
    backColor_ = color;
    notify(Property::Colors);
}

void Form::SetForeColor(Color color) {
    foreColor_ = color;
    notify(Property::Colors);
}

void Form::SetTopMost(bool topMost) {
    topMost_ = topMost;
    notify(Property::Style);
}

void Form::resized() {
    // A handler that sizes its own form must not raise Resize again.
    static bool inResize = false;
    if (inResize) return;
    inResize = true;
    try {
        Form_Resize();
    } catch (...) {
        inResize = false;
        throw;
    }
    inResize = false;
}

void Form::raiseActivate() {
    Forms::setActiveForm(this);
    Form_Activate();
}

void Form::setShown(bool visible, bool modal) {
    visible_ = visible;
    modal_ = visible && modal;
    notify(Property::Visible);
}

void Form::Show(int modal) {
    if (unloaded_) return;
    HandlerScope scope;
    if (modal == Modeless) {
        if (visible_) {
            host().bringToFront(*this);
            return;
        }
        setShown(true, false);
        host().showModeless(*this);
        appear();
        return;
    }
    if (visible_) {
        if (modal_) return;
        // A form shown modeless is put away and a fresh instance is shown modally.
        std::string name = name_;
        Forms::unload(*this);
        if (!unloaded_) return;
        if (Form* fresh = Forms::getByName(name)) fresh->Show(Modal);
        return;
    }
    Form* opener = Forms::activeForm();
    setShown(true, true);
    Forms::pushModal(this);
    // However the show ends, even by an error, the form leaves the modal chain.
    struct ModalScope {
        Form& form;
        ~ModalScope() {
            Forms::popModal(&form);
            if (form.modal_ && !form.unloaded_) form.setShown(false, false);
        }
    } modalScope{*this};
    appear();
    if (!unloaded_ && visible_) host().runModal(*this);
    if (opener && opener != this && Forms::isAlive(opener) && opener->Visible())
        opener->raiseActivate();
}

// A form appears as the old runtime showed it: the first display sizes it, then it becomes the
// active form, and then (unless its Load chose one) the first control in tab order takes the
// focus.
void Form::appear() {
    bool first = !shownBefore_;
    shownBefore_ = true;
    if (first) resized();
    if (unloaded_ || !visible_) return;
    raiseActivate();
    if (first && !activeControl_ && !unloaded_ && visible_) FocusNext();
}

void Form::Post(std::function<void()> action) {
    postAfterEvent([this, action = std::move(action)] {
        if (Forms::isAlive(this)) action();
    });
}

void Form::FocusNextAfterEvent() {
    Post([this] { FocusNext(); });
}

void Form::Hide() {
    if (!visible_) return;
    bool wasModal = modal_;
    setShown(false, false);
    host().formHidden(*this);
    if (wasModal) Forms::popModal(this);
}

void Form::Unload() {
    Forms::unload(*this);
}

void Form::PopupMenu(Menu& menu) {
    if (Menu* chosen = host().popupMenu(*this, menu)) chosen->userClick();
}

bool Form::tryUnload(int unloadMode) {
    if (unloaded_) return true;
    int cancel = 0;
    Form_QueryUnload(cancel, unloadMode);
    if (cancel) return false;
    Form_Unload(cancel);
    if (cancel) return false;
    unloaded_ = true;
    bool wasVisible = visible_;
    visible_ = false;
    modal_ = false;
    if (wasVisible) notify(Property::Visible);
    return true;
}

Control* Form::FindControl(const std::string& name, int index) const {
    for (Control* control : controls_)
        if (control->Name() == name && control->Index() == index) return control;
    return nullptr;
}

void Form::FocusNext() {
    std::vector<Control*> order;
    for (Control* control : controls_)
        if (control->TabStop() && control->CanTakeFocus()) order.push_back(control);
    if (order.empty()) return;
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    auto at = std::find(order.begin(), order.end(), activeControl_);
    Control* next = at == order.end() || at + 1 == order.end() ? order.front() : *(at + 1);
    moveFocus(next);
}

bool Form::pressButtonForKey(int keyCode) {
    if (keyCode != Key::Enter && keyCode != Key::Escape) return false;
    for (Control* control : controls_) {
        auto* button = dynamic_cast<CommandButton*>(control);
        bool forKey = button && (keyCode == Key::Enter ? button->Default() : button->Cancel());
        if (forKey && button->IsEffectivelyEnabled() && button->IsEffectivelyVisible()) {
            button->userClick();
            return true;
        }
    }
    return false;
}

void Form::userClose() {
    HandlerScope scope;
    if (tryUnload(UnloadByFrame)) Forms::formUnloaded(*this);
}

void Form::userMoved(int left, int top) {
    if (left == left_ && top == top_) return;
    left_ = left;
    top_ = top;
}

void Form::userResized(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    resized();
}

void Form::userActivated() {
    if (Forms::activeForm() != this && visible_ && !unloaded_) raiseActivate();
}

void Form::registerControl(Control* control) {
    control->SetTabIndex(static_cast<int>(controls_.size()));
    controls_.push_back(control);
}

void Form::unregisterControl(Control* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (activeControl_ == control) activeControl_ = nullptr;
}

bool Form::moveFocus(Control* to) {
    if (to == activeControl_) return true;
    Control* from = activeControl_;
    if (from && from->Validate) {
        bool cancel = false;
        from->Validate(cancel);
        if (cancel) return false;
    }
    activeControl_ = to;
    if (from) {
        from->notify(Property::Focus);
        if (from->LostFocus) from->LostFocus();
    }
    if (to && activeControl_ == to) {
        to->notify(Property::Focus);
        if (to->GotFocus) to->GotFocus();
    }
    return activeControl_ == to;
}

void Form::notify(Property property) {
    observers_.tell([&](FormObserver& observer) { observer.formChanged(*this, property); });
}

}  // namespace kiv
