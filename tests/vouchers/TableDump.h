#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace kiv::test {

// Every table of a database file as committed, row by row in rowid order, each value with its
// storage class: two dumps are equal only when the file holds the same rows byte for byte. Read
// through a connection of its own, so that only what was committed counts.
inline std::string dumpTables(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    auto query = [db](const std::string& sql, auto&& eachRow) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        while (sqlite3_step(stmt) == SQLITE_ROW)
            eachRow(stmt);
        sqlite3_finalize(stmt);
    };
    std::string dump;
    query("SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name", [&](auto* tables) {
        std::string table = reinterpret_cast<const char*>(sqlite3_column_text(tables, 0));
        dump += "[" + table + "]\n";
        query("SELECT rowid, * FROM \"" + table + "\" ORDER BY rowid", [&](auto* row) {
            for (int i = 0; i < sqlite3_column_count(row); ++i) {
                int type = sqlite3_column_type(row, i);
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(row, i));
                dump += std::to_string(type) + ":";
                if (bytes) dump.append(bytes, sqlite3_column_bytes(row, i));
                dump += "|";
            }
            dump += "\n";
        });
    });
    sqlite3_close(db);
    return dump;
}

}  // namespace kiv::test
