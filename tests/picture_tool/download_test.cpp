// The picture download to the simulated panel over USB and over UDP on 127.0.0.1.
#include "device/virtual_panel/sim_panel.h"
#include "device/virtual_panel/sim_udp_panel.h"
#include "tests/fixtures/temp_dir.h"
#include "picture_tool/download/picture_download.h"
#include "picture_tool/link/udp_tool_link.h"
#include "picture_tool/link/usb_tool_link.h"
#include "picture_tool/picture/picture_record.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qv::picture_tool {
namespace {

using device::virtual_panel::SimPanel;
using device::virtual_panel::SimPanelSettings;
using device::virtual_panel::SimUdpPanel;
using device::virtual_panel::UdpFault;

struct Recorder final : DownloadReport {
    std::vector<std::string> messages;
    void status(int) override {}
    void progress(int) override {}
    void message(const std::string& m) override { messages.push_back(m); }
    bool said(const std::string& m) const { return std::find(messages.begin(), messages.end(), m) != messages.end(); }
};

NandGeometry nandOf(const FlashGeometry& g)
{
    return {g.page - 1, g.capacity, g.block, g.blockMask()};
}

std::shared_ptr<SimPanel> makePanel(int type, std::uint32_t directory, std::set<std::uint32_t> bad = {})
{
    SimPanelSettings s;
    s.kind = usb::UsbKind::EzUsb;
    s.toolFlashType = static_cast<std::uint8_t>(type);
    s.toolDirectory = directory;
    if (auto g = flashGeometry(type))
        s.nand = nandOf(*g);
    s.badBlocks = std::move(bad);
    return std::make_shared<SimPanel>(s);
}

PicturePtr picture(int w, int h, ColorRef c)
{
    auto p = std::make_shared<Picture>();
    p->pixels = Surface(w, h, c);
    return p;
}

// A download run against one panel over one transport.
struct DownloadRun {
    Recorder report;
    std::atomic<bool> abort{false};
    TransferContext context{&abort, {}};
    test::TempDir folder;
    std::optional<PanelStart> start;
    std::vector<std::string> paths; // host paths; pic0.jpg, pic1.jpg ... when empty
    bool ok = false;

