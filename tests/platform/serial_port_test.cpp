#include "platform/serial/com_port.h"
#include "platform/serial/line_settings.h"
#include "platform/text/gbk.h"
#include "serial_pty_fixture.h"

#include "tests/fixtures/temp_dir.h"

#include <atomic>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <numeric>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace qv {
namespace {

// The port's reasons are UTF-8; literals here are GBK.
std::string utf8(const std::string& gbk) { return gbkToUtf8(gbk).value_or(std::string()); }

using namespace std::chrono_literals;
using test::PtyPeer;
using test::RecordingOwner;

constexpr int kCom = 3;
constexpr std::uint32_t kMask = CommEvent::RxChar | CommEvent::RxFlag; // what the online link asks for

class SerialPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::mapComPorts({{kCom, pty.path()}});
        SetApplicationByteSink(&owner);
    }
    void TearDown() override
    {
        port.ClosePort();
        SetApplicationByteSink(nullptr);
    }
    bool open(std::uint32_t mask = kMask, int bufferSize = 4096)
    {
        return port.InitPort(&owner, kCom, 19200, 'N', 8, 1, mask, bufferSize);
    }

    PtyPeer pty;
    RecordingOwner owner;
    CComPort port;
};

// Runs `call` on its own thread and says whether it returned; the time-out only guards
// against a hang, it is no speed goal. A call that hangs is left behind.
bool returns(std::function<void()> call, std::chrono::seconds guard = 60s)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([call = std::move(call), done] {
        call();
        done->set_value();
    }).detach();
    return finished.wait_for(guard) == std::future_status::ready;
}

std::vector<unsigned char> ramp(std::size_t n)
{
    std::vector<unsigned char> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<unsigned char>(i * 7 + i / 256);
    return v;
}

TEST_F(SerialPort, PeerBytesReachOwnerAndApplicationInOrder)
{
    ASSERT_TRUE(open()) << port.LastErrorText();
    ASSERT_TRUE(port.StartMonitoring());
    const auto sent = ramp(5000);
    pty.send(sent);
    ASSERT_TRUE(owner.waitUntil([&](const RecordingOwner& o) { return o.sinkBytes.size() >= sent.size(); }))
        << owner.sinkBytes.size() << " of " << sent.size();
    port.ClosePort();
    EXPECT_EQ(owner.ownerBytes, sent);
    EXPECT_EQ(owner.sinkBytes, sent);
    EXPECT_TRUE(std::all_of(owner.ports.begin(), owner.ports.end(), [](int p) { return p == kCom; }));
}

TEST_F(SerialPort, PortOfTheToolDeliversToItsOwnerOnly)
{
    port.SetDeliverToApplication(false);
    ASSERT_TRUE(open());
    ASSERT_TRUE(port.StartMonitoring());
    pty.send({1, 2, 3});
    ASSERT_TRUE(owner.waitUntil([](const RecordingOwner& o) { return o.ownerBytes.size() == 3; }));
    EXPECT_TRUE(owner.sinkBytes.empty());
    // Switched while the monitor runs (the thread checker sees any unsynchronised flag).
    port.SetDeliverToApplication(true);
    pty.send({4, 5});
    ASSERT_TRUE(owner.waitUntil([](const RecordingOwner& o) { return o.sinkBytes.size() == 2; }));
    port.ClosePort();
    EXPECT_EQ(owner.sinkBytes, (std::vector<unsigned char>{4, 5}));
}

TEST_F(SerialPort, BackToBackWritesAllArriveWhole)
{
    ASSERT_TRUE(open(kMask, 64));
    ASSERT_TRUE(port.StartMonitoring());
    std::vector<unsigned char> expected;
    for (int w = 0; w < 40; ++w) {
        std::vector<unsigned char> frame(1 + w % 64);
        std::iota(frame.begin(), frame.end(), static_cast<unsigned char>(w));
        ASSERT_EQ(port.WriteToPort(frame.data(), static_cast<int>(frame.size())), WriteResult::Queued);
        expected.insert(expected.end(), frame.begin(), frame.end());
    }
    EXPECT_EQ(pty.receive(expected.size(), 5s), expected);
}

