#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/Recordset.h"
#include "platform/db/Sql.h"
#include "platform/db/Value.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"
#include "platform/report/Report.h"

namespace kiv {

// 收支查詢: the signed vouchers picked by one of nine criteria, optionally within a range of their
// dates, with a running balance and nine total rows below them. Every query also refills the
// print table of the list; the list can be sorted, printed and copied to a workbook, and a
// double-click opens a voucher or its cheque.
class frmCash : public Form {
  public:
    static constexpr const char* FormName = "frmCash";
    frmCash();

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void cbRu_Click();
    void cbSub_Click();
    void cmdSer_Click();
    void cmdPrt_Click();
    void cmdPxls_Click();
    void hfg_Click();
    void hfg_DblClick();

    Frame Fme{*this, "Fme"};
    Label Label1_0{*this, "Label1", 0};
    ComboBox cbRu{*this, "cbRu"};
    ComboBox cbSub{*this, "cbSub", -1, ComboBox::Flavor::Forms2};
    OptionButton optIo{*this, "optIo"};
    OptionButton optCh{*this, "optCh"};
    CommandButton cmdSer{*this, "cmdSer"};
    CheckBox ckDate{*this, "ckDate"};
    DatePicker DTP1{*this, "DTP1"};
    Label lbSt{*this, "lbSt"};
    Label Label1_2{*this, "Label1", 2};
    DatePicker DTP2{*this, "DTP2"};
    Label lbEd{*this, "lbEd"};
    CommandButton cmdPrt{*this, "cmdPrt"};
    CommandButton cmdPxls{*this, "cmdPxls"};
    Grid hfg{*this, "hfg"};
    Report crtp;

    // Whether the account last chosen under 依科目 is an income account.
    bool AccountIsIncome = false;

  private:
    struct QueryText {
        Sql sql;
        std::vector<Value> params;
    };
    struct QueryFields;

    void LayOut();
    void WireEvents();

    void FillQueryCriterionList();
    void FillListFromQuery(const Sql& sql, int columns);
    void FillFixedList(const std::vector<const char*>& items);

    void RunVoucherQuery();
    std::optional<QueryText> VoucherQueryText() const;
    std::optional<Sql> CriterionCondition(bool ranged, std::vector<Value>& params) const;
    void FillQueryRow(int row, const Recordset& rs, const QueryFields& fields, int64_t& balance);
    void FillQueryAmounts(int row, const Recordset& rs, const QueryFields& fields,
                          int64_t& balance);
    void SetQueryGridHeaders();
    void AddSummaryRows();
    void FillQueryPrintTable();
    void EmptyQueryPrintTable();

    void ShowDataSpan();
    void SortQueryGrid();
    void OpenVoucherFromGrid();
    void OpenVoucher(const std::string& number);
    void OpenCheque(const std::string& number);

    void PrintQueryReport();
    void ExportQueryToExcel();
    void LoadColumnWidths();
    void SaveColumnWidths();

    // The grid ends in the nine total rows (a query that found nothing leaves none).
    bool hasTotals_ = false;
    // The eight sums of the total rows, added as integers while the query fills the rows.
    std::array<int64_t, 8> sums_{};
};

}  // namespace kiv
