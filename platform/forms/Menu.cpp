#include "platform/forms/Menu.h"

namespace kiv {

Menu::Menu(Form& form, std::string name, std::string caption, int index)
    : Control(form, std::move(name), index), caption_(std::move(caption)) {
    SetTabStop(false);
}

void Menu::SetCaption(const std::string& caption) {
    caption_ = caption;
    notify(Property::Caption);
}

void Menu::SetChecked(bool checked) {
    checked_ = checked;
    notify(Property::Value);
}

void Menu::AddEntry(Menu& entry) {
    entry.parent_ = this;
    entries_.push_back(&entry);
    notify(Property::Items);
}

void Menu::userClick() {
    if (!Enabled() || !Visible() || IsSeparator()) return;
    fire(Click);
}

}  // namespace kiv
