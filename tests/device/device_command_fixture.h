#pragma once
// Device commands against simulated panels: a fake clock for the waits and the PC's time,
// and the reports (output lines, message boxes) collected from the queue.
#include "device/tasks/device_commands.h"
#include "tests/device/sim_link_fixture.h"

#include <mutex>

namespace qv::device::test {

class FakeClock final : public WallClock, public WaitClock {
public:
    explicit FakeClock(std::int64_t start) : seconds_(start) {}
    std::int64_t localSeconds() const override
    {
        std::lock_guard lock(mutex_);
        ++reads_;
        return seconds_;
    }
    void sleepFor(std::chrono::milliseconds d) override
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(d);
        if (onSleep)
            onSleep();
        seconds_ += (d.count() + 999) / 1000;
    }
    std::vector<std::chrono::milliseconds> sleeps() const
    {
        std::lock_guard lock(mutex_);
        return sleeps_;
    }
    int reads() const
    {
        std::lock_guard lock(mutex_);
        return reads_;
    }
    std::function<void()> onSleep; // set before the command runs

private:
    mutable std::mutex mutex_;
    std::int64_t seconds_;
    mutable int reads_ = 0;
    std::vector<std::chrono::milliseconds> sleeps_;
};

// 2026-12-10 hh:mm:ss local.
inline std::int64_t localAt(int hour, int minute, int second)
{
    return *secondsFromPanelTime(PanelTime{2026, 12, 10, hour, minute, second, 4});
}

struct Reports {
    std::vector<std::string> lines;
    std::vector<std::string> messages;
};

struct CommandRig {
    explicit CommandRig(std::int64_t now = localAt(10, 0, 0)) : clock(now)
    {
        services.host = &host;
        services.list = &list;
        services.wait = &clock;
        services.wall = &clock;
        services.reports = &queue;
        services.messageBox = [this](const std::string& text) { shown.push_back(text); };
    }
    std::shared_ptr<virtual_panel::SimPanel> addPanel(usb::UsbKind kind, const std::string& name = "p")
    {
        return host.add(settingsOfKind(kind, name));
    }
    // The first device of `kind` as a scan finds it.
    Device deviceOf(usb::UsbKind kind) { return candidateOf(host, kind); }
    Reports drain()
    {
        queue.drain([this](Report& r) {
            if (auto* t = std::get_if<ReportText>(&r))
                got.lines.push_back(t->gbk);
            if (auto* c = std::get_if<ReportCall>(&r))
                c->run();
        });
        got.messages = shown;
        return got;
    }

    virtual_panel::SimUsbHost host;
    UsbDeviceList list;
    FakeClock clock;
    ReportQueue queue;
    DeviceCommandServices services;
    std::vector<std::string> shown;
    Reports got;
};

} // namespace qv::device::test
