#pragma once

#include <string>
#include <vector>

#include "platform/forms/Grid.h"

// The project form's report of the project's income and expense by work type: one row per voucher
// in number order with the running balance, income in one pair of columns, expenses in a pair per
// ticked work type and a pair "其他", each pair split into uncashed and settled.
namespace kiv {

// The report's headings: the fixed columns, then a pair for each of `workTypes` and "其他".
void SetupWorkTypeReportGrid(Grid& hfg, const std::vector<std::string>& workTypes);
// The project's vouchers under the headings, then the totals of each column and of the expenses.
void BuildWorkTypeReport(Grid& hfg, const std::string& projectNo);
// The report as shown, under the company's title and the project's line, for the user to keep or
// print; the columns keep the sheet's own widths.
void ExportWorkTypeReport(const Grid& hfg, const std::string& projectName,
                          const std::string& projectNo);

}  // namespace kiv
