#pragma once

#include <string>

namespace kiv {

// The text of an edit field and its selection, counted in characters. The selection always lies
// within the text; an empty one is the caret. The edits say whether the text changed, so that the
// control holding it knows whether to raise Change.
class EditableText {
  public:
    const std::string& text() const { return text_; }
    int size() const;
    int start() const { return start_; }
    int length() const { return length_; }
    std::string selected() const;

    // A new text with the caret at its end; false (and nothing moved) when it is the same text.
    bool setText(const std::string& text);
    void select(int start, int length);
    void selectAll();
    void caretToEnd();
    // Replaces the selection, keeping the text within `maxLength` characters (0: no limit); the
    // caret follows the inserted text.
    bool replaceSelection(const std::string& inserted, int maxLength = 0);
    // Backspace and Delete: the selection, or else the character before or after the caret.
    bool deleteBackward();
    bool deleteForward();

  private:
    std::string text_;
    int start_ = 0;
    int length_ = 0;
};

}  // namespace kiv
