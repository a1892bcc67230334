#pragma once

#include <string>
#include <vector>

#include "platform/db/Date.h"

namespace kiv {

class Database;

// One line of a journal voucher as the user typed it.
struct JournalLine {
    std::string line;  // the line number "1".."10"
    std::string code;
    std::string name;
    std::string side;  // "借" or "貸"
    std::string summary;
    std::string amount;  // as typed, separators included
};

// The amount of a line as a number: its leading number once the thousands separators are gone.
double JournalAmount(const std::string& typed);
// A line is stored when it has a side and an amount that is not 0.
bool IsStoredJournalLine(const JournalLine& line);
// Stores the voucher's lines that carry a side and an amount under `number`, dated `day`. With
// `replace`, the lines stored under that number before are dropped first. All or nothing.
void StoreJournalVoucher(Database& db, const std::string& number, const Date& day,
                         const std::vector<JournalLine>& lines, bool replace);

}  // namespace kiv
