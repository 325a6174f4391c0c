#include <gtest/gtest.h>

#include "model/document/draw_doc.h"
#include "config/settings/com_set_page.h"
#include "config/settings/protocol_numbers.h"

namespace qv::settings_page {
namespace {

// A project document with the slots a new project gets and a few values in the shared slots.
struct PageFixture : ::testing::Test {
    PageFixture()
    {
        doc.SetSettingI32(112, 1);
        doc.SetSettingI32(116, 128);
        doc.SetSettingI32(120, 8);
        doc.SetSettingI32(124, 128);
        doc.m_ProjectSettings[71] = 1;
        doc.SetSettingI32(84, 7);
        doc.SetSettingI32(144, -5);
        doc.SetSettingI32(260, 1000);
        doc.SetSettingI32(268, 2);
        doc.m_ProjectSettings[69] = 0x5A;   // not the page's: must survive
        doc.m_ProjectSettings[900] = 0xA5;
    }
    ComSetPage Load() { return LoadPage(doc, "p\\x"); }
    CDrawDoc doc;
};

TEST_F(PageFixture, LoadThenCommitWithoutChangeIsByteIdentical)
{
    const ProjectSettings before = doc.m_ProjectSettings;
    const SerialParams serial = doc.m_serial;
    const CommitResult r = CommitPage(Load(), doc);
    EXPECT_FALSE(r.refusal);
    EXPECT_FALSE(r.touchNote);
    EXPECT_FALSE(r.resolutionChanged);
    EXPECT_EQ(doc.m_ProjectSettings, before);
    EXPECT_EQ(doc.m_serial, serial);
}

TEST_F(PageFixture, EachFieldRoundTrips)
{
    ComSetPage page = Load();
    EXPECT_EQ(page.ports[0].commDelayMs, 10); // stored 2, shown in ms
    EXPECT_TRUE(page.uploadKeys);
    page.ports[0].com = 3;
    page.ports[0].baud = 115200;
    page.ports[0].dataBits = 1;
    page.ports[0].parity = 1;
    page.ports[0].stopBits = 1;
    page.ports[0].length = 256;
    page.ports[0].deviceAddress = 9;
    page.ports[0].commDelayMs = 13;
    page.ports[0].timeoutMs = 2000;
    page.ports[0].ackDelayMs = 55;
    page.ports[1].protocol = protocol::ModbusMaster;
    page.ports[1].com = 4;
    page.ports[1].baud = 38400;
    page.ports[1].dataBits = 0;
    page.ports[1].parity = 2;
    page.ports[1].length = 129;
    for (const SharedSlot& slot : SharedSlots())
        page.shared[slot.offset] = static_cast<int>(slot.offset) % 200 + 1;
    page.uploadKeys = false;
    page.uploadOnHmiChange = true;
    ASSERT_FALSE(CommitPage(page, doc).refusal);

    ComSetPage again = Load();
    page.ports[0].commDelayMs = 10;    // cut to a multiple of 5
    page.ports[0].panelBaud = 115200;  // the PC baud goes to the panel's too
    page.ports[1].panelBaud = 38400;
    page.ports[1].length = 132;        // raised to a multiple of 4
    page.shared[kUploadModeOffset] = 4;
    for (std::size_t i = 0; i < 2; ++i) {
        const PortFields& a = page.ports[i];
        const PortFields& b = again.ports[i];
        EXPECT_EQ(std::tie(a.com, a.baud, a.panelBaud, a.dataBits, a.parity, a.stopBits, a.protocol, a.length,
                           a.deviceAddress, a.commDelayMs, a.timeoutMs, a.ackDelayMs),
                  std::tie(b.com, b.baud, b.panelBaud, b.dataBits, b.parity, b.stopBits, b.protocol, b.length,
                           b.deviceAddress, b.commDelayMs, b.timeoutMs, b.ackDelayMs))
            << "port " << i + 1;
    }
    EXPECT_EQ(again.shared, page.shared);
    EXPECT_TRUE(again.uploadOnHmiChange);
    EXPECT_EQ(doc.SettingI32(164), 2);
    EXPECT_EQ(doc.m_serial[2], 2);   // the second address field keeps the address as opened
    EXPECT_EQ(doc.m_serial[3], 9);
    EXPECT_EQ(doc.m_ProjectSettings[69], 0x5A);
    EXPECT_EQ(doc.m_ProjectSettings[900], 0xA5);
}

TEST_F(PageFixture, AcceptRulesRefuseAndStoreNothing)
{
    auto with = [this](auto change) {
        ComSetPage p = Load();
        change(p);
        p.ports[0].com = 9; // a change that must not be stored on a refusal
        return p;
    };
    auto fx = [](PortFields& p, int baud) {
        p.protocol = protocol::MitsubishiFx;
        p.baud = baud;
        p.dataBits = 1;
        p.stopBits = 0;
        p.parity = 2;
    };
    const struct {
        const char* what;
        ComSetPage page;
        const char* message; // nullptr: accepted
    } cases[] = {
        {"copy on both", with([](ComSetPage& p) { p.ports[0].protocol = p.ports[1].protocol = 12; }),
         "只能设置其中一个串口为《HMI变量拷贝协议》"},
        {"FX 19200 on port 1", with([&](ComSetPage& p) { fx(p.ports[0], 19200); }),
         "串口1选择的三菱FX系列PLC的通信格式必须是：9600波特率，7位数据位，1位停止位，偶校验"},
        {"FX 9600/7/1/E on port 1", with([&](ComSetPage& p) { fx(p.ports[0], 9600); }), nullptr},
        {"Delta 8 bits on port 2", with([](ComSetPage& p) { p.ports[1].protocol = 7; p.ports[1].baud = 9600; }),
         "串口2选择的台达DeltaDVP系列PLC的通信格式必须是：9600波特率，7位数据位，1位停止位，偶校验"},
        {"I2C short on port 1", with([](ComSetPage& p) { p.ports[0].protocol = 4; p.ports[0].length = 64; }),
         "串口1选择的协议长度太短，应该大于127为好"},
        {"I2C short on port 2", with([](ComSetPage& p) { p.ports[1].protocol = 4; p.ports[1].length = 64; }), nullptr},
        {"slave short on port 2", with([](ComSetPage& p) { p.ports[1].length = 127; }),
         "串口2选择的协议长度太短，应该大于127为好"},
    };
    for (const auto& c : cases) {
        CDrawDoc fresh;
        fresh.m_ProjectSettings = doc.m_ProjectSettings;
        const ProjectSettings before = fresh.m_ProjectSettings;
        const CommitResult r = CommitPage(c.page, fresh);
        if (!c.message) {
            EXPECT_FALSE(r.refusal) << c.what;
            continue;
        }
        ASSERT_TRUE(r.refusal) << c.what;
        EXPECT_EQ(*r.refusal, c.message) << c.what;
        EXPECT_EQ(fresh.m_ProjectSettings, before) << c.what;
        EXPECT_EQ(fresh.m_serial.com1, 1) << c.what;
    }
}

TEST_F(PageFixture, SameTouchProtocolOnBothPortsKeepsProtocolsButStoresTheRest)
{
    const struct {
        int p1, p2;
        bool kept;
    } cases[] = {{2, 13, false}, {11, 11, true}, {2, 2, true}, {13, 13, true}};
    for (const auto& c : cases) {
        CDrawDoc d;
        d.SetSettingI32(112, 1);
        d.SetSettingI32(116, 128);
        ComSetPage p = LoadPage(d, "");
        p.ports[0].protocol = c.p1;
        p.ports[1].protocol = c.p2;
        p.ports[0].length = 301;
        p.ports[0].baud = 4800;
        const CommitResult r = CommitPage(p, d);
        EXPECT_FALSE(r.refusal);
        EXPECT_EQ(r.touchNote.has_value(), c.kept);
        EXPECT_EQ(d.SettingI32(112), c.kept ? 1 : c.p1);
        EXPECT_EQ(d.SettingI32(116), c.kept ? 128 : 304);
        EXPECT_EQ(d.m_serial.baud1, 4800);
    }
}

TEST_F(PageFixture, ProtocolChoiceShapesThePage)
{
    ComSetPage page = Load();
    EXPECT_TRUE(ViewOf(page).autoUploadVisible);
    EXPECT_TRUE(ViewOf(page).ports[1].deviceAddressVisible);

    page.ports[0].protocol = protocol::MitsubishiFx;
    page.ports[0].length = 100;
    OnProtocolChanged(page, 0, 300);
    EXPECT_EQ(page.ports[0].length, 256);
    EXPECT_FALSE(ViewOf(page).ports[0].lengthEnabled);
    EXPECT_FALSE(ViewOf(page).autoUploadVisible);

    page.ports[1].protocol = protocol::HmiVarCopy;
    page.shared[kCopyIntervalMs] = 0;
    OnProtocolChanged(page, 1, 300);
    EXPECT_EQ(page.shared[kCopyLength], 300);
    EXPECT_EQ(page.ports[1].length, 324);
    EXPECT_EQ(page.shared[kCopyIntervalMs], 1000);

    page.shared[kCopyCustomRange] = 1;
    page.shared[kCopyLength] = 40;
    OnProtocolChanged(page, 1, 300);
    EXPECT_EQ(page.ports[1].length, 64);

    page.ports[1].protocol = protocol::CapacitiveTouch;
    EXPECT_FALSE(ViewOf(page).ports[1].lengthVisible);
    EXPECT_FALSE(ViewOf(page).ports[1].deviceAddressVisible);
    EXPECT_EQ(StoredLength(129), 132);
    EXPECT_EQ(StoredLength(128), 128);
}

TEST(ProtocolNumbers, GroupsAndTexts)
{
    ASSERT_EQ(protocol::AllProtocols().size(), 15u);
    for (const auto& p : protocol::AllProtocols())
        EXPECT_EQ(protocol::FindProtocol(p.number), &p);
    EXPECT_EQ(protocol::FindProtocol(9)->listText, "FATEK_FB_Series    ");
    EXPECT_EQ(protocol::FindProtocol(10)->listText, "OMRON_CJ_CS_CP     ");
    for (int n : {3, 5, 6, 7, 9, 10})
        EXPECT_TRUE(protocol::IsPlcMaster(n)) << n;
    for (int n : {0, 2, 11, 13})
        EXPECT_FALSE(protocol::HasLengthSettings(n)) << n;
    EXPECT_EQ(protocol::FindProtocol(15), nullptr);
    EXPECT_EQ(protocol::FindProtocol(-1), nullptr);
}

} // namespace
} // namespace qv::settings_page
