#include "model/vars/panel_clock.h"

#include <ctime>

namespace qv {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr std::int64_t daysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

constexpr int daysInMonth(int y, int m)
{
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

} // namespace

std::int64_t SystemWallClock::localSeconds() const
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::int64_t>(now) + local.tm_gmtoff;
}

const SystemWallClock& SystemWallClock::instance()
{
    static const SystemWallClock clock;
    return clock;
}

PanelTime panelTimeFromSeconds(std::int64_t localSeconds)
{
    const std::int64_t days = floorDiv(localSeconds, 86400);
    const std::int64_t secs = localSeconds - days * 86400;
    // Inverse of daysFromCivil.
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    PanelTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
    t.hour = static_cast<int>(secs / 3600);
    t.minute = static_cast<int>(secs / 60 % 60);
    t.second = static_cast<int>(secs % 60);
    const std::int64_t weekday = (days + 4) % 7; // 1970-01-01 was a Thursday
    t.weekday = static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
    return t;
}

std::optional<std::int64_t> secondsFromPanelTime(const PanelTime& t)
{
    // The years the panel's 16-bit year and the PC's calendar both hold.
    if (t.year < 1601 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1
        || t.day > daysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0
        || t.minute > 59 || t.second < 0 || t.second > 59)
        return std::nullopt;
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

PanelTime PanelClock::now() const { return panelTimeFromSeconds(pc_->localSeconds() + offsetSeconds()); }

bool PanelClock::set(const PanelTime& time)
{
    const auto seconds = secondsFromPanelTime(time);
    if (!seconds)
        return false;
    offset_.store(*seconds - pc_->localSeconds(), std::memory_order_relaxed);
    return true;
}

} // namespace qv
