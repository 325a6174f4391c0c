#include "model/document/draw_doc.h"
#include "model/document/online_link.h"
#include "platform/serial/com_port.h"
#include "tests/platform/serial_pty_fixture.h"

#include <gtest/gtest.h>
#include <condition_variable>
#include <mutex>
#include <termios.h>

namespace qv {
namespace {

using namespace std::chrono_literals;

constexpr int kLinkCom = 3;
constexpr int kOtherCom = 10; // where the old close went

// A document whose own settings hold the link (no project is open), with port 1 on a
// pseudo-terminal and COM10 on a second one that must never be touched.
class OnlineLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::mapComPorts({{kLinkCom, link.path()}, {kOtherCom, other.path()}});
        doc = std::make_unique<CDrawDoc>();
        doc->m_serial.com1 = kLinkCom;
        doc->m_serial.baud1 = 9600;
        doc->SetSettingI32(settings::kDataBits1, 1); // 7
        doc->SetSettingI32(settings::kParity1, 2);   // E
        doc->SetSettingI32(settings::kStopBits1, 1); // 2
        drain();
        SerialLinkReports().setWakeup([this] {
            std::lock_guard lock(postedMutex);
            posted = true;
            postedCv.notify_all();
        });
    }
    // The document's port threads may still be reporting a hang-up (a peer closed at the end
    // of a test): they are joined before the wakeup they call goes away.
    void TearDown() override
    {
        doc.reset();
        SerialLinkReports().setWakeup(nullptr);
        drain();
    }

    // Runs the queued GUI-thread work, and what that work queues, as the GUI thread would;
    // returns the status texts of pane 1 in order.
    std::vector<std::string> drain()
    {
        std::vector<std::string> texts;
        while (SerialLinkReports().drain([&](Report& r) {
            if (auto* s = std::get_if<ReportStatus>(&r)) {
                EXPECT_EQ(s->pane, pane);
                texts.push_back(s->gbk);
            } else if (auto* c = std::get_if<ReportCall>(&r)) {
                c->run();
            }
        }) > 0) {
        }
        return texts;
    }

    // Waits until the monitor's port-lost call is in the queue (the queue wakes its consumer
    // on every post to an empty queue, as it wakes the GUI thread).
    bool waitForLostCall()
    {
        std::unique_lock lock(postedMutex);
        return postedCv.wait_for(lock, 60s, [&] { return posted; });
    }

    // Connects, then the far end hangs up and the monitor reports it.
    void connectAndLoseTheLine()
    {
        doc->ConnectSerialPort1();
        drain();
        {
            std::lock_guard lock(postedMutex);
            posted = false;
        }
        link.hangUp();
        ASSERT_TRUE(waitForLostCall());
    }

    static bool isFree(int com)
    {
        CComPort probe;
        return probe.InitPort(nullptr, com, 9600, 'N', 8, 1, 0, 16);
    }

    test::PtyPeer link, other;
    std::unique_ptr<CDrawDoc> doc;
    int pane = kLinkStatusPane; // where drain() expects the texts
    std::mutex postedMutex;
    std::condition_variable postedCv;
    bool posted = false;
};

