#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"

namespace kiv {

// 選取專案: the projects not closed, ordered by number as text. The row picked is handed back in
// PickedProjectRow; after OK the form stays loaded (hidden) so that the caller reads the row from
// its grid.
class frmGtPj : public Form {
  public:
    static constexpr const char* FormName = "frmGtPj";
    frmGtPj();

    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;
    void hfg_Click();
    void hfg_DblClick();
    void Command1_Click();
    void Command2_Click();

    Label lbNote{*this, "lbNote"};
    Grid hfg{*this, "hfg"};
    CommandButton Command1{*this, "Command1"};
    CommandButton Command2{*this, "Command2"};

  private:
    void FillOpenProjects();

    // The current row when a key went down, to tell whether the key moved to another row.
    int rowBeforeKey_ = 0;
};

}  // namespace kiv
