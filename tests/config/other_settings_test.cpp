// The panel fields of the settings page at their slots, and the two dialogs behind a port's
// other-settings button as models: what they show, what they refuse, where their values go.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/document/draw_doc.h"
#include "config/settings/com_set_page.h"
#include "config/settings/other_settings.h"
#include "config/settings/protocol_numbers.h"

namespace qv::settings_page {
namespace {

// `refusal` names `field` (-1: there is none) with the range prompt up to `high`.
void expectRangeRefusal(const std::optional<FieldRefusal>& refusal, int field, int high)
{
    if (field < 0) {
        EXPECT_FALSE(refusal);
        return;
    }
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->field, field);
    EXPECT_EQ(refusal->range.high, high);
    EXPECT_TRUE(refusal->messageGbk.empty());
}

TEST(PanelFields, EachLandsAtItsSlotWithItsWidthAndLoadsBack)
{
    const struct {
        const char* what;
        std::size_t offset;
        int width; // bytes written
        int value;
    } cases[] = {
        {"no power-up calibration", 144, 4, 1},
        {"project password", 212, 4, 123456},
        {"idle return on", 276, 4, 1},
        {"idle seconds", 280, 4, 65535},
        {"idle screen", 284, 4, 255},
        {"no communication at slave 0", 228, 4, 1},
        {"dynamic slave address", 232, 4, 1},
        {"slave address offset", 236, 4, 40000},
        {"slave HMI start", 288, 2, 0xBEEE},
        {"slave register start", 290, 2, 0x1234},
    };
    for (const auto& c : cases) {
        CDrawDoc doc;
        // Neighbours that must survive; the upload mode is written from its three checks.
        std::fill(doc.m_ProjectSettings.begin() + 200, doc.m_ProjectSettings.end(), 0xA5);
        std::fill_n(doc.m_ProjectSettings.begin() + kUploadModeOffset, 4, 0);
        doc.m_ProjectSettings[kNoPowerUpCalibration - 1] = 0xA5;
        doc.m_ProjectSettings[kNoPowerUpCalibration + 4] = 0xA5;
        ComSetPage page = LoadPage(doc, "");
        page.shared[c.offset] = c.value;
        ProjectSettings expected = doc.m_ProjectSettings;
        for (int b = 0; b < c.width; ++b)
            expected[c.offset + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(c.value >> (8 * b));
        // The page's other slots go back as they were loaded, so only this field changes.
        ASSERT_FALSE(CommitPage(page, doc).refusal) << c.what;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(doc.m_ProjectSettings[i], expected[i]) << c.what << " at " << i;
        }
        EXPECT_EQ(LoadPage(doc, "").shared.at(c.offset), c.value) << c.what;
    }
}

TEST(PanelFields, RangesOfTheEditedFieldsOnly)
{
    const struct {
        std::array<int, 3> values;
        std::array<bool, 3> changed;
        int refusedField; // -1: accepted
        int high;
    } cases[] = {
        {{123, 600, 3}, {true, true, true}, -1, 0},
        {{-1, 0, 0}, {true, false, false}, 0, 999999999},
        {{-5, 70000, 300}, {false, false, false}, -1, 0}, // stored values left alone pass
        {{0, 65536, 0}, {false, true, false}, 1, 65535},
        {{0, 1, 256}, {false, true, true}, 2, 255},
    };
    for (const auto& c : cases) {
        const auto refusal = CheckPanelNumbers(c.values, c.changed);
        expectRangeRefusal(refusal, c.refusedField, c.high);
    }
}

// The lines' baud rates and the stations a slave protocol answers to, at both edges, on
// either port (the field names the port).
TEST(PortNumbers, BaudAndDeviceAddressAtTheirEdges)
{
    const struct {
        std::size_t port;
        int protocol;
        int baud;
        int address;
        int refusedField; // -1: accepted
        int high;
    } cases[] = {
        {0, protocol::ModbusSlave, 9600, 247, -1, 0},
        {0, protocol::ModbusSlave, 9600, 248, DeviceAddress, 247},
        {1, protocol::ModbusSlave, 9600, 248, PortNumberCount + DeviceAddress, 247},
        {0, protocol::ModbusSlave, 9600, -1, DeviceAddress, 247},
        {0, protocol::PanelBinary, 9600, 255, -1, 0},
        {1, protocol::PanelBinary, 9600, 256, PortNumberCount + DeviceAddress, 255},
        {0, protocol::PanelBinary, 9600, 0, -1, 0},
        {0, protocol::ModbusMaster, 9600, 999, -1, 0}, // a master's own address is not a station
        {0, protocol::MitsubishiFx, 4000000, 2, -1, 0},
        {0, protocol::MitsubishiFx, 4000001, 2, Baud, 4000000},
        {1, protocol::MitsubishiFx, 4000001, 2, PortNumberCount + Baud, 4000000},
        {0, protocol::MitsubishiFx, 1, 2, -1, 0},
        {0, protocol::MitsubishiFx, 0, 2, Baud, 4000000},
        {0, protocol::ModbusSlave, 0, 999, Baud, 4000000}, // the baud rate is named first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "port " << c.port << " protocol " << c.protocol << " baud " << c.baud
                                        << " address " << c.address);
        CDrawDoc doc;
        ComSetPage page = LoadPage(doc, "");
        for (PortFields& p : page.ports) {
            p.protocol = protocol::MitsubishiFx;
            p.baud = 9600;
        }
        PortFields& port = page.ports[c.port];
        port.protocol = c.protocol;
        port.baud = c.baud;
        port.deviceAddress = c.address;
        const auto refusal = CheckPortNumbers(page);
        expectRangeRefusal(refusal, c.refusedField, c.high);
    }
}

