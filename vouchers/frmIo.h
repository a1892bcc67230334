#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ledger/Vouchers.h"
#include "platform/db/Amount.h"
#include "platform/db/Recordset.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"
#include "platform/report/Report.h"
#include "vouchers/WordLists.h"

namespace kiv {

// 收支管理: the income and expense vouchers, one at a time in number order, stepped through with
// the scroll bar. Vouchers are added and modified here, signed off by cash (with a posting in the
// cash book) or by cheque (through the cheque form), and printed. Other forms open it on one
// voucher, and the cheque and settlement forms read the voucher shown from its controls.
class frmIo : public Form {
  public:
    static constexpr const char* FormName = "frmIo";
    frmIo();

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    // A voucher being added or modified, or a sign-off not yet saved.
    bool HoldsUnsavedInput() const override;
    std::string WorkName() const override { return "收支單"; }
    void FSB_Change();
    void FSB_KeyDown(int& KeyCode, int Shift);
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdSv_Click();
    void cmdCencel_Click();
    void ck_Click();
    void Check1_Click();
    void cmdMach_Click();
    void cmdPt_Click();
    void cmdPt_MouseDown(int Button, int Shift, float X, float Y);
    void optS_Click();
    void optP_Click();
    void cbAcc_Click();
    void cbAcc_Change();
    void cbPj_Click();
    void cbPj_Change();
    void cmdNck_Click();
    void cmdSall_Click();
    void hfg_DblClick();
    void hfg_MouseDown(int Button, int Shift, float X, float Y);
    void hfg_KeyPress(int& KeyAscii);
    void ckco_Click();
    void cmdco_Click();
    void cbAcc_Validate(bool& Cancel);
    void cbUse_Validate(bool& Cancel);
    void cbPs1_Validate(bool& Cancel);
    void cbPs2_Validate(bool& Cancel);
    void DTP1_Change();
    void txtCash_KeyPress(int& KeyAscii);
    void txtCash_KeyUp(int& KeyCode, int Shift);

    // The captions beside the fields.
    ControlArray<Label> captions{*this, "captions", 15};
    Label lbInDay{*this, "lbInDay"};
    Label lbNo{*this, "lbNo"};
    Label lbStat{*this, "lbStat"};
    Label lbHday{*this, "lbHday"};
    DatePicker DTP1{*this, "DTP1"};
    ComboBox cbUse{*this, "cbUse"};
    ComboBox cbAcc{*this, "cbAcc", -1, ComboBox::Flavor::Forms2};
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
    ComboBox cbPj{*this, "cbPj", -1, ComboBox::Flavor::Forms2};
    Label lbPjTxt{*this, "lbPjTxt"};
    ComboBox cbWt{*this, "cbWt"};
    ComboBox cbPs1{*this, "cbPs1"};
    ComboBox cbReq{*this, "cbReq"};
    ComboBox cbPs2{*this, "cbPs2"};
    ComboBox cbSin{*this, "cbSin"};
    Frame personFrame{*this, "personFrame"};
    OptionButton optS{*this, "optS"};
    OptionButton optP{*this, "optP"};
    Frame fmeM{*this, "fmeM"};
    Label suggestionCaption{*this, "suggestionCaption"};
    ControlArray<OptionButton> Op1{*this, "Op1", 2};
    CheckBox ckNoW{*this, "ckNoW"};
    CheckBox ck{*this, "ck"};
    Label lbop{*this, "lbop"};
    Frame frmMa{*this, "frmMa"};
    ControlArray<OptionButton> optA{*this, "optA", 3};
    CommandButton cmdMach{*this, "cmdMach"};
    FlatScrollBar FSB{*this, "FSB"};
    CommandButton cmdAdd{*this, "cmdAdd"};
    CommandButton cmdEdit{*this, "cmdEdit"};
    CommandButton cmdSv{*this, "cmdSv"};
    CommandButton cmdCencel{*this, "cmdCencel"};
    TextBox txtIo{*this, "txtIo"};
    CommandButton cmdPt{*this, "cmdPt"};
    CommandButton cmdNck{*this, "cmdNck"};
    CommandButton cmdSall{*this, "cmdSall"};
    CheckBox ckco{*this, "ckco"};
    CommandButton cmdco{*this, "cmdco"};
    Grid hfg{*this, "hfg"};

    // The report control the voucher prints through.
    Report crtp;

