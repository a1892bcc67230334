#pragma once

#include <string>
#include <vector>

#include "platform/forms/Control.h"

namespace kiv {

// A menu entry. A menu with entries is shown as a pop-up (Form::PopupMenu); an entry whose
// caption is "-" is a separator line.
class Menu : public Control {
  public:
    Menu(Form& form, std::string name, std::string caption = "", int index = -1);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool IsSeparator() const { return caption_ == "-"; }

    void AddEntry(Menu& entry);
    const std::vector<Menu*>& Entries() const { return entries_; }
    Menu* ParentMenu() const { return parent_; }
    bool CanTakeFocus() const override { return false; }

    // The user chooses this entry (when enabled and visible): Click.
    void userClick() override;

  private:
    std::string caption_;
    bool checked_ = false;
    std::vector<Menu*> entries_;
    Menu* parent_ = nullptr;
};

}  // namespace kiv
