#pragma once

#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <map>
#include <vector>

#include "platform/forms/Form.h"

namespace kiv {

class ControlBinding;

// The window of one form: a top-level widget whose client area (the content) holds a widget per
// control at the controls' twips geometry. It keeps the form's caption, geometry, colour and
// border in step and hands the user's closing, moving, resizing and activating to the form.
class FormWindow : public QWidget, public FormObserver {
  public:
    explicit FormWindow(Form& form);
    ~FormWindow() override;

    // Null once the form is unloaded.
    Form* form() const { return form_; }
    // The form is gone: every binding lets go of its model.
    void detach();

    QWidget* content() const { return content_; }
    // The widget controls inside `container` are children of; the content for the form itself.
    QWidget* containerWidget(const Control* container) const;
    QWidget* widgetOf(const Control& control) const;
    // Puts the children of `parent` in the order of their controls' ZIndex (later on top).
    void restack(QWidget* parent);
    // Gives the focus to the widget of the form's active control.
    void showFocus();

    // Shows the window as the form's geometry and border say, and activates it.
    void present();
    // The event loop of a modal show of this form; ended when the form is hidden or unloaded.
    void setModalLoop(QEventLoop* loop) { modalLoop_ = loop; }
    void endModalLoop();

    void formChanged(Form& form, Property property) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    void buildControls();
    bool leavingHiddenWidget();
    void applyStyle();
    void applyGeometry();
    void applyColors();
    void placeFrame();
    QRect placedOnScreen(QRect frame) const;
    std::vector<QRect> topMostFrames() const;
    // A form whose top lies above the screen is shown from the screen's top edge, without its
    // frame, its client area shifted up by the part above the screen.
    bool aboveScreen() const;
    int clientWidthPixels() const;
    int clientHeightPixels() const;

    Form* form_;
    QWidget* content_;
    std::vector<ControlBinding*> bindings_;
    std::map<const Control*, ControlBinding*> byControl_;
    QPointer<QEventLoop> modalLoop_;
    bool applying_ = false;
    bool placed_ = false;
};

}  // namespace kiv
