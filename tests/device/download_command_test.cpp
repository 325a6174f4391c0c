// The download commands: options, busy claim, the panel's queries in the selected kind's
// form, the log line and the worker.
#include "tests/device/download_rig.h"

#include "device/download/download_command.h"
#include "device/download/download_texts.h"
#include "device/tasks/device_texts.h"

#include <thread>

namespace qv::device::test {
namespace {

struct FakeHost final : DownloadCommandHost {
    std::optional<DownloadOptionValues> answer = DownloadOptionValues{};
    std::optional<DownloadOptionValues> asked;
    std::filesystem::path projectDir;
    std::optional<DeviceInfo> stored;
    int prepared = 0;
    std::optional<DownloadOptionValues> askOptions(const DownloadOptionValues& preset) override
    {
        asked = preset;
        return answer;
    }
    void prepare() override { ++prepared; }
    void fillJob(DownloadJob& job) override { job.projectDir = projectDir; }
    void storeDeviceInfo(const DeviceInfo& d) override { stored = d; }
};

struct CommandCase : DownloadRig {
    explicit CommandCase(usb::UsbKind kind, int busyReplies = 0) : DownloadRig(kind, {}, busyReplies)
    {
        install(SyntheticImage::typical());
        fake.projectDir = project.dir.path();
        fake.answer->resetAfter = false;
    }
    DownloadStart run(bool quick)
    {
        const DownloadStart started = runDownloadCommand(fake, worker, services, quick);
        worker.join();
        return started;
    }
    FakeHost fake;
    DownloadWorker worker{flags};
};

TEST(DownloadCommand, BusyPanelIsStillQueriedAndTheDownloadStarts)
{
    CommandCase c(usb::UsbKind::EzUsb, 3);
    EXPECT_EQ(c.run(false), DownloadStart::Started);
    const std::string log = c.log();
    EXPECT_EQ(c.clock.sleeps(), std::vector<std::chrono::milliseconds>(3, std::chrono::milliseconds(1000)));
    EXPECT_TRUE(contains(log, text::kProjectDone)) << log;
    EXPECT_EQ(c.downloading.load(), 0);
    EXPECT_EQ(c.compiling.load(), 0);
}

TEST(DownloadCommand, InfoLineAndPresets)
{
    CommandCase c(usb::UsbKind::Hid);
    DeviceInfo d = c.info;
    d.nandType = 1;
    d.nandCapacity = 0x8000000;
    c.panel->setDeviceInfo(d);
    c.run(false); // the image is for code 0: refused after the line
    const std::string log = c.log();
    EXPECT_TRUE(contains(log, "下位机硬件版本:V3.2   FLASH容量:128M字节  SRAM容量:65536字节   SDRAM容量:4096K字节  视频颜色:16位彩色  \r\n")) << log;
    EXPECT_TRUE(contains(log, "Quorvane:    V3.2    Release")) << log;
    ASSERT_TRUE(c.fake.asked);
    EXPECT_TRUE(c.fake.asked->resetAfter);
    EXPECT_FALSE(c.fake.asked->selfConfirm);
    EXPECT_EQ(c.fake.stored->nandType, 1);
}

TEST(DownloadCommand, RefusalsStartNothing)
{
    const struct {
        const char* name;
        void (*setup)(CommandCase&);
        DownloadStart start;
        const char* line;
        const char* message;
    } cases[] = {
        {"cancel", [](CommandCase& c) { c.fake.answer.reset(); }, DownloadStart::Cancelled, nullptr, nullptr},
        {"16 characters", [](CommandCase& c) { c.fake.answer->machineName = "ABCDEFGHIJKLMNOP"; }, DownloadStart::Refused,
         nullptr, text::kNameTooLong},
        {"not ASCII", [](CommandCase& c) { c.fake.answer->machineName = "机器"; }, DownloadStart::Refused, nullptr,
         text::kNameNotAscii},
        {"no device", [](CommandCase& c) { c.list.Rebuild({}, {}, {}); }, DownloadStart::NoDevice, text::kUsbNotConnected,
         nullptr},
        {"busy", [](CommandCase& c) { c.downloading = 1; }, DownloadStart::Busy, nullptr, nullptr},
        {"silent panel", [](CommandCase& c) { c.panel->injectFault(1, virtual_panel::SimFault::NoReply); }, DownloadStart::NoReply,
         text::kUsbErrorLine, nullptr},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        CommandCase c(usb::UsbKind::Hid);
        k.setup(c);
        EXPECT_EQ(c.run(false), k.start);
        const Reports r = c.drain();
        const std::string log = std::accumulate(r.lines.begin(), r.lines.end(), std::string{});
        if (k.line) {
            EXPECT_TRUE(contains(log, k.line)) << log;
        }
        EXPECT_EQ(r.messages, k.message ? std::vector<std::string>{k.message} : std::vector<std::string>{});
        EXPECT_FALSE(contains(log, text::kProjectDone));
        if (k.start != DownloadStart::Busy) {
            EXPECT_EQ(c.downloading.load(), 0);
        }
    }
}

// A busy answer that comes after the time-out ends that download; the next one reads it away
// before its first command, reads its own answers and goes through.
TEST(DownloadCommand, TheDownloadAfterALateAnswerGoesThrough)
{
    for (const usb::UsbKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        CommandCase c(kind);
        const std::size_t signatureRead = kind == usb::UsbKind::Disk ? 1 : 0;
        c.panel->injectFault(c.panel->transferCount() + signatureRead + 1, virtual_panel::SimFault::LateReply);
        EXPECT_EQ(c.run(false), DownloadStart::NoReply);
        EXPECT_TRUE(contains(c.log(), text::kUsbErrorLine));
        EXPECT_EQ(c.run(false), DownloadStart::Started);
        const std::string log = c.log();
        EXPECT_TRUE(contains(log, text::kProjectDone)) << log;
        walkFlash(*c.panel, c.expected);
    }
}

TEST(DownloadCommand, FifteenCharacterNameReachesTheOptionBytes)
{
    CommandCase c(usb::UsbKind::Disk);
    c.fake.answer->machineName = "ABCDEFGHIJKLMNO";
    EXPECT_EQ(c.run(false), DownloadStart::Started);
    c.expected.options.assign(64, 0);
    DownloadOptionValues v;
    v.machineName = "ABCDEFGHIJKLMNO";
    const auto bytes = encodeDownloadOptions(v);
    c.expected.options.assign(bytes.begin(), bytes.end());
    EXPECT_EQ(bytes[28 + 14], 'O');
    EXPECT_EQ(bytes[28 + 15], 0);
    EXPECT_TRUE(contains(c.log(), text::kProjectDone));
    walkFlash(*c.panel, c.expected);
}

TEST(DownloadCommand, QuickDownloadAsksInTheSelectedKindsForm)
{
    CommandCase c(usb::UsbKind::Hid);
    EXPECT_EQ(c.run(true), DownloadStart::Started);
    EXPECT_TRUE(c.fake.asked->selfConfirm);
    EXPECT_TRUE(c.fake.asked->resolutionMustMatch);
    const auto wire = c.panel->transfers();
    ASSERT_GE(wire.size(), 2u);
    expectCommand(usb::UsbKind::Hid, wire[0], {2});
    EXPECT_EQ(c.panel->events().ignoredCommands, 0);
    EXPECT_TRUE(contains(c.log(), text::kProjectDone));
}

TEST(DownloadCommand, OptionBytesLayout)
{
    DownloadOptionValues v;
    const auto b = encodeDownloadOptions(v);
    const Bytes expected{14, 12, 15, 36, 78, 99, 0x98, 0x1F, 192, 168, 1, 18, 255, 255, 255, 0, 192, 168, 1, 1,
                         192, 168, 1, 255, 0x90, 0x1F, 2, 0, 'A', '0', '0', '1', 0};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), b.begin()));
    EXPECT_TRUE(std::all_of(b.begin() + 33, b.end(), [](auto x) { return x == 0; }));
}

// Two commands at once: the second finds the flags taken and starts nothing, so one
// worker has the download.
TEST(DownloadCommand, SecondCommandWhileOneRunsStartsNothing)
{
    CommandCase c(usb::UsbKind::EzUsb);
    // Hold the first download inside its FLASH test until the second command was tried.
    c.panel->injectFault(c.panel->transferCount() + 2 + 2 + 1, virtual_panel::SimFault::Hang);
    EXPECT_EQ(runDownloadCommand(c.fake, c.worker, c.services, false), DownloadStart::Started);
    while (!c.panel->hanging())
        std::this_thread::yield();
    EXPECT_EQ(runDownloadCommand(c.fake, c.worker, c.services, true), DownloadStart::Busy);
    c.panel->releaseHang();
    c.worker.join();
    EXPECT_EQ(c.downloading.load(), 0);
    EXPECT_EQ(c.compiling.load(), 0);
}

} // namespace
} // namespace qv::device::test
