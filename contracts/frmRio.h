#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "contracts/ContractEntry.h"
#include "contracts/ContractSchedules.h"
#include "contracts/Contracts.h"
#include "platform/db/ShownRows.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListControls.h"

namespace kiv {

// 應收付帳款: one receivable or payable contract at a time, stepped through in number order, with
// its instalments, additions and reductions and the receipts of each in five grids (the
// schedules, a part of their own), and the totals of what it is worth, what was received and what
// is still open.
class frmRio : public Form {
  public:
    static constexpr const char* FormName = "frmRio";
    // The full view and the compact one used while a contract is added, outer heights.
    static constexpr int FullHeight = 8760;
    static constexpr int CompactHeight = 2505 + TitleBarTwips + FrameTwips;
    frmRio();

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& cancel) override;
    // A header being added or edited, or a schedule grid with edits not yet saved.
    bool HoldsUnsavedInput() const override;

    // The direction switch: the whole form turns to receivables (optI) or payables (optO).
    void optI_Click();
    void optO_Click();
    void FSB_Change();
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdCen_Click();
    void cmdAll_Click();
    void cmdDel_Click();
    void cbCna_Click();
    void dtpSerS_Change();
    void dtpSerE_Change();

    // The amount boxes of the header: the tax and the total follow the box last entered.
    void txtAm_GotFocus();
    void txtAm_KeyPress(int& keyAscii);
    void txtAm_Change();
    void txtComi_GotFocus();
    void txtComi_KeyPress(int& keyAscii);
    void txtComi_Change();
    void txtLet_GotFocus();
    void txtLet_KeyPress(int& keyAscii);
    void txtLet_Change();
    void txtTal_GotFocus();
    void txtTal_KeyPress(int& keyAscii);
    void txtTal_Change();
    void txtTal_Validate(bool& cancel);
    void txtfnLet_KeyPress(int& keyAscii);
    void txtfnLet_Change();
    void txtSer_KeyPress(int& keyAscii);
    void RecalcContractAmounts();

    // The contract search.
    void FillSearchKinds(bool receivable);
    void cbSer_Click();
    void cmdSer_Click();

    // The buttons and the header frame of browsing (true) or of adding and editing (false).
    void LstNob(bool browsing);
    void SetCompactView(bool compact);
    void ResetNavigator();
    void ShowContractHeader();
    void FillCustomerList();
    void FillVendorList();

    void SaveContractHeader();
    void TakeProject();
    void FillWorkTypes();

    // The schedules and the totals emptied.
    void ClearContractGrids();
    void ClearContractHeader();
    void LoadReceivableGrids(const std::string& id);
    void LoadPayableGrids(const std::string& id);
    // The schedules of the contract shown, loaded afresh for the kind chosen now.
    void ReloadContractGrids();
    void ComputeContractTotals();
    bool Receivable() const { return optI.Value(); }
    // The kind whose contract and grids the form shows. The option buttons turn before their click
    // asks about pending edits, so a schedule's save goes by this, not by them.
    bool ShownReceivable() const { return shownReceivable_; }

    // Header.
    Label lbStat{*this, "lbStat"};
    OptionButton optI{*this, "optI"};
    OptionButton optO{*this, "optO"};
    FlatScrollBar FSB{*this, "FSB"};
    CommandButton cmdAdd{*this, "cmdAdd"};
    CommandButton cmdEdit{*this, "cmdEdit"};
    CommandButton cmdDel{*this, "cmdDel"};
    CommandButton cmdSv{*this, "cmdSv"};
    CommandButton cmdCen{*this, "cmdCen"};
    Frame frme{*this, "frme"};
    ControlArray<Label> captions{*this, "captions", 15};
    Label lbNo{*this, "lbNo"};
    TextBox txtNa{*this, "txtNa"};
    Label lbSin{*this, "lbSin"};
    DatePicker DTP{*this, "DTP"};
    Label lbPj{*this, "lbPj"};
    Label lbPjNo{*this, "lbPjNo"};
    CommandButton cmdPj{*this, "cmdPj"};
    Label Label4{*this, "Label4"};
    ComboBox cbCna{*this, "cbCna"};
    TextBox txtCcnt{*this, "txtCcnt"};
    TextBox txtCtel{*this, "txtCtel"};
    ComboBox cbWork{*this, "cbWork"};
    TextBox txtAm{*this, "txtAm"};
    Label lbTax{*this, "lbTax"};
    TextBox txtComi{*this, "txtComi"};
    TextBox txtLet{*this, "txtLet"};
    TextBox txtTal{*this, "txtTal"};
    CheckBox chkTax{*this, "chkTax"};
    TextBox txtQno{*this, "txtQno"};
    TextBox txtCno{*this, "txtCno"};
    TextBox txtPs{*this, "txtPs"};
    CommandButton cmdAll{*this, "cmdAll"};

