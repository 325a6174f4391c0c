#include "device/tasks/device_command_thread.h"

namespace qv::device {

bool DeviceCommandThread::start(std::function<void()> job)
{
    if (running_.exchange(true))
        return false;
    if (thread_.joinable())
        thread_.join(); // the previous command has ended: only its thread is left
    thread_ = std::thread([this, job = std::move(job)] {
        job();
        running_ = false;
    });
    return true;
}

void DeviceCommandThread::join()
{
    if (thread_.joinable())
        thread_.join();
}

} // namespace qv::device
