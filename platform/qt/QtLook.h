#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>
#include <functional>
#include <string>
#include <utility>

#include "platform/forms/Control.h"
#include "platform/forms/Host.h"

class QKeyEvent;
class QLineEdit;

namespace kiv {

inline constexpr double DefaultFontPoints = 9;

// Twips to pixels, rounding down (also below zero, for a form above the screen's top edge).
int px(int twips);

// An &HBBGGRR number, or one of the desktop's colours when the top bit is set.
QColor qtColor(Color color);

// The face at a size in points, 96 pixels an inch as the old desktop drew it, whatever the screen.
QFont controlFont(double points, bool bold);

// The disabled roles of a palette as the desktop draws a disabled control: grey text on the
// button face.
inline constexpr QRgb DisabledTextColor = 0xFFA0A0A0;
void setDisabledLook(QPalette& palette);

QString qs(const std::string& text);
std::string utf8(const QString& text);
// A text with CR LF line breaks as Qt shows it.
QString displayText(const std::string& text);

int shiftState(Qt::KeyboardModifiers modifiers);
int mouseButton(Qt::MouseButton button);
// The old key code of a Qt key (Key::Left, F1 = 112 ...), 0 for a key it had none for.
int virtualKey(int qtKey);
// The characters a key press types, as code points; empty for a key without printable text.
std::u32string typedCharacters(const QKeyEvent& event);

// Positions in a text: the model counts characters (code points) and CR LF as two; Qt's editors
// count UTF-16 units and show CR LF as one line break.
int editorPosition(const std::string& text, int characters);
int modelPosition(const std::string& text, int editorUnits);
// A model's selection of its `text` (start and length in characters) shown on a line editor, and
// the editor's selection read back as the model counts it.
void showLineSelection(QLineEdit& line, const std::string& text, int start, int length);
std::pair<int, int> lineSelection(const QLineEdit& line, const std::string& text);

// Runs one user action from a Qt event: errors end in a message box, never in Qt.
void act(const std::function<void()>& action);

}  // namespace kiv
