#pragma once

#include "platform/db/ShownRows.h"
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
    void ToggleRight(int row, int right);
    void WriteRights();

    // The members' rights as shown: applying writes only while no other copy of the program
    // changed or deleted any of them; a member added meanwhile is neither shown nor written.
    ShownRows shownRights_;
};

}  // namespace kiv
