#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"

namespace kiv {

// The log-in dialog: the super user or a staff member; three failed tries end the program. Its
// date picker sets the program's date for the run.
class frmLogin : public Form {
  public:
    static constexpr const char* FormName = "frmLogin";
    frmLogin();

    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unloadMode) override;
    void cmdOK_Click();
    void cmdCancel_Click();
    void DTP_Change();
    void txtUserName_KeyPress(int& keyAscii);
    void txtPassword_KeyPress(int& keyAscii);

    Label Label1{*this, "Label1"};
    TextBox txtUserName{*this, "txtUserName"};
    Label Label2{*this, "Label2"};
    TextBox txtPassword{*this, "txtPassword"};
    CommandButton cmdOK{*this, "cmdOK"};
    CommandButton cmdCancel{*this, "cmdCancel"};
    Label Label3{*this, "Label3"};
    Label lbToday{*this, "lbToday"};
    DatePicker DTP{*this, "DTP"};

  private:
    bool tryLogin();
    void loginFailed();
    int failures_ = 0;
};

}  // namespace kiv
