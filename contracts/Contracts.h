#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/Recordset.h"
#include "platform/db/ShownRows.h"
#include "platform/db/Value.h"

// The receivable (ri) and payable (ro) contracts and their schedules in the accounting database.
// The two families have the same layout; every function works within the one family chosen.
namespace kiv {

class Grid;

enum class Schedule { Instalments, Additions, Reductions };

// "ri" or "ro", followed by the part: "" the contract, "期", "加", "減" the schedules.
std::string ContractTable(bool receivable, std::string_view part = "");
std::string ScheduleTable(bool receivable, Schedule schedule);

// The number the next contract of the kind saved today takes: the ROC day "eemmdd" and a
// two-digit serial. nullopt once the day's 99 numbers are taken.
std::optional<std::string> NextContractNumber(bool receivable);

// The numbers of every contract of the kind, in ascending order.
std::vector<std::string> ContractNumbers(bool receivable);
bool ContractExists(bool receivable, const std::string& id);

// One schedule row as the grid plans it: the values of the fields PlanFields names, in that order
// (a date field takes a Date or Null, every other field its text), and the number (期別) of the
// stored row the grid row was loaded from, none for a row added in the grid.
struct PlanRow {
    std::vector<Value> values;
    std::optional<int64_t> loadedFrom;
};
struct PlanField {
    const char* name;
    bool isDate;
};
const std::vector<PlanField>& PlanFields(Schedule schedule);

// Replaces every stored row of the contract's schedule by `rows`, numbered 1..n in order, all or
// nothing. The settlement of an instalment or an addition is made only by the settlement
// dialogs, which may run while the contract form shows the row: each new row keeps the
// settlement now stored in the row it was loaded from, whatever number that row had (stored
// numbers may have gaps), and a row added in the grid is open.
void ReplaceSchedule(bool receivable, Schedule schedule, const std::string& id,
                     const std::vector<PlanRow>& rows);

// The contract's schedule rows as its grid shows them, their planned fields in number order, for
// the check of a save. The settlement is left out: a settlement made meanwhile is kept by
// ReplaceSchedule and so overwrites nothing.
ShownRows ShownSchedule(bool receivable, Schedule schedule, const std::string& id);

// A stored schedule row as a grid was filled from it: its number, its planned amount as stored
// ("##,##0" text: 預付金 of an instalment, 金額 of an addition or a reduction) and every field as
// read.
struct ShownScheduleRow {
    int64_t period = 0;
    std::string plannedAmount;
    std::vector<Value> fields;
};
ShownScheduleRow ShownScheduleRowAt(const Recordset& row, Schedule schedule);

// Whether the row the user was shown is still stored under its number, checked inside the row
// command's IMMEDIATE transaction before its first write: false when no row has that number;
// UpdateConflict when the row stored under it is not the one shown (another copy of the program
// changed, settled, deleted or renumbered rows meanwhile).
bool StillStoredAsShown(bool receivable, Schedule schedule, const std::string& id,
                        const ShownScheduleRow& shown);

// A schedule's date as its grids show it, "ee/mm/dd"; "" for none.
std::string ScheduleDateCell(const Value& value);

// An instalment's planned fields as a grid of instalments shows them in row `row`: the row's
// `label`, amount and share as stored, due date, date the bill was sent and invoice number, the
// dates "ee/mm/dd".
void ShowInstalmentPlan(Grid& grid, int row, const Recordset& stored, const std::string& label);

// An addition's planned fields as a grid of additions shows them in row `row`: its label
// "追加" and number, quotation and contract document numbers, amount as stored, due date, date
// the bill was sent and invoice number, the dates "ee/mm/dd".
void ShowAdditionPlan(Grid& grid, int row, const Recordset& stored);

// Deletes the contract with its instalments, additions and reductions, all or nothing.
void DeleteContract(bool receivable, const std::string& id);

}  // namespace kiv
