#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/db/Database.h"

namespace kiv {

// Several unsigned expense vouchers paid by one issued cheque form a group in iofs, numbered
// after the first of them followed by "S".

// The first of the vouchers one cheque can no longer pay: one gone, an income, one signed off or
// void, or one already in a group. nullopt when all can be paid.
std::optional<std::string> FirstVoucherNotPayable(Database& db,
                                                  const std::vector<std::string>& numbers);
// Writes each voucher into the group, in the order given, and signs it off by cheque; all or
// nothing. A voucher that can no longer be paid, changed by another copy of the program since it
// was listed, raises UpdateConflict.
void RecordChequeGroup(Database& db, const std::string& group,
                       const std::vector<std::string>& numbers);

}  // namespace kiv
