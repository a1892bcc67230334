// SQL text the compiler must refuse: each CASE pastes text made at run time into a statement. With
// no CASE defined the file compiles, so that a refusal means the pasted text and nothing else.

#include <string>
#include <string_view>

#include "platform/db/Database.h"

namespace kiv {

void deleteUse(Database& db, const std::string& id) {
    db.Execute("DELETE FROM use WHERE id = ?", id);
    db.Execute("DELETE FROM " + db.Table("use") + " WHERE id = ?", id);
#if CASE == 1
    db.Execute("DELETE FROM use WHERE id = " + id);
#elif CASE == 2
    std::string sql = "DELETE FROM use WHERE id = ?";
    db.Execute(sql, id);
#elif CASE == 3
    const char* sql = "DELETE FROM use WHERE id = ?";
    db.OpenRecordset(sql, id);
#elif CASE == 4
    db.OpenRecordsetWith(std::string_view(id), {});
#elif CASE == 5
    static char typed[64];
    db.ExecuteWith(typed, {});
#elif CASE == 6
    Sql sql = "DELETE FROM use WHERE id = ";
    db.Execute(sql + id);
#endif
}

}  // namespace kiv
