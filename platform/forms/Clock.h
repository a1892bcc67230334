#pragma once

#include "platform/db/Date.h"

namespace kiv {

// The one source of today and now for the whole program. The login's date change moves the
// program's date, never the computer's: it keeps an offset in days from the real date, so the
// day still rolls over at midnight. Tests fix the time and move it on by hand.
class Clock {
  public:
    static Date now();
    static Date today();

    // Makes `date` today for the rest of the run, keeping the time of day running.
    static void setToday(const Date& date);

    // A fixed time that moves only when advanced (tests and the headless host). It drops an
    // earlier date change.
    static void useFixedTime(const Date& now);
    // Moves the fixed time on (or back, when negative); the computer's clock is not moved.
    static void advance(double seconds);
    // Back to the computer's own clock, without an offset.
    static void useSystemTime();

    // Seconds of a clock that never goes back, for pauses; the fixed clock's advanced seconds.
    static double steadySeconds();
};

}  // namespace kiv
