#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/db/Value.h"
#include "platform/report/Template.h"

namespace kiv {

class Database;

// The rows a band prints, with their table's field names.
struct TableRows {
    std::string table;
    std::vector<std::string> fields;
    std::vector<std::vector<Value>> rows;
};

// Everything a template reads from the data file.
struct ReportData {
    TableRows detail;
    TableRows summary;
    // The values of table.field and table#n, by FieldRef::key(); Null for an empty table.
    std::map<std::string, Value> values;
};

// Reads the rows of the detail and summary tables (tables in stored order, views in their own)
// and the first-row values the template names. A table, view, field or column the data file
// lacks is the template's fault: TemplateError with the line that names it.
ReportData readReportData(const Template& report, Database& db);

}  // namespace kiv
