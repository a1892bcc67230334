#include "platform/qt/QtProgram.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QStyleFactory>
#include <QTranslator>
#include <stdexcept>

#include "platform/forms/Forms.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtLook.h"

namespace kiv {

namespace {

// Qt's own dialogs (print, print preview, files) speak Traditional Chinese as the program does.
void loadQtTranslations() {
    static bool loaded = false;
    if (loaded) return;
    auto* translator = new QTranslator(qApp);
    QLocale taiwan(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan);
    if (!translator->load(taiwan, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    loaded = true;
}

}  // namespace

void configureApplication() {
    QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
    loadQtTranslations();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(controlFont(DefaultFontPoints, false));
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, qtColor(SystemColor::ButtonFace));
    palette.setColor(QPalette::Button, qtColor(SystemColor::ButtonFace));
    palette.setColor(QPalette::Highlight, qtColor(SystemColor::Highlight));
    QApplication::setPalette(palette);
}

int runQtProgram(int argc, char** argv, const std::function<void()>& start) {
    QApplication application(argc, argv);
    configureApplication();
    QtHost host;
    setHost(&host);
    act(start);
    host.quitWithLastWindow();
    int code = QApplication::exec();
    runProgramEndCallbacks();
    Forms::discardAll();
    setHost(nullptr);
    return code;
}

void saveFormScreenshot(Form& form, const std::string& path) {
    QtHost* host = QtHost::current();
    FormWindow* window = host ? host->windowOf(form) : nullptr;
    if (!window) throw std::logic_error("form " + form.Name() + " has no window to photograph");
    // Pending repaints and scroll bar settings first (a scroll bar shown lays its area out again).
    for (int turn = 0; turn < 3; ++turn)
        QCoreApplication::processEvents();
    QPixmap picture = window->grab();
    QFileInfo file(qs(path));
    QDir().mkpath(file.absolutePath());
    if (!picture.save(file.absoluteFilePath(), "PNG"))
        throw std::runtime_error("cannot write " + path);
}

}  // namespace kiv
