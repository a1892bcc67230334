#include "platform/forms/DateLabel.h"

#include "platform/db/Format.h"

namespace kiv {

namespace {

constexpr const char* ShownDatePattern = "gg ee/mm/dd";

}  // namespace

std::string ShownDate(const Date& day) {
    return Format(day, ShownDatePattern);
}

std::string ShownDate(const Value& day) {
    return day.isNull() ? "" : ShownDate(day.date());
}

void ShowDate(Label& label, const Date& day) {
    label.SetCaption(ShownDate(day));
}

void ShowDate(Label& label, const Value& day) {
    label.SetCaption(ShownDate(day));
}

std::optional<Date> DateOfLabel(const Label& label) {
    std::optional<Date> day = parseShownDate(label.Caption());
    if (!day) return std::nullopt;
    return day->dateOnly();
}

std::optional<DateRange> RangeOfLabels(const Label& start, const Label& end) {
    std::optional<Date> first = DateOfLabel(start), last = DateOfLabel(end);
    if (!first || !last) return std::nullopt;
    return DateRange{*first, last->addDays(1)};
}

void ShowLabelCalendar(DatePicker& picker, bool withEra) {
    picker.SetCustomFormat(withEra ? ShownDatePattern : "ee/mm/dd");
}

void PickIntoLabel(DatePicker& picker, Label& label, std::function<void()> then) {
    ShowLabelCalendar(picker);
    picker.Picked = [&picker, &label, then = std::move(then)] {
        ShowDate(label, picker.Value());
        if (then) then();
    };
}

}  // namespace kiv
