#pragma once

#include <optional>
#include <string>

#include "cheques/Cheques.h"
#include "platform/db/Date.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListControls.h"

namespace kiv {

// 票據管理: the one cheque that pays or receives a voucher's money, or that pays a group of
// expense vouchers. The voucher form opens it to record a new cheque; the reminder, the cheque
// list and the statistics open it on an existing cheque, which is then cashed, voided or bounced
// here once.
class frmBill : public Form {
  public:
    static constexpr const char* FormName = "frmBill";
    frmBill();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;
    void cmdSv_Click();
    void cmdCencel_Click();
    void DTP1_Change();
    void DTP2_Change();
    void cbCbnk_Change();
    void cbWbnk_Change();
    void cmdOp_Click();
    void Oop_Click(int Index);

    Label lbIo{*this, "lbIo"};
    // The captions beside the fields.
    ControlArray<Label> captions{*this, "captions", 12};
    Label lbIoNo{*this, "lbIoNo"};
    TextBox txtBillNo{*this, "txtBillNo"};
    Label lbW{*this, "lbW"};
    DatePicker DTP1{*this, "DTP1"};
    Label lbCk{*this, "lbCk"};
    DatePicker DTP2{*this, "DTP2"};
    ComboBox cbWbnk{*this, "cbWbnk", -1, ComboBox::Flavor::Forms2};
    TextBox txtWid{*this, "txtWid"};
    TextBox txtWp{*this, "txtWp"};
    ComboBox cbCbnk{*this, "cbCbnk", -1, ComboBox::Flavor::Forms2};
    TextBox txtCid{*this, "txtCid"};
    TextBox txtCp{*this, "txtCp"};
    Label lbCash{*this, "lbCash"};
    Label lbAr{*this, "lbAr"};
    ComboBox cbArDay{*this, "cbArDay"};
    Label lbDe{*this, "lbDe"};
    ComboBox cbDeDay{*this, "cbDeDay"};
    Label lbBCash{*this, "lbBCash"};
    Frame FrmOp{*this, "FrmOp"};
    ControlArray<OptionButton> Oop{*this, "Oop", 4};
    CommandButton cmdOp{*this, "cmdOp"};
    CommandButton cmdSv{*this, "cmdSv"};
    CommandButton cmdCencel{*this, "cmdCencel"};

  private:
    void LayOut();
    void WireEvents();
    void FillDayLists();
    void FillBankLists(bool received);
    void ShowDayBox(bool received);
    void LockEntry(bool lock);
    void ShowDirection(bool received);
    bool IsReceived() const;

    void ShowStoredCheque();
    void ShowCheque(const Cheque& cheque);
    void NewChequeForVoucher();
    void NewCombinedCheque();
    void StartNewCheque(const std::string& key, bool received, int64_t amount,
                        const std::string& amountText);

    bool EntriesAreComplete();
    Cheque ChequeFromFields() const;
    void SaveCheque();

    bool CashingAllowed();
    // False, after telling the user the balance, when the cheque account does not cover the cheque.
    bool AccountCovers(int64_t balance);
    // The account's balance read inside the cashing found short; nothing is written.
    struct AccountShort {
        int64_t balance;
    };
    void CheckAccountStillCovers(Database& db);
    bool ConfirmProcessing(int Index);
    void ProcessCheque(int Index);
    void CashCheque(const std::string& key);
    void ReselectUnprocessed(bool processingAfter);
    void StopProcessing();

    bool ChequeSaved = false;
    bool ChequeMissing = false;
    bool ProcessingEnabled = false;
    // The cheque shown, as stored; processing works from it.
    std::optional<Cheque> shownCheque_;
    // The dates picked for a new cheque, kept as dates: the labels only show them.
    std::optional<Date> issueDate_;
    std::optional<Date> dueDate_;
};

}  // namespace kiv
