#include "platform/clock.h"

#include <ctime>

namespace nivora {

namespace {

std::function<LocalDateTime()>& replacement()
{
    static std::function<LocalDateTime()> clock;
    return clock;
}

} // namespace

LocalDateTime localNow()
{
    if (replacement()) return replacement()();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour, local.tm_min, local.tm_sec, int(local.tm_gmtoff / 60)};
}

ClockOverride::ClockOverride(std::function<LocalDateTime()> clock)
    : previous_(std::move(replacement()))
{
    replacement() = std::move(clock);
}

ClockOverride::~ClockOverride() { replacement() = std::move(previous_); }

} // namespace nivora