TEST_F(OnlineLink, ConnectOpensTheProjectPortWithItsFramingAndSaysSo)
{
    doc->ConnectSerialPort1();
    EXPECT_EQ(doc->m_bPort1Connected, 1);
    EXPECT_TRUE(doc->m_ComPort1.IsMonitoring());
    EXPECT_EQ(drain(), std::vector<std::string>{"9600波特率，串口1COM3已连接"});

    termios tio{};
    ASSERT_EQ(::tcgetattr(link.terminal(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_NE(tio.c_cflag & CSTOPB, 0u);

    // Bytes flow both ways; a second connect changes nothing.
    const unsigned char hello[] = {'h', 'i'};
    ASSERT_EQ(doc->m_ComPort1.WriteToPort(hello, 2), WriteResult::Queued);
    EXPECT_EQ(link.receive(2, 5s), (std::vector<unsigned char>{'h', 'i'}));
    doc->ConnectSerialPort1();
    EXPECT_TRUE(drain().empty());
}

TEST_F(OnlineLink, PortThatCannotOpenLeavesTheLinkDownSilently)
{
    doc->m_serial.com1 = 7; // not mapped
    doc->ConnectSerialPort1();
    EXPECT_EQ(doc->m_bPort1Connected, 0);
    EXPECT_FALSE(doc->m_ComPort1.IsOpen());
    EXPECT_EQ(doc->m_ComPort1.LastError(), PortError::NotMapped);
    EXPECT_TRUE(drain().empty());

    doc->m_serial.com1 = kLinkCom;
    doc->ConnectSerialPort1();
    EXPECT_EQ(doc->m_bPort1Connected, 1);
}

TEST_F(OnlineLink, DisconnectReleasesThePortAndOpensNoOther)
{
    doc->ConnectSerialPort1();
    ASSERT_EQ(doc->m_bPort1Connected, 1);
    EXPECT_FALSE(isFree(kLinkCom));
    drain();

    doc->DisconnectSerialPort1();
    EXPECT_EQ(doc->m_bPort1Connected, 0);
    EXPECT_FALSE(doc->m_ComPort1.IsOpen());
    EXPECT_EQ(drain(), std::vector<std::string>{"9600波特率，串口1COM3未连接"});
    EXPECT_TRUE(isFree(kLinkCom));
    EXPECT_TRUE(isFree(kOtherCom));

    // Disconnecting a link that is down only says so.
    doc->DisconnectSerialPort1();
    EXPECT_EQ(drain(), std::vector<std::string>{"9600波特率，串口1COM3未连接"});
}

TEST_F(OnlineLink, LostPortTakesItsLinkDownOnTheGuiThread)
{
    connectAndLoseTheLine();
    EXPECT_EQ(doc->m_bPort1Connected, 1); // nothing changes until the GUI thread drains
    EXPECT_EQ(drain(), std::vector<std::string>{"9600波特率，串口1COM3未连接"});
    EXPECT_EQ(doc->m_bPort1Connected, 0);
    EXPECT_FALSE(doc->m_ComPort1.IsOpen());
}

TEST_F(OnlineLink, LateLossOfAnEarlierConnectionIsIgnored)
{
    connectAndLoseTheLine();

    // Before the GUI thread drains, the user reconnects to a working port.
    test::PtyPeer fresh;
    test::mapComPorts({{kLinkCom, fresh.path()}});
    doc->DisconnectSerialPort1();
    doc->ConnectSerialPort1();
    drain();
    EXPECT_EQ(doc->m_bPort1Connected, 1);
    EXPECT_TRUE(doc->m_ComPort1.IsMonitoring());
}

TEST_F(OnlineLink, PortTwoLinksOnItsOwnLineAndPaneAndGoesDownWhenLost)
{
    pane = kLinkStatusPane + 1;
    doc->m_serial.com2 = kOtherCom;
    doc->m_serial.baud2 = 4800;
    std::string why;
    ASSERT_TRUE(doc->ConnectSerialPort(1, kOtherCom, 4800, SerialFraming(0, 0, 0), &why)) << why;
    EXPECT_TRUE(doc->IsSerialPortConnected(1));
    EXPECT_FALSE(doc->IsSerialPortConnected(0));
    EXPECT_TRUE(doc->m_ComPort2.IsMonitoring());
    EXPECT_EQ(drain(), std::vector<std::string>{"4800波特率，串口2COM10已连接"});
    {
        std::lock_guard lock(postedMutex);
        posted = false;
    }
    other.hangUp();
    ASSERT_TRUE(waitForLostCall());
    EXPECT_EQ(drain(), std::vector<std::string>{"4800波特率，串口2COM10未连接"});
    EXPECT_FALSE(doc->IsSerialPortConnected(1));
    EXPECT_FALSE(doc->m_ComPort2.IsOpen());

    // A port that cannot be opened says why and stays down.
    EXPECT_FALSE(doc->ConnectSerialPort(1, 7, 4800, SerialFraming(0, 0, 0), &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(doc->IsSerialPortConnected(1));
    EXPECT_TRUE(drain().empty());
}

TEST_F(OnlineLink, LossReportedAfterTheDocumentIsGoneDoesNothing)
{
    connectAndLoseTheLine(); // the loss is queued for the GUI thread
    doc.reset();
    // The queued call finds no document: no status text, and COM10 is not opened to close
    // the line the old way.
    EXPECT_TRUE(drain().empty());
    EXPECT_TRUE(isFree(kOtherCom));
    // A document made afterwards is not touched by it either.
    doc = std::make_unique<CDrawDoc>();
    doc->m_serial.com1 = kLinkCom;
    doc->m_serial.baud1 = 9600;
    test::PtyPeer fresh;
    test::mapComPorts({{kLinkCom, fresh.path()}, {kOtherCom, other.path()}});
    doc->ConnectSerialPort1();
    EXPECT_EQ(drain(), std::vector<std::string>{"9600波特率，串口1COM3已连接"});
    EXPECT_EQ(doc->m_bPort1Connected, 1);
    doc.reset();
}

} // namespace
} // namespace qv
