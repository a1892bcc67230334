#pragma once

#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"

namespace kiv {

class frmIo;

// 新增科目: adds the account whose code was typed into the voucher form's account box, on the
// side chosen here, and shows it on the voucher form.
class frmAdAcc : public Form {
  public:
    static constexpr const char* FormName = "frmAdAcc";
    frmAdAcc();

    void Form_Load() override;
    void Ot1_Click(int Index);
    void Command1_Click();
    void Command2_Click();

    ControlArray<Label> captions{*this, "captions", 3};
    Label lbAccNo{*this, "lbAccNo"};
    TextBox txtAcc{*this, "txtAcc"};
    ControlArray<OptionButton> Ot1{*this, "Ot1", 2};
    CommandButton Command1{*this, "Command1"};
    CommandButton Command2{*this, "Command2"};

  private:
    frmIo& VoucherForm() const;
};

}  // namespace kiv
