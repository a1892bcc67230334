#include "platform/qt/FormWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "platform/forms/Grid.h"
#include "platform/qt/ControlBinding.h"
#include "platform/qt/ControlWidgets.h"
#include "platform/qt/QtLook.h"

namespace kiv {

namespace {

// How long a window manager may take to put its frame on a new window.
constexpr int FramingDelayMs = 150;

}  // namespace

FormWindow::FormWindow(Form& form) : QWidget(nullptr, Qt::Window), form_(&form) {
    content_ = new QWidget(this);
    content_->setAutoFillBackground(true);
    setAutoFillBackground(true);
    form.addObserver(this);
    buildControls();
    setWindowTitle(qs(form.Caption()));
    applyColors();
    applyStyle();
    applyGeometry();
}

FormWindow::~FormWindow() {
    detach();
}

void FormWindow::detach() {
    if (!form_) return;
    form_->removeObserver(this);
    for (ControlBinding* binding : bindings_)
        binding->detach();
    form_ = nullptr;
    endModalLoop();
}

void FormWindow::buildControls() {
    for (Control* control : form_->Controls()) {
        if (ControlBinding* binding = makeControlWidget(*this, *control, content_)) {
            bindings_.push_back(binding);
            byControl_[control] = binding;
        }
    }
    for (ControlBinding* binding : bindings_)
        binding->refresh();
    restack(content_);
}

QWidget* FormWindow::containerWidget(const Control* container) const {
    if (!container) return content_;
    auto found = byControl_.find(container);
    return found == byControl_.end() ? content_ : &found->second->widget();
}

QWidget* FormWindow::widgetOf(const Control& control) const {
    auto found = byControl_.find(&control);
    return found == byControl_.end() ? nullptr : &found->second->widget();
}

void FormWindow::restack(QWidget* parent) {
    if (!parent || !form_) return;
    std::vector<ControlBinding*> children;
    for (ControlBinding* binding : bindings_)
        if (binding->control() && binding->widget().parentWidget() == parent)
            children.push_back(binding);
    std::stable_sort(children.begin(), children.end(), [](ControlBinding* a, ControlBinding* b) {
        return a->control()->ZIndex() < b->control()->ZIndex();
    });
    for (ControlBinding* child : children)
        child->widget().raise();
}

void FormWindow::showFocus() {
    if (!form_ || !form_->ActiveControl()) return;
    setAttribute(Qt::WA_KeyboardFocusChange);
    if (QWidget* widget = widgetOf(*form_->ActiveControl())) widget->setFocus(Qt::OtherFocusReason);
}

bool FormWindow::aboveScreen() const {
    return form_ && form_->Top() < 0;
}

int FormWindow::clientWidthPixels() const {
    return std::max(1, px(form_->ScaleWidth()));
}

int FormWindow::clientHeightPixels() const {
    return std::max(1, px(form_->ScaleHeight()));
}

void FormWindow::applyStyle() {
    int border = form_->BorderStyle();
    Qt::WindowFlags flags = Qt::Window;
    if (border == 0 || aboveScreen()) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::WindowSystemMenuHint;
        bool dialog = border == 3 || border == 4 || border == 5;
        if (!dialog && form_->MinButton()) flags |= Qt::WindowMinimizeButtonHint;
        if (border == 2 && form_->MaxButton()) flags |= Qt::WindowMaximizeButtonHint;
        if (border == 3) flags |= Qt::Dialog;
        if (border == 4 || border == 5) flags |= Qt::Tool;
    }
    if (form_->TopMost()) flags |= Qt::WindowStaysOnTopHint;
    if (flags == windowFlags()) return;
    bool wasVisible = isVisible();
    setWindowFlags(flags);
    if (wasVisible) show();
}

