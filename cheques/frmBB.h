#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/db/Database.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/ListControls.h"
#include "platform/report/Report.h"

namespace kiv {

// 票據一覽表: the issued or the received cheques of one bank account or all, optionally within a
// range of one of their dates, with the purpose of each one's voucher and its state, and under
// them one summary row per due date, account and state. Every query also refills the print
// tables the cheque reports read; the list can be sorted, printed and copied to a workbook.
class frmBB : public Form {
  public:
    static constexpr const char* FormName = "frmBB";
    frmBB();

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void opt_Click(int Index);
    void DTP1_Change();
    void Command1_Click();
    void Combo1_Click();
    void cmdPio_Click();
    void Command2_Click();
    void hfg_Click();
    void hfg_DblClick();

    Frame Frame1{*this, "Frame1"};
    ControlArray<OptionButton> opt{*this, "opt", 2};
    Label lbBnk{*this, "lbBnk"};
    ComboBox cbBnk{*this, "cbBnk"};
    CheckBox ckDate{*this, "ckDate"};
    ComboBox cbDay{*this, "cbDay"};
    DatePicker DTP1{*this, "DTP1"};
    Label lbSt{*this, "lbSt"};
    Label Label1{*this, "Label1"};
    DatePicker DTP2{*this, "DTP2"};
    Label lbEd{*this, "lbEd"};
    CommandButton Command1{*this, "Command1"};
    ComboBox Combo1{*this, "Combo1"};
    CommandButton cmdPio{*this, "cmdPio"};
    CommandButton Command2{*this, "Command2"};
    Grid hfg{*this, "hfg"};
    Report crtp;

    // The grid's row count right after the cheque rows: the header and the cheque rows, or 2 when
    // no cheque was listed. The summary lies below it.
    int DetailRowCount = 0;
    bool SortDescending = false;

  private:
    void LayOut();
    void WireEvents();
    bool IsReceived() const;

    void RunChequeQuery();
    void SetupChequeGrid();
    void FillChequeGrid(bool received);
    void TallyCheque(const std::string& due, const std::string& account, const std::string& state,
                     int64_t amount);
    void AppendChequeSummary();
    void SortChequeGrid();
    void OpenChequeOrVoucher();
    void OpenCheque(int row);
    void OpenVoucher(int row);
    void FillBankAccountCombo(bool received);
    void FillDateKindCombo(bool received);
    void FillPrintChoiceCombo(bool received);

    std::vector<std::vector<std::string>> ReadSummaryGroups();
    void FillSignOffTable();
    void KeepGridRows(const char* table, bool withDueOrder, int lastRow);
    void KeepListShown();
    void FillPrintTable();
    void FillDetailTable();
    // The rows of a print table, each field's text by `fields` (nullopt for Null): rows 1 ..
    // gridRows of the grid while it shows them, else texts of their own.
    struct PrintRows {
        std::vector<std::string> fields;
        std::vector<std::vector<std::optional<std::string>>> rows;
        std::optional<int> gridRows;
    };
    void GridRowTexts(int row, const PrintRows& table, Database::RowTexts& texts,
                      std::string& dueOrder) const;
    void CopyOutGridRows(const std::vector<std::string>& keptAnew);
    void WritePrintRows(const std::string& table, PrintRows rows);
    void WriteKeptRows(const std::string& table);
    std::string PeriodLine(const std::string& between) const;

    void PrintChequeReport();
    void ExportChequeListToExcel();
    void LoadChequeColumnWidths();
    void SaveChequeColumnWidths();

    // The direction of the last query: the summary, the sort and the print tables follow the rows
    // shown, not an option switched since.
    bool queriedReceived_ = false;
    // The count and total of the listed cheques of one due date (as the summary writes it),
    // account and state, added while the query fills the cheque rows.
    struct ChequeTally {
        int count = 0;
        int64_t total = 0;
    };
    std::unordered_map<std::string, ChequeTally> tallies_;
    // What this copy last filled each print table with, kept before it is written (a write another
    // copy stops leaves it kept) and written again where it is read back.
    std::unordered_map<std::string, PrintRows> printRows_;
};

}  // namespace kiv
