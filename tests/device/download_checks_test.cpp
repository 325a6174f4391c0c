// What the download refuses before its first transfer: an image that does not fit the panel
// (each with its own text) and a damaged image (said what is wrong).
#include "tests/device/download_rig.h"

#include "device/download/download_texts.h"
#include "device/download/image_check.h"

namespace qv::device::test {
namespace {

struct PanelCase {
    const char* name;
    void (*image)(SyntheticImage&);
    void (*panel)(DeviceInfo&, bool& resolutionMustMatch);
    const char* text; // empty: the download goes through
};

TEST(DownloadChecks, ImageAgainstThePanel)
{
    const PanelCase cases[] = {
        {"version 3.1 panel", [](SyntheticImage&) {}, [](DeviceInfo& d, bool&) { d.hardwareMinor = 1; },
         "Quorvane软件的版本(V3.2)不同于目标硬件的版本(V3.1)，下载失败!\r\n"},
        {"resolution differs", [](SyntheticImage&) {}, [](DeviceInfo& d, bool&) { d.width = 480; d.height = 800; },
         "工程分辨率与目标分辨率不相等，下载失败!工程分辨率800X480，目标分辨率480X800\r\n"},
        {"rotated project on a matching panel", [](SyntheticImage& s) { s.width = 480; s.height = 800; s.rotation = 1; },
         [](DeviceInfo& d, bool&) { d.width = 800; d.height = 480; }, ""},
        {"rotated project on a panel of its own size",
         [](SyntheticImage& s) { s.width = 480; s.height = 800; s.rotation = 1; },
         [](DeviceInfo& d, bool&) { d.width = 480; d.height = 800; },
         "工程分辨率与目标分辨率不相等，下载失败!工程分辨率480X800，目标分辨率800X480\r\n"},
        {"resolution check off", [](SyntheticImage&) {},
         [](DeviceInfo& d, bool& match) { d.width = 1024; d.height = 768; match = false; }, ""},
        {"SRAM", [](SyntheticImage& s) { s.sramNeed = 0x10001; }, [](DeviceInfo&, bool&) {},
         "工程消耗SRAM容量大于实际目标SRAM容量，下载失败!工程消耗SRAM容量65537字节，实际目标SRAM容量65536字节\r\n"},
        {"FLASH code", [](SyntheticImage&) {}, [](DeviceInfo& d, bool&) { d.nandType = 5; }, text::kFlashTypeMismatch},
        {"colour depth", [](SyntheticImage&) {}, [](DeviceInfo& d, bool&) { d.colourDepthCode = 3; }, text::kColourMismatch},
        {"file size", [](SyntheticImage&) {}, [](DeviceInfo& d, bool&) { d.nandCapacity = 0x200000; },
         "工程消耗NandFlash容量大于实际目标NandFlash容量，下载失败!工程消耗NandFlash容量"},
    };
    for (const PanelCase& c : cases) {
        SCOPED_TRACE(c.name);
        DownloadRig rig(usb::UsbKind::Hid);
        SyntheticImage s = SyntheticImage::typical();
        c.image(s);
        rig.install(s);
        bool match = true;
        c.panel(rig.info, match);
        DownloadJob job = rig.job();
        job.resolutionMustMatch = match;
        const bool ok = DownloadProjectThread(job, rig.flags);
        const std::string log = rig.log();
        if (*c.text == 0) {
            EXPECT_TRUE(ok) << log;
            continue;
        }
        EXPECT_FALSE(ok);
        EXPECT_TRUE(contains(log, c.text)) << log;
        EXPECT_EQ(rig.panel->transferCount(), 0u) << "nothing sent";
    }
}

struct DamageCase {
    const char* name;
    void (*damage)(Bytes& file);
    const char* why;
};

std::span<std::uint8_t> recordOf(Bytes& f, std::uint32_t w)
{
    return std::span(f).subspan(getU32(f, 0x24 + 8 * w), getU32(f, 0x28 + 8 * w));
}

TEST(DownloadChecks, DamagedImagesAreRefusedBeforeAnyTransfer)
{
    const DamageCase cases[] = {
        {"record past the header", [](Bytes& f) { putU32(f, 0x24, image::kStartMapOffset - 8); }, "outside the header area"},
        {"item past its record", [](Bytes& f) { putU16(recordOf(f, 0), 4, 0x7FF0); }, "outside the record"},
        {"item field past its record",
         [](Bytes& f) {
             auto r = recordOf(f, 0);
             // A character item 8 bytes before the record's end: its +20 lies past it.
             putU16(r, 4 + 2 * 3, static_cast<std::uint16_t>(r.size() - 8));
             r[r.size() - 8] = 13;
         },
         "field outside"},
        {"huge frame count", [](Bytes& f) { putU32(recordOf(f, 1), 4 + 2 * 3 + 16, 0x40000000); }, "field outside"},
        {"bad shared index", [](Bytes& f) { putU32(recordOf(f, 1), 4 + 2 * 3 + 40 + 40 + 20, 7); }, "shared area index"},
        {"unknown type", [](Bytes& f) { recordOf(f, 1)[4 + 2 * 3] = 14; }, "unknown item type 14"},
        {"truncated file", [](Bytes& f) { f.resize(f.size() - 600); }, "past the file"},
        {"short header", [](Bytes& f) { f.resize(0x100000); }, "shorter than its header area"},
        {"no start map", [](Bytes& f) { f[image::kStartMapOffset] = 0; }, "no start map"},
        {"variable slot outside", [](Bytes& f) { putU32(f, image::kStartMapOffset + sm::SysVarAddrs + 4 * 13, 98); },
         "system variable 13"},
        {"word slot one byte past the variables", [](Bytes& f) { putU32(f, image::kStartMapOffset + sm::SysVarAddrs + 4 * 13, 97); },
         "system variable 13"},
        {"byte slot at the variables' end", [](Bytes& f) { putU32(f, image::kStartMapOffset + sm::SysVarAddrs + 4 * 9, 100); },
         "system variable 9"},
        {"geometry differs", [](Bytes& f) { putU32(f, image::kStartMapOffset + sm::BlockSize, 0x20000); }, "geometry"},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        DownloadRig rig(usb::UsbKind::EzUsb);
        rig.install(SyntheticImage::typical());
        Bytes file = rig.expected.file;
        c.damage(file);
        rig.project.image(file);
        EXPECT_FALSE(rig.runProject());
        const std::string log = rig.log();
        EXPECT_TRUE(contains(log, text::kBadImage)) << log;
        EXPECT_TRUE(contains(log, c.why)) << log;
        EXPECT_EQ(rig.panel->transferCount(), 0u);
    }
}

// Slots that end exactly at the variables' end are inside: the download goes ahead.
TEST(DownloadChecks, SystemVariablesEndingAtTheVariablesEndAreTaken)
{
    SyntheticImage s = SyntheticImage::typical();
    s.byteSlot9 = static_cast<std::int32_t>(s.variableExtent) - 1;
    s.wordSlot13 = static_cast<std::int32_t>(s.variableExtent) - 4;
    DownloadRig rig(usb::UsbKind::EzUsb);
    rig.install(s);
    EXPECT_TRUE(rig.runProject()) << rig.log();
    EXPECT_FALSE(contains(rig.log(), text::kBadImage));
}

TEST(DownloadChecks, MissingImageAsksForACompile)
{
    DownloadRig rig(usb::UsbKind::EzUsb);
    EXPECT_FALSE(rig.runProject());
    EXPECT_EQ(rig.drain().messages, std::vector<std::string>{text::kNoImage});
}

} // namespace
} // namespace qv::device::test
