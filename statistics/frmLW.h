#pragma once

#include <vector>

#include <cstdint>
#include <string>

#include "platform/db/Date.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"

namespace kiv {

// 期間損益表: the income and expense accounts of a period of whole months, each month's amount,
// the period total and its share of the section; per section the monthly subtotals and their
// shares; last the monthly result, income less expense. Only cash vouchers and cashed cheque
// vouchers count; an account is listed whenever it has any voucher in the period.
class frmLW : public Form {
  public:
    static constexpr const char* FormName = "frmLW";
    frmLW();

    void Form_Load() override;
    void cmdStar_Click();
    void cmdPxls_Click();

    Label Label1{*this, "Label1"};
    ComboBox cbSy{*this, "cbSy"};
    ComboBox cbSM{*this, "cbSM"};
    Label lbse{*this, "lbse"};
    Label Label2{*this, "Label2"};
    ComboBox cbEy{*this, "cbEy"};
    ComboBox cbEM{*this, "cbEM"};
    CommandButton cmdStar{*this, "cmdStar"};
    CommandButton cmdPxls{*this, "cmdPxls"};
    Grid hfg{*this, "hfg"};

  private:
    // The rows of one section: its accounts, its subtotal and its share row.
    struct Section {
        bool expense;
        int firstRow;
        int accounts;
        int subtotalRow() const { return firstRow + accounts; }
        int shareRow() const { return firstRow + accounts + 1; }
        // Added as the account cells are filled: each account's total, and each column's sum
        // (the month columns and the total column, by column number).
        std::vector<int64_t> accountTotals;
        std::vector<int64_t> columnSums;
    };

    void LayOut();
    void FillYearCombos();
    bool PeriodIsValid() const;
    void BuildPeriodStatement();
    void SetMonthColumns(int firstYear, int firstMonth, int months);
    Section ListAccounts(bool expense, int firstRow, const Date& from, const Date& untilBefore);
    void FillAccountCells(Section& section);
    int64_t MonthSum(int row, int col, bool expense) const;
    void FillSubtotals(const Section& section);
    void FillShares(const Section& section);
    void FillResultRow(const Section& income, const Section& expense);
    void ExportStatementToExcel();

    // The month columns run from 3 to totalCol_ - 1; the share column follows the total.
    int totalCol_ = 0;
};

}  // namespace kiv
