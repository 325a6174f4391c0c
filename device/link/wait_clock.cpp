#include "device/link/wait_clock.h"

#include <thread>

namespace qv::device {

void SteadyWaitClock::sleepFor(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}

SteadyWaitClock& SteadyWaitClock::instance()
{
    static SteadyWaitClock clock;
    return clock;
}

} // namespace qv::device
