#pragma once
// The compile worker: lays out the header area, has every window compiled through the
// screen-compiler seam, appends the variable memory, the PLC protocol block and the user
// code, fills the start map and publishes "NandFlash.Zip" only when all of it succeeded.
// It never touches a widget: output, progress, close-box changes and message boxes go
// through the report queue.
#include "compiler/compile/compile_context.h"
#include "compiler/compile/compile_input.h"
#include "platform/report/report_queue.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace qv::compile {

using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;

struct CompileServices {
    ReportQueue* reports = nullptr;
    CompileFlags* flags = nullptr;
    ScreenCompiler* screens = nullptr;
    // Shows a message box (GBK text); the worker posts the call to the queue, so it runs
    // where the queue is drained. May be empty (headless).
    std::function<void(const std::string&)> messageBox;
    // Select the control that stopped the compile, and hand the editor's controls what the
    // item compilers changed in theirs; posted like the message box. May be empty.
    std::function<void(const RefusedControl&)> selectControl;
    std::function<void(const std::vector<CompiledControlChange>&)> applyControlChanges;
    MonotonicClock now = [] { return std::chrono::steady_clock::now(); };
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

struct CompileOutcome {
    bool ok = false;
    std::filesystem::path image;     // the published image
    std::uint64_t imageBytes = 0;
};

// Image file name inside the project folder.
inline constexpr const char* kImageStoredPath = "\\NandFlash\\NandFlash.Zip";

// The worker's body, run on the calling thread. Every way out clears the compiling flag,
// hides the progress and re-enables the close box; every failure leaves no image behind.
CompileOutcome runCompile(const CompileInput& input, const CompileServices& services);

// One compile on a thread of its own.
class CompileThread {
public:
    CompileThread() = default;
    ~CompileThread() { join(); }
    CompileThread(const CompileThread&) = delete;
    CompileThread& operator=(const CompileThread&) = delete;

    // False when the thread cannot be created (nothing else happened then).
    bool start(CompileInput input, CompileServices services);
    void join();
    // The result once the thread has ended (after join()).
    std::optional<CompileOutcome> outcome() const;

private:
    std::thread thread_;
    mutable std::mutex mutex_;
    std::optional<CompileOutcome> outcome_;
};

} // namespace qv::compile
