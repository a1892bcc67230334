#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/Date.h"
#include "platform/db/ShownRows.h"

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

// The amount of a line in whole dollars, read as a stored amount is (AmountOf); the form refuses
// a line whose amount is none before it stores it.
int64_t JournalAmount(const std::string& typed);
// A line is stored when it has a side and an amount that is not 0.
bool IsStoredJournalLine(const JournalLine& line);

// The lines stored under `number`, as the form shows them, for its next save to check.
ShownRows ShownJournalVoucher(Database& db, const std::string& number);
// The lines stored under `number`, in the order they were stored.
std::vector<JournalLine> ReadJournalVoucher(Database& db, const std::string& number);
// Stores a new voucher's lines that carry a side and an amount, dated `day`, under `number`
// when no line is stored under it yet, else under the day's next number: two copies of the
// program that showed one number never store two vouchers under it. The number taken is
// returned, nullopt (nothing stored) when the day's numbers are used up; `shown` then holds the
// lines as stored. All or nothing.
std::optional<std::string> AddJournalVoucher(Database& db, const std::string& number,
                                             const Date& day, const std::vector<JournalLine>& lines,
                                             ShownRows& shown);
// Replaces the lines stored under `number` while they are still those of `shown`; otherwise
// raises UpdateConflict and writes nothing. `shown` then holds the lines as stored. All or
// nothing.
void ReplaceJournalVoucher(Database& db, const std::string& number, const Date& day,
                           const std::vector<JournalLine>& lines, ShownRows& shown);

}  // namespace kiv
