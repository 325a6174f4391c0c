#include "platform/report/report_queue.h"

#include <atomic>
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <string>
#include <vector>
#include <thread>

namespace qv {
namespace {

TEST(ReportQueue, KeepsEachThreadsOrderAndWakesOncePerBatch)
{
    ReportQueue queue;
    std::atomic<int> wakeups{0};
    queue.setWakeup([&] { ++wakeups; });

    constexpr int kLines = 2000;
    auto worker = [&](char tag) {
        for (int i = 0; i < kLines; ++i)
            queue.appendText(std::string(1, tag) + std::to_string(i));
    };
    std::thread a(worker, 'a'), b(worker, 'b');
    std::map<char, int> next{{'a', 0}, {'b', 0}};
    std::size_t seen = 0;
    auto consume = [&](Report& r) {
        const std::string& line = std::get<ReportText>(r).gbk;
        EXPECT_EQ(std::stoi(line.substr(1)), next[line[0]]++);
    };
    while (seen < 2 * kLines)
        seen += queue.drain(consume);
    a.join();
    b.join();
    EXPECT_EQ(next['a'], kLines);
    EXPECT_EQ(next['b'], kLines);
    EXPECT_GE(wakeups.load(), 1);
    EXPECT_LE(wakeups.load(), 2 * kLines);
}

// What a drain hands over, as short tags: "P37" for a progress, "T<line>" for a text line.
std::vector<std::string> drainTags(ReportQueue& queue)
{
    std::vector<std::string> tags;
    queue.drain([&](Report& r) {
        if (auto* p = std::get_if<ReportProgress>(&r))
            tags.push_back("P" + std::to_string(p->percent));
        else if (auto* t = std::get_if<ReportText>(&r))
            tags.push_back("T" + t->gbk);
        else if (auto* c = std::get_if<ReportCloseBox>(&r))
            tags.push_back(c->enabled ? "C1" : "C0");
        else
            tags.push_back("?");
    });
    return tags;
}

TEST(ReportQueue, ConsecutiveProgressCollapsesToTheLastAndEverythingElseStays)
{
    using Tags = std::vector<std::string>;
    struct Case {
        const char* name;
        std::function<void(ReportQueue&)> post;
        Tags expected;
    };
    const Case cases[] = {
        {"a run of progress keeps its last value",
         [](ReportQueue& q) { for (int i = 1; i <= 99; ++i) q.setProgress(i); },
         {"P99"}},
        {"text between progress runs splits them",
         [](ReportQueue& q) {
             q.setProgress(1);
             q.setProgress(2);
             q.appendText("a");
             q.setProgress(3);
             q.setProgress(0);
             q.appendText("b");
         },
         {"P2", "Ta", "P0", "Tb"}},
        {"a close-box change is kept between progress reports",
         [](ReportQueue& q) {
             q.setProgress(5);
             q.enableCloseBox(false);
             q.setProgress(6);
         },
         {"P5", "C0", "P6"}},
        {"text lines are never merged",
         [](ReportQueue& q) { q.appendText("x"); q.appendText("x"); },
         {"Tx", "Tx"}},
    };
    for (const Case& c : cases) {
        ReportQueue queue;
        c.post(queue);
        EXPECT_EQ(drainTags(queue), c.expected) << c.name;
        EXPECT_TRUE(drainTags(queue).empty()) << c.name;
    }
}

TEST(ReportQueue, AWorkerReportingProgressInATightLoopDoesNotGrowTheQueue)
{
    ReportQueue queue;
    std::atomic<int> wakeups{0};
    queue.setWakeup([&] { ++wakeups; });
    constexpr int kPosts = 200000;
    std::thread([&] {
        for (int i = 1; i <= kPosts; ++i)
            queue.setProgress(i % 100 + 1);
        queue.appendText("done");
    }).join();
    // Nothing drained meanwhile: one progress (the last) and the line are all that is held.
    EXPECT_EQ(drainTags(queue), (std::vector<std::string>{"P" + std::to_string(kPosts % 100 + 1), "Tdone"}));
    EXPECT_EQ(wakeups.load(), 1);
}

TEST(ReportQueue, ProgressFromOneThreadAndLinesFromAnotherAreAllDeliveredWhileDraining)
{
    ReportQueue queue;
    std::atomic<bool> linesDone{false};
    constexpr int kLines = 3000;
    std::thread progress([&] {
        int i = 0;
        while (!linesDone.load())
            queue.setProgress(++i % 100 + 1);
        queue.setProgress(0);
    });
    std::thread lines([&] {
        for (int i = 0; i < kLines; ++i)
            queue.appendText(std::to_string(i));
        linesDone = true;
    });
    std::vector<std::string> seen;
    auto collect = [&] {
        for (std::string& tag : drainTags(queue))
            seen.push_back(std::move(tag));
    };
    while (!linesDone.load())
        collect();
    lines.join();
    progress.join();
    collect();

    int nextLine = 0;
    for (const std::string& tag : seen)
        if (tag[0] == 'T')
            EXPECT_EQ(tag.substr(1), std::to_string(nextLine++));
    EXPECT_EQ(nextLine, kLines);
    EXPECT_EQ(seen.back(), "P0") << "the last progress posted is the last one delivered";
}

} // namespace
} // namespace qv