    void usb(SimPanel& panel, const std::vector<PicturePtr>& pics)
    {
        auto raw = panel.connect();
        UsbToolLink link(std::move(raw.pipes), context);
        start = startPicturesUsb(link, pics.size(), report);
        if (start)
            ok = writePictures(paths.empty() ? names(pics.size()) : paths, pics, *start, link, context, folder.path(), report);
    }
    void udp(SimUdpPanel& peer, const std::vector<PicturePtr>& pics, UdpOptions options = {})
    {
        std::string why;
        auto link = UdpToolLink::open({{127, 0, 0, 1}, peer.port()}, 0, context, &why, options);
        ASSERT_TRUE(link) << why;
        start = startPicturesUdp(*link, pics.size(), report);
        if (start)
            ok = writePictures(paths.empty() ? names(pics.size()) : paths, pics, *start, *link, context, folder.path(), report);
    }
    static std::vector<std::string> names(std::size_t n)
    {
        std::vector<std::string> v;
        for (std::size_t i = 0; i < n; ++i)
            v.push_back("/p/pic" + std::to_string(i) + ".jpg");
        return v;
    }
};

std::vector<std::uint8_t> expectedRecord(const PicturePtr& p, int type)
{
    return pictureRecord(p->pixels, *flashGeometry(type), WhiteRule::Keep);
}

std::uint16_t word(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

enum class Transport { Usb, Udp };

class PictureDownload : public ::testing::TestWithParam<Transport> {
protected:
    void run(DownloadRun& r, const std::shared_ptr<SimPanel>& panel, const std::vector<PicturePtr>& pics)
    {
        if (GetParam() == Transport::Usb) {
            r.usb(*panel, pics);
        } else {
            SimUdpPanel peer(panel);
            r.udp(peer, pics);
        }
    }
};

TEST_P(PictureDownload, RecordsAndDirectoryLandAtTheComputedAddresses)
{
    auto panel = makePanel(0, 0x8000);
    const std::vector<PicturePtr> pics{picture(2, 1, rgb(255, 0, 0)), picture(40, 30, rgb(0, 255, 0))};
    DownloadRun r;
    run(r, panel, pics);
    ASSERT_TRUE(r.ok) << (r.report.messages.empty() ? "" : r.report.messages.back());
    EXPECT_TRUE(r.report.said(text::kPicturesDone));
    const std::uint32_t first = 0x8000 + 0x20000;
    const auto rec0 = expectedRecord(pics[0], 0), rec1 = expectedRecord(pics[1], 0);
    EXPECT_EQ(panel->readNand(first, rec0.size()), rec0);
    EXPECT_EQ(panel->readNand(first + static_cast<std::uint32_t>(rec0.size()), rec1.size()), rec1);
    const auto dir = panel->readNand(0x8000, 0x4000);
    EXPECT_EQ(word(dir, 2), first >> 10);
    EXPECT_EQ(word(dir, 24 + 2), (first + rec0.size()) >> 10);
    EXPECT_EQ(word(dir, 0x4000 - 6), 2);
    EXPECT_EQ(dir[0x4000 - 1], 0xA5);
    EXPECT_EQ(test::fileContents(r.folder / "pic.h").substr(64),
              "#define        pic0              0\r\n#define        pic1              1\r\n");
}

TEST_P(PictureDownload, NamesReachThePanelAndPicHInGbk)
{
    auto panel = makePanel(0, 0);
    DownloadRun r;
    r.paths = {reinterpret_cast<const char*>(u8"/p/图片/按钮.jpg")};
    run(r, panel, {picture(2, 1, 0)});
    ASSERT_TRUE(r.ok);
    const std::string gbk = "按钮"; // narrow literals are GBK here
    const auto dir = panel->readNand(0, 0x4000);
    EXPECT_EQ(std::string(dir.begin() + 8, dir.begin() + 8 + 8), gbk + ".jpg");
    EXPECT_EQ(test::fileContents(r.folder / "pic.h").substr(64), "#define        " + gbk + std::string(14, ' ') + "0\r\n");
}

TEST_P(PictureDownload, BadBlockMovesThePictureToTheNextBlock)
{
    const std::uint32_t first = 0x20000;
    auto panel = makePanel(0, 0, {first / 0x4000});
    const std::vector<PicturePtr> pics{picture(2, 1, rgb(1, 2, 3)), picture(2, 1, rgb(4, 5, 6))};
    DownloadRun r;
    run(r, panel, pics);
    ASSERT_TRUE(r.ok);
    const auto dir = panel->readNand(0, 0x4000);
    EXPECT_EQ(word(dir, 2), (first + 0x4000) >> 10);
    EXPECT_EQ(word(dir, 24 + 2), (first + 0x4000 + 1024) >> 10);
    EXPECT_EQ(panel->readNand(first + 0x4000, 1024), expectedRecord(pics[0], 0));
}

TEST_P(PictureDownload, EightBadDirectoryPositionsEndWithoutTheCompletionMessage)
{
    // Block 0 is not used: a bad block there would report the status word 0.
    auto panel = makePanel(0, 0x4000, {1, 2, 3, 4, 5, 6, 7, 8});
    DownloadRun r;
    run(r, panel, {picture(2, 1, 0)});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.report.said(text::kBadDirectory));
    EXPECT_FALSE(r.report.said(text::kPicturesDone));
}

TEST_P(PictureDownload, PanelRefusalsComeBeforeAnyWrite)
{
    struct Case {
        const char* what;
        int type;
        std::uint32_t directory;
        std::size_t pictures;
        std::string message;
    };
    const std::vector<Case> cases{
        {"more pictures than a 16 KiB directory holds", 0, 0, 683, withNumber(text::kTooMany, 682)},
        {"two-chip flash type", GetParam() == Transport::Usb ? 9 : 5, 0, 1, text::kNoGeometry},
        {"directory address inside a block", 0, 0x100, 1, text::kBadDirectoryAddress},
        {"directory address that wraps", 0, 0xFFFFC000u, 1, text::kBadDirectoryAddress},
    };
    for (const Case& c : cases) {
        auto panel = makePanel(c.type, c.directory);
        DownloadRun r;
        run(r, panel, std::vector<PicturePtr>(c.pictures, picture(1, 1, 0)));
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_TRUE(r.report.said(c.message)) << c.what;
        for (const auto& t : panel->transfers())
            EXPECT_FALSE(t.out && t.pipe == 1 && !t.bytes.empty() && t.bytes[0] == 0x01) << c.what;
    }
}

TEST_P(PictureDownload, FullAreaKeepsTheStoredPicturesAndTheCount)
{
    // The first picture fills the last block below the reserved top; the second would start
    // at the area's end, whose block is bad, and has no room.
    const auto g = *flashGeometry(0);
    const std::uint32_t directory = g.pictureAreaEnd() - g.baseOffset - 0x4000;
    auto panel = makePanel(0, directory, {g.pictureAreaEnd() / 0x4000});
    DownloadRun r;
    run(r, panel, {picture(100, 80, 0), picture(100, 80, 0)});
    EXPECT_TRUE(r.report.said(withNumber(text::kAreaFull, 64)));
    const auto dir = panel->readNand(directory, 0x4000);
    EXPECT_NE(word(dir, 2), 0);
    EXPECT_EQ(word(dir, 24 + 2), 0);
    EXPECT_EQ(word(dir, 0x4000 - 6), 2);
}

INSTANTIATE_TEST_SUITE_P(Transports, PictureDownload, ::testing::Values(Transport::Usb, Transport::Udp));

TEST(BlockWrite, ThreeThousandBytesInPiecesOfEachTransport)
{
    const std::vector<std::uint8_t> block(3000, 0x5A);
    std::atomic<bool> abort{false};
    TransferContext context{&abort, {}};
    {
        auto panel = makePanel(0, 0);
        auto raw = panel->connect();
        UsbToolLink link(std::move(raw.pipes), context);
        std::uint32_t status = 1;
        ASSERT_TRUE(link.writeBlock(block, 0x20000, status));
        EXPECT_EQ(status, 0u);
        std::vector<std::pair<int, std::size_t>> shape;
        for (const auto& t : panel->transfers())
            shape.emplace_back(t.pipe, t.out ? t.bytes.size() : 4);
        EXPECT_EQ(shape, (std::vector<std::pair<int, std::size_t>>{
                             {1, 9}, {3, 512}, {3, 512}, {3, 512}, {3, 512}, {3, 512}, {3, 440}, {0, 4}}));
    }
    {
        auto panel = makePanel(0, 0);
        SimUdpPanel peer(panel);
        auto link = UdpToolLink::open({{127, 0, 0, 1}, peer.port()}, 0, context);
        ASSERT_TRUE(link);
        std::uint32_t status = 1;
        ASSERT_TRUE(link->writeBlock(block, 0x20000, status));
        std::vector<std::size_t> datagrams;
        for (const auto& t : panel->transfers())
            if (t.out && t.pipe == 3)
                datagrams.push_back(t.bytes.size() + kUdpHeader);
        EXPECT_EQ(datagrams, (std::vector<std::size_t>{1289, 1289, 449}));
        EXPECT_EQ(panel->readNand(0x20000, 3000), block);
    }
}

TEST(UdpFaults, WithinTheRetryBudgetTheFlashIsRight)
{
    // Datagrams: 0 'X', 1 'Y', 2 'Z', 3 busy, 4.. data, then the directory.
    const std::vector<std::pair<const char*, std::vector<std::pair<std::size_t, UdpFault>>>> cases{
        {"lost datagram", {{4, UdpFault::Drop}}},
        {"answered twice", {{4, UdpFault::Duplicate}, {1, UdpFault::Duplicate}}},
        {"answered late", {{4, UdpFault::Late}}},
        {"foreign sender first", {{4, UdpFault::Foreign}, {5, UdpFault::Foreign}}},
    };
    const std::vector<PicturePtr> pics{picture(40, 40, rgb(9, 9, 9)), picture(30, 30, rgb(200, 100, 50))};
    for (const auto& [what, faults] : cases) {
        auto panel = makePanel(0, 0);
        SimUdpPanel peer(panel);
        for (const auto& [index, fault] : faults)
            peer.injectFault(index, fault);
        DownloadRun r;
        r.udp(peer, pics);
        ASSERT_TRUE(r.ok) << what;
        const auto rec0 = expectedRecord(pics[0], 0), rec1 = expectedRecord(pics[1], 0);
        EXPECT_EQ(panel->readNand(0x20000, rec0.size()), rec0) << what;
        EXPECT_EQ(panel->readNand(0x20000 + static_cast<std::uint32_t>(rec0.size()), rec1.size()), rec1) << what;
        const auto dir = panel->readNand(0, 0x4000);
        EXPECT_EQ(word(dir, 2), 0x20000 >> 10) << what;
        EXPECT_EQ(word(dir, 24 + 2), (0x20000 + rec0.size()) >> 10) << what;
    }
}

// Waits as long as it takes for the first `answered` replies and not at all after them: the
// exchanges the panel answers never time out on a busy machine, the dropped ones at once.
class AnsweredFirstClock final : public ReplyClock {
public:
    explicit AnsweredFirstClock(int answered) : answered_(answered) {}
    bool waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, std::chrono::milliseconds,
                 const std::function<bool()>& ready) override
    {
        if (calls_++ < answered_)
            return cv.wait_for(lock, std::chrono::seconds(60), ready);
        return ready();
    }

private:
    int answered_;
    int calls_ = 0;
};

