#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "contracts/Contracts.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"

namespace kiv {

// 選取沖帳專案: settles an open instalment or addition of a contract with the voucher the voucher
// form shows. The side (receivable or payable) is SettleReceivable, which the voucher form sets.
class frmMach : public Form {
  public:
    static constexpr const char* FormName = "frmMach";
    frmMach();

    void Form_Load() override;
    void ListOpenContracts();
    void SetupSettleGrids();
    void lstRio_Click();
    void hfgC_MouseDown(int button);
    void hfgR_MouseDown(int button);
    void cmd_Click();

    Label Label1{*this, "Label1"};
    ListBox lstRio{*this, "lstRio"};
    Label Label2{*this, "Label2"};
    Grid hfgC{*this, "hfgC"};
    Label Label3{*this, "Label3"};
    Grid hfgR{*this, "hfgR"};
    Label Label4{*this, "Label4"};
    Label lbMachCash{*this, "lbMachCash"};
    CommandButton cmd{*this, "cmd"};

    // The row chosen to settle: in hfgC (an instalment) or hfgR (an addition), its grid row and
    // its planned amount in whole dollars. ChosenRow 0 while none is chosen.
    bool ChosenIsInstalment = false;
    int ChosenRow = 0;
    int64_t ChosenPlannedAmount = 0;

  private:
    void FillOpenRows();
    void ShowOpenRows(Grid& grid, Schedule schedule, const std::string& id);
    void ForgetChoice();
    void ChooseRow(Grid& grid, int row, int button);
    void ChooseRowByArrow(Grid& grid, int keyCode);

    // The stored rows each grid shows, in grid order: the settlement writes the chosen one only
    // while it is still stored as shown.
    std::vector<ShownScheduleRow> shownInstalments_;
    std::vector<ShownScheduleRow> shownAdditions_;
};

}  // namespace kiv
