#pragma once
// What one download works with: the panel (already queried), the project, the options and
// where it reports. The command fills it on the GUI thread; the worker only reads it.
#include "device/commands/device_info.h"
#include "device/commands/panel_commands.h"
#include "device/link/wait_clock.h"
#include "model/vars/panel_clock.h"
#include "platform/report/report_queue.h"
#include "platform/usb/usb_host.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace qv::device {

// The flags the download shares with the rest of the application.
struct DownloadFlags {
    std::atomic<int>& compiling;
    std::atomic<int>& downloading;
    std::atomic<int>& abort;
    std::atomic<int>& progressTotal;
    std::atomic<int>& progressDone;
};

struct DownloadJob {
    usb::UsbHost* host = nullptr;
    usb::UsbCandidate device;
    DeviceInfo info;
    std::filesystem::path projectDir;
    std::vector<std::filesystem::path> fdiskFiles; // sorted by name
    std::vector<std::uint8_t> plcBlock;            // the protocol block as the drivers filled it
    std::array<std::uint8_t, 64> options{};        // the option bytes of the parameter block
    bool resetAfter = false;
    bool resolutionMustMatch = true;
    std::uint32_t startSecondOfDay = 0;            // for the start map
    std::chrono::steady_clock::time_point started; // the elapsed time
    std::function<std::chrono::steady_clock::time_point()> now = [] { return std::chrono::steady_clock::now(); };
    WaitClock* wait = &SteadyWaitClock::instance();
    ReportQueue* reports = nullptr;
    // Shows a message box; called on the thread that drains the queue.
    std::function<void(const std::string& gbk)> messageBox;

    void output(const std::string& gbk) const;
    void message(const std::string& gbk) const;
    int elapsedSeconds() const;
};

// Block writes that stop on the abort flag and count into the shared progress, reported
// to the job's queue.
BlockWriteControl downloadWriteControl(const DownloadJob& job, DownloadFlags& flags);

inline constexpr std::uint32_t kReservedBlocks = 3;
// The panel's block table: its first word, a block that went bad, a chain's end.
inline constexpr std::uint32_t kBlockTableMagic = 0xA55AA55A;
inline constexpr std::uint32_t kBadBlockEntry = 0xFFFFFFF7;
inline constexpr std::uint32_t kChainEnd = 0xFFFFFFFF;
inline constexpr std::size_t kMaxFDiskFiles = 128;

} // namespace qv::device
