#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ledger/Vouchers.h"
#include "platform/db/Date.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListControls.h"

namespace kiv {

// 自動產生收支單: writes, without asking anything, the voucher that follows a cashed cheque or
// the cash side of a transfer, and then shows it until the user closes the form. Every write is
// done while the form loads, inside the transaction that the caller holds across the show, which
// stores the voucher together with the caller's own rows; nothing entered afterwards is stored.
//
// A cashing (AutoVoucherFromCashing exactly true) marks the voucher CashingVoucherNo cashed and
// adds its follow-up in the same direction. Otherwise the transfer form "frmTrans" is read by
// name (its txtCash, cbBnk and cbABnk) and a cash voucher on "0000" or "9999" is added, its
// number handed back in AutoVoucherNo.
class frmIoAuto : public Form {
  public:
    static constexpr const char* FormName = "frmIoAuto";
    frmIoAuto();

    void Form_Load() override;
    void Check1_Click();
    void Command1_Click();

    // The captions beside the fields.
    ControlArray<Label> captions{*this, "captions", 15};
    Label lbInDay{*this, "lbInDay"};
    Label lbNo{*this, "lbNo"};
    Label lbStat{*this, "lbStat"};
    Label lbHday{*this, "lbHday"};
    ComboBox cbUse{*this, "cbUse"};
    ComboBox cbAcc{*this, "cbAcc"};
    Label lbAcIo{*this, "lbAcIo"};
    Label lbAcTxt{*this, "lbAcTxt"};
    TextBox txtCash{*this, "txtCash"};
    CheckBox Check1{*this, "Check1"};
    Frame Frame3{*this, "Frame3"};
    Label invoiceNoCaption{*this, "invoiceNoCaption"};
    TextBox txtBno{*this, "txtBno"};
    Label taxCaption{*this, "taxCaption"};
    TextBox txtTax{*this, "txtTax"};
    ControlArray<OptionButton> O1{*this, "O1", 2};
    ComboBox cbPj{*this, "cbPj"};
    Label lbPjTxt{*this, "lbPjTxt"};
    ComboBox cbWt{*this, "cbWt"};
    ComboBox cbPs1{*this, "cbPs1"};
    ComboBox cbReq{*this, "cbReq"};
    ComboBox cbPs2{*this, "cbPs2"};
    ComboBox cbSin{*this, "cbSin"};
    Frame suggestionFrame{*this, "suggestionFrame"};
    Label suggestionCaption{*this, "suggestionCaption"};
    ControlArray<OptionButton> Op1{*this, "Op1", 2};
    CheckBox ck{*this, "ck"};
    Label wayCaption{*this, "wayCaption"};
    Frame wayFrame{*this, "wayFrame"};
    ControlArray<OptionButton> optA{*this, "optA", 3};
    CommandButton Command1{*this, "Command1"};

  private:
    void LayOut();
    void ShowCashedVoucher(const Voucher& cashed);
    void ShowTransfer();
    void WriteFollowUpVoucher();
    void WriteTransferVoucher();
    std::string AddShownVoucher(int state);
    Voucher VoucherFromFields(int state) const;

    Date today_;
    // What the voucher shows of the cashed voucher, or of the transfer (no tax; cash suggested).
    std::optional<int64_t> amount_;
    std::optional<int64_t> tax_;
    int suggestion_ = CashSuggested;
};

}  // namespace kiv
