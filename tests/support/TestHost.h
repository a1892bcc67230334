#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/Date.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Grid.h"
#include "platform/forms/Host.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/Menu.h"

namespace kiv {

// Thrown when the program ends (the exit button, a third failed login); tests expect it.
struct ProgramEnded {};

// A host without a screen. A test queues the answers of the message and input boxes to come,
// scripts what the user does in a form shown modally, acts on controls as the user would, and
// reads back every message shown. A box nobody answered, a modal form without a script, or
// answers left over fail the test.
class TestHost : public Host {
  public:
    struct Message {
        std::string text;
        int style = 0;
        std::optional<std::string> title;
    };
    struct Input {
        std::string prompt;
        std::optional<std::string> title;
        std::string defaultText;
    };
    struct Popup {
        std::string menu;
        // Entry names with whether they were enabled when the menu popped up.
        std::vector<std::pair<std::string, bool>> entries;
    };

    // The fixed clock starts at `now`: a test's own day unless it asks for another, such as the
    // last day of a generated book.
    explicit TestHost(const Date& now = Date::fromYmdHms(2026, 12, 6, 9, 30, 0));
    ~TestHost() override;

    // Answers of the boxes to come, in order.
    void answerMessage(int answer);
    // The next message must have this text; it is answered with `answer`.
    void expectMessage(const std::string& text, int answer = AnswerOk);
    // The same, and while the message is on the screen `meanwhile` runs (another copy of the
    // program writing, say) before the user answers.
    void expectMessage(const std::string& text, int answer, std::function<void()> meanwhile);
    void answerInput(const std::string& text);
    // The next input box is answered with OK on the text it offers.
    void acceptInputDefault();
    void choosePopupEntry(const std::string& entryName);
    void cancelPopup();

    const std::vector<Message>& messages() const { return messages_; }
    std::vector<std::string> messageTexts() const;
    void clearMessages() { messages_.clear(); }
    // Drops the answers queued for message boxes that did not show.
    void forgetAnswers() { answers_.clear(); }
    const std::vector<Popup>& popups() const { return popups_; }
    const std::vector<Input>& inputs() const { return inputBoxes_; }
    int beeps() const { return beeps_; }
    bool programEnded() const { return ended_; }
    const std::vector<std::string>& openedFiles() const { return openedFiles_; }
    const std::vector<std::string>& modalShows() const { return modalShows_; }
    int mousePointer() const { return mousePointer_; }

    // What the user does in a form when it is shown modally: run once, in order of registration.
    void onModal(const std::string& formName, std::function<void(Form&)> script);
    template <class T>
    void onModal(std::function<void(T&)> script) {
        onModal(T::FormName, [script](Form& form) { script(dynamic_cast<T&>(form)); });
    }
    // What the user does while the program next waits (a pause): run once.
    void onWait(std::function<void()> action) { waitActions_.push_back(std::move(action)); }
    int waitedMilliseconds() const { return waitedMilliseconds_; }
    // A script for every modal show of the form that has no one-off script waiting.
    void onEveryModal(const std::string& formName, std::function<void(Form&)> script);

    // User actions, each run as one user action of the program on the control's form, which
    // becomes the active one (errors shown as messages, the actions queued "after the event" run
    // afterwards, as the event loop would run them).
    void act(const std::function<void()>& action);
    void click(Control& control);
    void dblClick(Control& control);
    void rightClick(Control& control);
    void type(TextBox& box, const std::string& text);
    void type(ComboBox& box, const std::string& text);
    void pressKey(TextBox& box, char32_t key);
    void pick(ComboBox& box, int index);
    void pick(ListBox& box, int index);
    void pickDate(DatePicker& picker, const Date& date);
    void scroll(FlatScrollBar& bar, int value);
    void clickCell(Grid& grid, int row, int col);
    void dblClickCell(Grid& grid, int row, int col);
    void mouseDownCell(Grid& grid, int row, int col, int button);
    void mouseUpCell(Grid& grid, int row, int col, int button);
    void focus(Control& control);
    void closeByFrame(Form& form);

    // Host
    void formLoaded(Form&) override {}
    void showModeless(Form&) override {}
    void runModal(Form& form) override;
    void formHidden(Form&) override {}
    void formUnloaded(Form&) override {}
    void bringToFront(Form& form) override { broughtToFront_.push_back(form.Name()); }
    int messageBox(const std::string& text, int style,
                   const std::optional<std::string>& title) override;
    std::string inputBox(const std::string& prompt, const std::optional<std::string>& title,
                         const std::string& defaultText) override;
    Menu* popupMenu(Form& form, Menu& menu) override;
    void beep() override { ++beeps_; }
    [[noreturn]] void endProgram() override;
    bool openWithDesktop(const std::string& path) override;
    ScreenSize screenSize() override { return screen_; }
    // The screen the program runs on; 1920 by 1080 pixels unless a test sets another.
    void setScreenSize(ScreenSize screen) { screen_ = screen; }
    // Moves the fixed clock on by the time waited, after running what the test set to happen
    // meanwhile (onWait).
    void waitWhileProcessingEvents(int milliseconds) override;
    void post(std::function<void()> action) override { posted_.push_back(std::move(action)); }
    void setMousePointer(int pointer) override { mousePointer_ = pointer; }

    const std::vector<std::string>& broughtToFront() const { return broughtToFront_; }

  private:
    struct Answer {
        int answer;
        std::optional<std::string> expectedText;
        std::function<void()> meanwhile;
    };
    void runPosted();
    void actOn(Control& control, const std::function<void()>& action);

    std::deque<Answer> answers_;
    std::deque<std::optional<std::string>> inputs_;
    std::vector<Input> inputBoxes_;
    std::deque<std::optional<std::string>> popupChoices_;
    std::vector<Message> messages_;
    std::vector<Popup> popups_;
    std::map<std::string, std::deque<std::function<void(Form&)>>> modalScripts_;
    std::map<std::string, std::function<void(Form&)>> everyModal_;
    std::deque<std::function<void()>> posted_;
    std::deque<std::function<void()>> waitActions_;
    int waitedMilliseconds_ = 0;
    std::vector<std::string> openedFiles_;
    std::vector<std::string> modalShows_;
    std::vector<std::string> broughtToFront_;
    ScreenSize screen_{28800, 16200};
    int beeps_ = 0;
    int mousePointer_ = 0;
    bool ended_ = false;
};

}  // namespace kiv
