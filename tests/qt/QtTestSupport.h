#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <functional>

#include "platform/forms/Forms.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtLook.h"
#include "platform/qt/QtProgram.h"

namespace kiv {

// The one application of the test program, made on first use (so that a death test's child
// process can make its own in runQtProgram).
inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        auto* app = new QApplication(argc, argv);
        configureApplication();
        return app;
    }();
    return *application;
}

// Runs the pending events (repaints, deferred deletions, queued actions).
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Runs `action` once the event loop (a modal show's, a dialog's) has started.
inline void soon(std::function<void()> action, int milliseconds = 0) {
    QTimer::singleShot(milliseconds, qApp, std::move(action));
}

// Types text the way an input method hands it over: key events that carry characters but no
// key of their own (QTest only types ASCII).
inline void typeCharacters(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

// The Qt host on a screen of a chosen size, as the forms ask for it when they fit themselves to
// the screen (the offscreen platform's own is small).
class SizedScreenQtHost : public QtHost {
  public:
    void setScreenSize(ScreenSize size) { size_ = size; }
    ScreenSize screenSize() override { return size_.width > 0 ? size_ : QtHost::screenSize(); }

  private:
    ScreenSize size_;
};

// Each test runs its forms on a fresh Qt host.
class QtTest : public ::testing::Test {
  protected:
    QtTest() {
        testApplication();
        setHost(&host);
    }
    ~QtTest() override {
        Forms::discardAll();
        settle();
        setHost(nullptr);
    }

    FormWindow& windowOf(Form& form) {
        FormWindow* window = host.windowOf(form);
        EXPECT_NE(window, nullptr) << form.Name() << " has no window";
        return *window;
    }
    template <class W>
    W& widgetOf(Form& form, Control& control) {
        auto* widget = dynamic_cast<W*>(windowOf(form).widgetOf(control));
        EXPECT_NE(widget, nullptr) << control.Name() << " has no widget of the kind asked for";
        return *widget;
    }

    SizedScreenQtHost host;
};

}  // namespace kiv
