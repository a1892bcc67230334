#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/db/Database.h"

namespace kiv::test {

// A field as its kind and its exact value, so that a changed type or a double changed in its last
// digit shows as a difference.
inline std::string dumpValue(const Value& value) {
    if (const double* d = valueAs<double>(value)) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", *d);
        return "d:" + std::string(text);
    }
    const char* kinds[] = {"null:", "b:", "i:", "d:", "t:", "date:"};
    return kinds[static_cast<int>(value.kind())] + value.text();
}

// The whole database as one text: every schema entry (tables with their fields, indexes, views),
// then every table's rows in stored order. Two dumps are equal only when nothing was added,
// removed or changed, so a test can check that a failed action left the file as it was.
inline std::string dumpTables(Database& db) {
    std::string dump;
    std::vector<std::string> tables;
    for (Recordset rs =
             db.OpenRecordset("SELECT type, name, sql FROM sqlite_schema ORDER BY type, name");
         !rs.Eof(); rs.MoveNext()) {
        std::string name = rs.Fields("name").text();
        dump += rs.Fields("type").text() + " " + name + ": " + rs.Fields("sql").text() + "\n";
        if (rs.Fields("type").text() == "table") tables.push_back(name);
    }
    for (const std::string& table : tables) {
        dump += "[" + table + "]\n";
        for (Recordset rs = db.OpenTable(table); !rs.Eof(); rs.MoveNext()) {
            for (int i = 0; i < rs.FieldCount(); ++i)
                dump += (i ? "|" : "") + dumpValue(rs.Fields(i));
            dump += "\n";
        }
    }
    return dump;
}

}  // namespace kiv::test
