#include "contracts/Contracts.h"

#include <deque>
#include <map>

#include "platform/db/Database.h"
#include "platform/db/Errors.h"
#include "platform/db/Format.h"
#include "platform/forms/Grid.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

constexpr const char* SettlementFields[] = {"實收金",   "實收日",   "現金",
                                            "支票號碼", "收支單號", "處理"};

bool IsSettled(Schedule schedule) {
    return schedule != Schedule::Reductions;
}

// The settlement of every stored row of the contract's schedule, by its number; rows an older
// file numbered alike in the order the grids show them.
using Settlements = std::map<int64_t, std::deque<std::vector<Value>>>;
Settlements StoredSettlements(const std::string& table, const std::string& id) {
    Settlements settlements;
    Database& db = AccDb();
    for (Recordset rs = db.OpenRecordset(
             "SELECT * FROM " + db.Table(table) + " WHERE id = ? ORDER BY 期別", id);
         !rs.Eof(); rs.MoveNext()) {
        std::vector<Value>& settlement =
            settlements[rs.Fields("期別").wholeNumber()].emplace_back();
        for (const char* field : SettlementFields)
            settlement.push_back(rs.Fields(field));
    }
    return settlements;
}

// The settlement stored in the row a grid row was loaded from, each stored row's only once.
std::optional<std::vector<Value>> takeSettlement(Settlements& settlements,
                                                 const std::optional<int64_t>& loadedFrom) {
    if (!loadedFrom) return std::nullopt;
    auto found = settlements.find(*loadedFrom);
    if (found == settlements.end() || found->second.empty()) return std::nullopt;
    std::vector<Value> settlement = std::move(found->second.front());
    found->second.pop_front();
    return settlement;
}

void WriteOpenSettlement(Recordset& row) {
    row.SetField("實收金", "");
    row.SetField("實收日", nullptr);
    row.SetField("現金", false);
    row.SetField("支票號碼", "");
    row.SetField("收支單號", "");
    row.SetField("處理", false);
}

}  // namespace

std::string ContractTable(bool receivable, std::string_view part) {
    return (receivable ? "ri" : "ro") + std::string(part);
}

std::string ScheduleTable(bool receivable, Schedule schedule) {
    switch (schedule) {
        case Schedule::Instalments:
            return ContractTable(receivable, "期");
        case Schedule::Additions:
            return ContractTable(receivable, "加");
        case Schedule::Reductions:
            break;
    }
    return ContractTable(receivable, "減");
}

std::optional<std::string> NextContractNumber(bool receivable) {
    return DailySerialNumber(AccDb(), ContractTable(receivable), "id", 2);
}

std::vector<std::string> ContractNumbers(bool receivable) {
    Database& db = AccDb();
    return db.ColumnTexts("SELECT id FROM " + db.Table(ContractTable(receivable)) + " ORDER BY id");
}

bool ContractExists(bool receivable, const std::string& id) {
    Database& db = AccDb();
    return !db.OpenRecordset(
                  "SELECT id FROM " + db.Table(ContractTable(receivable)) + " WHERE id = ?", id)
                .Eof();
}

const std::vector<PlanField>& PlanFields(Schedule schedule) {
    static const std::vector<PlanField> instalment{{"預付金", false},
                                                   {"預付日", true},
                                                   {"佔總價比例", false},
                                                   {"送帳日", true},
                                                   {"發票號碼", false}};
    static const std::vector<PlanField> addition{{"報價單號", false}, {"合約單號", false},
                                                 {"金額", false},     {"預付日", true},
                                                 {"送帳日", true},    {"發票號碼", false}};
    static const std::vector<PlanField> reduction{
        {"報價單號", false}, {"合約單號", false}, {"金額", false}};
    switch (schedule) {
        case Schedule::Instalments:
            return instalment;
        case Schedule::Additions:
            return addition;
        case Schedule::Reductions:
            break;
    }
    return reduction;
}

void ReplaceSchedule(bool receivable, Schedule schedule, const std::string& id,
                     const std::vector<PlanRow>& rows) {
    const std::string table = ScheduleTable(receivable, schedule);
    const std::vector<PlanField>& fields = PlanFields(schedule);
    Database& db = AccDb();
    Transaction transaction(db, TransactionKind::Writes);
    Settlements settlements;
    if (IsSettled(schedule)) settlements = StoredSettlements(table, id);
    db.Execute("DELETE FROM " + db.Table(table) + " WHERE id = ?", id);
    Recordset stored = db.OpenTable(table);
    for (size_t i = 0; i < rows.size(); ++i) {
        stored.AddNew();
        stored.SetField("id", id);
        stored.SetField("期別", static_cast<int64_t>(i) + 1);
        for (size_t f = 0; f < fields.size(); ++f)
            stored.SetField(fields[f].name, rows[i].values.at(f));
        if (IsSettled(schedule)) {
            if (auto settlement = takeSettlement(settlements, rows[i].loadedFrom)) {
                for (size_t f = 0; f < std::size(SettlementFields); ++f)
                    stored.SetField(SettlementFields[f], (*settlement)[f]);
            } else {
                WriteOpenSettlement(stored);
            }
        }
        stored.Update();
    }
    transaction.Commit();
}

