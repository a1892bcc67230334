#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace kiv {

class Form;
class Menu;

// Message box styles are the old runtime's numbers: buttons + icon + default button. The forms
// name them.
enum MessageStyle : int {
    MessagePlain = 0,              // OK alone
    MessageCritical = 16,          // OK, critical icon
    MessageExclamation = 48,       // OK, exclamation icon
    MessageInformation = 64,       // OK, information icon
    MessageYesNoCancel = 35,       // Yes/No/Cancel, question icon
    MessageYesNoExclamation = 52,  // Yes/No, exclamation icon
    MessageYesNoDefaultNo = 292,   // Yes/No, question icon, No the default
};
enum MessageAnswer { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

// The titles messages carry, as the system has always spelt them. ApplicationTitle is also shown
// on message boxes that are given none.
inline constexpr const char* ApplicationTitle = "Kiv";
inline constexpr const char* CapitalsTitle = "KIV";
inline constexpr const char* SuiteTitle = "Mora III";
inline constexpr const char* NoTitle = "";

struct ScreenSize {
    int width = 0;   // twips
    int height = 0;  // twips
};

// The one door to the desktop. The real program runs on the Qt host; tests on the headless one.
class Host {
  public:
    virtual ~Host() = default;

    // A form was created and loaded; the host may build its window.
    virtual void formLoaded(Form& form) = 0;
    virtual void showModeless(Form& form) = 0;
    // Shows the form modally and returns only when it is hidden or unloaded.
    virtual void runModal(Form& form) = 0;
    virtual void formHidden(Form& form) = 0;
    // The form is gone: its window goes, and a modal show of it returns.
    virtual void formUnloaded(Form& form) = 0;
    virtual void bringToFront(Form& form) = 0;

    // Returns the button pressed as a number (1 OK, 2 Cancel, 6 Yes, 7 No). A title of nullopt
    // means none was given (the application's title is shown); "" is an empty title.
    virtual int messageBox(const std::string& text, int style,
                           const std::optional<std::string>& title) = 0;
    // The text entered, or "" when cancelled.
    virtual std::string inputBox(const std::string& prompt, const std::optional<std::string>& title,
                                 const std::string& defaultText) = 0;
    // Shows a pop-up menu at the mouse and returns the entry chosen, or nullptr.
    virtual Menu* popupMenu(Form& form, Menu& menu) = 0;
    virtual void beep() = 0;
    // Ends the program at once: no form is unloaded.
    [[noreturn]] virtual void endProgram() = 0;
    // Opens a file with the desktop's default program; false when nothing could open it.
    virtual bool openWithDesktop(const std::string& path) = 0;
    virtual ScreenSize screenSize() = 0;
    // Waits this long while events go on being handled, without keeping the processor busy.
    virtual void waitWhileProcessingEvents(int milliseconds) = 0;
    // Runs `action` after the current event has been handled.
    virtual void post(std::function<void()> action) = 0;
    // 0 default, 11 hourglass, 13 arrow and hourglass.
    virtual void setMousePointer(int pointer) = 0;
};

void setHost(Host* host);
Host& host();
bool hasHost();

int messageBox(const std::string& text, int style = 0,
               const std::optional<std::string>& title = std::nullopt);
std::string inputBox(const std::string& prompt,
                     const std::optional<std::string>& title = std::nullopt,
                     const std::string& defaultText = "");
void beep();
[[noreturn]] void endProgram();
// Ends the program with a failing exit status, so that whatever started it (a desktop launcher, a
// script) knows it could not run: a start that found its books unreadable.
[[noreturn]] void endProgramInFailure();
// The status the program ends with: 0 unless it ended in failure.
int programExitStatus();
void waitWhileProcessingEvents(int milliseconds);
void postAfterEvent(std::function<void()> action);
bool openWithDesktop(const std::string& path);

// Screen geometry in twips; 15 twips a pixel whatever the screen's resolution.
inline constexpr int TwipsPerPixel = 15;
int screenWidth();
int screenHeight();
void setMousePointer(int pointer);

// An error an action lets go up to the user in a message style of its own instead of the
// critical one: the staff form's save shows a database error's description plainly.
class StyledError : public std::runtime_error {
  public:
    StyledError(const std::string& text, int style) : std::runtime_error(text), style_(style) {}
    int style() const { return style_; }

  private:
    int style_;
};

// Runs one user action: an error that escapes it is shown in a message box (title "Kiv", the
// error's text, a critical icon unless it is a StyledError) instead of ending the program; its
// transactions have rolled back on the way out. Forms unloaded during the action are destroyed
// once no handler is running any more, and no read of the action stays open after it.
void runUserAction(const std::function<void()>& action);

// Work to do when the program ends, however it ends (closing the databases); the host that ends
// the program runs it once, in the order registered.
void onProgramEnd(std::function<void()> callback);
void runProgramEndCallbacks();

}  // namespace kiv
