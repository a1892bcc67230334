#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kiv {

// A calendar date with an optional time of day, as the books store it. Dates are kept as days
// since 1970-01-01 so that arithmetic and comparison are plain integer work.
class Date {
  public:
    Date() = default;

    // Builds a date the way DateSerial does: a month or day out of range rolls over
    // (month 13 is January of the next year, day 0 the last day of the month before).
    static Date fromYmd(int year, int month, int day);
    static Date fromYmdHms(int year, int month, int day, int hour, int minute, int second);
    // Seconds outside one day carry into the days, as a time past midnight belongs to the next.
    static Date fromDays(int64_t daysSinceEpoch, int secondsOfDay = 0);
    static Date fromSeconds(int64_t secondsSinceEpoch);

    // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS", the storage form; nullopt for anything else.
    static std::optional<Date> fromIso(std::string_view text);

    int year() const;
    int month() const;
    int day() const;
    int hour() const { return seconds_ / 3600; }
    int minute() const { return seconds_ / 60 % 60; }
    int second() const { return seconds_ % 60; }
    int64_t days() const { return days_; }
    int64_t secondsSinceEpoch() const { return days_ * 86400 + seconds_; }
    int secondsOfDay() const { return seconds_; }
    bool hasTime() const { return seconds_ != 0; }

    Date dateOnly() const { return fromDays(days_); }
    Date addDays(int64_t n) const { return fromDays(days_ + n, seconds_); }
    // Adds calendar months; a day past the end of the target month becomes its last day.
    Date addMonths(int n) const;

    // The storage text: "YYYY-MM-DD", with " HH:MM:SS" only when the time is not midnight.
    std::string iso() const;

    friend auto operator<=>(const Date&, const Date&) = default;
    friend bool operator==(const Date&, const Date&) = default;

  private:
    int64_t days_ = 0;
    int seconds_ = 0;
};

// Whole days from a to b (negative when b lies before a), counting calendar days only.
int64_t daysBetween(const Date& a, const Date& b);

// The number of days in the month of d (28 to 31).
int daysInMonthOf(const Date& d);

bool isValidYmd(int year, int month, int day);

}  // namespace kiv