TEST_F(SerialPort, WritesQueuedBeforeMonitoringGoOutWhenItStarts)
{
    ASSERT_TRUE(open());
    const unsigned char a[] = {'a', 'b'}, b[] = {'c'};
    port.WriteToPort(a, 2);
    port.WriteToPort(b, 1);
    EXPECT_TRUE(pty.receive(1, 100ms).empty());
    ASSERT_TRUE(port.StartMonitoring());
    EXPECT_EQ(pty.receive(3, 5s), (std::vector<unsigned char>{'a', 'b', 'c'}));
}

TEST_F(SerialPort, RefusedWritesSayWhyAndQueueNothing)
{
    const unsigned char bytes[9] = {};
    EXPECT_EQ(port.WriteToPort(bytes, 1), WriteResult::NotOpen);
    ASSERT_TRUE(open(kMask, 8));
    EXPECT_EQ(port.WriteToPort(bytes, 9), WriteResult::TooLong);
    EXPECT_EQ(port.WriteToPort(bytes, -1), WriteResult::TooLong);
    // Without a monitor nothing drains: the queue holds a bounded number of buffers.
    int queued = 0;
    while (port.WriteToPort(bytes, 8) == WriteResult::Queued && queued < 1000)
        ++queued;
    EXPECT_LT(queued, 1000);
    EXPECT_EQ(port.WriteToPort(bytes, 8), WriteResult::QueueFull);
    ASSERT_TRUE(port.StartMonitoring());
    EXPECT_EQ(pty.receive(static_cast<std::size_t>(queued) * 8 + 1, 1s).size(), static_cast<std::size_t>(queued) * 8);
}

TEST_F(SerialPort, OnlyWritesThatAskForItDiscardUnreadInput)
{
    // Without the received-byte event the monitor leaves input in the line's queue, where
    // the test's own handle on the terminal can count it.
    ASSERT_TRUE(open(0));
    ASSERT_TRUE(port.StartMonitoring());
    auto unread = [&] {
        int n = -1;
        ::ioctl(pty.terminal(), FIONREAD, &n);
        return n;
    };
    pty.send({'o', 'l', 'd'});
    for (int i = 0; i < 100 && unread() != 3; ++i)
        std::this_thread::sleep_for(5ms);
    ASSERT_EQ(unread(), 3);

    const unsigned char request[] = {0x01, 0x03};
    ASSERT_EQ(port.WriteToPort(request, 2), WriteResult::Queued);
    ASSERT_EQ(pty.receive(2, 5s).size(), 2u);
    EXPECT_EQ(unread(), 3);

    ASSERT_EQ(port.WriteToPort(request, 2, WriteInput::Discard), WriteResult::Queued);
    ASSERT_EQ(pty.receive(2, 5s).size(), 2u);
    EXPECT_EQ(unread(), 0);
}

TEST_F(SerialPort, NoticesFollowEveryReceivePassAsTheMaskAsks)
{
    struct Case {
        std::uint32_t mask;
        std::vector<PortNotice> perPass;
    };
    const Case cases[] = {
        {CommEvent::RxChar, {}},
        {kMask, {PortNotice::RxFlag}}, // even though the event character never came
        {CommEvent::RxChar | CommEvent::Ring | CommEvent::Cts | CommEvent::RxFlag | CommEvent::Err | CommEvent::Break,
         {PortNotice::Cts, PortNotice::Break, PortNotice::Err, PortNotice::Ring, PortNotice::RxFlag}},
    };
    for (const Case& c : cases) {
        RecordingOwner local;
        ASSERT_TRUE(port.InitPort(&local, kCom, 9600, 'N', 8, 1, c.mask, 16));
        ASSERT_TRUE(port.StartMonitoring());
        pty.send({'x'});
        ASSERT_TRUE(local.waitUntil([](const RecordingOwner& o) { return o.ownerBytes.size() == 1; }));
        port.ClosePort(); // the pass's notices come before its end, so all are in now
        EXPECT_EQ(local.notices, c.perPass) << "mask " << c.mask;
    }
}

