#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"

namespace kiv {

// The projects set against the money of their contracts and vouchers. Opened with
// ProjectReportMode True it is the project report: one row per project, signed within a chosen
// range; with False it lists the receivable and payable contracts of the project that the project
// form shows, and a double-click opens one of them in the contract form.
class frmPjVSrIO : public Form {
  public:
    static constexpr const char* FormName = "frmPjVSrIO";
    frmPjVSrIO();

    void Form_Load() override;
    void cmdSer_Click();
    void cmdPxls_Click();
    void hfg_DblClick();

    Label Label1_0{*this, "Label1", 0};
    Label lbSt{*this, "lbSt"};
    DatePicker DTP1{*this, "DTP1"};
    Label Label1_6{*this, "Label1", 6};
    Label lbEd{*this, "lbEd"};
    DatePicker DTP2{*this, "DTP2"};
    CommandButton cmdSer{*this, "cmdSer"};
    Label lbPj{*this, "lbPj"};
    CommandButton cmdPxls{*this, "cmdPxls"};
    Grid hfg{*this, "hfg"};

    // Lays the grid out for the project report (17 columns) or the contracts (12 columns).
    void SetupContractReportGrid(bool reportMode);
    // Every project, or those signed within the range the labels show, both ends included.
    void FillProjectReport(bool useRange);

    // One contract of the shown project as its row reads.
    struct ContractLine {
        std::string no, name, party, workType, total, remark;
        std::optional<int64_t> additions, reductions;
        int64_t settled = 0;
    };
    // One project of the report with its sums.
    struct ProjectLine {
        bool finished = false;
        std::string no, name, owner, signedOn, startedOn, signedAmount;
        int64_t received = 0, receivable = 0, contracted = 0, paid = 0, spent = 0;
    };

  private:
    void LayOut();
    void WireEvents();
    void ShowProjectLines(const std::vector<ProjectLine>& lines);
    void MarkShownProject();
    void ShadeAlternateRows();
    void FillContractMode();
    void AppendContractLines(const std::vector<ContractLine>& lines, bool receivable);
    void OpenContractOfRow(int row);

    std::string ReportProjectNo;
    std::string ReportProjectName;
    // Receivable contract totals less payable ones; whole dollars beyond 32 bits are kept.
    int64_t ContractProfitTotal = 0;
};

}  // namespace kiv
