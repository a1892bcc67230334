#pragma once

#include <vector>

#include "ledger/Vouchers.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"

namespace kiv {

// 選取收支單沖帳: settles the instalment or addition the contract form hands over
// (SettleReceivable, SettleIsInstalment, SettlePeriod, SettleAmount) with one of the signed
// vouchers of the contract's project. The row written is the stored row the contract form showed
// (its RowToSettle, numbered SettlePeriod), and only while it is still stored so.
class frmMchIo : public Form {
  public:
    static constexpr const char* FormName = "frmMchIo";
    frmMchIo();

    void Form_Load() override;
    void ListProjectVouchers();
    void hfg_Click();
    void hfg_DblClick();
    void Command1_Click();
    void Command2_Click();

    Grid hfg{*this, "hfg"};
    CommandButton Command1{*this, "Command1"};
    CommandButton Command2{*this, "Command2"};

    // The grid row of the last click; only the mouse chooses.
    int ChosenRow = 0;

  private:
    // The day and amount of each listed voucher as read, row 1 first: the settlement takes its
    // date, and writes only while the voucher still holds that amount.
    std::vector<VoucherDayAndAmount> listed_;
};

}  // namespace kiv
