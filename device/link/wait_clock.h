#pragma once
// Every wait of the device layer takes its clock from here, so tests drive the waits with a
// fake clock instead of sleeping.
#include <chrono>

namespace qv::device {

class WaitClock {
public:
    virtual ~WaitClock() = default;
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

class SteadyWaitClock final : public WaitClock {
public:
    void sleepFor(std::chrono::milliseconds duration) override;
    static SteadyWaitClock& instance();
};

} // namespace qv::device
