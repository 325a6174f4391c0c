#include "config/settings/com_set_page.h"

#include "model/document/draw_doc.h"
#include "config/settings/protocol_numbers.h"

namespace qv::settings_page {
namespace {

// Per-port slots of the settings block; times are stored in units of 5 ms.
struct PortSlots {
    std::size_t protocol, length, dataBits, parity, stopBits, commDelay, timeout, ackDelay;
};
constexpr std::array<PortSlots, 2> kPortSlots{{
    {112, 116, 128, 148, 156, 164, 168, 172},
    {120, 124, 132, 152, 160, 188, 192, 196},
}};

// Per-port serial parameters (indices into the ten stored values).
struct PortParams {
    std::size_t com, baud, param, station, panelBaud;
};
constexpr std::array<PortParams, 2> kPortParams{{{0, 1, 2, 3, 4}, {7, 8, 5, 6, 9}}};

constexpr std::array<SharedSlot, 21> kSharedSlots{{
    {68, SlotKind::Byte},  {70, SlotKind::Byte},  {71, SlotKind::Byte},  {84, SlotKind::LowByteOfInt32},
    {kNoPowerUpCalibration, SlotKind::Int32}, {kProjectPassword, SlotKind::Int32},
    {kNoCommAtSlaveZero, SlotKind::Int32}, {kDynamicSlaveAddress, SlotKind::Int32},
    {kSlaveAddressOffset, SlotKind::Int32}, {240, SlotKind::Int32}, {244, SlotKind::Int32}, {248, SlotKind::Int32},
    {252, SlotKind::Int32}, {256, SlotKind::Int32}, {260, SlotKind::Int32}, {kIdleReturnOn, SlotKind::Int32},
    {kIdleReturnSeconds, SlotKind::Int32}, {kIdleReturnScreen, SlotKind::Int32}, {kUploadModeOffset, SlotKind::Int32},
    {kSlaveHmiStart, SlotKind::UInt16}, {kSlaveRegisterStart, SlotKind::UInt16},
}};
static_assert(kNoPowerUpCalibration == settings::kNoPowerUpCalibration && kProjectPassword == settings::kProjectPassword &&
              kIdleReturnOn == settings::kIdleReturnOn && kIdleReturnSeconds == settings::kIdleReturnSeconds &&
              kIdleReturnScreen == settings::kIdleReturnScreen && kSlaveHmiStart == settings::kSlaveHmiStart &&
              kSlaveRegisterStart == settings::kSlaveRegisterStart && kNoCommAtSlaveZero == settings::kNoCommAtSlaveZero &&
              kDynamicSlaveAddress == settings::kDynamicSlaveAddress && kSlaveAddressOffset == settings::kSlaveAddressOffset);

constexpr int kCopyFrameExtra = 24;
constexpr int kPlcMasterLength = 256;
constexpr int kDefaultCopyIntervalMs = 1000;
constexpr int kMinProtocolLength = 128;

bool IsFxFraming(const PortFields& p)
{
    // 9600 baud, 7 data bits, 1 stop bit, even parity.
    return p.baud == 9600 && p.dataBits == 1 && p.stopBits == 0 && p.parity == 2;
}

struct AcceptRule {
    int port;                       // 0, 1, or -1 for a rule over both ports
    bool (*fails)(const ComSetPage&, int port);
    std::string_view message;
};

bool BothCopy(const ComSetPage& p, int)
{
    return p.ports[0].protocol == protocol::HmiVarCopy && p.ports[1].protocol == protocol::HmiVarCopy;
}
bool FxWrong(const ComSetPage& p, int i) { return p.ports[i].protocol == protocol::MitsubishiFx && !IsFxFraming(p.ports[i]); }
bool DeltaWrong(const ComSetPage& p, int i) { return p.ports[i].protocol == protocol::DeltaDvp && !IsFxFraming(p.ports[i]); }
bool ShortLength1(const ComSetPage& p, int i)
{
    const int n = p.ports[i].protocol;
    return (n == protocol::PanelBinary || n == protocol::I2C || n == protocol::ModbusSlave) && p.ports[i].length < kMinProtocolLength;
}
// Port 2 has no I2C check: the panel's I2C protocol runs only on port 1's lines.
bool ShortLength2(const ComSetPage& p, int i)
{
    const int n = p.ports[i].protocol;
    return (n == protocol::PanelBinary || n == protocol::ModbusSlave) && p.ports[i].length < kMinProtocolLength;
}

const std::array<AcceptRule, 7> kAcceptRules{{
    {-1, BothCopy, "只能设置其中一个串口为《HMI变量拷贝协议》"},
    {0, FxWrong, "串口1选择的三菱FX系列PLC的通信格式必须是：9600波特率，7位数据位，1位停止位，偶校验"},
    {1, FxWrong, "串口2选择的三菱FX系列PLC的通信格式必须是：9600波特率，7位数据位，1位停止位，偶校验"},
    {0, DeltaWrong, "串口1选择的台达DeltaDVP系列PLC的通信格式必须是：9600波特率，7位数据位，1位停止位，偶校验"},
    {1, DeltaWrong, "串口2选择的台达DeltaDVP系列PLC的通信格式必须是：9600波特率，7位数据位，1位停止位，偶校验"},
    {0, ShortLength1, "串口1选择的协议长度太短，应该大于127为好"},
    {1, ShortLength2, "串口2选择的协议长度太短，应该大于127为好"},
}};

constexpr std::string_view kTouchConflict =
    "一个时候只能将其中一个串口设置为“TouchKit触摸屏协议”，其他串口设置为非“TouchKit触摸屏协议”";

int ReadSlot(const ProjectSettings& s, const SharedSlot& slot)
{
    const auto i32 = [&](std::size_t at) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(s[at]) | (static_cast<std::uint32_t>(s[at + 1]) << 8) |
                                         (static_cast<std::uint32_t>(s[at + 2]) << 16) |
                                         (static_cast<std::uint32_t>(s[at + 3]) << 24));
    };
    switch (slot.kind) {
    case SlotKind::Byte:
    case SlotKind::LowByteOfInt32:
        return s[slot.offset];
    case SlotKind::Int32:
        return i32(slot.offset);
    case SlotKind::UInt16:
        return s[slot.offset] | (s[slot.offset + 1] << 8);
    }
    return 0;
}

