#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/db/Date.h"
#include "platform/db/Value.h"
#include "platform/forms/Controls.h"

// Dates in labels, as every form shows them beside a picker or above a listing: one writer, one
// reader, one reader of a range, and one rule for the picker that sets a label.
namespace kiv {

// A day as the labels and the date cells of listings show it: "中華民國 115/03/31"; a Null value
// gives "".
std::string ShownDate(const Date& day);
std::string ShownDate(const Value& day);

// Writes the day into the label; a Null value empties it.
void ShowDate(Label& label, const Date& day);
void ShowDate(Label& label, const Value& day);

// The day a label shows (any form parseShownDate reads), its time of day dropped; nullopt for an
// empty label or one that shows no date.
std::optional<Date> DateOfLabel(const Label& label);

// The days from one label to another, the last one whole: `untilBefore` is the day after it, so
// that a row of the last day counts whatever its time.
struct DateRange {
    Date first;
    Date untilBefore;
};
// nullopt unless both labels show a date; a start after the end gives a range that holds nothing.
std::optional<DateRange> RangeOfLabels(const Label& start, const Label& end);

// A picker laid beside a label shows its date in the label's calendar: "中華民國 116/03/31", or
// "116/03/31" where the picker is too narrow for the era.
void ShowLabelCalendar(DatePicker& picker, bool withEra = true);

// A picker laid beside a label: it shows its date in the label's calendar, and every pick writes
// the label (also a pick of the day the picker already shows), then runs `then`.
void PickIntoLabel(DatePicker& picker, Label& label, std::function<void()> then = {});

}  // namespace kiv