void FormWindow::applyGeometry() {
    applying_ = true;
    int width = clientWidthPixels(), height = clientHeightPixels();
    content_->resize(width, height);
    bool sizable = form_->BorderStyle() == 2 || form_->BorderStyle() == 5;
    if (aboveScreen()) {
        // The client area's top on the screen: the title bar lies above it.
        int clientTop = form_->Top() + form_->TitleBarHeight();
        int visible = std::max(1, px(form_->Top() + form_->Height()));
        setFixedSize(width, visible);
        move(px(form_->Left()), 0);
        content_->move(0, px(clientTop));
    } else {
        if (sizable) {
            setMinimumSize(0, 0);
            setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            resize(width, height);
        } else {
            setFixedSize(width, height);
        }
        placeFrame();
        content_->move(0, 0);
    }
    applying_ = false;
}

// The launcher bar and any other window kept above the rest: a form opened under it could not
// be reached.
std::vector<QRect> FormWindow::topMostFrames() const {
    std::vector<QRect> frames;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* other = dynamic_cast<FormWindow*>(widget);
        if (other && other != this && other->form_ && other->isVisible() && other->form_->TopMost())
            frames.push_back(other->frameGeometry());
    }
    return frames;
}

QRect FormWindow::placedOnScreen(QRect frame) const {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return frame;
    QRect area = screen->availableGeometry();
    auto fits = [&](const QRect& r) { return area.contains(r); };
    auto clamp = [&](QRect r) {
        r.moveLeft(std::max(area.left(), std::min(r.left(), area.right() + 1 - r.width())));
        r.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() + 1 - r.height())));
        return r;
    };
    frame = clamp(frame);
    if (form_->TopMost()) return frame;
    for (const QRect& bar : topMostFrames()) {
        if (!frame.intersects(bar)) continue;
        // Below the bar, else beside it, else where it covers the least.
        QRect below = frame, left = frame, right = frame;
        below.moveTop(bar.bottom() + 1);
        left.moveRight(bar.left() - 1);
        right.moveLeft(bar.right() + 1);
        for (const QRect& candidate : {below, left, right})
            if (fits(candidate)) return candidate;
        return clamp(below);
    }
    return frame;
}

// The frame, title bar included, goes where the form asks as far as the screen and the bars
// above every window allow; the form learns where it went. Before the window manager has put
// its frame on, the frame is taken to be as the form counts it.
void FormWindow::placeFrame() {
    QRect asked(px(form_->Left()), px(form_->Top()), px(form_->Width()), px(form_->Height()));
    QMargins frame;
    if (isVisible() && frameGeometry() != geometry()) {
        asked.setSize(frameGeometry().size());
        frame = QMargins(geometry().left() - frameGeometry().left(),
                         geometry().top() - frameGeometry().top(), 0, 0);
    } else {
        int title = px(form_->TitleBarHeight()), border = px(form_->BorderWidth());
        frame = QMargins(border, title, border, border);
    }
    QRect placed = placedOnScreen(asked);
    if (placed.topLeft() != asked.topLeft())
        form_->userMoved(placed.left() * TwipsPerPixel, placed.top() * TwipsPerPixel);
    // Qt moves a window by its frame only once it knows the frame; until then it moves the inner
    // area, which must leave room for the title bar the window manager is about to put on.
    bool frameKnown = frameGeometry() != geometry();
    QPoint inner = placed.topLeft() + QPoint(frame.left(), frame.top());
    if (isVisible() && frameKnown)
        move(placed.topLeft());
    else if (isVisible())
        move(inner);
    else
        setGeometry(QRect(inner, size()));
}

void FormWindow::applyColors() {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, qtColor(form_->BackColor()));
    setPalette(palette);
    content_->setPalette(palette);
}

void FormWindow::present() {
    if (!form_) return;
    if (!placed_) {
        placed_ = true;
        if (form_->CentreOnScreen()) {
            QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
            form_->userMoved(std::max(0, (screen.width() * TwipsPerPixel - form_->Width()) / 2),
                             std::max(0, (screen.height() * TwipsPerPixel - form_->Height()) / 2));
        }
    }
    applyStyle();
    applyGeometry();
    if (isMinimized()) showNormal();
    show();
    // The frame is known once the window is shown, or a little later when a window manager puts
    // it on: the window is placed again by its real frame.
    if (!aboveScreen()) placeFrame();
    QTimer::singleShot(FramingDelayMs, this, [this] {
        if (form_ && isVisible() && !aboveScreen()) placeFrame();
    });
    raise();
    activateWindow();
    showFocus();
}