void WriteSlot(CDrawDoc& doc, const SharedSlot& slot, int value)
{
    switch (slot.kind) {
    case SlotKind::Byte:
        doc.m_ProjectSettings[slot.offset] = static_cast<std::uint8_t>(value);
        return;
    case SlotKind::LowByteOfInt32:
        doc.SetSettingI32(slot.offset, value & 0xFF);
        return;
    case SlotKind::Int32:
        doc.SetSettingI32(slot.offset, value);
        return;
    case SlotKind::UInt16:
        doc.m_ProjectSettings[slot.offset] = static_cast<std::uint8_t>(value);
        doc.m_ProjectSettings[slot.offset + 1] = static_cast<std::uint8_t>(value >> 8);
        return;
    }
}

} // namespace

std::span<const SharedSlot> SharedSlots() { return kSharedSlots; }

int ComSetPage::UploadMode() const
{
    if (uploadMouseAndKeys)
        return 1;
    if (uploadKeys)
        return 2;
    if (uploadOnHmiChange)
        return 4;
    return 0;
}

int StoredLength(int length) { return (length + 3) / 4 * 4; }

ComSetPage LoadPage(const CDrawDoc& doc, std::string projectPathGbk)
{
    ComSetPage page;
    for (std::size_t i = 0; i < 2; ++i) {
        PortFields& p = page.ports[i];
        const PortSlots& s = kPortSlots[i];
        const PortParams& sp = kPortParams[i];
        p.com = doc.m_serial[sp.com];
        p.baud = doc.m_serial[sp.baud];
        p.panelBaud = doc.m_serial[sp.panelBaud];
        p.deviceAddress = doc.m_serial[sp.station];
        p.openedDeviceAddress = doc.m_serial[sp.station];
        p.protocol = doc.SettingI32(s.protocol);
        p.length = doc.SettingI32(s.length);
        p.dataBits = doc.SettingI32(s.dataBits);
        p.parity = doc.SettingI32(s.parity);
        p.stopBits = doc.SettingI32(s.stopBits);
        p.commDelayMs = doc.SettingI32(s.commDelay) * 5;
        p.timeoutMs = doc.SettingI32(s.timeout) * 5;
        p.ackDelayMs = doc.SettingI32(s.ackDelay) * 5;
    }
    for (const SharedSlot& slot : kSharedSlots)
        page.shared[slot.offset] = ReadSlot(doc.m_ProjectSettings, slot);
    const int mode = page.shared[kUploadModeOffset];
    page.uploadMouseAndKeys = mode == 1;
    page.uploadKeys = mode == 2;
    page.uploadOnHmiChange = mode == 4;
    page.width = doc.m_nWindowWidth;
    page.height = doc.m_nWindowHeight;
    page.projectPath = std::move(projectPathGbk);
    return page;
}

