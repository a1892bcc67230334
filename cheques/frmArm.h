#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"

namespace kiv {

// 未處理票據提醒: right after the login, the unprocessed received cheques whose due date has come
// and the issued ones whose reminder date has come, each list with its totals per bank account.
// It reads and writes nothing else; a double-click opens the cheque.
class frmArm : public Form {
  public:
    static constexpr const char* FormName = "frmArm";
    frmArm();

    void Form_Load() override;
    void Form_Activate() override;
    void hfgI_DblClick();
    void hfgO_DblClick();

    Label Label2{*this, "Label2"};
    Grid hfgI{*this, "hfgI"};
    Grid hfgIs{*this, "hfgIs"};
    Label Label1{*this, "Label1"};
    Grid hfgO{*this, "hfgO"};
    Grid hfgOs{*this, "hfgOs"};

  private:
    void SetupReminderGrids();
    void FillReceivedCheques();
    void FillIssuedCheques();
    void OpenChequeOfRow(const Grid& grid);

    bool ReceivedListEmpty = false;
    bool IssuedListEmpty = false;
};

}  // namespace kiv
