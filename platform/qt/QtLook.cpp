#include "platform/qt/QtLook.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <cstdio>
#include <exception>

#include "platform/db/Utf8.h"
#include "platform/forms/Host.h"

namespace kiv {

int px(int twips) {
    return twips >= 0 ? twips / TwipsPerPixel : -((-twips + TwipsPerPixel - 1) / TwipsPerPixel);
}

namespace {

// The desktop colours the forms name, as the old desktop drew them.
QColor systemColor(Color color) {
    switch (color) {
        case SystemColor::Window:
            return QColor(255, 255, 255);
        case SystemColor::WindowText:
        case SystemColor::ButtonText:
            return QColor(0, 0, 0);
        case SystemColor::Highlight:
            return QColor(0, 120, 215);
        case SystemColor::HighlightText:
            return QColor(255, 255, 255);
        case SystemColor::AppWorkspace:
            return QColor(171, 171, 171);
        case SystemColor::ButtonFace:
        default:
            return QColor(240, 240, 240);
    }
}

}  // namespace

QColor qtColor(Color color) {
    if (color & 0x80000000u) return systemColor(color);
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

QFont controlFont(double points, bool bold) {
    QFont font(DefaultFontFamily);
    font.setPixelSize(std::max(1, static_cast<int>(points * 96 / 72 + 0.5)));
    font.setBold(bold);
    return font;
}

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

void setDisabledLook(QPalette& palette) {
    palette.setColor(QPalette::Disabled, QPalette::Base, qtColor(SystemColor::ButtonFace));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor::fromRgb(DisabledTextColor));
}

QString displayText(const std::string& text) {
    QString shown = qs(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

int shiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= ShiftMask;
    if (modifiers & Qt::ControlModifier) shift |= CtrlMask;
    if (modifiers & Qt::AltModifier) shift |= AltMask;
    return shift;
}

int mouseButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::RightButton:
            return RightButton;
        case Qt::MiddleButton:
            return MiddleButton;
        default:
            return LeftButton;
    }
}

int virtualKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Backspace:
            return Key::Backspace;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return Key::Tab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return Key::Enter;
        case Qt::Key_Escape:
            return Key::Escape;
        case Qt::Key_PageUp:
            return Key::PageUp;
        case Qt::Key_PageDown:
            return Key::PageDown;
        case Qt::Key_End:
            return Key::End;
        case Qt::Key_Home:
            return Key::Home;
        case Qt::Key_Left:
            return Key::Left;
        case Qt::Key_Up:
            return Key::Up;
        case Qt::Key_Right:
            return Key::Right;
        case Qt::Key_Down:
            return Key::Down;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return Key::Delete;
        default:
            break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
    return 0;
}

std::u32string typedCharacters(const QKeyEvent& event) {
    std::u32string typed;
    for (char32_t c : event.text().toStdU32String())
        if (c >= 0x20 && c != 0x7F) typed.push_back(c);
    return typed;
}

int editorPosition(const std::string& text, int characters) {
    std::u32string chars = toCodePoints(text);
    int units = 0;
    for (int i = 0; i < characters && i < static_cast<int>(chars.size()); ++i) {
        if (chars[i] == U'\r' && i + 1 < static_cast<int>(chars.size()) && chars[i + 1] == U'\n')
            continue;
        units += chars[i] > 0xFFFF ? 2 : 1;
    }
    return units;
}

int modelPosition(const std::string& text, int editorUnits) {
    std::u32string chars = toCodePoints(text);
    int units = 0, i = 0;
    while (i < static_cast<int>(chars.size()) && units < editorUnits) {
        if (chars[i] == U'\r' && i + 1 < static_cast<int>(chars.size()) && chars[i + 1] == U'\n')
            ++i;
        units += chars[i] > 0xFFFF ? 2 : 1;
        ++i;
    }
    return i;
}

void showLineSelection(QLineEdit& line, const std::string& text, int start, int length) {
    int from = editorPosition(text, start);
    int to = editorPosition(text, start + length);
    if (to > from)
        line.setSelection(from, to - from);
    else
        line.setCursorPosition(from);
}

std::pair<int, int> lineSelection(const QLineEdit& line, const std::string& text) {
    bool selected = line.hasSelectedText();
    int from = modelPosition(text, selected ? line.selectionStart() : line.cursorPosition());
    int to = selected ? modelPosition(text, line.selectionEnd()) : from;
    return {from, to - from};
}

void act(const std::function<void()>& action) {
    try {
        runUserAction(action);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kiv: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "kiv: an unknown error escaped a user action\n");
    }
}

}  // namespace kiv
