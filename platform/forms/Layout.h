#pragma once

#include <initializer_list>

#include "platform/forms/Control.h"

namespace kiv {

// What a layout row says of a control's look besides its place; the flags combine.
enum Look : unsigned {
    Plain = 0,
    RightAligned = 1 << 0,  // a caption beside its field, or an amount box
    Centred = 1 << 1,
    ValueField = 1 << 2,  // a label that shows a stored value, drawn as a read-only white field
    Graphical = 1 << 3,   // a button drawn flat in its own colour
    Bold = 1 << 4,
    Borderless = 1 << 5,  // a frame or picture box that only groups its controls
};

// One control's place: its container (nullptr for the form itself), its geometry in twips
// inside that container, the caption it shows (nullptr leaves the caption as it is) and its look.
struct Placement {
    Control* control;
    Control* container;
    int left, top, width, height;
    const char* caption = nullptr;
    unsigned look = Plain;
};

// Places the controls in the order listed, so that a form's layout reads top to bottom like the
// window it draws; Tab goes through them in that order too. A row without a control is left out:
// a table shared by several forms names there a field that only some of them have.
void applyLayout(std::initializer_list<Placement> placements);

// A form laid out in rows of fields with their captions beside them: where the first row starts,
// the step from row to row, the fields' height, how far a caption sits below its field's top so
// that their texts share a line, and a caption's usual width.
struct FieldRows {
    int firstTop;
    int step;
    int fieldHeight;
    int captionDrop;
    int captionWidth = 0;

    constexpr int top(int row) const { return firstTop + row * step; }
    // A caption of the usual width, or of `width` where one is given.
    Placement caption(Control& label, int left, int row, const char* text, int width = 0) const {
        return caption(label, left, row, width > 0 ? width : captionWidth, text);
    }
    Placement caption(Control& label, int left, int row, int width, const char* text) const {
        return {&label, nullptr,     left, top(row) + captionDrop, width, fieldHeight - captionDrop,
                text,   RightAligned};
    }
    Placement field(Control& control, int left, int row, int width, unsigned look = Plain) const {
        return {&control, nullptr, left, top(row), width, fieldHeight, nullptr, look};
    }
};
void applyPlacement(const Placement& placement);

}  // namespace kiv
