#pragma once

#include <cstdint>

#include <string>

#include "platform/db/Sql.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"

namespace kiv {

class Recordset;

// 應收付查詢結果: the contracts, instalments or full-text hits that the contract form's search
// asked for, with a totals row; under 專案查詢 one project's contracts at a time. A double-click
// hands a contract back to the contract form, on the side searched.
class frmRioser : public Form {
  public:
    static constexpr const char* FormName = "frmRioser";
    frmRioser();

    void Form_Load() override;
    void hfg_DblClick();
    void cmdPxls_Click();
    // The chosen project's contracts with what is due, settled and still open.
    void cbPj_Click();

    void SetupResultGrid();
    void RunContractSearch();
    void AppendResultTotals();

    Label lbPj{*this, "lbPj"};
    ComboBox cbPj{*this, "cbPj", -1, ComboBox::Flavor::Forms2};
    Label lbCase{*this, "lbCase"};
    CommandButton cmdPxls{*this, "cmdPxls"};
    Grid hfg{*this, "hfg"};

    // The side and the criterion (0 to 6, -1 none) the contract form's search frame held at load.
    bool SearchReceivable = true;
    int SearchKind = -1;

  private:
    void LayOut();
    void ListSchedules();
    int FillScheduleRows(bool additions, int row);
    void ListOpenContracts();
    void ListContractsSignedWithin();
    void SearchAllFields();
    void ListProjects();
    void FillContractRows(Recordset& rs);
    Sql ContractTotalsQuery(const Sql& where, const Sql& order);
    std::string ExportSecondLine() const;

    // The totals of the summed columns (8 for schedule rows, 7 to 9 for contract rows), added as
    // the rows are filled.
    int64_t columnTotals_[10] = {};
};

}  // namespace kiv
