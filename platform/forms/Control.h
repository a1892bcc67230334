#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/forms/ObserverList.h"

namespace kiv {

class Form;
class Control;

// Colours are &HBBGGRR numbers, blue byte first: &HFF0000 is blue, 255 red. Numbers with the
// top bit set name the desktop's own colours.
using Color = uint32_t;

namespace SystemColor {
inline constexpr Color ButtonFace = 0x8000000F;
inline constexpr Color ButtonText = 0x80000012;
inline constexpr Color Window = 0x80000005;
inline constexpr Color WindowText = 0x80000008;
inline constexpr Color Highlight = 0x8000000D;
inline constexpr Color HighlightText = 0x8000000E;
inline constexpr Color AppWorkspace = 0x8000000C;
}  // namespace SystemColor

// The two colours the forms use for a direction of money: blue for income, red for expense.
inline constexpr Color IncomeBlue = 0xFF0000;
inline constexpr Color ExpenseRed = 0x0000FF;

// Key codes of KeyDown/KeyUp, and the characters of KeyPress that the forms test.
namespace Key {
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Delete = 46;
inline constexpr int F2 = 113;
}  // namespace Key

// The key code KeyDown and KeyUp receive for a typed character: its virtual key, so a letter
// comes as its capital whatever the shift state.
inline int keyCodeFor(char32_t c) {
    if (c >= 'a' && c <= 'z') return static_cast<int>(c - 'a' + 'A');
    if (c < 128) return static_cast<int>(c);
    return 229;  // a character that came through the input method
}

// Shift states and mouse buttons as the event handlers receive them.
inline constexpr int ShiftMask = 1, CtrlMask = 2, AltMask = 4;
inline constexpr int LeftButton = 1, RightButton = 2, MiddleButton = 4;

// The face the program's windows and printed reports are drawn in: it has the Traditional
// Chinese characters.
inline constexpr const char* DefaultFontFamily = "Noto Sans CJK TC";

// What changed, for the observers of a control (the Qt host keeps its widgets in step by them).
enum class Property {
    Caption,
    Text,
    Selection,
    Geometry,
    Enabled,
    Visible,
    Colors,
    Font,
    ToolTip,
    Value,
    Items,
    ListIndex,
    Style,
    ZOrder,
    Focus,
    Cells,
    Layout,
    Current,
    Scroll,
};

// Watches a form through one mouse gesture: once a handler has unloaded or hidden the form, the
// rest of the gesture's events no longer reach it, as no more clicks reach a closed window.
class GestureWatch {
  public:
    explicit GestureWatch(const Form& form);
    bool ended() const;

  private:
    const Form& form_;
    bool wasVisible_;
};

class ControlObserver {
  public:
    virtual ~ControlObserver() = default;
    virtual void propertyChanged(Control& control, Property property) = 0;
};

// A control on a form: name, geometry in twips relative to its container, the common properties
// and the events the forms handle. A handler is set by the form, e.g.
// `cmdSv.Click = [this] { cmdSv_Click(); };`. Setting a property from code fires the same events
// the old runtime fired; the user-action functions (user...) are what the hosts call when the
// user acts, and fire the events in the old runtime's order.
class Control {
  public:
    Control(Form& form, std::string name, int index = -1);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    // The index within a control array, -1 for a single control.
    int Index() const { return index_; }
    Form& form() const { return form_; }

    // A frame or picture box holding the control; null for the form itself.
    Control* Container() const { return container_; }
    void SetContainer(Control* container);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int twips);
    void SetTop(int twips);
    void SetWidth(int twips);
    void SetHeight(int twips);
    void Move(int left, int top, int width, int height);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Enabled and visible as the user meets them: a disabled or hidden container disables or
    // hides everything inside it.
    bool IsEffectivelyEnabled() const;
    bool IsEffectivelyVisible() const;

    Color BackColor() const { return backColor_; }
    void SetBackColor(Color color);
    Color ForeColor() const { return foreColor_; }
    void SetForeColor(Color color);

    const std::string& ToolTipText() const { return toolTip_; }
    void SetToolTipText(const std::string& text);

    int TabIndex() const { return tabIndex_; }
    // Moves the control to that place of the form's tab order; the others close up around it.
    void SetTabIndex(int index);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop) { tabStop_ = tabStop; }

    bool FontBold() const { return fontBold_; }
    void SetFontBold(bool bold);
    double FontSize() const { return fontSize_; }
    void SetFontSize(double points);

    // Position in the drawing order: later is on top. ZOrder(0) brings to the front, 1 sends back.
    int ZIndex() const { return zIndex_; }
    void ZOrder(int position = 0);

    // Moves the focus here (a control that cannot take it keeps it where it is).
    void SetFocus();
    bool HasFocus() const;
    virtual bool CanTakeFocus() const;

    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void()> GotFocus;
    std::function<void()> LostFocus;
    // Raised before the focus leaves; setting cancel keeps it here.
    std::function<void(bool& cancel)> Validate;
    // The typed character; a handler may change it, or set it to 0 to drop the key.
    std::function<void(int& keyAscii)> KeyPress;
    std::function<void(int& keyCode, int shift)> KeyDown;
    std::function<void(int& keyCode, int shift)> KeyUp;
    std::function<void(int button, int shift, float x, float y)> MouseDown;
    std::function<void(int button, int shift, float x, float y)> MouseUp;

    // The user clicks the control with the left button: press, focus, release, Click.
    virtual void userClick();
    virtual void userDblClick();
    // The second press of a double click whose first press and release have clicked already:
    // DblClick only (the release that follows is a plain MouseUp).
    void userSecondClick();
    // A press and release of another button (or of the left one without a click).
    void userMouseDown(int button, int shift = 0, float x = 0, float y = 0);
    void userMouseUp(int button, int shift = 0, float x = 0, float y = 0);
    // The user moves the focus here; false when the control losing it refused (Validate).
    bool userFocus();

    void addObserver(ControlObserver* observer) { observers_.add(observer); }
    void removeObserver(ControlObserver* observer) { observers_.remove(observer); }

  protected:
    friend class Form;
    void notify(Property property);
    // True while the control takes no presses of the mouse (a button whose Click still runs).
    virtual bool ignoresPresses() const { return false; }
    // The control has just taken the focus, before its GotFocus runs.
    virtual void focusTaken() {}
    // The press and release of a left click: MouseDown, the focus, MouseUp. False when the click
    // goes no further: the control cannot be clicked, it could not take the focus, or a handler
    // closed the form.
    bool pressAndRelease();
    static void fire(const std::function<void()>& handler) {
        if (handler) handler();
    }

  private:
    Form& form_;
    std::string name_;
    int index_;
    Control* container_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 1215, height_ = 375;
    bool enabled_ = true;
    bool visible_ = true;
    Color backColor_ = SystemColor::ButtonFace;
    Color foreColor_ = SystemColor::ButtonText;
    std::string toolTip_;
    int tabIndex_ = 0;
    bool tabStop_ = true;
    bool fontBold_ = false;
    double fontSize_ = 9;
    int zIndex_ = 0;
    ObserverList<ControlObserver> observers_;
};

// The control itself or the container holding it that stands directly in `container`.
const Control* StandingIn(const Control& control, const Control* container);
// Whether `upper` is drawn above `lower`: compared where they, or the containers holding them,
// stand side by side.
bool DrawnAbove(const Control& upper, const Control& lower);

}  // namespace kiv
