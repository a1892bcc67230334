#pragma once

#include <string>
#include <vector>

#include "platform/db/Value.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"

namespace kiv {

// The rights editor: one row per staff member, one column per right, a star where the member
// holds it. The rights are written when the user applies them and count from the next login.
class frmSec : public Form {
  public:
    static constexpr const char* FormName = "frmSec";
    static constexpr const char* Star = "★";
    frmSec();

    void Form_Load() override;
    void hfg_Click();
    void Command1_Click();

    void SetupRightsGrid();
    void LoadRightsGrid();
    void ApplyRights();

    Grid hfg{*this, "hfg"};
    CommandButton Command1{*this, "Command1"};

  private:
    bool Starred(int row, int right) const;
    void SetStar(int row, int right, bool starred);
    void ToggleCell(int row, int col);
    void ToggleRight(int row, int right);
    std::vector<std::string> WriteRights();

    // The members shown, one per grid row from the first staff row, with their rights as read:
    // a member's rights are written only over those; a member added meanwhile is neither shown
    // nor written.
    struct ShownMember {
        std::string name;
        Value rights;
    };
    std::vector<ShownMember> shownMembers_;
};

}  // namespace kiv
