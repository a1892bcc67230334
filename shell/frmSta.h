#pragma once

#include <string>

#include "platform/db/ShownRows.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"

namespace kiv {

// The staff records: the list by number prefix, the full-text search, the details of one member
// in full-page mode, adding, editing and deleting (right 21) and the member's login password.
class frmSta : public Form {
  public:
    static constexpr const char* FormName = "frmSta";
    static constexpr int FullPageHeight = 8250;
    static constexpr int SimpleHeight = 3300;
    frmSta();

    void Form_Load() override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Combo1_Click();
    void hfg_Click();
    void hfg_DblClick();
    void hfg_KeyDown(int& keyCode, int shift);
    void hfg_MouseDown(int button, int shift, float x, float y);
    void DTP1_Change();
    void DTP2_Change();
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdY_Click();
    void cmdN_Click();
    void cmdDel_Click();
    void cmdPaSet_Click();
    void cmdPass_Click();
    void cmdCnC_Click();
    void cb1_Click();
    void T2_Validate(bool& cancel);

    // Procedures the list and the entry share.
    void FillStaffList(std::string prefix);
    void SetupStaffGrid();
    void SetPageMode(bool full);
    void SetEditMode(bool entering);
    void SetDetailsEnabled(bool enabled);
    void ShowStaffDetails();
    void FillCounties();
    void ClearEntryFields();
    // False when nothing could be stored (a refusal or a failed write); the mode then stays.
    bool SaveStaff();

    // "AddF", "EditF", "QureF" or empty.
    std::string EntryMode;
    std::string SelectedStaffName;
    std::string NumberPrefix;
    std::string HeldPassword;

    Label Label1{*this, "Label1"};
    ComboBox Combo1{*this, "Combo1"};
    CommandButton cmdPp{*this, "cmdPp"};
    Grid hfg{*this, "hfg"};
    CommandButton cmdAdd{*this, "cmdAdd"};
    CommandButton cmdDel{*this, "cmdDel"};
    CommandButton Command1{*this, "Command1"};
    CommandButton Command3{*this, "Command3"};
    CommandButton Command2{*this, "Command2"};
    Frame Frame1{*this, "Frame1"};
    PictureBox P1{*this, "P1"};
    ControlArray<Label> lbT{*this, "lbT", 18};
    TextBox T1{*this, "T1"};
    TextBox T2{*this, "T2"};
    TextBox T3{*this, "T3"};
    TextBox T4{*this, "T4"};
    TextBox T20{*this, "T20"};
    TextBox T8{*this, "T8"};
    ComboBox cb1{*this, "cb1"};
    TextBox T5{*this, "T5"};
    TextBox T6{*this, "T6"};
    TextBox T9{*this, "T9"};
    TextBox T10{*this, "T10"};
    TextBox T11{*this, "T11"};
    TextBox T12{*this, "T12"};
    TextBox T13{*this, "T13"};
    DatePicker DTP1{*this, "DTP1"};
    TextBox T14{*this, "T14"};
    DatePicker DTP2{*this, "DTP2"};
    TextBox T15{*this, "T15"};
    TextBox T16{*this, "T16"};
    TextBox T17{*this, "T17"};
    TextBox T18{*this, "T18"};
    ListBox L1{*this, "L1"};
    TextBox T19{*this, "T19"};
    Frame Frame3{*this, "Frame3"};
    CommandButton cmdPaSet{*this, "cmdPaSet"};
    Label lbop{*this, "lbop"};
    TextBox txtOp{*this, "txtOp"};
    Label lbNp{*this, "lbNp"};
    TextBox txtNp{*this, "txtNp"};
    Label lbCp{*this, "lbCp"};
    TextBox txtCp{*this, "txtCp"};
    CommandButton cmdPass{*this, "cmdPass"};
    CommandButton cmdCnC{*this, "cmdCnC"};
    Label lbf{*this, "lbf"};
    CommandButton cmdEdit{*this, "cmdEdit"};
    CommandButton cmdY{*this, "cmdY"};
    CommandButton cmdN{*this, "cmdN"};

  private:
    void LayOut();
    void WireEvents();
    void SetTabOrder();
    bool ShowMember(const std::string& name);
    void ShowRow(class Recordset& row);
    bool ReadPassword(const std::string& name);
    enum class PasswordStore { Stored, MemberGone, ChangedElsewhere };
    PasswordStore StorePassword();
    void WriteRow(class Recordset& row);
    bool StoreRow();
    void SelectRow(int row);
    void ShowPasswordControls(bool shown);
    void RefuseReservedName();
    void ShowSearchResults(const std::string& text);

    // The member's record and password as shown, and whose password HeldPassword is: a save or a
    // password change writes only while no other copy of the program changed them meanwhile.
    ShownRows shownRecord_;
    ShownRows shownPassword_;
    std::string passwordOwner_;
};

}  // namespace kiv
