#pragma once

#include <map>
#include <memory>

#include "platform/forms/Host.h"

class QEvent;
class QPoint;

namespace kiv {

class EventTap;
class FormWindow;

// The host of the real program: every form a window of Qt widgets, modal shows in a nested event
// loop, message and input boxes as Qt dialogs. It needs a QApplication.
class QtHost : public Host {
  public:
    QtHost();
    ~QtHost() override;

    // The window of a loaded form, or null.
    FormWindow* windowOf(const Form& form) const;
    // The Qt host in use, or null when the program runs on another host.
    static QtHost* current();

    void formLoaded(Form& form) override;
    void showModeless(Form& form) override;
    void runModal(Form& form) override;
    void formHidden(Form& form) override;
    void formUnloaded(Form& form) override;
    void bringToFront(Form& form) override;
    int messageBox(const std::string& text, int style,
                   const std::optional<std::string>& title) override;
    std::string inputBox(const std::string& prompt, const std::optional<std::string>& title,
                         const std::string& defaultText) override;
    Menu* popupMenu(Form& form, Menu& menu) override;
    void beep() override;
    [[noreturn]] void endProgram() override;
    bool openWithDesktop(const std::string& path) override;
    ScreenSize screenSize() override;
    void waitWhileProcessingEvents(int milliseconds) override;
    void post(std::function<void()> action) override;
    void setMousePointer(int pointer) override;

    // From now on the event loop ends once no window of a form is left on the screen (checked
    // now as well), and only then. Tests leave it off, since they run event loops of their own.
    void quitWithLastWindow();

  private:
    void quitWhenNoWindowShows();
    void noteInput(const QEvent& event);
    QPoint popupPlace(Form& form) const;

    // Watches the application's events; the watch of the event loop's waits ends with it.
    std::unique_ptr<EventTap> accessKeys_;
    bool accessKeysWatched_ = false;
    std::map<const Form*, FormWindow*> windows_;
    int modalDepth_ = 0;
    bool quitWithLastWindow_ = false;
    bool waitCursor_ = false;
    // Whether the user's last press was a key rather than a mouse button.
    bool lastInputByKey_ = false;
};

}  // namespace kiv