ShownRows ShownSchedule(bool receivable, Schedule schedule, const std::string& id) {
    Database& db = AccDb();
    const Identifier table = db.Table(ScheduleTable(receivable, schedule));
    switch (schedule) {
        case Schedule::Instalments:
            return ShownRows(db,
                             "SELECT 期別, 預付金, 預付日, 佔總價比例, 送帳日, 發票號碼 FROM " +
                                 table + " WHERE id = ? ORDER BY 期別",
                             {id});
        case Schedule::Additions:
            return ShownRows(db,
                             "SELECT 期別, 報價單號, 合約單號, 金額, 預付日, 送帳日, 發票號碼 "
                             "FROM " +
                                 table + " WHERE id = ? ORDER BY 期別",
                             {id});
        case Schedule::Reductions:
            break;
    }
    return ShownRows(
        db, "SELECT 期別, 報價單號, 合約單號, 金額 FROM " + table + " WHERE id = ? ORDER BY 期別",
        {id});
}

void DeleteContract(bool receivable, const std::string& id) {
    Database& db = AccDb();
    Transaction transaction(db, TransactionKind::Writes);
    for (std::string_view part : {"", "加", "期", "減"})
        db.Execute("DELETE FROM " + db.Table(ContractTable(receivable, part)) + " WHERE id = ?",
                   id);
    transaction.Commit();
}

ShownScheduleRow ShownScheduleRowAt(const Recordset& row, Schedule schedule) {
    ShownScheduleRow shown{row.Fields("期別").wholeNumber(),
                           row.Fields(schedule == Schedule::Instalments ? "預付金" : "金額").text(),
                           {}};
    for (int i = 0; i < row.FieldCount(); ++i)
        shown.fields.push_back(row.Fields(i));
    return shown;
}

bool StillStoredAsShown(bool receivable, Schedule schedule, const std::string& id,
                        const ShownScheduleRow& shown) {
    Database& db = AccDb();
    Recordset stored =
        db.OpenRecordset("SELECT * FROM " + db.Table(ScheduleTable(receivable, schedule)) +
                             " WHERE id = ? AND 期別 = ?",
                         id, shown.period);
    if (stored.Eof()) return false;
    if (ShownScheduleRowAt(stored, schedule).fields != shown.fields) throw UpdateConflict();
    stored.MoveNext();
    // Two rows under one number, as an older file may hold, cannot be told apart by it: neither is
    // acted on.
    if (!stored.Eof()) throw UpdateConflict();
    return true;
}

std::string ScheduleDateCell(const Value& value) {
    return value.isNull() ? "" : GridRocDate(value.date());
}

void ShowInstalmentPlan(Grid& grid, int row, const Recordset& stored, const std::string& label) {
    grid.SetTextMatrix(row, 0, label);
    grid.SetTextMatrix(row, 1, stored.Fields("預付金").text());
    grid.SetTextMatrix(row, 2, ScheduleDateCell(stored.Fields("預付日")));
    grid.SetTextMatrix(row, 3, stored.Fields("佔總價比例").text());
    grid.SetTextMatrix(row, 4, ScheduleDateCell(stored.Fields("送帳日")));
    grid.SetTextMatrix(row, 5, stored.Fields("發票號碼").text());
}

void ShowAdditionPlan(Grid& grid, int row, const Recordset& stored) {
    grid.SetTextMatrix(row, 0, "追加" + stored.Fields("期別").text());
    grid.SetTextMatrix(row, 1, stored.Fields("報價單號").text());
    grid.SetTextMatrix(row, 2, stored.Fields("合約單號").text());
    grid.SetTextMatrix(row, 3, stored.Fields("金額").text());
    grid.SetTextMatrix(row, 4, ScheduleDateCell(stored.Fields("預付日")));
    grid.SetTextMatrix(row, 5, ScheduleDateCell(stored.Fields("送帳日")));
    grid.SetTextMatrix(row, 6, stored.Fields("發票號碼").text());
}

}  // namespace kiv
