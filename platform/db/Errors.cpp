#include "platform/db/Errors.h"

#include <sqlite3.h>

namespace kiv {

UpdateConflict::UpdateConflict(const std::string& message) : DbError(message, "", SQLITE_ABORT) {}

}  // namespace kiv