    // The instalments, additions and reductions.
    ContractSchedules schedules{*this};

    // Totals.
    ControlArray<Label> totalCaptions{*this, "totalCaptions", 4};
    Label lbCC{*this, "lbCC"};
    Label lbAC{*this, "lbAC"};
    Label lbMC{*this, "lbMC"};
    Label lbFn{*this, "lbFn"};
    TextBox txtfnLet{*this, "txtfnLet"};
    Label lbTAC{*this, "lbTAC"};
    Label lbdb{*this, "lbdb"};
    Label lbBC{*this, "lbBC"};
    Label lbBCP{*this, "lbBCP"};
    Label lbda{*this, "lbda"};
    Label lbACC{*this, "lbACC"};
    Label lbACP{*this, "lbACP"};

    // The contract search.
    Frame fmeSer{*this, "fmeSer"};
    OptionButton optIser{*this, "optIser"};
    OptionButton optOser{*this, "optOser"};
    CommandButton cmdSer{*this, "cmdSer"};
    ComboBox cbSer{*this, "cbSer"};
    TextBox txtSer{*this, "txtSer"};
    Label lbSerS{*this, "lbSerS"};
    DatePicker dtpSerS{*this, "dtpSerS"};
    Label lbse6{*this, "lbse", 6};
    Label lbSerE{*this, "lbSerE"};
    DatePicker dtpSerE{*this, "dtpSerE"};

    // Form state.
    bool AddingContract = false;
    // The amount box the user last worked in; the recalculation of the amounts follows it only.
    std::string LastAmountBox;
    // The numbers of the kind's contracts, ascending; the navigator's value is a position in it.
    std::vector<std::string> ContractIds;
    int NavigatorPosition = 0;

  private:
    void StartTypingAtTheName();
    void LayOut();
    void WireEvents();
    void ApplyKindLook(bool receivable);
    void ApplyKindHeadings(bool receivable);
    void SwitchKind(bool receivable);
    void RestoreShownKind();
    void MoveToLastContract();
    void FillStoredHeader();
    void ShowHeaderRow(Recordset rs);
    void ShowStoredHeaderAndGrids();
    void RememberShownAmounts(const Recordset* stored);
    bool AmountTyped(const TextBox& box) const;
    Value AmountToStore(const TextBox& box, AmountRule rule = ContractAmountRule) const;
    void LoadGrids(bool receivable, const std::string& id);
    void ShowStoredContract(bool withInstalments);
    void BackToBrowsing();
    std::optional<std::string> StoredTotal(const std::string& number);
    bool HeaderAmountsAreAmounts();
    bool StoreHeader(bool adding, std::string& number, bool totalChanged,
                     const std::vector<PlanRow>& instalments);
    bool LookUpCounterparty(std::string& contact, std::string& telephone);
    void ShowPickedContract();

    bool resettingNavigator_ = false;
    bool shownReceivable_ = true;
    bool restoringKind_ = false;
    // The header as shown, so that a save writes only while no other copy of the program changed
    // it.
    ShownRows shownHeader_;
    // Each amount box as the header was last filled: the text it showed and the value stored.
    std::map<const TextBox*, std::pair<std::string, Value>> shownAmounts_;
};

}  // namespace kiv
