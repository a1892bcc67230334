#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"

namespace kiv {

// On a fresh install, before anyone can log in, the super user's password is set once here.
class frmFirstStart : public Form {
  public:
    static constexpr const char* FormName = "frmFirstStart";
    frmFirstStart();

    void Form_QueryUnload(int& cancel, int unloadMode) override;
    void cmdOK_Click();
    void cmdCancel_Click();

    Label Label1{*this, "Label1"};
    TextBox txtName{*this, "txtName"};
    Label Label2{*this, "Label2"};
    TextBox txtNp{*this, "txtNp"};
    Label Label3{*this, "Label3"};
    TextBox txtCp{*this, "txtCp"};
    CommandButton cmdOK{*this, "cmdOK"};
    CommandButton cmdCancel{*this, "cmdCancel"};
};

}  // namespace kiv