struct Framing {
    int baud;
    char parity;
    int dataBits;
    int stopBits;
};

// What the framing must look like in the terminal flags.
void expectFraming(const termios& tio, const Framing& f, bool sizeAndParityKept)
{
    const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    if (sizeAndParityKept) {
        EXPECT_EQ(tio.c_cflag & CSIZE, sizes[f.dataBits - 5]);
        EXPECT_EQ((tio.c_cflag & PARENB) != 0, f.parity != 'N');
    }
    EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, f.stopBits == 2);
    EXPECT_EQ((tio.c_cflag & PARODD) != 0, f.parity == 'O' || f.parity == 'M');
    EXPECT_EQ((tio.c_cflag & CMSPAR) != 0, f.parity == 'M' || f.parity == 'S');
    EXPECT_EQ(tio.c_cflag & (CRTSCTS | HUPCL), 0u);
    EXPECT_EQ(tio.c_cflag & (CREAD | CLOCAL), CREAD | CLOCAL);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP | INPCK), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
}

TEST_F(SerialPort, LineShowsTheRequestedFramingInRawMode)
{
    const Framing table[] = {
        {9600, 'N', 8, 1},  {19200, 'E', 7, 2}, {115200, 'O', 8, 1}, {1200, 'N', 5, 1},
        {2400, 'N', 8, 1},  {4800, 'E', 7, 1},  {38400, 'N', 8, 2},  {57600, 'N', 6, 1},
        {19200, 'M', 8, 1}, {19200, 'S', 7, 1},
    };
    const speed_t codes[][2] = {{1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
                                {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};
    auto codeOf = [&](int baud) {
        for (const auto& [b, code] : codes)
            if (static_cast<int>(b) == baud)
                return code;
        return speed_t{0};
    };
    for (const Framing& f : table) {
        SCOPED_TRACE(testing::Message() << f.baud << ' ' << f.dataBits << f.parity << f.stopBits);
        // What is handed to the line, in full.
        termios built{};
        std::string error;
        ASSERT_TRUE(MakeLineTermios({f.baud, f.parity, f.dataBits, f.stopBits}, built, error)) << error;
        expectFraming(built, f, true);
        EXPECT_EQ(::cfgetospeed(&built), codeOf(f.baud));

        // What the line shows. A pseudo-terminal keeps everything but data bits and parity
        // enable, which it always reports as 8 without parity.
        ASSERT_TRUE(port.InitPort(&owner, kCom, f.baud, f.parity, f.dataBits, f.stopBits, kMask, 4096))
            << port.LastErrorText();
        termios shown{};
        ASSERT_EQ(::tcgetattr(pty.terminal(), &shown), 0);
        ASSERT_TRUE(IsPseudoTerminal(pty.terminal()));
        expectFraming(shown, f, false);
        EXPECT_EQ(::cfgetospeed(&shown), codeOf(f.baud));
        EXPECT_EQ(::cfgetispeed(&shown), codeOf(f.baud));
    }
}

TEST_F(SerialPort, UnusualBaudRatesAreSetExactly)
{
    for (int baud : {14400, 250000, 31250}) {
        ASSERT_TRUE(port.InitPort(&owner, kCom, baud, 'N', 8, 1, kMask, 16)) << port.LastErrorText();
        EXPECT_EQ(ReadLineSettings(pty.terminal())->baud, baud);
    }
}

TEST_F(SerialPort, RefusedSettingsFailAndLeaveNothingOpen)
{
    // The reason reads in Chinese, like every other reason the port gives.
    const struct {
        Framing f;
        std::string says;
    } refused[] = {{{0, 'N', 8, 1}, "波特率0超出范围（1～4000000）"},
                   {{-9600, 'N', 8, 1}, "波特率-9600超出范围（1～4000000）"},
                   {{4000001, 'N', 8, 1}, "波特率4000001超出范围（1～4000000）"},
                   {{9600, 'X', 8, 1}, "校验方式X无效，只能是N、O、E、M、S"},
                   {{9600, 'N', 9, 1}, "数据位9无效，只能是5～8"},
                   {{9600, 'N', 4, 1}, "数据位4无效，只能是5～8"},
                   {{9600, 'N', 8, 3}, "停止位3无效，只能是1或2"}};
    for (const auto& [f, says] : refused) {
        SCOPED_TRACE(testing::Message() << f.baud << ' ' << f.dataBits << f.parity << f.stopBits);
        EXPECT_FALSE(port.InitPort(&owner, kCom, f.baud, f.parity, f.dataBits, f.stopBits, kMask, 16));
        EXPECT_EQ(port.LastError(), PortError::BadSettings);
        EXPECT_EQ(port.LastErrorText(), utf8("COM" + std::to_string(kCom) + "：" + pty.path() + "：" + says));
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(port.StartMonitoring());
        CComPort other; // the device was released
        EXPECT_TRUE(other.InitPort(nullptr, kCom, 9600, 'N', 8, 1, kMask, 16)) << other.LastErrorText();
    }
    EXPECT_FALSE(port.InitPort(&owner, kCom, 9600, 'N', 8, 1, kMask, 0));
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialPort, FailedOpensSayWhyAndAValidPortOpensAfterwards)
{
    test::TempDir dir;
    const auto plainFile = dir / "not-a-port";
    std::ofstream(plainFile) << "x";
    CComPort holder;
    ASSERT_TRUE(holder.InitPort(nullptr, kCom, 9600, 'N', 8, 1, kMask, 16));
    test::mapComPorts({{kCom, pty.path()}, {4, (dir / "missing").string()}, {5, plainFile.string()}, {6, pty.path()}});

    // The reason reads in Chinese; a system error keeps its own text after it.
    const std::string missing = "无法打开 " + (dir / "missing").string() + "：文件不存在 (No such file or directory)";
    struct Case {
        int com;
        PortError error;
        std::string says;
    };
    const Case cases[] = {{7, PortError::NotMapped, "不在"},
                          {0, PortError::NotMapped, "不是有效的串口号"},
                          {4, PortError::Missing, missing},
                          {5, PortError::NotSerial, "不是串口设备"},
                          {kCom, PortError::Busy, "正被其他程序使用"},
                          {6, PortError::Busy, "正被其他程序使用"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.com);
        EXPECT_FALSE(port.InitPort(&owner, c.com, 9600, 'N', 8, 1, kMask, 16));
        EXPECT_EQ(port.LastError(), c.error) << port.LastErrorText();
        EXPECT_EQ(port.LastErrorText().rfind(utf8("COM" + std::to_string(c.com) + "："), 0), 0u) << port.LastErrorText();
        EXPECT_NE(port.LastErrorText().find(utf8(c.says)), std::string::npos) << port.LastErrorText();
        EXPECT_FALSE(port.IsOpen());
    }
    holder.ClosePort();
    EXPECT_TRUE(port.InitPort(&owner, kCom, 9600, 'N', 8, 1, kMask, 16)) << port.LastErrorText();
}

TEST_F(SerialPort, DeviceWithoutPermissionSaysSo)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser opens any device";
    ASSERT_EQ(::fchmod(pty.terminal(), 0), 0);
    EXPECT_FALSE(open());
    EXPECT_EQ(port.LastError(), PortError::NoPermission);
    EXPECT_NE(port.LastErrorText().find(utf8("没有访问权限 (Permission denied)")), std::string::npos) << port.LastErrorText();
    EXPECT_NE(port.LastErrorText().find(utf8("用户组")), std::string::npos) << port.LastErrorText();
}

TEST_F(SerialPort, CloseReleasesTheDeviceAtOnce)
{
    ASSERT_TRUE(open());
    ASSERT_TRUE(port.StartMonitoring());
    port.ClosePort();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.IsMonitoring());
    CComPort other;
    EXPECT_TRUE(other.InitPort(nullptr, kCom, 9600, 'N', 8, 1, kMask, 16)) << other.LastErrorText();
}

