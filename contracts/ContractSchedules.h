#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "contracts/Contracts.h"
#include "platform/db/Database.h"
#include "platform/db/ShownRows.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/Menu.h"

namespace kiv {

class frmRio;

// What the schedule grids add to the contract's worth and what was received on it.
struct ScheduleTotals {
    int64_t additions = 0;
    int64_t reductions = 0;
    int64_t received = 0;
};

// The schedules of the contract the form 應收付帳款 shows: its instalments, additions and
// reductions in their plan grids, the receipts beside the first two, the editors laid over a cell,
// the pop-up menu of a row, and their loading and saving. The controls are the form's own, under
// its names; the form holds this part and says which contract and kind it shows, and what its
// total is, and it shows the totals these grids give.
class ContractSchedules {
    frmRio& contract_;
    // The same form, as the window the controls are on.
    Form& form_;

  public:
    explicit ContractSchedules(frmRio& contract);

    // The cell editors write back into row ClickedRow of their own grid.
    void txt_Change();
    void txt_Validate(bool& cancel);
    void txtsc_Change();
    void txtA_Change();
    void txtA_Validate(bool& cancel);
    void txtM_Change();
    void txtM_Validate(bool& cancel);
    void dtpi_Change();
    void dtpA_Change();
    // Esc in a cell editor puts its row back as it was before the editor opened.
    void CancelCellEdit();

    // The grids under the mouse: editors laid over a cell of a grid being edited, the pop-up menu
    // of a row otherwise.
    void hfg_MouseUp(int button);
    void HfgAM_MouseUp(int button);
    void hfgM_MouseUp(int button);
    void hfg1_MouseUp(int button);
    void hfgAm1_MouseUp(int button);
    // The pop-up menu's row commands: delete a planned row or clear a receipt, and settle a
    // planned row with one of the project's vouchers.
    void mdel_Click();
    void mMach_Click();

    // The fixed cells take the colour of the kind shown, the headings its words.
    void SetFixedColour(Color colour);
    void ApplyKindHeadings(bool receivable);
    void LayoutContractGrids();
    // The grids emptied and laid out afresh.
    void ClearContractGrids();
    void LoadSchedules(bool receivable, const std::string& id);
    ScheduleTotals Totals() const;
    // The stored row that data row `row` of the schedule's grid was loaded from; nullptr for a row
    // added in the grid since.
    const ShownScheduleRow* LoadedRow(Schedule schedule, int row) const;
    // The row the settlement dialog settles, as the menu's command handed it over; none when the
    // row was not stored.
    const std::optional<ShownScheduleRow>& RowToSettle() const { return rowToSettle_; }

    void AddInstalment();
    void AddAddition();
    void AddReduction();
    // Each true when the grid was stored; false when the save was refused, after saying why.
    bool SaveInstalments();
    bool SaveAdditions();
    bool SaveReductions();
    // Asks about each grid being edited in turn; false when a save the user asked for was
    // refused: the caller stops.
    bool PromptSavePendingGrids();
    bool Editing() const { return InstalmentsEditing || AdditionsEditing || ReductionsEditing; }
    void StopEditing();
    void HideCellEditors();

    // The header's save of a new total rewrites the instalments' shares: the rows with their
    // shares of `total`, checked and shown by these.
    bool RescaledInstalments(std::vector<PlanRow>& rows, int64_t total);
    void CheckInstalmentsUnchanged(Database& db);
    void ShowRescaledShares(const std::vector<PlanRow>& rows);
    void ShowStoredSchedule(Schedule schedule);