TEST(OtherSettingsModel, ViewFollowsTheProtocolAndTheDynamicAddress)
{
    const struct {
        int protocol;
        bool dynamic;
        OtherSettingsView view;
    } cases[] = {
        {protocol::MitsubishiFx, false, {true, false, false, false}},
        {protocol::SiemensPpi, true, {true, true, true, false}},
        {protocol::PanelBinary, false, {false, false, false, false}},
        {protocol::ModbusSlave, true, {false, false, true, true}},
    };
    for (const auto& c : cases) {
        const OtherSettingsView v = ViewOfOther(c.protocol, c.dynamic);
        EXPECT_EQ(std::tie(v.timesVisible, v.ackEnabled, v.dynamicOptionsVisible, v.startAddressesVisible),
                  std::tie(c.view.timesVisible, c.view.ackEnabled, c.view.dynamicOptionsVisible,
                           c.view.startAddressesVisible))
            << c.protocol;
    }
}

TEST(OtherSettingsModel, AckDelayOnlyForPpiAndValuesStayInThePage)
{
    CDrawDoc doc;
    doc.SetSettingI32(172, 20); // port 1's ACK delay, 100 ms
    doc.SetSettingI32(168, 40);
    ComSetPage page = LoadPage(doc, "");
    page.ports[0].protocol = protocol::MitsubishiFx;
    OtherSettings fx = LoadOther(page, 0);
    EXPECT_EQ(fx.values[AckDelay], 0);
    EXPECT_EQ(fx.values[Timeout], 200);
    page.ports[0].protocol = protocol::SiemensPpi;
    EXPECT_EQ(LoadOther(page, 0).values[AckDelay], 100);

    const ProjectSettings before = doc.m_ProjectSettings;
    OtherSettings edited = LoadOther(page, 0);
    edited.values[HmiStart] = 100;
    edited.values[RegisterStart] = 7;
    edited.values[CommDelay] = 55;
    edited.dynamicSlaveAddress = true;
    StoreOther(page, 0, edited);
    EXPECT_EQ(doc.m_ProjectSettings, before); // reaches the project only with the sheet's OK
    ASSERT_FALSE(CommitPage(page, doc).refusal);
    EXPECT_EQ(doc.m_ProjectSettings[kSlaveHmiStart], 100);
    EXPECT_EQ(doc.m_ProjectSettings[kSlaveRegisterStart], 7);
    EXPECT_EQ(doc.SettingI32(kDynamicSlaveAddress), 1);
    EXPECT_EQ(doc.SettingI32(164), 11);
}

