// The computer's local date and time, replaceable in tests.
#pragma once

#include <functional>

namespace nivora {

struct LocalDateTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
    int utcOffsetMinutes = 0;   // the computer's zone at that moment: local time minus UTC
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// The computer's local date and time, and its zone's offset from UTC at this moment (summer
// time included).
LocalDateTime localNow();

// Replaces the clock until the returned guard goes; tests only.
class ClockOverride {
public:
    explicit ClockOverride(std::function<LocalDateTime()> clock);
    ~ClockOverride();
    ClockOverride(const ClockOverride&) = delete;
    ClockOverride& operator=(const ClockOverride&) = delete;
private:
    std::function<LocalDateTime()> previous_;
};

} // namespace nivora
