#include "platform/forms/Layout.h"

#include <algorithm>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"

namespace kiv {

namespace {

constexpr Color FieldBack = 0xFFFFFF;

int alignmentOf(unsigned look) {
    if (look & RightAligned) return 1;
    if (look & Centred) return 2;
    return 0;
}

void setCaption(Control& control, const char* caption) {
    if (auto* label = dynamic_cast<Label*>(&control))
        label->SetCaption(caption);
    else if (auto* button = dynamic_cast<CommandButton*>(&control))
        button->SetCaption(caption);
    else if (auto* check = dynamic_cast<CheckBox*>(&control))
        check->SetCaption(caption);
    else if (auto* option = dynamic_cast<OptionButton*>(&control))
        option->SetCaption(caption);
    else if (auto* frame = dynamic_cast<Frame*>(&control))
        frame->SetCaption(caption);
}

void setLook(Control& control, unsigned look) {
    if (look & Bold) control.SetFontBold(true);
    if (auto* label = dynamic_cast<Label*>(&control)) {
        if (look & (RightAligned | Centred)) label->SetAlignment(alignmentOf(look));
        if (look & ValueField) {
            label->SetBorderStyle(1);
            label->SetBackColor(FieldBack);
        }
    } else if (auto* box = dynamic_cast<TextBox*>(&control)) {
        if (look & (RightAligned | Centred)) box->SetAlignment(alignmentOf(look));
    } else if (auto* button = dynamic_cast<CommandButton*>(&control)) {
        if (look & Graphical) button->SetStyle(1);
    } else if (auto* frame = dynamic_cast<Frame*>(&control)) {
        if (look & Borderless) frame->SetBorderStyle(0);
    } else if (auto* picture = dynamic_cast<PictureBox*>(&control)) {
        if (look & Borderless) picture->SetBorderStyle(0);
    }
}

}  // namespace

void applyPlacement(const Placement& p) {
    if (p.container) p.control->SetContainer(p.container);
    if (p.caption) setCaption(*p.control, p.caption);
    setLook(*p.control, p.look);
    p.control->Move(p.left, p.top, p.width, p.height);
}

void applyLayout(std::initializer_list<Placement> placements) {
    std::vector<Control*> listed;
    for (const Placement& placement : placements) {
        if (!placement.control) continue;
        applyPlacement(placement);
        if (std::find(listed.begin(), listed.end(), placement.control) == listed.end())
            listed.push_back(placement.control);
    }
    if (!listed.empty()) listed.front()->form().AddToReadingOrder(listed);
}

}  // namespace kiv