void OnProtocolChanged(ComSetPage& page, int index, int firstFreeVarByte)
{
    PortFields& p = page.ports[static_cast<std::size_t>(index)];
    if (protocol::IsPlcMaster(p.protocol))
        p.length = kPlcMasterLength;
    if (p.protocol == protocol::HmiVarCopy) {
        if (page.shared[kCopyCustomRange] == 0)
            page.shared[kCopyLength] = firstFreeVarByte;
        p.length = page.shared[kCopyLength] + kCopyFrameExtra;
        if (page.shared[kCopyIntervalMs] == 0)
            page.shared[kCopyIntervalMs] = kDefaultCopyIntervalMs;
    }
}

PageView ViewOf(const ComSetPage& page)
{
    PageView view;
    for (std::size_t i = 0; i < 2; ++i) {
        const int n = page.ports[i].protocol;
        view.ports[i].lengthVisible = protocol::HasLengthSettings(n);
        view.ports[i].lengthEnabled = !protocol::IsPlcMaster(n) && n != protocol::HmiVarCopy;
        view.ports[i].deviceAddressVisible = n == protocol::PanelBinary || n == protocol::ModbusSlave;
        view.autoUploadVisible = view.autoUploadVisible || n == protocol::PanelBinary;
    }
    return view;
}

std::optional<std::string> CheckAcceptRules(const ComSetPage& page)
{
    for (const AcceptRule& rule : kAcceptRules)
        if (rule.fails(page, rule.port < 0 ? 0 : rule.port))
            return std::string(rule.message);
    return std::nullopt;
}

CommitResult CommitPage(const ComSetPage& page, CDrawDoc& doc)
{
    CommitResult result;
    if ((result.refusal = CheckAcceptRules(page)))
        return result;
    for (std::size_t i = 0; i < 2; ++i) {
        const PortFields& p = page.ports[i];
        const PortParams& sp = kPortParams[i];
        doc.m_serial[sp.com] = p.com;
        doc.m_serial[sp.baud] = p.baud;
        doc.m_serial[sp.panelBaud] = p.baud;
        doc.m_serial[sp.station] = p.deviceAddress;
        doc.m_serial[sp.param] = p.openedDeviceAddress;
    }
    const int t1 = page.ports[0].protocol;
    if (t1 == page.ports[1].protocol && protocol::IsTouch(t1)) {
        result.touchNote = std::string(kTouchConflict);
    } else {
        for (std::size_t i = 0; i < 2; ++i) {
            doc.SetSettingI32(kPortSlots[i].protocol, page.ports[i].protocol);
            doc.SetSettingI32(kPortSlots[i].length, StoredLength(page.ports[i].length));
        }
    }
    for (std::size_t i = 0; i < 2; ++i) {
        const PortFields& p = page.ports[i];
        const PortSlots& s = kPortSlots[i];
        doc.SetSettingI32(s.dataBits, p.dataBits);
        doc.SetSettingI32(s.parity, p.parity);
        doc.SetSettingI32(s.stopBits, p.stopBits);
        doc.SetSettingI32(s.commDelay, p.commDelayMs / 5);
        doc.SetSettingI32(s.timeout, p.timeoutMs / 5);
        doc.SetSettingI32(s.ackDelay, p.ackDelayMs / 5);
    }
    for (const SharedSlot& slot : kSharedSlots) {
        const auto it = page.shared.find(slot.offset);
        if (slot.offset == kUploadModeOffset)
            WriteSlot(doc, slot, page.UploadMode());
        else if (it != page.shared.end())
            WriteSlot(doc, slot, it->second);
    }
    result.resolutionChanged = page.width != doc.m_nWindowWidth || page.height != doc.m_nWindowHeight;
    return result;
}

} // namespace qv::settings_page
