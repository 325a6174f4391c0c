#pragma once
// Worker threads report to the user through this queue and never touch a widget: they post
// output lines, progress and close-box changes; the GUI thread drains the queue in order.
// Without a GUI (tests, headless compiles) a consumer can drain it directly.
// Consecutive progress reports collapse into the last one, so a worker that reports progress
// faster than the GUI drains keeps the queue small; every other report is kept.
#include <functional>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

namespace qv {

struct ReportText { std::string gbk; };        // a line for the output bar (ends "\r\n" as given)
struct ReportClearOutput {};                     // clears the output bar
struct ReportProgress { int percent; };          // 0 hides the progress control
struct ReportCloseBox { bool enabled; };         // false while a worker runs
struct ReportStatus { int pane; std::string gbk; }; // a status-bar pane's text
struct ReportCall { std::function<void()> run; }; // anything else the GUI thread must do

using Report = std::variant<ReportText, ReportClearOutput, ReportProgress, ReportCloseBox, ReportStatus, ReportCall>;

class ReportQueue {
public:
    // Called (on the posting thread) after a report is queued on an empty queue; the GUI
    // installs a function that schedules drain() on its own thread.
    void setWakeup(std::function<void()> wakeup);

    void post(Report report);
    void appendText(std::string gbk) { post(ReportText{std::move(gbk)}); }
    void setProgress(int percent) { post(ReportProgress{percent}); }
    void enableCloseBox(bool enabled) { post(ReportCloseBox{enabled}); }

    // Hands every queued report, oldest first, to `consumer` and returns how many there were.
    std::size_t drain(const std::function<void(Report&)>& consumer);

private:
    std::mutex mutex_;
    std::vector<Report> pending_;
    std::function<void()> wakeup_;
};

} // namespace qv
