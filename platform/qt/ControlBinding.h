#pragma once

#include <QObject>
#include <functional>

#include "platform/forms/Control.h"

class QEvent;
class QMouseEvent;
class QWidget;

namespace kiv {

class FormWindow;

// Hands the events of the Qt objects it watches to a function, without a meta-object of its own.
class EventTap : public QObject {
  public:
    using Filter = std::function<bool(QObject*, QEvent*)>;
    explicit EventTap(Filter filter) : filter_(std::move(filter)) {}
    bool eventFilter(QObject* watched, QEvent* event) override { return filter_(watched, event); }

  private:
    Filter filter_;
};

// Keeps one widget in step with one control model: the model's notifications update the widget,
// and what the user does in the widget reaches the model through its user-action functions. Once
// the form is unloaded the binding lets go of the model and the widget stays inert until Qt
// deletes it.
class ControlBinding : public ControlObserver {
  public:
    // With `leftClicks` the left button clicks the control: for controls whose widget has no
    // click of its own (labels, frames, picture boxes).
    ControlBinding(FormWindow& window, Control& control, QWidget& widget, bool leftClicks = false);
    ~ControlBinding() override;
    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;

    // Null once the form is gone.
    Control* control() const { return control_; }
    QWidget& widget() const { return widget_; }
    void detach();
    // Shows every property of the model.
    void refresh();
    void applyGeometry();

    void propertyChanged(Control& control, Property property) override;

  protected:
    // What a kind of control shows beyond the common properties.
    virtual void show(Property property) = 0;
    virtual void applyColors();
    // Events of the watched objects; true when the event was handled here.
    virtual bool filter(QObject* watched, QEvent* event);
    // Watches another object (an inner editor or a viewport) as well as the widget.
    void watch(QObject* object);
    // Runs a user action on the model unless the form is gone; false when it is gone afterwards.
    bool userAction(const std::function<void(Control&)>& action);
    // Mouse buttons other than the left one go to MouseDown and MouseUp; the left one clicks
    // the control when the binding was made with `leftClicks`.
    bool forwardMouse(QEvent* event);
    float twipsX(const QMouseEvent& event) const;
    float twipsY(const QMouseEvent& event) const;

    FormWindow& window_;
    // Set while the widget is being changed from the model, so its signals are not taken for
    // the user's doing.
    bool updating_ = false;

  private:
    void applyFocus();
    Control* control_;
    QWidget& widget_;
    bool leftClicks_;
    EventTap tap_;
};

// A guard that sets a flag for the time it lives.
class Updating {
  public:
    explicit Updating(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~Updating() { flag_ = before_; }
    Updating(const Updating&) = delete;
    Updating& operator=(const Updating&) = delete;

  private:
    bool& flag_;
    bool before_;
};

}  // namespace kiv
