#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/db/ShownRows.h"
#include "platform/db/Value.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"

namespace kiv {

// The company's own record and the three lists of bank accounts: the company's ordinary-deposit
// accounts (obank), the customers' banks (ibank) and the company's cheque accounts (bbank). The
// record is saved by its button; the lists are rewritten whole when the form closes.
class frmCom : public Form {
  public:
    static constexpr const char* FormName = "frmCom";
    frmCom();

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& cancel) override;
    void Command3_Click();
    void hfg_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void hfg_Scroll(int Index);
    void txt_Change();

    Frame Frame1{*this, "Frame1"};
    ControlArray<Label> lbCo{*this, "lbCo", 6};
    TextBox txtCo_name{*this, "txtCo_name"};
    TextBox txtCo_add{*this, "txtCo_add"};
    TextBox txtCo_tel{*this, "txtCo_tel"};
    TextBox txtCo_fax{*this, "txtCo_fax"};
    TextBox txtCo_no{*this, "txtCo_no"};
    TextBox txtCo_email{*this, "txtCo_email"};
    CommandButton Command3{*this, "Command3"};
    ControlArray<Label> lbBank{*this, "lbBank", 3};
    ControlArray<Grid> hfg{*this, "hfg", 3};
    TextBox txt{*this, "txt"};

  private:
    void LoadCompany();
    void LoadBankGrids();
    std::optional<std::string> SaveCompany();
    void SaveCompanyTo(class Database& db);
    bool AmountsAreStorable(int index);
    void SaveBankLists();
    int editedGrid_ = 0;
    // The company record and the three lists as shown: each is written only while no other copy
    // of the program changed it meanwhile.
    ShownRows shownCompany_;
    ShownRows shownBanks_[3];
    // Each list's amounts as read, by row.
    std::vector<Value> readAmounts_[3];
};

}  // namespace kiv
