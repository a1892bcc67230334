#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/db/Recordset.h"
#include "platform/db/ShownRows.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"

namespace kiv {

// 專案管理: one project at a time, in the order the projects were added, with its owner, staff,
// dates and the work types it includes; its lower half shows either those work types or the
// project's income and expense spread over them.
class frmPj : public Form {
  public:
    static constexpr const char* FormName = "frmPj";
    frmPj();

    void Form_Load() override;
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdSv_Click();
    void cmdCencel_Click();
    void FSB_Change();
    void cbPj_Click();
    void cbCust_Change();
    void cmdSpj_Click();
    void cmdCal_Click();
    void cmdPxls_Click();
    void hfg_DblClick();
    void Command1_Click();
    void cmdRi_Click();
    void cmdRo_Click();
    void cmdRio_Click();
    void Command2_Click();

    ControlArray<Label> captions{*this, "captions", 13};
    TextBox txtPjNo{*this, "txtPjNo"};
    CommandButton cmdSpj{*this, "cmdSpj"};
    Label lbStat{*this, "lbStat"};
    ComboBox cbPj{*this, "cbPj"};
    TextBox txtPjN{*this, "txtPjN"};
    TextBox txtCash{*this, "txtCash"};
    Label lbSin{*this, "lbSin"};
    DatePicker DTP3{*this, "DTP3"};
    Label lbSt{*this, "lbSt"};
    DatePicker DTP1{*this, "DTP1"};
    Label lbEd{*this, "lbEd"};
    DatePicker DTP2{*this, "DTP2"};
    ComboBox cbCust{*this, "cbCust", -1, ComboBox::Flavor::Forms2};
    TextBox txtEngAdd{*this, "txtEngAdd"};
    ComboBox cbPled{*this, "cbPled"};
    ComboBox cbDiser{*this, "cbDiser"};
    ComboBox cbWork{*this, "cbWork"};
    TextBox txtPart{*this, "txtPart"};
    TextBox txtArea{*this, "txtArea"};
    CheckBox ckFnl{*this, "ckFnl"};
    Frame frmW{*this, "frmW"};
    ControlArray<ListBox> lstWt{*this, "lstWt", 3};
    Grid hfg{*this, "hfg"};
    FlatScrollBar FSB{*this, "FSB"};
    CommandButton cmdAdd{*this, "cmdAdd"};
    CommandButton cmdEdit{*this, "cmdEdit"};
    CommandButton cmdSv{*this, "cmdSv"};
    CommandButton cmdCencel{*this, "cmdCencel"};
    CommandButton cmdCal{*this, "cmdCal"};
    CommandButton cmdPxls{*this, "cmdPxls"};
    CommandButton Command1{*this, "Command1"};
    CommandButton cmdRi{*this, "cmdRi"};
    CommandButton cmdRo{*this, "cmdRo"};
    CommandButton cmdRio{*this, "cmdRio"};
    CommandButton Command2{*this, "Command2"};

  private:
    void LayOut();
    void WireEvents();
    void ClearProjectFields();
    void SetProjectEditing(bool editing);
    void FillWorkTypeLists();
    void FillStaffLists();
    void FillOwnerList();
    void FillProjectList();
    void OpenProjectRecords();
    bool ProjectRecordsEmpty() const;
    void ShowCurrentProject();
    void ShowWorkTypeEntries(const std::vector<std::string>& unlisted);
    void TickProjectWorkTypes(const std::string& projectNo);
    void TickFirstEntry(const std::string& name);
    void ClearWorkTypeTicks();
    std::vector<std::string> TickedWorkTypes() const;
    void SaveProject();
    bool TotalTyped() const;
    void StoreProject(bool adding);
    void WriteProjectFields(Recordset& project) const;
    void WriteWorkTypes() const;
    void BackToBrowsing(bool added);
    void ShowStoredProject();
    bool ReportShown() const;
    void ShowWorkTypeView();
    void ShowReportView();
    // The report of the project shown, spread over its ticked work types.
    void ShowWorkTypeReport();
    void OpenContractForm(const char* option);
    void OpenProjectReport(bool reportMode);

    std::optional<Recordset> ProjectRecords;
    int ProjectPosition = 0;
    bool AddingProject = false;
    // The project and its work types as shown, so that an edit is stored only while no other copy
    // of the program changed them.
    ShownRows shownProject_;
    ShownRows shownWorkTypes_;
    // The total as shown, kept as stored until the user types another.
    std::string shownTotal_;
    // The work-type list as read, and the names of the project shown that it lacks, listed after
    // it.
    std::vector<std::string> listedTypes_;
    std::vector<std::string> unlistedTypes_;
};

}  // namespace kiv
