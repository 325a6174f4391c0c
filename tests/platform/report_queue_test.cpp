#include "platform/report/report_queue.h"

#include <atomic>
#include <gtest/gtest.h>
#include <map>
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

} // namespace
} // namespace qv
