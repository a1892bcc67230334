#include "platform/forms/Form.h"

#include <algorithm>

#include "platform/db/Utf8.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Grid.h"
#include "platform/forms/Host.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/Menu.h"

namespace kiv {

namespace {

uint64_t nextFormSerial() {
    static uint64_t last = 0;
    return ++last;
}

}  // namespace

Form::Form(std::string name) : name_(std::move(name)), serial_(nextFormSerial()) {}

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
    // A handler that sizes its own form must not raise Resize again; another form shown or sized
    // from it still gets its own.
    if (inResize_) return;
    inResize_ = true;
    try {
        Form_Resize();
    } catch (...) {
        inResize_ = false;
        throw;
    }
    inResize_ = false;
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
    if (!shownBefore_ && !visible_) fitToScreen();
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
    uint64_t openerSerial = opener ? opener->Serial() : 0;
    modalOwner_ = opener != this ? opener : nullptr;
    modalOwnerSerial_ = openerSerial;
    if (!shownBefore_) placeOverOwner();
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
    if (opener && opener != this && Forms::isAlive(openerSerial) && opener->Visible())
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

Form* Form::ModalOwner() const {
    return modalOwner_ && Forms::isAlive(modalOwnerSerial_) ? modalOwner_ : nullptr;
}

namespace {

// A control that holds rows or other controls: it can be narrowed to make room, its contents
// showing less at once.
bool narrowable(const Control& control) {
    return dynamic_cast<const Grid*>(&control) || dynamic_cast<const Frame*>(&control) ||
           dynamic_cast<const PictureBox*>(&control) || dynamic_cast<const ListBox*>(&control);
}

// The size a control reaching past its room's right (bottom) edge is cut to: it ends as far
// inside the edge as it begins inside the other, at most a margin of 120 twips.
int fittedExtent(int start, int extent, int room) {
    constexpr int Margin = 120;
    if (start + extent <= room) return extent;
    return std::max(0, room - start - std::clamp(start, 0, Margin));
}

void fitInside(const std::vector<Control*>& controls, const Control* container, int width,
               int height) {
    for (Control* control : controls) {
        if (control->Container() != container || !narrowable(*control)) continue;
        int fittedWidth = fittedExtent(control->Left(), control->Width(), width);
        int fittedHeight = fittedExtent(control->Top(), control->Height(), height);
        if (fittedWidth == control->Width() && fittedHeight == control->Height()) continue;
        control->Move(control->Left(), control->Top(), fittedWidth, fittedHeight);
        fitInside(controls, control, fittedWidth, fittedHeight);
    }
}

}  // namespace

// A form larger than the screen would have part of it out of reach: it is made as large as the
// screen, and the grids, frames and lists that reached past its new edges end inside them.
void Form::fitToScreen() {
    if (!hasHost()) return;
    int width = screenWidth(), height = screenHeight();
    if (width <= 0 || height <= 0 || (width_ <= width && height_ <= height)) return;
    Move(std::clamp(left_, 0, width - std::min(width_, width)),
         std::clamp(top_, 0, height - std::min(height_, height)), std::min(width_, width),
         std::min(height_, height));
    fitInside(controls_, nullptr, ScaleWidth(), ScaleHeight());
}

// The middle of the form over the middle of its owner, as far as the screen lets it.
void Form::placeOverOwner() {
    if (!centreOnOwner_ || !modalOwner_) return;
    int left = modalOwner_->Left() + (modalOwner_->Width() - width_) / 2;
    int top = modalOwner_->Top() + (modalOwner_->Height() - height_) / 2;
    if (hasHost() && screenWidth() > 0) {
        left = std::min(left, screenWidth() - width_);
        top = std::min(top, screenHeight() - height_);
    }
    Move(std::max(left, 0), std::max(top, 0), width_, height_);
}

void Form::Post(std::function<void()> action) {
    postAfterEvent([this, serial = serial_, action = std::move(action)] {
        if (Forms::isAlive(serial)) action();
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

// A control that lies beyond the form's edges (a form made shorter than its layout) is not shown,
// so the focus would vanish there: it is no Tab stop until the form shows it again.
bool Form::ShowsWithinEdges(const Control& control) const {
    int left = 0, top = 0;
    for (const Control* at = &control; at; at = at->Container()) {
        left += at->Left();
        top += at->Top();
    }
    return left < ScaleWidth() && top < ScaleHeight();
}

std::vector<Control*> Form::TabOrder() const {
    std::vector<Control*> order;
    for (Control* control : controls_)
        if (control->TabStop() && control->CanTakeFocus() && ShowsWithinEdges(*control))
            order.push_back(control);
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    return order;
}

void Form::FocusNext() {
    moveFocusBy(1);
}

void Form::FocusPrevious() {
    moveFocusBy(-1);
}

// From a control out of the order (or none) Tab goes to the first control, Shift+Tab to the last.
void Form::moveFocusBy(int step) {
    std::vector<Control*> order = TabOrder();
    if (order.empty()) return;
    int count = static_cast<int>(order.size());
    auto at = std::find(order.begin(), order.end(), activeControl_);
    int next = at == order.end() ? (step > 0 ? 0 : count - 1)
                                 : (static_cast<int>(at - order.begin()) + step + count) % count;
    moveFocus(order[next]);
}

std::vector<Control*> Form::controlsByTabIndex() const {
    std::vector<Control*> order = controls_;
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    return order;
}

// As the old runtime did, the other controls are numbered again around the one placed.
void Form::placeInTabOrder(Control* control, int index) {
    std::vector<Control*> order = controlsByTabIndex();
    order.erase(std::remove(order.begin(), order.end(), control), order.end());
    index = std::clamp(index, 0, static_cast<int>(order.size()));
    order.insert(order.begin() + index, control);
    for (size_t i = 0; i < order.size(); ++i)
        order[i]->tabIndex_ = static_cast<int>(i);
}

// The listed controls follow one another in the tab order, in the order listed, from where the
// first of them in that order stood; the others keep their order around them.
void Form::AddToReadingOrder(const std::vector<Control*>& controls) {
    std::vector<Control*> order = controlsByTabIndex();
    auto listed = [&](Control* c) {
        return std::find(controls.begin(), controls.end(), c) != controls.end();
    };
    auto first = std::find_if(order.begin(), order.end(), listed);
    if (first == order.end()) return;
    std::ptrdiff_t at = first - order.begin();
    order.erase(std::remove_if(order.begin(), order.end(), listed), order.end());
    order.insert(order.begin() + at, controls.begin(), controls.end());
    for (size_t i = 0; i < order.size(); ++i)
        order[i]->tabIndex_ = static_cast<int>(i);
    readingOrder_.insert(readingOrder_.end(), controls.begin(), controls.end());
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

namespace {

char32_t lowerAscii(char32_t c) {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// The character a caption marks with "&" (lower case), or 0; "&&" is a plain ampersand.
char32_t accessKeyOf(const std::string& caption) {
    std::u32string chars = toCodePoints(caption);
    for (size_t i = 0; i + 1 < chars.size(); ++i) {
        if (chars[i] != '&') continue;
        if (chars[i + 1] != '&') return lowerAscii(chars[i + 1]);
        ++i;
    }
    return 0;
}

const std::string* captionOf(const Control& control) {
    if (auto* c = dynamic_cast<const Label*>(&control)) return &c->Caption();
    if (auto* c = dynamic_cast<const CommandButton*>(&control)) return &c->Caption();
    if (auto* c = dynamic_cast<const CheckBox*>(&control)) return &c->Caption();
    if (auto* c = dynamic_cast<const OptionButton*>(&control)) return &c->Caption();
    if (auto* c = dynamic_cast<const Frame*>(&control)) return &c->Caption();
    return nullptr;
}

}  // namespace

Control* Form::accessKeyControl(char32_t key) const {
    if (key == 0) return nullptr;
    std::vector<Control*> candidates;
    for (Control* control : controls_) {
        const std::string* caption = captionOf(*control);
        if (caption && control->IsEffectivelyEnabled() && control->IsEffectivelyVisible() &&
            accessKeyOf(*caption) == lowerAscii(key))
            candidates.push_back(control);
    }
    if (candidates.empty()) return nullptr;
    return *std::min_element(candidates.begin(), candidates.end(),
                             [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
}

bool Form::pressAccessKey(char32_t key) {
    Control* control = accessKeyControl(key);
    if (!control) return false;
    HandlerScope scope;
    if (dynamic_cast<Label*>(control) || dynamic_cast<Frame*>(control)) {
        std::vector<Control*> order = TabOrder();
        auto next = std::find_if(order.begin(), order.end(),
                                 [&](Control* c) { return c->TabIndex() > control->TabIndex(); });
        if (next == order.end() && !order.empty()) next = order.begin();
        if (next != order.end()) (*next)->userFocus();
        return true;
    }
    control->userClick();
    return true;
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
    control->tabIndex_ = static_cast<int>(controls_.size());
    controls_.push_back(control);
}

void Form::unregisterControl(Control* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    readingOrder_.erase(std::remove(readingOrder_.begin(), readingOrder_.end(), control),
                        readingOrder_.end());
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
        to->focusTaken();
        if (to->GotFocus) to->GotFocus();
    }
    return activeControl_ == to;
}

void Form::notify(Property property) {
    observers_.tell([&](FormObserver& observer) { observer.formChanged(*this, property); });
}

}  // namespace kiv
