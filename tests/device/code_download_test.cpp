// The code-only download: the new code in the stored chain when it fits, the full download
// before any write when it does not, and the panel's stored data never trusted.
#include "tests/device/download_rig.h"

#include "device/download/download_texts.h"

namespace qv::device::test {
namespace {

// The chain writes of a run: block writes (command 1) after transfer `from`.
std::vector<std::uint32_t> writeAddresses(const virtual_panel::SimPanel& panel, usb::UsbKind kind, std::size_t from)
{
    std::vector<std::uint32_t> out;
    const auto all = panel.transfers();
    for (std::size_t i = from; i < all.size(); ++i) {
        const auto& t = all[i];
        const std::size_t at = kind == usb::UsbKind::Hid ? 1 : 0;
        const bool command = kind == usb::UsbKind::EzUsb ? t.out && t.pipe == 1 : t.out && t.bytes.size() >= 64 && std::equal(t.bytes.begin() + 10, t.bytes.begin() + 17, "usb-hid");
        if (command && t.bytes.size() > at + 4 && t.bytes[at] == 1)
            out.push_back(getU32(t.bytes, at + 1));
    }
    return out;
}

struct CodeRig : DownloadRig {
    explicit CodeRig(usb::UsbKind kind, std::set<std::uint32_t> bad = {}) : DownloadRig(kind, std::move(bad))
    {
        install(SyntheticImage::typical());
        code(pattern(20000, 0x90)); // 2 blocks of chain
        EXPECT_TRUE(runProject()) << log();
        drain();
        first = walkFlash(*panel, expected);
        got = {};
        mark = panel->transferCount();
    }
    FlashWalk first;
    std::size_t mark = 0;
};

TEST(CodeDownload, FittingCodeGoesIntoTheStoredChain)
{
    for (usb::UsbKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        CodeRig rig(kind);
        rig.code(pattern(18000, 0x33)); // still 2 blocks
        ASSERT_TRUE(rig.runCode());
        const Reports r = rig.drain();
        const std::string log = std::accumulate(r.lines.begin(), r.lines.end(), std::string{});
        EXPECT_TRUE(contains(log, text::kCodeDone)) << log;
        EXPECT_EQ(r.messages, std::vector<std::string>{text::kCodeDone});
        EXPECT_EQ(writeAddresses(*rig.panel, kind, rig.mark), rig.first.chain);
        const FlashWalk w = walkFlash(*rig.panel, rig.expected);
        EXPECT_EQ(w.chain, rig.first.chain);
    }
}

TEST(CodeDownload, FallsBackToTheFullDownloadBeforeWriting)
{
    // The chain too short for the new code, or a chain entry that is no block address
    // (a block marked bad): decided from the walked chain, before any write.
    struct Case {
        const char* name;
        std::size_t codeBytes;
        bool markedEntry;
    };
    const Case cases[] = {{"one block more", 40000, false}, {"marked block in the chain", 16000, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CodeRig rig(usb::UsbKind::EzUsb);
        if (c.markedEntry) {
            const std::uint32_t tableAt = getU32(rig.first.startMap, sm::BlockTableAddr);
            Bytes entry(4);
            putU32(entry, 0, 0xFFFFFFF7);
            rig.panel->writeNand(tableAt + 4 * (rig.first.chain[0] / kBlock), entry);
        }
        rig.code(pattern(c.codeBytes, 0x44));
        ASSERT_TRUE(rig.runCode()) << rig.log();
        const std::string log = rig.log();
        EXPECT_TRUE(contains(log, text::kRedownload)) << log;
        EXPECT_TRUE(contains(log, text::kProjectDone)) << log;
        const auto writes = writeAddresses(*rig.panel, usb::UsbKind::EzUsb, rig.mark);
        ASSERT_FALSE(writes.empty());
        EXPECT_EQ(writes.front(), 0x200000u) << "the full download is the first write";
        walkFlash(*rig.panel, rig.expected);
    }
}

TEST(CodeDownload, BlockGoneBadDuringTheWriteFallsBack)
{
    CodeRig rig(usb::UsbKind::Hid);
    rig.panel->setBadBlocks({rig.first.chain[1] / kBlock});
    rig.expected.badBlocks = {rig.first.chain[1] / kBlock};
    rig.code(pattern(18000, 0x44));
    ASSERT_TRUE(rig.runCode()) << rig.log();
    EXPECT_TRUE(contains(rig.log(), text::kRedownload));
    walkFlash(*rig.panel, rig.expected);
}

TEST(CodeDownload, DamagedPanelDataIsNeverFollowed)
{
    // What the code download reads back: a blank flash, a start map whose geometry or
    // table address is wrong, a table without its magic or with a chain that loops or
    // leaves the flash. Each goes to the full download without following it.
    const struct {
        const char* name;
        void (*damage)(virtual_panel::SimPanel&, const FlashWalk&);
    } cases[] = {
        {"blank", [](virtual_panel::SimPanel& p, const FlashWalk&) { p.writeNand(0, Bytes(512, 0xFF)); }},
        {"block size 0", [](virtual_panel::SimPanel& p, const FlashWalk&) { p.writeNand(sm::BlockSize, Bytes(4, 0)); }},
        {"page mask 0", [](virtual_panel::SimPanel& p, const FlashWalk&) { p.writeNand(sm::PageMask, Bytes(4, 0)); }},
        {"table address past the flash", [](virtual_panel::SimPanel& p, const FlashWalk&) { p.writeNand(sm::BlockTableAddr, Bytes{0, 0, 0, 0x7F}); }},
        {"table without magic",
         [](virtual_panel::SimPanel& p, const FlashWalk& w) { p.writeNand(getU32(w.startMap, sm::BlockTableAddr), Bytes(4, 0)); }},
        {"chain loops",
         [](virtual_panel::SimPanel& p, const FlashWalk& w) {
             Bytes e(4);
             putU32(e, 0, w.chain[0]);
             p.writeNand(getU32(w.startMap, sm::BlockTableAddr) + 4 * (w.chain[1] / kBlock), e);
         }},
        {"chain leaves the table",
         [](virtual_panel::SimPanel& p, const FlashWalk& w) {
             Bytes e(4);
             putU32(e, 0, 0x03FFC000);
             p.writeNand(getU32(w.startMap, sm::BlockTableAddr) + 4 * (w.chain[0] / kBlock), e);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CodeRig rig(usb::UsbKind::Hid);
        c.damage(*rig.panel, rig.first);
        rig.code(pattern(100, 0x90));
        ASSERT_TRUE(rig.runCode());
        const std::string log = rig.log();
        EXPECT_TRUE(contains(log, text::kPanelProjectDamaged)) << log;
        EXPECT_TRUE(contains(log, text::kProjectDone)) << log;
        EXPECT_EQ(writeAddresses(*rig.panel, usb::UsbKind::Hid, rig.mark).front(), 0x200000u);
    }
}

TEST(CodeDownload, RefusalsBeforeAnyRead)
{
    const struct {
        const char* name;
        bool oldPanel;
        int codeBytes; // -1: no code file
        const char* line;
        const char* message;
    } cases[] = {
        {"3.1 panel", true, 100, "Quorvane软件的版本(V3.2)不同于目标硬件的版本(V3.1)，下载失败!\r\n", nullptr},
        {"no code", false, -1, nullptr, text::kNoCode},
        {"under 4 bytes", false, 0, nullptr, text::kNoCode}, // a HEX file of only its end record
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DownloadRig rig(usb::UsbKind::EzUsb);
        rig.install(SyntheticImage::typical());
        if (c.codeBytes >= 0)
            rig.code(pattern(static_cast<std::size_t>(c.codeBytes), 1));
        if (c.oldPanel)
            rig.info.hardwareMinor = 1;
        EXPECT_FALSE(rig.runCode());
        const Reports r = rig.drain();
        const std::string log = std::accumulate(r.lines.begin(), r.lines.end(), std::string{});
        if (c.line) {
            EXPECT_TRUE(contains(log, c.line)) << log;
        }
        if (c.message) {
            EXPECT_EQ(r.messages, std::vector<std::string>{c.message});
        }
        EXPECT_EQ(rig.panel->transferCount(), 0u);
    }
}

TEST(CodeDownload, CodeOverTheStoredSramLimitIsRefused)
{
    DownloadRig rig(usb::UsbKind::EzUsb);
    rig.install(SyntheticImage::typical());
    rig.code(pattern(1000, 1));
    rig.info.storedSramNeed = 0x10000 - 100; // the limit is negative: no code at all
    EXPECT_FALSE(rig.runCode());
    EXPECT_TRUE(contains(rig.log(), "下载失败!MC8051单片机代码不得大于-156字节"));
    EXPECT_EQ(rig.panel->transferCount(), 0u);
}

} // namespace
} // namespace qv::device::test
