#include "platform/db/Date.h"

#include <chrono>
#include <cstdio>

namespace kiv {

namespace {

using namespace std::chrono;

year_month_day ymdOf(int64_t days) {
    return year_month_day{sys_days{std::chrono::days{days}}};
}

int64_t daysOf(int y, unsigned m, unsigned d) {
    return sys_days{year{y} / month{m} / day{d}}.time_since_epoch().count();
}

constexpr int64_t SecondsPerDay = 86400;

// Whole days in a count of seconds, rounded down so that a second before midnight belongs to
// the day before.
int64_t floorDays(int64_t seconds) {
    return seconds >= 0 ? seconds / SecondsPerDay : (seconds - (SecondsPerDay - 1)) / SecondsPerDay;
}

// Every date read from a book passes here, so a month's length is looked up, not computed.
int daysInMonth(int y, int m) {
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return lengths[m - 1] + (m == 2 && leap ? 1 : 0);
}

bool readDigits(std::string_view text, size_t pos, size_t count, int& out) {
    if (pos + count > text.size()) return false;
    out = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        out = out * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

Date Date::fromYmd(int y, int m, int d) {
    // Normalise the month first, then let the day count carry the rest.
    int zeroBasedMonth = m - 1;
    y += zeroBasedMonth >= 0 ? zeroBasedMonth / 12 : (zeroBasedMonth - 11) / 12;
    zeroBasedMonth = ((zeroBasedMonth % 12) + 12) % 12;
    return fromDays(daysOf(y, zeroBasedMonth + 1, 1) + (d - 1));
}

Date Date::fromYmdHms(int y, int m, int d, int h, int mi, int s) {
    return fromSeconds(fromYmd(y, m, d).days_ * SecondsPerDay + int64_t{h} * 3600 +
                       int64_t{mi} * 60 + s);
}

Date Date::fromDays(int64_t daysSinceEpoch, int secondsOfDay) {
    return fromSeconds(daysSinceEpoch * SecondsPerDay + secondsOfDay);
}

Date Date::fromSeconds(int64_t secondsSinceEpoch) {
    Date d;
    d.days_ = floorDays(secondsSinceEpoch);
    d.seconds_ = static_cast<int>(secondsSinceEpoch - d.days_ * SecondsPerDay);
    return d;
}

std::optional<Date> Date::fromIso(std::string_view text) {
    int y, m, d;
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    if (!readDigits(text, 0, 4, y) || !readDigits(text, 5, 2, m) || !readDigits(text, 8, 2, d))
        return std::nullopt;
    if (!isValidYmd(y, m, d)) return std::nullopt;
    Date date;
    date.days_ = daysOf(y, m, d);
    if (text.size() == 10) return date;
    int h, mi, s;
    if (text.size() != 19 || (text[10] != ' ' && text[10] != 'T') || text[13] != ':' ||
        text[16] != ':')
        return std::nullopt;
    if (!readDigits(text, 11, 2, h) || !readDigits(text, 14, 2, mi) || !readDigits(text, 17, 2, s))
        return std::nullopt;
    if (h > 23 || mi > 59 || s > 59) return std::nullopt;
    date.seconds_ = h * 3600 + mi * 60 + s;
    return date;
}

int Date::year() const {
    return static_cast<int>(ymdOf(days_).year());
}
int Date::month() const {
    return static_cast<int>(static_cast<unsigned>(ymdOf(days_).month()));
}
int Date::day() const {
    return static_cast<int>(static_cast<unsigned>(ymdOf(days_).day()));
}

Date Date::addMonths(int n) const {
    Date first = fromYmd(year(), month() + n, 1);
    int lastDay = daysInMonthOf(first);
    int d = day() < lastDay ? day() : lastDay;
    return fromDays(first.days_ + d - 1, seconds_);
}

std::string Date::iso() const {
    char buffer[32];
    if (seconds_ == 0)
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year(), month(), day());
    else
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year(), month(),
                      day(), hour(), minute(), second());
    return buffer;
}

int64_t daysBetween(const Date& a, const Date& b) {
    return b.days() - a.days();
}

int daysInMonthOf(const Date& d) {
    year_month_day ymd = ymdOf(d.days());
    return daysInMonth(static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()));
}

bool isValidYmd(int y, int m, int d) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    return d <= daysInMonth(y, m);
}

}  // namespace kiv