TEST(UdpFaults, BeyondTheBudgetTheDownloadFails)
{
    auto panel = makePanel(0, 0);
    SimUdpPanel peer(panel);
    peer.dropFrom(5);
    DownloadRun r;
    AnsweredFirstClock clock(5); // one wait per datagram until the panel falls silent
    r.udp(peer, {picture(40, 40, 0)}, UdpOptions{std::chrono::milliseconds(30), std::chrono::milliseconds(5), &clock});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.report.said(text::kCommFailed));
    EXPECT_FALSE(r.report.said(text::kPicturesDone));
}

// Sends the panel's answers from inside the wait, while the sender holds its lock: the
// answers are queued before the sender can look at any of them.
class AnsweringClock final : public ReplyClock {
public:
    std::function<void(int)> answer; // the call's number, from 0
    bool waitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, std::chrono::milliseconds limit,
                 const std::function<bool()>& ready) override
    {
        answer(calls_++);
        return cv.wait_for(lock, limit, ready);
    }

private:
    int calls_ = 0;
};

TEST(UdpLink, ALateAnswerToThePreviousCommandDoesNotCrowdOutTheAnswerBehindIt)
{
    const int panelFd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(panelFd, 0);
    sockaddr_in panelAddr{};
    panelAddr.sin_family = AF_INET;
    panelAddr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof panelAddr;
    ASSERT_EQ(::bind(panelFd, reinterpret_cast<sockaddr*>(&panelAddr), sizeof panelAddr), 0);
    ASSERT_EQ(::getsockname(panelFd, reinterpret_cast<sockaddr*>(&panelAddr), &len), 0);

    AnsweringClock clock;
    std::atomic<bool> abort{false};
    TransferContext context{&abort, {}};
    // A generous limit: the answer is already queued, the limit only ends a failing run.
    auto link = UdpToolLink::open({{127, 0, 0, 1}, ntohs(panelAddr.sin_port)}, 0, context, nullptr,
                                  UdpOptions{std::chrono::seconds(20), std::chrono::milliseconds(5), &clock});
    ASSERT_TRUE(link);
    sockaddr_in toolAddr{};
    toolAddr.sin_family = AF_INET;
    toolAddr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    toolAddr.sin_port = htons(link->localPort());
    const auto answerWith = [&](std::vector<std::uint8_t> d) {
        ::sendto(panelFd, d.data(), d.size(), 0, reinterpret_cast<const sockaddr*>(&toolAddr), sizeof toolAddr);
    };
    clock.answer = [&](int call) {
        if (call == 0) {
            answerWith({kUdpMark, usbcmd::kFlashType, 0, 1});
        } else {
            answerWith({kUdpMark, usbcmd::kFlashType, 0, 1}); // the first command's answer, again and late
            answerWith({kUdpMark, usbcmd::kDirectory, 1, 0x44, 0x33, 0x22, 0x11});
        }
    };
    ASSERT_TRUE(link->exchange(usbcmd::kFlashType, 1));
    const auto dir = link->exchange(usbcmd::kDirectory, 1);
    ASSERT_TRUE(dir);
    EXPECT_EQ(*dir, (std::vector<std::uint8_t>{kUdpMark, usbcmd::kDirectory, 1, 0x44, 0x33, 0x22, 0x11}));
    link.reset();
    ::close(panelFd);
}

TEST(UdpLink, RefusesAnotherPanelUnderTheTestRunnerAndABoundPort)
{
    std::atomic<bool> abort{false};
    TransferContext context{&abort, {}};
    std::string why;
    ::setenv(kLoopbackOnlyEnv, "1", 1);
    EXPECT_FALSE(UdpToolLink::open({{192, 168, 1, 18}, 8088}, 0, context, &why));
    EXPECT_EQ(why.rfind("socket初始化错误", 0), 0u);
    auto first = UdpToolLink::open({{127, 0, 0, 1}, 9}, 0, context);
    ASSERT_TRUE(first);
    why.clear();
    EXPECT_FALSE(UdpToolLink::open({{127, 0, 0, 1}, 9}, first->localPort(), context, &why));
    EXPECT_EQ(why.rfind("socket初始化错误", 0), 0u);
}

} // namespace
} // namespace qv::picture_tool
