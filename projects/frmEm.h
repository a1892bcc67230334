#pragma once

#include <string>

#include "platform/db/ShownRows.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListControls.h"

namespace kiv {

// 工種編輯: the one ordered list of work types. A name is added at the end, renamed together
// with its construction items and the projects that include it, or deleted with its items; the
// order set by the moves is stored when the editor closes.
class frmEm : public Form {
  public:
    static constexpr const char* FormName = "frmEm";
    static constexpr int ListHeight = 6465;
    static constexpr int PanelHeight = 8130;
    frmEm();

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void cmdNew_Click();
    void cmdEdit_Click();
    void cmdDel_Click();
    void cmdUp_Click();
    void cmdDn_Click();
    void cmdY_Click();
    void cmdN_Click();
    void Command1_Click();

    ListBox LsM{*this, "LsM"};
    CommandButton cmdNew{*this, "cmdNew"};
    CommandButton cmdEdit{*this, "cmdEdit"};
    CommandButton cmdDel{*this, "cmdDel"};
    CommandButton cmdUp{*this, "cmdUp"};
    CommandButton cmdDn{*this, "cmdDn"};
    CommandButton Command1{*this, "Command1"};
    Frame fm{*this, "fm"};
    Label lb1{*this, "lb1"};
    TextBox txt{*this, "txt"};
    Label lb2{*this, "lb2"};
    CommandButton cmdY{*this, "cmdY"};
    CommandButton cmdN{*this, "cmdN"};

  private:
    void LayOut();
    void WireEvents();
    void LoadWorkTypeList();
    void SaveWorkTypeOrder();
    void ShowPanel();
    void HidePanel();
    void AddWorkType();
    void RenameWorkType();
    void StoreRenaming(const std::string& before, const std::string& after);
    void DeleteWorkType(const std::string& name);
    void SwapEntries(int from, int to);

    std::string EditMode;
    // The list as shown: a save writes only while no other copy of the program changed it.
    ShownRows shownTypes_;
};

}  // namespace kiv
