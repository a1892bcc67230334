#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/Control.h"

namespace kiv {

class Menu;

// How Show shows a form.
inline constexpr int Modeless = 0;
inline constexpr int Modal = 1;

// Why a form is closing, as QueryUnload and Unload receive it.
inline constexpr int UnloadByFrame = 0;  // the window frame's close box (or Esc in a dialog)
inline constexpr int UnloadByCode = 1;

class FormObserver {
  public:
    virtual ~FormObserver() = default;
    virtual void formChanged(Form& form, Property property) = 0;
};

// A form: one program-wide instance per class, made by the registry (Forms) on first use, which
// also runs Form_Load. A form class declares its controls as members named as on the form and
// overrides the events it handles.
class Form {
  public:
    explicit Form(std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    // Numbers every form made in this run, never given twice: an address can be reused by a
    // later form, this cannot.
    uint64_t Serial() const { return serial_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // Outer geometry in twips, window frame included.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int twips);
    void SetTop(int twips);
    void SetWidth(int twips);
    void SetHeight(int twips);
    void Move(int left, int top, int width, int height);
    // The inner size, the window frame and title bar taken off.
    int ScaleWidth() const;
    int ScaleHeight() const;
    void SetClientSize(int width, int height);

    // The title bar and frame: 0 none, 1 fixed single, 2 sizable, 3 fixed dialog,
    // 4 fixed tool window, 5 sizable tool window.
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    static constexpr int TitleBarTwips = 290;
    static constexpr int FrameTwips = 60;
    // The window frame around the inner area: the title bar above and a border at the sides and
    // below; a tool window has its title bar only.
    int TitleBarHeight() const { return borderStyle_ == 0 ? 0 : TitleBarTwips; }
    int BorderWidth() const { return borderStyle_ == 0 || borderStyle_ >= 4 ? 0 : FrameTwips; }

    Color BackColor() const { return backColor_; }
    void SetBackColor(Color color);
    Color ForeColor() const { return foreColor_; }
    void SetForeColor(Color color);
    // Stays above every other window of the desktop.
    bool TopMost() const { return topMost_; }
    void SetTopMost(bool topMost);
    // Placed in the middle of the screen when first shown.
    bool CentreOnScreen() const { return centreOnScreen_; }
    void SetCentreOnScreen(bool centre) { centreOnScreen_ = centre; }
    // Shown modally the first time, placed over the middle of the form that showed it.
    bool CentreOnOwner() const { return centreOnOwner_; }
    void SetCentreOnOwner(bool centre) { centreOnOwner_ = centre; }
    bool MinButton() const { return minButton_; }
    void SetMinButton(bool shown) { minButton_ = shown; }
    bool MaxButton() const { return maxButton_; }
    void SetMaxButton(bool shown) { maxButton_ = shown; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool preview) { keyPreview_ = preview; }

    // Shown on the screen (modal or modeless).
    bool Visible() const { return visible_; }
    bool IsModal() const { return modal_; }
    bool IsUnloaded() const { return unloaded_; }

    // Shows the form. A modal show returns when the form is hidden or unloaded; showing a modeless
    // form again brings it to the front; a modal show of a form shown modeless unloads it and
    // shows a fresh instance.
    void Show(int modal = Modeless);
    // Hides the form and ends a modal show of it; it stays loaded.
    void Hide();
    // Unloads the form (QueryUnload and Unload may cancel).
    void Unload();
    // Shows a pop-up menu at the mouse; the chosen entry's Click runs before it returns.
    void PopupMenu(Menu& menu);

    // Every control, in the order created.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* FindControl(const std::string& name, int index = -1) const;
    Control* ActiveControl() const { return activeControl_; }
    // The controls Tab goes through, in order: those with a tab stop that can take the focus.
    std::vector<Control*> TabOrder() const;
    // False for a control placed beyond the form's edges, which the window does not show.
    bool ShowsWithinEdges(const Control& control) const;
    // Moves the focus to the next (previous) control in tab order, as Tab (Shift+Tab) does.
    void FocusNext();
    void FocusPrevious();
    // The controls in the order the form's layout lists them, which is the order the window
    // reads; the layout puts them in this order of Tab as well.
    const std::vector<Control*>& ReadingOrder() const { return readingOrder_; }
    void AddToReadingOrder(const std::vector<Control*>& controls);
    // The form that was active when this one was shown modally, while it is still loaded: the
    // window the modal show belongs to.
    Form* ModalOwner() const;
    // The old queued "{TAB}": the focus moves on once the current event has been handled.
    void FocusNextAfterEvent();
    // Runs `action` after the current event, unless the form is unloaded by then.
    void Post(std::function<void()> action);
    // Enter presses the default button and Esc the cancel button, the first of the form that is
    // enabled and shown; false when the key is another or there is no such button.
    bool pressButtonForKey(int keyCode);
    // Alt with a letter or digit: the control whose caption marks it with "&" acts. A label or
    // frame gives the focus to the next control in tab order after it; a button is pressed; a
    // check box or option button is clicked. False when no enabled, shown control has that key.
    bool pressAccessKey(char32_t key);
    Control* accessKeyControl(char32_t key) const;

    // Whether the form holds input not yet stored, which closing it would throw away; another
    // form's action then never closes it (UnloadUnlessUnsaved).
    virtual bool HoldsUnsavedInput() const { return false; }
    // The work the form does, as a refusal to close it names it: its caption unless it says
    // otherwise.
    virtual std::string WorkName() const { return Caption(); }

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_QueryUnload(int& /*cancel*/, int /*unloadMode*/) {}
    virtual void Form_Unload(int& /*cancel*/) {}
    virtual void Form_Resize() {}
    virtual void Form_KeyPress(int& /*keyAscii*/) {}

    // The user closes the window through its frame: QueryUnload and Unload with UnloadByFrame.
    void userClose();
    // The window was resized or moved by the user (outer twips); Resize follows a size change.
    void userMoved(int left, int top);
    void userResized(int width, int height);
    // The window became the active one.
    void userActivated();

    void addObserver(FormObserver* observer) { observers_.add(observer); }
    void removeObserver(FormObserver* observer) { observers_.remove(observer); }

    // Called by the registry and the controls; not by form code.
    void registerControl(Control* control);
    void unregisterControl(Control* control);
    // Puts the control at `index` of the tab order, the others keeping their order around it.
    void placeInTabOrder(Control* control, int index);
    bool moveFocus(Control* to);
    int nextZIndex() { return ++lastZIndex_; }
    void setShown(bool visible, bool modal);
    void markUnloaded() { unloaded_ = true; }
    bool tryUnload(int unloadMode);
    void raiseActivate();

  private:
    void notify(Property property);
    void resized();
    std::vector<Control*> controlsByTabIndex() const;
    void moveFocusBy(int step);
    void appear();
    void fitToScreen();
    void placeOverOwner();

    std::string name_;
    const uint64_t serial_;
    std::string caption_;
    int left_ = 0, top_ = 0, width_ = 4800, height_ = 3600;
    int borderStyle_ = 2;
    Color backColor_ = SystemColor::ButtonFace;
    Color foreColor_ = SystemColor::ButtonText;
    bool topMost_ = false;
    bool centreOnScreen_ = false;
    bool centreOnOwner_ = false;
    bool minButton_ = true;
    bool maxButton_ = true;
    bool keyPreview_ = false;
    bool visible_ = false;
    bool modal_ = false;
    bool unloaded_ = false;
    bool shownBefore_ = false;
    bool inResize_ = false;
    std::vector<Control*> controls_;
    Control* activeControl_ = nullptr;
    std::vector<Control*> readingOrder_;
    Form* modalOwner_ = nullptr;
    uint64_t modalOwnerSerial_ = 0;
    int lastZIndex_ = 0;
    ObserverList<FormObserver> observers_;
};

}  // namespace kiv
