#pragma once

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"

namespace kiv {

// 預估資金流量表: what the firm holds today in cash and in each company account, then every
// cheque not yet processed up to an end day in the order of its day, with the funds left after
// each.
class frmFtr : public Form {
  public:
    static constexpr const char* FormName = "frmFtr";
    frmFtr();

    void Form_Load() override;
    void Command1_Click();
    void cmdPxls_Click();

    Label Label1{*this, "Label1"};
    Label lbEd{*this, "lbEd"};
    DatePicker DTP{*this, "DTP"};
    CommandButton Command1{*this, "Command1"};
    CommandButton cmdPxls{*this, "cmdPxls"};
    Grid hfg{*this, "hfg"};

  private:
    void LayOut();
    void RefreshForecast();
    void SetForecastHeader();
};

}  // namespace kiv
