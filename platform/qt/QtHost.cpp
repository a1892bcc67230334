#include "platform/qt/QtHost.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QEventLoop>
#include <QGridLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

#include "platform/db/Database.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Grid.h"
#include "platform/forms/Menu.h"
#include "platform/qt/ControlBinding.h"
#include "platform/qt/FormWindow.h"
#include "platform/qt/GridWidget.h"
#include "platform/qt/QtLook.h"

namespace kiv {

namespace {

// Room beside a message box's title for the title bar's icon and its buttons, in pixels.
constexpr int TitleBarExtras = 120;

QtHost*& currentQtHost() {
    static QtHost* host = nullptr;
    return host;
}

// The shown window of `form`, else of the form it was shown modally from, and so on down; null
// when none of them shows.
QWidget* shownWindowFrom(Form* form) {
    QtHost* host = QtHost::current();
    for (; form && host; form = form->ModalOwner())
        if (FormWindow* window = host->windowOf(*form); window && window->isVisible())
            return window;
    return nullptr;
}

// The keyboard goes back to the window the closed modal form stood above, not to whichever
// window the window manager chose meanwhile (the top-most launcher bar, say).
void giveFocusBack(QWidget* opener) {
    if (!opener || !opener->isVisible()) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != opener) return;
    opener->raise();
    opener->activateWindow();
}

// The window a dialog belongs to, which it opens above: the window of the form that asked (the
// innermost modal form, else the form the user works in), whatever window Qt holds active at
// that moment; Qt's active window when no form's window shows. A dialog of the launcher bar,
// which stays on top at the screen's edge, opens in the middle of the screen instead of over it.
QWidget* dialogParent() {
    QWidget* parent = shownWindowFrom(Forms::activeForm());
    if (!parent) parent = QApplication::activeWindow();
    return parent && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint) ? nullptr : parent;
}

struct BoxButton {
    QMessageBox::StandardButton button;
    const char* caption;
    int answer;
};

// The buttons of a message box style, with the captions the desktop showed them with.
std::vector<BoxButton> buttonsOfStyle(int style) {
    const BoxButton ok{QMessageBox::Ok, "確定", AnswerOk};
    const BoxButton cancel{QMessageBox::Cancel, "取消", AnswerCancel};
    const BoxButton yes{QMessageBox::Yes, "是(&Y)", AnswerYes};
    const BoxButton no{QMessageBox::No, "否(&N)", AnswerNo};
    const BoxButton abort{QMessageBox::Abort, "中止(&A)", 3};
    const BoxButton retry{QMessageBox::Retry, "重試(&R)", 4};
    const BoxButton ignore{QMessageBox::Ignore, "略過(&I)", 5};
    switch (style & 0xF) {
        case 1:
            return {ok, cancel};
        case 2:
            return {abort, retry, ignore};
        case 3:
            return {yes, no, cancel};
        case 4:
            return {yes, no};
        case 5:
            return {retry, cancel};
        default:
            return {ok};
    }
}

