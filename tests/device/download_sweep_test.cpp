// A panel lost at every transfer of a download: the end is always a failure, and the start
// map in the reserved blocks stays the one of the last complete download until every other
// piece was acknowledged.
#include "tests/device/download_rig.h"

#include "device/download/download_texts.h"
#include "device/tasks/device_texts.h"

namespace qv::device::test {
namespace {

// Two windows with one small area each: a few blocks in all.
SyntheticImage smallImage()
{
    SyntheticImage s;
    s.windows.push_back({{ItemSet::button(0x21)}});
    s.windows.push_back({{ItemSet::character(0x31)}});
    return s;
}

class DownloadSweep : public ::testing::TestWithParam<std::tuple<usb::UsbKind, bool>> {};

TEST_P(DownloadSweep, DisconnectAtEveryTransferFails)
{
    const auto [kind, codeOnly] = GetParam();
    DownloadRig rig(kind);
    rig.install(smallImage());
    rig.code(pattern(100, 0x90));
    rig.panel->setRecording(false);
    // One complete download first: its start map is the one to keep.
    ASSERT_TRUE(rig.runProject()) << rig.log();
    rig.drain();
    const std::size_t before = rig.panel->transferCount();
    const bool ok = codeOnly ? rig.runCode() : rig.runProject();
    ASSERT_TRUE(ok) << rig.log();
    rig.drain();
    const std::size_t transfers = rig.panel->transferCount() - before;
    // The start map's page is the last write: command, data pieces, result word.
    const std::size_t startMapWrite = transfers - (kind == usb::UsbKind::Disk ? 3 : 10);
    // Every transfer of the opening and of the last pieces, and every third one between:
    // each run repeats the download up to its fault, so all of them would cost minutes on
    // the 64-byte kinds.
    const bool every = kind == usb::UsbKind::Disk;
    for (std::size_t i = 0; i < transfers; ++i) {
        if (!every && i > 40 && i + 24 < transfers && i % 3 != 0)
            continue;
        SCOPED_TRACE(i);
        rig.got = {};
        const Bytes old = rig.panel->readNand(0, 512);
        rig.startSecond = 40000 + static_cast<std::uint32_t>(i);
        rig.panel->injectFault(rig.panel->transferCount() + i, virtual_panel::SimFault::Disconnect);
        const bool done = codeOnly ? rig.runCode() : rig.runProject();
        const std::string log = rig.log();
        EXPECT_FALSE(done);
        EXPECT_TRUE(contains(log, "下载失败") || contains(log, text::kUsbNotConnected)) << log;
        EXPECT_FALSE(contains(log, text::kProjectDone)) << log;
        EXPECT_FALSE(contains(log, text::kCodeDone)) << log;
        if (codeOnly || i < startMapWrite) {
            EXPECT_EQ(rig.panel->readNand(0, 512), old);
        }
        rig.panel->replug();
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, DownloadSweep,
                         ::testing::Combine(::testing::ValuesIn(kAllKinds), ::testing::Bool()),
                         [](const auto& i) {
                             return std::string(kindName(std::get<0>(i.param))) + (std::get<1>(i.param) ? "Code" : "Project");
                         });

} // namespace
} // namespace qv::device::test