    ControlArray<Label> gridCaptions{form_, "gridCaptions", 3};
    ControlArray<Label> lb{form_, "lb", 2};
    ControlArray<Label> lb1{form_, "lb1", 2};
    CommandButton cmdAc{form_, "cmdAc"};
    CommandButton cmdEc{form_, "cmdEc"};
    CommandButton cmdAcSv{form_, "cmdAcSv"};
    Grid hfg{form_, "hfg"};
    Grid hfg1{form_, "hfg1"};
    CommandButton cmdAM{form_, "cmdAM"};
    CommandButton cmdEa{form_, "cmdEa"};
    CommandButton cmdAmSv{form_, "cmdAmSv"};
    Grid HfgAM{form_, "HfgAM"};
    Grid hfgAm1{form_, "hfgAm1"};
    CommandButton cmdM{form_, "cmdM"};
    CommandButton cmdEm{form_, "cmdEm"};
    CommandButton cmdMsv{form_, "cmdMsv"};
    Grid hfgM{form_, "hfgM"};
    DatePicker dtpi{form_, "dtpi"};
    DatePicker dtpA{form_, "dtpA"};
    // The cell editors: instalment amount and invoice number, instalment share, additions,
    // reductions.
    TextBox txt{form_, "txt"};
    TextBox txtsc{form_, "txtsc"};
    TextBox txtA{form_, "txtA"};
    TextBox txtM{form_, "txtM"};
    Menu md{form_, "md"};
    Menu mdel{form_, "mdel", "刪除"};
    Menu ml{form_, "ml", "-"};
    Menu mMach{form_, "mMach", "取收支單沖帳"};

    bool InstalmentsEditing = false;
    bool AdditionsEditing = false;
    bool ReductionsEditing = false;
    // The cell under the mouse at the last mouse-up in a schedule grid, and the grid that last
    // popped up the menu: 1 hfg, 2 hfg1, 3 HfgAM, 4 hfgAm1, 5 hfgM.
    int ClickedRow = 0;
    int ClickedCol = 0;
    int PopupGrid = 0;

  private:
    // What became of a grid's typed edits once the user answered the question about them.
    enum class TypedEdits { Saved, Dropped, Refused };
    struct PendingGrid {
        bool& editing;
        const char* question;
        bool (ContractSchedules::*save)();
        CommandButton& button;
    };
    TypedEdits AskAboutTypedEdits(const PendingGrid& grid);

    // A cell of a plan grid.
    struct Cell {
        const Grid* grid;
        int row;
        int col;
        auto operator<=>(const Cell&) const = default;
    };
    // A plan grid's row as it was before its editor opened, the cells typed in it included.
    struct RowBeforeEdit {
        Grid* grid = nullptr;
        int row = 0;
        std::vector<std::string> cells;
        std::set<Cell> typed;
    };

    void WireEvents();
    void LoadSchedule(bool receivable, Schedule schedule, const std::string& id);
    void ShowScheduleRows(Schedule schedule, Recordset stored);
    bool CellsAreAmounts(Grid& grid, int amountCol);
    bool TypedSharesAreShares();
    bool Typed(const Grid& grid, int row, int col) const;
    void MarkTyped(const Grid& grid, int row, int col, bool typed);
    void ForgetTyping(const Grid& grid);
    std::string AmountToStore(const Grid& grid, int row, int col) const;
    std::optional<int64_t> LoadedPeriod(Schedule schedule, int row) const;
    void RememberRowBeforeEdit(Grid& grid);
    void AmountColumnKeyPress(int amountCol, int& keyAscii);
    bool InstalmentRows(std::vector<PlanRow>& rows);
    std::vector<PlanRow> AdditionRows() const;
    std::vector<PlanRow> ReductionRows() const;
    bool StoreSchedule(Schedule schedule, const std::vector<PlanRow>& rows);
    std::vector<ShownScheduleRow> StoredRows(Schedule schedule) const;
    bool EditableGridMouseUp(Grid& grid, std::initializer_list<Control*> editors, bool editing,
                             CommandButton& save, int popup, int button);
    void ReceiptGridMouseUp(const Grid& receipts, const Grid& plan, int popup, int button);
    void OpenTextEditor(TextBox& editor, Grid& grid);
    void OpenShareBox();
    void ProposeShare();
    void OpenDatePicker(DatePicker& picker, Grid& grid);

    // The amount and share cells the user typed into since their grid was last loaded or saved:
    // the rules for what may be typed check these at the save, never a value the program computed
    // (a share above 100 % when the instalments exceed the total) or a file holds, which is stored
    // as it stands. An editor's text set on opening is no typing.
    std::set<Cell> typedCells_;
    bool openingEditor_ = false;
    std::optional<RowBeforeEdit> rowBeforeEdit_;
    // The stored rows each schedule's grid was loaded from, in grid order.
    std::array<std::vector<ShownScheduleRow>, 3> loadedRows_;
    std::optional<ShownScheduleRow> rowToSettle_;
    // The three schedules as shown, so that a save writes only while no other copy of the program
    // changed them.
    std::array<ShownRows, 3> shownSchedules_;
};

}  // namespace kiv