TEST(OtherSettingsModel, RefusesShownFieldsOutOfRangeAndAnOddHmiStart)
{
    const auto with = [](auto change) {
        OtherSettings o;
        change(o);
        return o;
    };
    const struct {
        const char* what;
        int protocol;
        OtherSettings values;
        int field; // -1: accepted
        const char* message;
    } cases[] = {
        {"odd HMI start", protocol::ModbusSlave, with([](OtherSettings& o) { o.values[HmiStart] = 101; }), HmiStart,
         "<HMI变量首地址>必须是能被2整除的数"},
        {"even HMI start", protocol::ModbusSlave, with([](OtherSettings& o) { o.values[HmiStart] = 100; }), -1, nullptr},
        {"odd start hidden", protocol::MitsubishiFx, with([](OtherSettings& o) { o.values[HmiStart] = 101; }), -1, nullptr},
        {"timeout 10001", protocol::ModbusMaster, with([](OtherSettings& o) { o.values[Timeout] = 10001; }), Timeout, ""},
        {"ACK 1001 on PPI", protocol::SiemensPpi, with([](OtherSettings& o) { o.values[AckDelay] = 1001; }), AckDelay, ""},
        {"empty offset", protocol::ModbusSlave,
         with([](OtherSettings& o) { o.dynamicSlaveAddress = true; o.values[AddressOffset] = -1; }), AddressOffset, ""},
        {"times hidden", protocol::PanelBinary, with([](OtherSettings& o) { o.values[CommDelay] = 5000; }), -1, nullptr},
    };
    for (const auto& c : cases) {
        const auto refusal = CheckOther(c.values, c.protocol);
        if (c.field < 0) {
            EXPECT_FALSE(refusal) << c.what;
            continue;
        }
        ASSERT_TRUE(refusal) << c.what;
        EXPECT_EQ(refusal->field, c.field) << c.what;
        EXPECT_EQ(refusal->messageGbk, c.message) << c.what;
    }
}

TEST(CopySettingsModel, WithoutACustomRangeTheUsedMemoryIsCopied)
{
    CDrawDoc doc;
    ComSetPage page = LoadPage(doc, "");
    CopySettings copy = LoadCopy(page, 300);
    EXPECT_EQ(copy.values[CopyStart], 0);
    EXPECT_EQ(copy.values[CopyCount], 300);
    EXPECT_EQ(copy.values[CopyInterval], 1000); // stored 0
    copy.values[CopyLocalAddress] = 3;
    StoreCopy(page, 1, copy);
    EXPECT_EQ(page.ports[1].length, 324);
    EXPECT_EQ(page.shared[kCopyLength], 300);
    EXPECT_EQ(page.shared[kCopyLocalAddress], 3);

    copy.customRange = true;
    copy.values[CopyStart] = 10;
    copy.values[CopyCount] = 20;
    ApplyCopyRangeRule(copy, 300);
    EXPECT_EQ(copy.values[CopyCount], 20); // kept as typed
}

TEST(CopySettingsModel, RefusesRangesPastTheVariableMemory)
{
    const struct {
        const char* what;
        bool custom;
        int local, start, count, interval;
        int field; // -1: accepted
        int high;
    } cases[] = {
        {"65000 + 1000", true, 0, 65000, 1000, 1000, CopyCount, 536},
        {"65000 + 536", true, 0, 65000, 536, 1000, -1, 0},
        {"0 + 65535", true, 0, 0, 65535, 1000, -1, 0},
        {"count 0", true, 0, 0, 0, 1000, CopyCount, 65535},
        {"start 65536", true, 0, 65536, 1, 1000, CopyStart, 65535},
        {"interval 49", false, 0, 0, 0, 49, CopyInterval, 50000},
        {"interval 50001", false, 0, 0, 0, 50001, CopyInterval, 50000},
        {"local 65536", false, 65536, 0, 0, 1000, CopyLocalAddress, 65535},
        {"range not checked without custom", false, 0, 65000, 9000, 50, -1, 0},
    };
    for (const auto& c : cases) {
        CopySettings copy;
        copy.customRange = c.custom;
        copy.values[CopyLocalAddress] = c.local;
        copy.values[CopyStart] = c.start;
        copy.values[CopyCount] = c.count;
        copy.values[CopyInterval] = c.interval;
        const auto refusal = CheckCopy(copy);
        if (c.field < 0) {
            EXPECT_FALSE(refusal) << c.what;
            continue;
        }
        ASSERT_TRUE(refusal) << c.what;
        EXPECT_EQ(refusal->field, c.field) << c.what;
        EXPECT_EQ(refusal->range.high, c.high) << c.what;
    }
}

TEST(AcceptRules, CheckedWithoutTouchingTheDocument)
{
    CDrawDoc doc;
    ComSetPage page = LoadPage(doc, "");
    EXPECT_FALSE(CheckAcceptRules(page));
    page.ports[0].protocol = protocol::MitsubishiFx;
    page.ports[0].baud = 19200;
    const auto refusal = CheckAcceptRules(page);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(*refusal, "串口1选择的三菱FX系列PLC的通信格式必须是：9600波特率，7位数据位，1位停止位，偶校验");
}

} // namespace
} // namespace qv::settings_page
