#pragma once
// The automatic address adjustment: a snapshot of the project taken on the user-interface
// thread, the size collection and layout on a worker (progress through a report queue), and
// the result applied back on the user-interface thread. Every window of the project counts,
// open or not, so a closed window's curve or string buffer is never overlapped.
#include "model/document/draw_doc.h"
#include "platform/report/report_queue.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qv {

class CEditorApp;

struct VarAdjustInput {
    struct ObjectBlock {
        ShapeKind kind = ShapeKind::Rectangle;
        ParamBlock params{};
    };
    struct ClosedWindow {
        std::string nameGbk;
        std::filesystem::path file;
    };
    HmiVarTable table;                      // copy of the project's table
    std::vector<ObjectBlock> objects;       // of every open window document
    std::vector<ClosedWindow> closedWindows; // listed windows without an open document
};

struct VarAdjustResult {
    std::vector<std::string> addresses;     // new address texts, table order
    bool changed = false;
    bool fits = true;                       // false: the layout passes the 64 KiB memory
    std::int64_t end = 0;
    std::vector<std::string> unreadWindows; // GBK messages of windows that could not be read
};

// nullopt without an open project.
std::optional<VarAdjustInput> TakeVarAdjustInput(CEditorApp& app);

// Worker side: sizes from every object, then the layout. Progress 0..100 and nothing else
// is posted to `reports`.
VarAdjustResult ComputeVarAdjust(const VarAdjustInput& input, ReportQueue& reports);

// User-interface side. When the table changed: new addresses stored, the project saved,
// every window's references re-resolved, the headers rewritten (saved variables deleted).
// A layout past the memory's end, or a table edited meanwhile, changes nothing and is said
// through the prompts. Windows that could not be read are output lines. True when the
// table now holds the layout.
bool ApplyVarAdjust(CEditorApp& app, const VarAdjustInput& input, const VarAdjustResult& result);

// One run on a std::thread. Start takes the snapshot; Done turns true when the worker has
// finished; Finish joins and applies. The destructor joins a worker still running.
class VarAdjustJob {
public:
    VarAdjustJob() = default;
    ~VarAdjustJob();
    VarAdjustJob(const VarAdjustJob&) = delete;
    VarAdjustJob& operator=(const VarAdjustJob&) = delete;

    // False (nothing started) without an open project or when the thread cannot start; the
    // reason is in `errorGbk`.
    bool Start(CEditorApp& app, ReportQueue& reports, std::string* errorGbk = nullptr);
    bool Done() const { return m_done.load(std::memory_order_acquire); }
    bool Finish(CEditorApp& app);

private:
    std::optional<VarAdjustInput> m_input;
    VarAdjustResult m_result;
    std::atomic<bool> m_done{false};
    std::thread m_worker;
};

// The whole adjustment, waiting for its worker; progress goes to the application's queue.
bool AdjustVarAddresses(CEditorApp& app);

inline constexpr std::string_view kVarAdjustCaption = "正在自动调整HMI变量地址，请耐心等待......";
inline constexpr std::string_view kVarAdjustNoThread = "计算机内存不足\r\n";

} // namespace qv
