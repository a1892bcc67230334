// Shows the Qt tests' sample form on real windows, to look at and click through by hand.
// With a file name as argument it writes a screenshot of the screen there after a second and ends.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <string>

#include "platform/forms/Forms.h"
#include "platform/qt/QtProgram.h"
#include "tests/qt/SampleForm.h"

int main(int argc, char** argv) {
    std::string screenshot = argc > 1 ? argv[1] : "";
    return kiv::runQtProgram(argc, argv, [screenshot] {
        kiv::Forms::get<kiv::frmQtSample>().Show();
        if (screenshot.empty()) return;
        QTimer::singleShot(1000, [screenshot] {
            QGuiApplication::primaryScreen()->grabWindow(0).save(
                QString::fromStdString(screenshot));
            QGuiApplication::quit();
        });
    });
}
