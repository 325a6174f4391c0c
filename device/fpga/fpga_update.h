#pragma once
// The firmware upgrade's worker body, without any window: load and check the data file,
// switch the panel into upgrade mode, program, report. What the user sees goes through
// FpgaUpdateUi (the dialog posts each call to its own thread).
#include "device/fpga/fpga_checks.h"
#include "device/jtag/jtag_link.h"
#include "device/link/panel_connection.h"
#include "device/link/wait_clock.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qv::device::fpga {

struct FpgaUpdateUi {
    std::function<void(const std::string& gbk)> stepText;
    std::function<void(int percent)> progress;
    std::function<void(const std::string& gbk)> messageBox;
    std::function<void(bool success)> resultDialog;
    std::function<void(const std::string& text)> log;
    std::function<void(const std::string& storedPath)> playWave;
};

struct FpgaUpdateJob {
    std::filesystem::path dataFile;
    std::unique_ptr<PanelConnection> connection; // closed when the job ends
    CheckData checks;
    const std::atomic<bool>* abort = nullptr;
    WaitClock* clock = &SteadyWaitClock::instance();
    FpgaUpdateUi ui;
    std::function<void(const jtag::JtagPacket&, std::uint8_t state)> trace; // every JTAG packet
};

// The programming result, or nullopt when the run stopped before programming (file or USB
// problem, with its message box shown).
std::optional<std::uint8_t> RunFpgaUpdate(FpgaUpdateJob job);

} // namespace qv::device::fpga