QMessageBox::Icon iconOfStyle(int style) {
    switch (style & 0x70) {
        case 16:
            return QMessageBox::Critical;
        case 32:
            return QMessageBox::Question;
        case 48:
            return QMessageBox::Warning;
        case 64:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// A message box sizes itself by its text; a short text under a long title would have the title
// cut. Room is made for the title and the title bar's icon and buttons.
void widenForTitle(QMessageBox& box) {
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    int needed = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + TitleBarExtras;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

// The letter or digit of an Alt key, or 0.
char32_t accessKeyOf(const QKeyEvent& key) {
    auto modifiers = key.modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
    if (modifiers != Qt::AltModifier) return 0;
    int code = key.key();
    if (code >= Qt::Key_A && code <= Qt::Key_Z)
        return static_cast<char32_t>('a' + code - Qt::Key_A);
    if (code >= Qt::Key_0 && code <= Qt::Key_9) return static_cast<char32_t>(code);
    return 0;
}

// Alt with a letter goes to the form of the window it was typed in, before Qt's own shortcuts:
// the ShortcutOverride is taken so that the key arrives as a key press, which the form handles.
bool handleAccessKey(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    char32_t key = accessKeyOf(*static_cast<QKeyEvent*>(event));
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!key || !widget) return false;
    auto* window = dynamic_cast<FormWindow*>(widget->window());
    Form* form = window ? window->form() : nullptr;
    if (!form || !form->accessKeyControl(key)) return false;
    event->accept();
    if (event->type() == QEvent::KeyPress) act([&] { form->pressAccessKey(key); });
    return true;
}

void addMenuEntries(QMenu& qmenu, Menu& menu, std::map<QAction*, Menu*>& chosen) {
    for (Menu* entry : menu.Entries()) {
        if (!entry->Visible()) continue;
        if (entry->IsSeparator()) {
            qmenu.addSeparator();
            continue;
        }
        if (!entry->Entries().empty()) {
            QMenu* sub = qmenu.addMenu(qs(entry->Caption()));
            sub->setEnabled(entry->Enabled());
            addMenuEntries(*sub, *entry, chosen);
            continue;
        }
        QAction* action = qmenu.addAction(qs(entry->Caption()));
        action->setEnabled(entry->Enabled());
        action->setCheckable(entry->Checked());
        action->setChecked(entry->Checked());
        chosen[action] = entry;
    }
}

}  // namespace

QtHost::QtHost()
    : accessKeys_(std::make_unique<EventTap>([this](QObject* watched, QEvent* event) {
          noteInput(*event);
          return handleAccessKey(watched, event);
      })) {
    currentQtHost() = this;
}

QtHost::~QtHost() {
    for (auto& [form, window] : windows_) {
        window->detach();
        delete window;
    }
    if (currentQtHost() == this) currentQtHost() = nullptr;
}

QtHost* QtHost::current() {
    return currentQtHost();
}

FormWindow* QtHost::windowOf(const Form& form) const {
    auto found = windows_.find(&form);
    return found == windows_.end() ? nullptr : found->second;
}

// The application may be made after the host; the keys are watched from the first window on, and
// so are the event loop's waits. A wait is the user's turn, in the program's own loop as in a modal
// form's or a message box's inside an action: no read may keep the books as they were before it.
void QtHost::formLoaded(Form& form) {
    if (!accessKeysWatched_) {
        qApp->installEventFilter(accessKeys_.get());
        QObject::connect(QAbstractEventDispatcher::instance(),
                         &QAbstractEventDispatcher::aboutToBlock, accessKeys_.get(),
                         [] { endReadsOfOpenDatabases(); });
        accessKeysWatched_ = true;
    }
    if (!windowOf(form)) windows_[&form] = new FormWindow(form);
}

void QtHost::showModeless(Form& form) {
    if (FormWindow* window = windowOf(form)) {
        window->setWindowModality(Qt::NonModal);
        window->present();
    }
}

// The old runtime's modal forms kept every other form of the program from the user, so a modal
// window here is modal to the whole application: a second modal chain cannot start beside the
// first, and the opener cannot be closed under its modal child.
void QtHost::runModal(Form& form) {
    FormWindow* window = windowOf(form);
    if (!window) return;
    // The window stands above the window of the form that showed it, not above whichever window
    // Qt holds active (one that is about to go, or another modal form's).
    QPointer<QWidget> opener = shownWindowFrom(form.ModalOwner());
    if (!opener) opener = QApplication::activeWindow();
    window->setWindowModality(Qt::ApplicationModal);
    if (opener && opener != window) {
        window->winId();
        opener->winId();
        window->windowHandle()->setTransientParent(opener->windowHandle());
    }
    QEventLoop loop;
    window->setModalLoop(&loop);
    window->present();
    ++modalDepth_;
    if (form.Visible() && !form.IsUnloaded()) loop.exec(QEventLoop::DialogExec);
    --modalDepth_;
    FormWindow* still = windowOf(form);
    if (still) {
        still->setModalLoop(nullptr);
        if (!form.Visible()) still->setWindowModality(Qt::NonModal);
    }
    if (!still || !still->isVisible()) giveFocusBack(opener);
}

void QtHost::formHidden(Form& form) {
    if (FormWindow* window = windowOf(form)) {
        window->hide();
        window->endModalLoop();
    }
    quitWhenNoWindowShows();
}

// The window goes at once from the screen; the widget itself is deleted once the event that
// unloaded the form has been handled, since that event may be inside one of its widgets.
void QtHost::formUnloaded(Form& form) {
    auto found = windows_.find(&form);
    if (found == windows_.end()) return;
    FormWindow* window = found->second;
    windows_.erase(found);
    window->detach();
    window->hide();
    window->deleteLater();
    quitWhenNoWindowShows();
}

void QtHost::bringToFront(Form& form) {
    if (FormWindow* window = windowOf(form)) window->present();
}

// Qt's own count of the windows left leaves out a tool window, the launcher bar among them: with
// the bar alone on the screen, a message box closing would end the program.
void QtHost::quitWithLastWindow() {
    QApplication::setQuitOnLastWindowClosed(false);
    quitWithLastWindow_ = true;
    quitWhenNoWindowShows();
}

void QtHost::quitWhenNoWindowShows() {
    if (!quitWithLastWindow_) return;
    QTimer::singleShot(0, qApp, [] {
        QtHost* host = QtHost::current();
        if (!host || host->modalDepth_ > 0) return;
        for (auto& [form, window] : host->windows_)
            if (window->isVisible()) return;
        QCoreApplication::quit();
    });
}

int QtHost::messageBox(const std::string& text, int style,
                       const std::optional<std::string>& title) {
    QMessageBox box(dialogParent());
    box.setWindowTitle(qs(title.value_or(ApplicationTitle)));
    box.setText(displayText(text));
    box.setIcon(iconOfStyle(style));
    std::vector<BoxButton> buttons = buttonsOfStyle(style);
    std::map<QAbstractButton*, int> answers;
    std::vector<QPushButton*> pushButtons;
    for (const BoxButton& b : buttons) {
        QPushButton* button = box.addButton(b.button);
        button->setText(QString::fromUtf8(b.caption));
        answers[button] = b.answer;
        pushButtons.push_back(button);
    }
    int defaultIndex = std::min(static_cast<int>(pushButtons.size()) - 1, (style >> 8) & 3);
    box.setDefaultButton(pushButtons[defaultIndex]);
    widenForTitle(box);
    box.exec();
    auto found = answers.find(box.clickedButton());
    if (found != answers.end()) return found->second;
    // Closed through the frame: the box's cancelling answer.
    return buttons.size() == 2 && buttons[1].answer == AnswerNo ? AnswerNo
           : buttons.back().answer == AnswerCancel              ? AnswerCancel
                                                                : buttons.front().answer;
}

std::string QtHost::inputBox(const std::string& prompt, const std::optional<std::string>& title,
                             const std::string& defaultText) {
    QInputDialog dialog(dialogParent());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(qs(title.value_or(ApplicationTitle)));
    dialog.setLabelText(displayText(prompt));
    dialog.setTextValue(qs(defaultText));
    dialog.setOkButtonText(QString::fromUtf8("確定"));
    dialog.setCancelButtonText(QString::fromUtf8("取消"));
    if (dialog.exec() != QDialog::Accepted) return "";
    return utf8(dialog.textValue());
}

void QtHost::noteInput(const QEvent& event) {
    if (event.type() == QEvent::KeyPress) lastInputByKey_ = true;
    if (event.type() == QEvent::MouseButtonPress) lastInputByKey_ = false;
}

// A pop-up opened with the mouse comes at the pointer; one opened from the keyboard drops from
// the control that has the focus, as a menu drops from its button.
QPoint QtHost::popupPlace(Form& form) const {
    QWidget* focus = QApplication::focusWidget();
    if (!lastInputByKey_ || !focus || focus->window() != windowOf(form)) return QCursor::pos();
    // A grid's menu of row commands drops from its current cell.
    if (auto* grid = dynamic_cast<GridWidget*>(focus)) {
        const Grid& model = static_cast<const Grid&>(*grid->control());
        QRect cell = grid->cellRect(model.Row(), model.Col());
        if (!cell.isEmpty()) return grid->viewport()->mapToGlobal(cell.bottomLeft());
    }
    return focus->mapToGlobal(QPoint(0, focus->height()));
}

Menu* QtHost::popupMenu(Form& form, Menu& menu) {
    QMenu qmenu(windowOf(form));
    std::map<QAction*, Menu*> entries;
    addMenuEntries(qmenu, menu, entries);
    QAction* chosen = qmenu.exec(popupPlace(form));
    auto found = entries.find(chosen);
    return found == entries.end() ? nullptr : found->second;
}

void QtHost::beep() {
    QApplication::beep();
}

void QtHost::endProgram() {
    runProgramEndCallbacks();
    std::fflush(nullptr);
    std::_Exit(programExitStatus());
}

bool QtHost::openWithDesktop(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(qs(path)));
}

ScreenSize QtHost::screenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    QRect area = screen->geometry();
    return {area.width() * TwipsPerPixel, area.height() * TwipsPerPixel};
}

void QtHost::waitWhileProcessingEvents(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void QtHost::post(std::function<void()> action) {
    QTimer::singleShot(0, qApp, [action = std::move(action)] { act(action); });
}

void QtHost::setMousePointer(int pointer) {
    bool wait = pointer == 11 || pointer == 13;
    if (wait && !waitCursor_) {
        QApplication::setOverrideCursor(pointer == 13 ? Qt::BusyCursor : Qt::WaitCursor);
    } else if (wait) {
        QApplication::changeOverrideCursor(pointer == 13 ? Qt::BusyCursor : Qt::WaitCursor);
    } else if (waitCursor_) {
        QApplication::restoreOverrideCursor();
    }
    waitCursor_ = wait;
}

}  // namespace kiv
