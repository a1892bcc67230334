#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/Database.h"

namespace kiv {

// Several unsigned expense vouchers paid by one issued cheque form a group in iofs, numbered
// after the first of them followed by "S".

// A voucher to be paid by the group's cheque, with the amount the user was shown of it, which
// the cheque's amount adds up.
struct GroupMember {
    std::string number;
    int64_t amount = 0;
};

// The first of the vouchers one cheque can no longer pay as shown: one gone, an income, one
// signed off or void, one already in a group, or one whose amount is no longer the one shown (an
// amount left empty counts 0). nullopt when all can be paid.
std::optional<std::string> FirstVoucherNotPayable(Database& db,
                                                  const std::vector<GroupMember>& members);
// Writes each voucher into the group, in the order given, and signs it off by cheque; all or
// nothing. A voucher that can no longer be paid as shown, changed by another copy of the program
// since it was listed, raises UpdateConflict.
void RecordChequeGroup(Database& db, const std::string& group,
                       const std::vector<GroupMember>& members);

}  // namespace kiv
