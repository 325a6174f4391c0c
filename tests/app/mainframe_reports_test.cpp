// Workers report through the frame's queue: progress, log lines and close-box changes posted
// from other threads show on the GUI thread, in each thread's order.
#include "app/mainframe/docking_bars.h"
#include "app/mainframe/prog_status_bar.h"
#include "platform/report/report_queue.h"
#include "tests/app/mainframe_fixture.h"

#include <QProgressBar>
#include <atomic>
#include <map>
#include <thread>

namespace qv::test {
namespace {

using MainFrameReports = MainFrameFixture;

TEST_F(MainFrameReports, ProgressFromAWorkerShowsAndZeroHidesIt)
{
    CProgStatusBar* status = frame->progStatusBar();
    QProgressBar* progress = status->progress();
    std::thread([&] { frame->SetProgress(37); }).join();
    ASSERT_TRUE(waitFor([&] { return progress->isVisible(); }));
    EXPECT_EQ(progress->value(), 37);
    EXPECT_EQ(progress->text(), QStringLiteral("37%"));

    std::thread([&] { frame->SetProgress(0); }).join();
    ASSERT_TRUE(waitFor([&] { return !progress->isVisible(); }));
    EXPECT_EQ(progress->value(), 0);
    EXPECT_EQ(status->PaneText(CProgStatusBar::Message), QString::fromUtf8(u8"就绪"));

    // Values outside 0..100 are held to the range: a negative count hides the control.
    struct Case { int in; bool shown; int value; };
    for (Case c : {Case{150, true, 100}, Case{1, true, 1}, Case{-5, false, 0}}) {
        status->OnSetProgress(c.in);
        EXPECT_EQ(progress->isVisible(), c.shown) << c.in;
        EXPECT_EQ(progress->value(), c.value) << c.in;
    }
}

TEST_F(MainFrameReports, LinesFromTwoThreadsKeepEachThreadsOrder)
{
    constexpr int kLines = 400;
    auto worker = [&](char tag) {
        for (int i = 0; i < kLines; ++i)
            frame->AppendText(std::string(1, tag) + std::to_string(i) + "\r\n");
    };
    std::thread a(worker, 'a'), b(worker, 'b');
    a.join();
    b.join();
    ASSERT_TRUE(waitFor([&] { return frame->outputBar()->text().count(QLatin1Char('\n')) >= 2 * kLines + 1; }));
    std::map<QChar, int> next;
    const QStringList lines = frame->outputBar()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(1)) // after the banner
        EXPECT_EQ(line.mid(1).toInt(), next[line[0]]++) << line.toStdString();
    EXPECT_EQ(next[QLatin1Char('a')], kLines);
    EXPECT_EQ(next[QLatin1Char('b')], kLines);
}

TEST_F(MainFrameReports, ReportsPostedStraightToTheQueueReachTheBars)
{
    ReportQueue& q = frame->reports();
    std::thread([&] {
        q.post(ReportClearOutput{});
        q.appendText("after clear\r\n");
        q.post(ReportStatus{CProgStatusBar::SerialPort1, "串口1已连接"});
        q.post(ReportCall{[this] { frame->setProperty("ran", true); }});
    }).join();
    ASSERT_TRUE(waitFor([&] { return frame->property("ran").toBool(); }));
    EXPECT_EQ(frame->outputBar()->text(), QStringLiteral("after clear\n"));
    EXPECT_EQ(frame->progStatusBar()->PaneText(CProgStatusBar::SerialPort1), QString::fromUtf8(u8"串口1已连接"));
}

// The queue outlives the window: a worker still posting while the window goes must neither
// crash nor reach the dead window; a new window shows what was left.
TEST(MainFrameLifetime, AWorkerKeepsPostingWhileTheWindowGoes)
{
    guiApp();
    ReportQueue queue;
    std::atomic<bool> stop{false};
    std::atomic<int> posted{0};
    std::thread worker([&] {
        while (!stop && posted < 20000) {
            queue.appendText("tick\r\n");
            queue.setProgress(posted++ % 100 + 1);
            if (posted % 64 == 0)
                std::this_thread::yield();
        }
    });
    for (int round = 0; round < 3; ++round) {
        auto frame = std::make_unique<CMainFrame>(nullptr, &queue);
        frame->show();
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        frame.reset();
        QCoreApplication::processEvents();
    }
    stop = true;
    worker.join();
    std::thread([&] { queue.appendText("while no window\r\n"); }).join();
    CMainFrame last(nullptr, &queue);
    ASSERT_TRUE(waitFor([&] { return last.outputBar()->text().contains(QStringLiteral("while no window")); }));
    EXPECT_GT(posted.load(), 0);
}

} // namespace
} // namespace qv::test
