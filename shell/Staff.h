#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/ShownRows.h"

namespace kiv {

class Database;

// The prefix of a staff number for a Chinese name: its first character upper-cased when that is
// a letter A to Z, else the stroke code of that character.
std::string StaffNumberPrefix(std::string_view name);
// The next free staff number of the name's prefix: the prefix and a serial of at least three
// digits, one more than the largest serial of that prefix (its numeric value, so that A1001
// follows A1000).
std::string NextStaffNumber(Database& people, std::string_view name);
// The prefix after `prefix` in the list's walk: "01".."09", "10".."33", then "A".."Z";
// nullopt after "Z", for an empty prefix, or for anything that is no prefix.
std::optional<std::string> NextListPrefix(const std::string& prefix);

// A member's record as the staff form shows it for editing (every field an edit writes), and the
// member's password as it is held for a change, for the save to check that no other copy of the
// program changed them meanwhile.
ShownRows ShownStaffRecord(Database& people, const std::string& name);
ShownRows ShownStaffPassword(Database& people, const std::string& name);
bool StaffMemberStored(Database& people, const std::string& name);

// One search hit: the staff member's name and the field whose value holds the text.
struct StaffSearchHit {
    std::string name;
    std::string field;
    std::string value;
};
// Every field of every staff member whose stored text holds `text` ("*" and "?" wildcards), one
// hit per field, in the table's field order; the rights and the password fields are never
// searched. Hits are sorted by name, each member's hits kept in field order.
std::vector<StaffSearchHit> SearchStaff(Database& people, std::string_view text);

}  // namespace kiv
