#pragma once
// The simulated panel's clock. The simulator never changes the PC's clock: setting the panel
// time keeps an offset to the PC's local time, and the clock variables follow PC time plus
// that offset. The PC clock comes through an interface so tests drive it.
#include <atomic>
#include <cstdint>
#include <optional>

namespace qv {

// Calendar fields as the panel shows them: month 1..12, weekday 0 = Sunday.
struct PanelTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, weekday = 4;
    bool operator==(const PanelTime&) const = default;
};

class WallClock {
public:
    virtual ~WallClock() = default;
    // Local wall time as seconds since 1970-01-01 00:00 (UTC offset already added).
    virtual std::int64_t localSeconds() const = 0;
};

// The PC's own clock in its local time zone.
class SystemWallClock final : public WallClock {
public:
    std::int64_t localSeconds() const override;
    static const SystemWallClock& instance();
};

// Fields of a local-seconds value (weekday filled in), and back; nullopt for fields that name
// no real moment (month 13, 31 February, hour 24, ...).
PanelTime panelTimeFromSeconds(std::int64_t localSeconds);
std::optional<std::int64_t> secondsFromPanelTime(const PanelTime& time);

class PanelClock {
public:
    explicit PanelClock(const WallClock& pc = SystemWallClock::instance()) : pc_(&pc) {}

    PanelTime now() const;
    // Makes `time` the panel's current time. False, and the clock unchanged, when the fields
    // name no real moment.
    bool set(const PanelTime& time);
    void reset() { offset_.store(0, std::memory_order_relaxed); }
    std::int64_t offsetSeconds() const { return offset_.load(std::memory_order_relaxed); }

private:
    const WallClock* pc_;
    std::atomic<std::int64_t> offset_{0};
};

} // namespace qv
