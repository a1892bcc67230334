#include "platform/report/ReportData.h"

#include "platform/db/Database.h"
#include "platform/db/Utf8.h"

namespace kiv {

namespace {

std::vector<std::string> fieldsOf(Database& db, const std::string& table, int line) {
    auto fields = db.FieldNames(table);
    if (fields.empty()) throw TemplateError(line, "no table or view " + table);
    return fields;
}

// Tables in the order their rows were written, which is the order the forms filled them in;
// views in the order of their own query.
TableRows readRows(Database& db, const std::string& table, int line, bool firstOnly) {
    TableRows read{table, fieldsOf(db, table, line), {}};
    auto rs = db.OpenRecordset("SELECT * FROM " + db.Table(table) +
                               (db.HasTable(table) ? Sql(" ORDER BY rowid") : Sql("")) +
                               (firstOnly ? Sql(" LIMIT 1") : Sql("")));
    for (; !rs.Eof(); rs.MoveNext()) {
        auto& row = read.rows.emplace_back();
        for (int i = 0; i < rs.FieldCount(); ++i)
            row.push_back(rs.Fields(i));
    }
    return read;
}

int fieldIndex(const std::vector<std::string>& fields, const std::string& name, int line) {
    for (size_t i = 0; i < fields.size(); ++i)
        if (equalsNoCase(fields[i], name)) return static_cast<int>(i);
    throw TemplateError(line, "no field " + name);
}

void checkColumn(const TableRows& rows, int column, int line) {
    if (column >= static_cast<int>(rows.fields.size()))
        throw TemplateError(line, rows.table + " has no column " + std::to_string(column));
}

Value firstRowValue(Database& db, const FieldRef& ref, int line) {
    TableRows rows = readRows(db, ref.table, line, true);
    int column = ref.kind == FieldRef::Kind::TableField ? fieldIndex(rows.fields, ref.field, line)
                                                        : ref.column;
    checkColumn(rows, column, line);
    return rows.rows.empty() ? Value() : rows.rows[0][column];
}

void readBand(Database& db, const std::optional<Band>& band, TableRows& rows, ReportData& data) {
    if (!band) return;
    if (!band->table.empty()) rows = readRows(db, band->table, band->line, false);
    for (const auto& item : band->items) {
        const auto* field = std::get_if<FieldItem>(&item);
        if (!field) continue;
        if (field->ref.kind == FieldRef::Kind::Column)
            checkColumn(rows, field->ref.column, field->line);
        if (field->ref.kind == FieldRef::Kind::TableField ||
            field->ref.kind == FieldRef::Kind::TableColumn)
            data.values[field->ref.key()] = firstRowValue(db, field->ref, field->line);
    }
}

}  // namespace

ReportData readReportData(const Template& report, Database& db) {
    ReportData data;
    TableRows none;
    readBand(db, report.header, none, data);
    readBand(db, report.detail, data.detail, data);
    readBand(db, report.summary, data.summary, data);
    readBand(db, report.footer, none, data);
    return data;
}

}  // namespace kiv
