#include "platform/forms/Host.h"

#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <vector>

#include "platform/db/Database.h"
#include "platform/forms/Forms.h"

namespace kiv {

namespace {

Host*& currentHost() {
    static Host* host = nullptr;
    return host;
}

std::vector<std::function<void()>>& programEndCallbacks() {
    static std::vector<std::function<void()>> callbacks;
    return callbacks;
}

}  // namespace

void setHost(Host* host) {
    currentHost() = host;
}

Host& host() {
    if (!currentHost()) throw std::logic_error("no host to show forms on");
    return *currentHost();
}

bool hasHost() {
    return currentHost() != nullptr;
}

int messageBox(const std::string& text, int style, const std::optional<std::string>& title) {
    return host().messageBox(text, style, title);
}

std::string inputBox(const std::string& prompt, const std::optional<std::string>& title,
                     const std::string& defaultText) {
    return host().inputBox(prompt, title, defaultText);
}

void beep() {
    host().beep();
}

namespace {

int exitStatus = 0;

}  // namespace

void endProgram() {
    host().endProgram();
    std::abort();
}

void endProgramInFailure() {
    exitStatus = 1;
    endProgram();
}

int programExitStatus() {
    return exitStatus;
}

void waitWhileProcessingEvents(int milliseconds) {
    host().waitWhileProcessingEvents(milliseconds);
}

void postAfterEvent(std::function<void()> action) {
    host().post(std::move(action));
}

bool openWithDesktop(const std::string& path) {
    return host().openWithDesktop(path);
}

int screenWidth() {
    return host().screenSize().width;
}

int screenHeight() {
    return host().screenSize().height;
}

void setMousePointer(int pointer) {
    host().setMousePointer(pointer);
}

void runUserAction(const std::function<void()>& action) {
    {
        HandlerScope scope;
        try {
            action();
        } catch (const std::exception& error) {
            setMousePointer(0);
            const auto* styled = dynamic_cast<const StyledError*>(&error);
            messageBox(error.what(), styled ? styled->style() : MessageCritical, ApplicationTitle);
        }
    }
    Forms::destroyUnloaded();
    // The user's next move meets the books as they are then, also inside an action that showed
    // a form modally for this one.
    endReadsOfOpenDatabases();
}

void onProgramEnd(std::function<void()> callback) {
    programEndCallbacks().push_back(std::move(callback));
}

void runProgramEndCallbacks() {
    // A callback that ends the program again must not run the list a second time.
    auto callbacks = std::move(programEndCallbacks());
    programEndCallbacks().clear();
    for (auto& callback : callbacks)
        callback();
}

}  // namespace kiv
