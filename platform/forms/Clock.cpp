#include "platform/forms/Clock.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace kiv {

namespace {

struct ClockState {
    bool fixed = false;
    Date fixedNow;
    double fixedSteadySeconds = 0;
    int64_t offsetDays = 0;
};

ClockState& state() {
    static ClockState s;
    return s;
}

Date systemNow() {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return Date::fromYmdHms(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                            local.tm_min, local.tm_sec);
}

Date baseNow() {
    const ClockState& s = state();
    if (!s.fixed) return systemNow();
    auto advanced = static_cast<int64_t>(std::floor(s.fixedSteadySeconds));
    return Date::fromSeconds(s.fixedNow.secondsSinceEpoch() + advanced);
}

}  // namespace

Date Clock::now() {
    return baseNow().addDays(state().offsetDays);
}

Date Clock::today() {
    return now().dateOnly();
}

void Clock::setToday(const Date& date) {
    state().offsetDays = date.days() - baseNow().days();
}

void Clock::useFixedTime(const Date& now) {
    state() = ClockState{};
    state().fixed = true;
    state().fixedNow = now;
}

void Clock::advance(double seconds) {
    state().fixedSteadySeconds += seconds;
}

void Clock::useSystemTime() {
    state() = ClockState{};
}

double Clock::steadySeconds() {
    if (state().fixed) return state().fixedSteadySeconds;
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace kiv