  private:
    void LayOut();
    void SetUpLists();
    void WireEvents();
    int64_t CountBook();
    bool BookUnchanged();
    void KeepCountOver(bool countHeld);
    void OpenVoucherRecordset();
    bool VouchersListed() const;
    std::optional<int64_t> KeySteps(int key) const;
    void MoveBar(int64_t steps);
    bool ShowReadInOneRead(const std::function<std::optional<Voucher>()>& read);
    void WriteKeepingCount(const std::function<void()>& write);
    std::optional<Voucher> StepList(int64_t steps);
    std::optional<Voucher> StepFromHeldVoucher(int64_t steps);
    void OpenListAt(int position, int last);
    std::optional<Voucher> PlaceListFrom(const std::string& number, int64_t steps);
    std::optional<Voucher> PlaceListOnNewest();
    std::optional<Voucher> OpenListOn(int64_t place, int64_t count);
    bool ShowHeldVoucher();
    std::optional<Voucher> HeldVoucherAsStored();
    void ShowVoucherByNumber();
    void ShowVoucherFields(const Voucher& voucher);
    Voucher VoucherFromFields() const;
    bool ShowsStored(const TextBox& box, const std::optional<int64_t>& stored) const;
    std::optional<int64_t> BoxValue(const TextBox& box, const std::optional<int64_t>& stored,
                                    const AmountRule& rule) const;
    std::vector<std::string> EntryTexts() const;
    void ShowNoVoucher();
    void ShowStoredVoucher();
    bool EndEntryOnStoredVoucher();
    void TellWhyNotRewritten();
    bool SignedHere(const std::string& number) const;
    void ShowState(int state, int suggestion);
    void SetTickQuietly(int value);
    void ShowDirection(bool expense);
    void ShowAccountOfRow(int row);
    void ShowProjectOfRow(int row);
    bool MayLeaveEntry();
    void EndEntry();
    void ClearVoucherFields();
    void ShowHappenedDay(const std::optional<Date>& day);
    void SetEntryEnabled(bool b);
    void ClearForNewVoucher(const std::string& number);
    void SetBar(int position, int64_t vouchers);
    void LoadVoucherTitle();
    void StoreVoucherTitle();
    void FillPrintTable();
    void PrintReport(const std::string& name);
    void RefreshListMode();
    bool ListUnsignedVouchers(bool quiet);
    void FullTextSearch();
    void CloseList(CommandButton& button, const char* caption, int height);
    void SizeForList(int height, bool listed);
    bool MarkingForCheque() const;
    void MarkVoucherForCheque(int row);
    void IssueCombinedCheque();

    void SaveVoucher();
    bool EntriesAreComplete();
    bool AddNewVoucher();
    void RewriteShownVoucher();
    bool SignOffByCheque();
    bool ChequeEntered(bool combined);
    void BackToBrowsing();
    std::optional<int> StoredState(const std::string& number) const;

    void FillAccountCombo();
    void FillProjectCombo();
    void FillWorkTypeCombo();
    void FillPersonCombos();
    void FillUseCombo();
    void FillNote1Combo();
    void FillNote2Combo();
    void EnsureAccountExists(bool& cancel);
    void AddWordIfMissing(WordList list, ComboBox& box, const char* question,
                          void (frmIo::*fill)());

    std::optional<Recordset> VoucherRecordset;
    // The voucher as it was read when shown, which a save expects still to be stored.
    Voucher shownVoucher_;
    // The fields as an entry (adding or modifying) began, to tell whether anything was typed.
    std::vector<std::string> entryBegun_;
    int CurrentPosition = 0;
    // The changes of the book (this copy's writes and other copies' commits) counted when the bar's
    // place and end were last read from it.
    uint64_t rangeChanges_ = 0;
    // The list was opened again at an entry's end and stands on no voucher: the bar's next move
    // places it.
    bool listAwaitsBar_ = false;
    // The form sets the bar where the list already stands: its Change moves nothing.
    bool barSetByCode_ = false;
    bool AddingVoucher = false;
    bool SignOffPending = false;
    bool SuppressTickClick = false;
    // The form holds one voucher named by its opener. Kept here rather than in ShowOneRecord,
    // which the cheque form's opening clears while the form still shows that one voucher.
    bool showingOneVoucher_ = false;
    std::string oneVoucherNo_;
    // That voucher's number matched no voucher.
    bool oneVoucherMissing_ = false;
    // The vouchers this form signed off while open (by a save or a combined cheque).
    std::set<std::string> signedHere_;
    // The sum of the vouchers marked for one cheque, handed to the cheque form.
    int64_t markedTotal_ = 0;
};

}  // namespace kiv
