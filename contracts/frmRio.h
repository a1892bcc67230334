#pragma once

#include <array>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "contracts/Contracts.h"
#include "platform/db/ShownRows.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/Menu.h"

namespace kiv {

// 應收付帳款: one receivable or payable contract at a time, stepped through in number order, with
// its instalments, additions and reductions and the receipts of each in five grids, and the
// totals of what it is worth, what was received and what is still open.
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
    void dtpi_Change();
    void dtpA_Change();
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
    // The cell editors write back into row ClickedRow of their own grid.
    void txt_Change();
    void txt_Validate(bool& cancel);
    void txtsc_Change();
    void txtA_Change();
    void txtA_Validate(bool& cancel);
    void txtM_Change();
    void txtM_Validate(bool& cancel);

    // The schedule grids under the mouse: editors laid over a cell of a grid being edited, the
    // pop-up menu of a row otherwise.
    void hfg_MouseUp(int button);
    void HfgAM_MouseUp(int button);
    void hfgM_MouseUp(int button);
    void hfg1_MouseUp(int button);
    void hfgAm1_MouseUp(int button);
    // The pop-up menu's row commands: delete a planned row or clear a receipt, and settle a
    // planned row with one of the project's vouchers.
    void mdel_Click();
    void mMach_Click();

    // The contract search.
    void FillSearchKinds(bool receivable);
    void cbSer_Click();
    void cmdSer_Click();

    // The buttons and the header frame of browsing (true) or of adding and editing (false).
    void LstNob(bool browsing);
    void SetCompactView(bool compact);
    void ResetNavigator();
    void ShowContractHeader();
    // False when a save the user asked for was refused: its edits stay, and the caller does not
    // show another contract.
    bool PromptSavePendingGrids();
    void FillCustomerList();
    void FillVendorList();

    void SaveContractHeader();
    void TakeProject();
    void FillWorkTypes();

    void LayoutContractGrids();
    void ClearContractGrids();
    void ClearContractHeader();
    void LoadReceivableGrids(const std::string& id);
    void LoadPayableGrids(const std::string& id);
    void AddInstalment();
    void AddAddition();
    void AddReduction();
    void ComputeContractTotals();
    void SaveInstalments();
    void SaveAdditions();
    void SaveReductions();
    void HideCellEditors();

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

    // Schedules.
    ControlArray<Label> gridCaptions{*this, "gridCaptions", 3};
    ControlArray<Label> lb{*this, "lb", 2};
    ControlArray<Label> lb1{*this, "lb1", 2};
    CommandButton cmdAc{*this, "cmdAc"};
    CommandButton cmdEc{*this, "cmdEc"};
    CommandButton cmdAcSv{*this, "cmdAcSv"};
    Grid hfg{*this, "hfg"};
    Grid hfg1{*this, "hfg1"};
    CommandButton cmdAM{*this, "cmdAM"};
    CommandButton cmdEa{*this, "cmdEa"};
    CommandButton cmdAmSv{*this, "cmdAmSv"};
    Grid HfgAM{*this, "HfgAM"};
    Grid hfgAm1{*this, "hfgAm1"};
    CommandButton cmdM{*this, "cmdM"};
    CommandButton cmdEm{*this, "cmdEm"};
    CommandButton cmdMsv{*this, "cmdMsv"};
    Grid hfgM{*this, "hfgM"};
    DatePicker dtpi{*this, "dtpi"};
    DatePicker dtpA{*this, "dtpA"};
    // The cell editors: instalment amount and invoice number, instalment share, additions,
    // reductions.
    TextBox txt{*this, "txt"};
    TextBox txtsc{*this, "txtsc"};
    TextBox txtA{*this, "txtA"};
    TextBox txtM{*this, "txtM"};
    Menu md{*this, "md"};
    Menu mdel{*this, "mdel", "刪除"};
    Menu ml{*this, "ml", "-"};
    Menu mMach{*this, "mMach", "取收支單沖帳"};

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
    bool InstalmentsEditing = false;
    bool AdditionsEditing = false;
    bool ReductionsEditing = false;
    // The amount box the user last worked in; the recalculation of the amounts follows it only.
    std::string LastAmountBox;
    // The numbers of the kind's contracts, ascending; the navigator's value is a position in it.
    std::vector<std::string> ContractIds;
    int NavigatorPosition = 0;
    // The cell under the mouse at the last mouse-up in a schedule grid, and the grid that last
    // popped up the menu: 1 hfg, 2 hfg1, 3 HfgAM, 4 hfgAm1, 5 hfgM.
    int ClickedRow = 0;
    int ClickedCol = 0;
    int PopupGrid = 0;

  private:
    void LayOut();
    void WireEvents();
    void WireRowCommands();
    void ReloadContractGrids();
    bool Receivable() const { return optI.Value(); }
    void ApplyKindLook(bool receivable);
    void ApplyKindHeadings(bool receivable);
    void SwitchKind(bool receivable);
    void RestoreShownKind();
    void MoveToLastContract();
    void FillStoredHeader();
    void LoadGrids(bool receivable, const std::string& id);
    void LoadSchedule(bool receivable, Schedule schedule, const std::string& id);
    void ShowStoredSchedule(Schedule schedule);
    void ShowStoredContract(bool withInstalments);
    void BackToBrowsing();
    std::optional<std::string> StoredTotal(const std::string& number);
    bool RescaledInstalments(std::vector<PlanRow>& rows);
    bool HeaderAmountsAreAmounts();
    bool CellsAreAmounts(Grid& grid, int amountCol);
    bool TypedSharesAreShares();
    void AmountColumnKeyPress(int amountCol, int& keyAscii);
    bool StoreHeader(bool adding, std::string& number, bool totalChanged,
                     const std::vector<PlanRow>& instalments);
    bool InstalmentRows(std::vector<PlanRow>& rows);
    std::vector<PlanRow> AdditionRows() const;
    std::vector<PlanRow> ReductionRows() const;
    bool StoreSchedule(Schedule schedule, const std::vector<PlanRow>& rows);
    bool LookUpCounterparty(std::string& contact, std::string& telephone);
    bool EditableGridMouseUp(Grid& grid, std::initializer_list<Control*> editors, bool editing,
                             CommandButton& save, int popup, int button);
    void ReceiptGridMouseUp(const Grid& receipts, const Grid& plan, int popup, int button);
    void OpenTextEditor(TextBox& editor, const Grid& grid);
    void OpenShareBox();
    void ProposeShare();
    void OpenDatePicker(DatePicker& picker, Grid& grid);
    void ShowPickedContract();

    bool resettingNavigator_ = false;
    // The kind whose contract and grids the form shows. The option buttons turn before their click
    // asks about pending edits, so a grid's save goes by this, not by them.
    bool shownReceivable_ = true;
    bool restoringKind_ = false;
    // The instalment rows whose share the user typed into the share box since the grid was last
    // loaded or saved: the rule for a typed share checks these at the save, never a share the
    // program computed or a file holds. The box's text set on opening is no typing.
    std::set<int> typedShares_;
    bool openingShareBox_ = false;
    // The header and the three schedules as shown, so that a save writes only while no other copy
    // of the program changed them.
    ShownRows shownHeader_;
    std::array<ShownRows, 3> shownSchedules_;
};

}  // namespace kiv