TEST_F(SerialPort, ReopeningStopsTheMonitorFirst)
{
    ASSERT_TRUE(open());
    ASSERT_TRUE(port.StartMonitoring());
    ASSERT_TRUE(port.InitPort(&owner, kCom, 9600, 'E', 7, 1, kMask, 16));
    EXPECT_FALSE(port.IsMonitoring());
    pty.send({'z'});
    EXPECT_FALSE(owner.waitUntil([](const RecordingOwner& o) { return !o.ownerBytes.empty(); }, 100ms));
    ASSERT_TRUE(port.StartMonitoring());
    pty.send({'y'});
    EXPECT_TRUE(owner.waitUntil([](const RecordingOwner& o) { return !o.ownerBytes.empty(); }));
}

TEST_F(SerialPort, ClosingDuringAFloodReturns)
{
    ASSERT_TRUE(open());
    ASSERT_TRUE(port.StartMonitoring());
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        const auto chunk = ramp(4096);
        while (flooding.load())
            (void)::write(pty.peer(), chunk.data(), chunk.size());
    });
    ASSERT_TRUE(owner.waitUntil([](const RecordingOwner& o) { return o.ownerBytes.size() > 20000; }));
    // The monitor keeps finding bytes to read: the close must still get through to it.
    const bool closed = returns([this] { port.ClosePort(); });
    flooding = false;
    flood.join();
    ASSERT_TRUE(closed) << "the close hangs while bytes keep coming";
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.IsMonitoring());
}

