#pragma once
// The worker a device command's exchange runs on, one command at a time, so the GUI keeps
// handling events while a panel is slow or silent.
#include <atomic>
#include <functional>
#include <thread>

namespace qv::device {

class DeviceCommandThread {
public:
    DeviceCommandThread() = default;
    ~DeviceCommandThread() { join(); }
    DeviceCommandThread(const DeviceCommandThread&) = delete;
    DeviceCommandThread& operator=(const DeviceCommandThread&) = delete;

    // Starts `job`; false (nothing started) while the previous one runs.
    bool start(std::function<void()> job);
    bool running() const { return running_.load(); }
    void join();

private:
    std::thread thread_;
    std::atomic<bool> running_{false};
};

} // namespace qv::device