void FormWindow::endModalLoop() {
    if (modalLoop_) modalLoop_->quit();
    modalLoop_ = nullptr;
}

void FormWindow::formChanged(Form&, Property property) {
    if (!form_) return;
    switch (property) {
        case Property::Caption:
            setWindowTitle(qs(form_->Caption()));
            break;
        case Property::Geometry:
            applyStyle();
            applyGeometry();
            break;
        case Property::Colors:
            applyColors();
            break;
        case Property::Style:
            applyStyle();
            applyGeometry();
            break;
        case Property::Visible:
            if (!form_->Visible()) hide();
            break;
        default:
            break;
    }
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The form decides (QueryUnload may refuse); an unloaded form's window goes with it.
    event->ignore();
    if (form_) act([this] { form_->userClose(); });
}

// A window moved by the user or the window manager never stands above the screen's top: only a
// form's own code puts it there (and the window then loses its frame). A window manager may
// report a passing place above the top while it puts the frame on a window that grows.
void FormWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (applying_ || !form_ || !isVisible() || aboveScreen()) return;
    QPoint at(pos().x(), std::max(0, pos().y()));
    if (at.x() != px(form_->Left()) || at.y() != px(form_->Top()))
        form_->userMoved(at.x() * TwipsPerPixel, at.y() * TwipsPerPixel);
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (applying_ || !form_ || !isVisible() || aboveScreen()) return;
    if (width() == clientWidthPixels() && height() == clientHeightPixels()) return;
    content_->resize(size());
    int outerWidth = width() * TwipsPerPixel + 2 * form_->BorderWidth();
    int outerHeight = height() * TwipsPerPixel + form_->TitleBarHeight() + form_->BorderWidth();
    act([&] { form_->userResized(outerWidth, outerHeight); });
}

void FormWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && form_)
        act([this] { form_->userActivated(); });
}

// Enter and Esc that no control took press the form's default and cancel buttons.
void FormWindow::keyPressEvent(QKeyEvent* event) {
    if (!form_) return;
    bool pressed = false;
    act([&] { pressed = form_->pressButtonForKey(virtualKey(event->key())); });
    if (!pressed) QWidget::keyPressEvent(event);
}

// Qt moves the focus on by itself from a widget it hides or disables. When the model had already
// moved the focus elsewhere (a control hidden as it lost the focus to a button being clicked),
// the window shows the model's focus instead of moving it on past the button.
bool FormWindow::leavingHiddenWidget() {
    QWidget* focused = QApplication::focusWidget();
    if (!focused || (focused->isVisible() && focused->isEnabled())) return false;
    Control* active = form_->ActiveControl();
    QWidget* activeWidget = active ? widgetOf(*active) : nullptr;
    if (activeWidget && (activeWidget == focused || activeWidget->isAncestorOf(focused)))
        return false;
    QTimer::singleShot(0, this, [this] {
        if (form_) showFocus();
    });
    return true;
}

// Tab and Shift+Tab go in the form's tab order, which the model keeps.
bool FormWindow::focusNextPrevChild(bool next) {
    if (!form_) return QWidget::focusNextPrevChild(next);
    if (leavingHiddenWidget()) return true;
    act([this, next] {
        // A date picker or another editor laid over a grid's cell goes on to the next cell; one
        // that hid itself as its cell took its value gives the focus back to the grid.
        Control* active = form_->ActiveControl();
        if (active && TabToNextCell(*active, !next)) return;
        Grid* grid =
            active && !active->IsEffectivelyVisible() ? gridBeneath(*active, true) : nullptr;
        if (grid && grid->EditedInPlace() && grid->userFocus()) return;
        if (next)
            form_->FocusNext();
        else
            form_->FocusPrevious();
    });
    return true;
}

}  // namespace kiv