TEST_F(SerialPort, PeerHangUpReportsPortLostOnceAndCloseDoesNotHang)
{
    ASSERT_TRUE(open());
    ASSERT_TRUE(port.StartMonitoring());
    pty.send({'a'});
    ASSERT_TRUE(owner.waitUntil([](const RecordingOwner& o) { return o.ownerBytes.size() == 1; }));
    pty.hangUp();
    ASSERT_TRUE(owner.waitUntil([](const RecordingOwner& o) { return o.lostCount > 0; }));
    // The monitor ends after its report; a hang guard only, however slow the machine.
    const auto guard = std::chrono::steady_clock::now() + 60s;
    while (port.IsMonitoring() && std::chrono::steady_clock::now() < guard)
        std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(port.IsMonitoring());
    EXPECT_TRUE(port.IsOpen()); // the owner closes it, on its own thread
    ASSERT_TRUE(returns([this] { port.ClosePort(); })) << "the close hangs after the hang-up";
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(owner.lostCount, 1);
    EXPECT_NE(owner.lostReason.find("COM3"), std::string::npos);
}

// An owner whose port-lost report takes its time, as a report queue on a busy machine may.
class SlowLossOwner : public CComPortOwner {
public:
    void OnPortLost(int, const std::string&) override
    {
        std::unique_lock lock(mutex_);
        entered_ = true;
        cv_.notify_all();
        cv_.wait(lock, [&] { return released_; });
    }
    bool waitEntered()
    {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, 60s, [&] { return entered_; });
    }
    void release()
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        cv_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool entered_ = false, released_ = false;
};

// Whoever sees the monitor gone reads the report queue next: the report must be posted by then.
TEST(SerialPortLoss, MonitorCountsAsRunningUntilItsLossIsReported)
{
    PtyPeer pty;
    test::mapComPorts({{kCom, pty.path()}});
    SlowLossOwner owner;
    CComPort port;
    ASSERT_TRUE(port.InitPort(&owner, kCom, 19200, 'N', 8, 1, kMask, 4096)) << port.LastErrorText();
    ASSERT_TRUE(port.StartMonitoring());
    pty.hangUp();
    ASSERT_TRUE(owner.waitEntered());
    EXPECT_TRUE(port.IsMonitoring()); // the report is still on its way
    owner.release();
    port.ClosePort();
    EXPECT_FALSE(port.IsMonitoring());
}

} // namespace
} // namespace qv
