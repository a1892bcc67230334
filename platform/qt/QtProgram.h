#pragma once

#include <functional>
#include <string>

namespace kiv {

class Form;

// Runs the program on real windows: makes the application (a Traditional Chinese face for every
// text), puts the Qt host in place, runs `start` as the first user action and then the event loop
// until the last window is gone or the program ends. Returns the process's exit code.
int runQtProgram(int argc, char** argv, const std::function<void()>& start);

// The look every window of the program shares: the style, the default font and Qt's own texts in
// Traditional Chinese. Needs a QApplication.
void configureApplication();

// Writes a PNG of the form's client area as the Qt host draws it (folders made as needed). The
// form must be loaded while the Qt host is in place.
void saveFormScreenshot(Form& form, const std::string& path);

}  // namespace kiv
