#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include "platform/db/Database.h"
#include "platform/forms/Clock.h"

namespace kiv {

namespace {

// A modal form, a message box and a pause wait for the user as the real program's event loop
// does, which ends the reads left running.
void usersTurn() {
    endReadsOfOpenDatabases();
}

}  // namespace

TestHost::TestHost(const Date& now) {
    setHost(this);
    Clock::useFixedTime(now);
}

TestHost::~TestHost() {
    Forms::discardAll();
    setHost(nullptr);
    Clock::useSystemTime();
    for (const Answer& a : answers_)
        ADD_FAILURE() << "message answer left over"
                      << (a.expectedText ? ": " + *a.expectedText : "");
    if (!inputs_.empty()) ADD_FAILURE() << "input answer left over";
    for (auto& [name, scripts] : modalScripts_)
        if (!scripts.empty()) ADD_FAILURE() << "modal script for " << name << " never ran";
    if (!popupChoices_.empty()) ADD_FAILURE() << "pop-up choice left over";
    if (!waitActions_.empty()) ADD_FAILURE() << "an action meant for a wait never ran";
}

void TestHost::answerMessage(int answer) {
    answers_.push_back({answer, std::nullopt, {}});
}

void TestHost::expectMessage(const std::string& text, int answer) {
    answers_.push_back({answer, text, {}});
}

void TestHost::expectMessage(const std::string& text, int answer, std::function<void()> meanwhile) {
    answers_.push_back({answer, text, std::move(meanwhile)});
}

void TestHost::answerInput(const std::string& text) {
    inputs_.push_back(text);
}

void TestHost::choosePopupEntry(const std::string& entryName) {
    popupChoices_.push_back(entryName);
}

void TestHost::cancelPopup() {
    popupChoices_.push_back(std::nullopt);
}

std::vector<std::string> TestHost::messageTexts() const {
    std::vector<std::string> texts;
    for (const Message& m : messages_)
        texts.push_back(m.text);
    return texts;
}

void TestHost::onModal(const std::string& formName, std::function<void(Form&)> script) {
    modalScripts_[formName].push_back(std::move(script));
}

void TestHost::onEveryModal(const std::string& formName, std::function<void(Form&)> script) {
    everyModal_[formName] = std::move(script);
}

void TestHost::runModal(Form& form) {
    std::string name = form.Name();
    modalShows_.push_back(name);
    usersTurn();
    auto& queue = modalScripts_[name];
    if (!queue.empty()) {
        auto script = std::move(queue.front());
        queue.pop_front();
        script(form);
    } else if (auto every = everyModal_.find(name); every != everyModal_.end()) {
        every->second(form);
    } else {
        ADD_FAILURE() << "form " << name << " was shown modally with no script";
        form.Hide();
        return;
    }
    if (Forms::isAlive(&form) && form.Visible() && form.IsModal()) {
        ADD_FAILURE() << "form " << name << " is still open after its script";
        form.Hide();
    }
}

int TestHost::messageBox(const std::string& text, int style,
                         const std::optional<std::string>& title) {
    messages_.push_back({text, style, title});
    if (answers_.empty()) {
        ADD_FAILURE() << "message box nobody answered: " << text;
        return (style & 0xF) == 4 || (style & 0xF) == 3 ? AnswerNo : AnswerOk;
    }
    Answer a = answers_.front();
    answers_.pop_front();
    if (a.expectedText) {
        EXPECT_EQ(text, *a.expectedText);
    }
    usersTurn();
    if (a.meanwhile) a.meanwhile();
    return a.answer;
}

std::string TestHost::inputBox(const std::string& prompt, const std::optional<std::string>& title,
                               const std::string& defaultText) {
    inputBoxes_.push_back({prompt, title, defaultText});
    if (inputs_.empty()) {
        ADD_FAILURE() << "input box nobody answered: " << prompt;
        return "";
    }
    auto answer = inputs_.front();
    inputs_.pop_front();
    return answer ? *answer : defaultText;
}

Menu* TestHost::popupMenu(Form&, Menu& menu) {
    Popup popup{menu.Name(), {}};
    for (Menu* entry : menu.Entries())
        if (!entry->IsSeparator()) popup.entries.emplace_back(entry->Name(), entry->Enabled());
    popups_.push_back(popup);
    if (popupChoices_.empty()) {
        ADD_FAILURE() << "pop-up menu " << menu.Name() << " with no choice queued";
        return nullptr;
    }
    auto choice = popupChoices_.front();
    popupChoices_.pop_front();
    if (!choice) return nullptr;
    for (Menu* entry : menu.Entries())
        if (entry->Name() == *choice) return entry->Enabled() && entry->Visible() ? entry : nullptr;
    ADD_FAILURE() << "pop-up menu " << menu.Name() << " has no entry " << *choice;
    return nullptr;
}

void TestHost::endProgram() {
    ended_ = true;
    throw ProgramEnded{};
}

bool TestHost::openWithDesktop(const std::string& path) {
    openedFiles_.push_back(path);
    return true;
}

void TestHost::waitWhileProcessingEvents(int milliseconds) {
    usersTurn();
    if (!waitActions_.empty()) {
        auto action = std::move(waitActions_.front());
        waitActions_.pop_front();
        action();
    }
    waitedMilliseconds_ += milliseconds;
    Clock::advance(milliseconds / 1000.0);
}

void TestHost::runPosted() {
    while (!posted_.empty()) {
        auto action = std::move(posted_.front());
        posted_.pop_front();
        runUserAction(action);
    }
}

void TestHost::act(const std::function<void()>& action) {
    runUserAction(action);
    runPosted();
}

void TestHost::actOn(Control& control, const std::function<void()>& action) {
    act([&] {
        if (control.form().Visible()) control.form().userActivated();
        action();
    });
}

void TestHost::click(Control& control) {
    actOn(control, [&] { control.userClick(); });
}

void TestHost::dblClick(Control& control) {
    actOn(control, [&] { control.userDblClick(); });
}

void TestHost::rightClick(Control& control) {
    actOn(control, [&] {
        control.userMouseDown(RightButton);
        control.userMouseUp(RightButton);
    });
}

void TestHost::type(TextBox& box, const std::string& text) {
    actOn(box, [&] { box.userType(text); });
}

void TestHost::type(ComboBox& box, const std::string& text) {
    actOn(box, [&] { box.userType(text); });
}

void TestHost::pressKey(TextBox& box, char32_t key) {
    actOn(box, [&] { box.userKey(key); });
}

void TestHost::pick(ComboBox& box, int index) {
    actOn(box, [&] { box.userPick(index); });
}

void TestHost::pick(ListBox& box, int index) {
    actOn(box, [&] { box.userPick(index); });
}

void TestHost::pickDate(DatePicker& picker, const Date& date) {
    actOn(picker, [&] { picker.userPick(date); });
}

void TestHost::scroll(FlatScrollBar& bar, int value) {
    actOn(bar, [&] { bar.userScroll(value); });
}

void TestHost::clickCell(Grid& grid, int row, int col) {
    actOn(grid, [&] { grid.userClickCell(row, col); });
}

void TestHost::dblClickCell(Grid& grid, int row, int col) {
    actOn(grid, [&] { grid.userDblClickCell(row, col); });
}

void TestHost::mouseDownCell(Grid& grid, int row, int col, int button) {
    actOn(grid, [&] { grid.userMouseDownAt(row, col, button); });
}

void TestHost::mouseUpCell(Grid& grid, int row, int col, int button) {
    actOn(grid, [&] { grid.userMouseUpAt(row, col, button); });
}

void TestHost::focus(Control& control) {
    actOn(control, [&] { control.userFocus(); });
}

void TestHost::closeByFrame(Form& form) {
    act([&] { form.userClose(); });
}

}  // namespace kiv
