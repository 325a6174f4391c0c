#include "config/settings/other_settings.h"

#include "model/vars/var_bank.h"
#include "platform/serial/line_settings.h"
#include "config/settings/protocol_numbers.h"

#include <array>

namespace qv::settings_page {
namespace {

const std::array<NumberField, OtherFieldCount> kOtherFields{{
    {"通讯延时(单位:毫秒，十进制值)：", 0, 1000},
    {"超时延时(单位:毫秒，十进制值)：", 0, 10000},
    {"ACK延时(单位:毫秒，十进制值)：", 0, 1000},
    {"地址偏移：", 0, 65535},
    {"HMI变量首地址：", 0, 65535},
    {"寄存器首地址：", 0, 65535},
}};

const std::array<NumberField, CopyFieldCount> kCopyFields{{
    {"本机地址:", 0, 65535},
    {"起始地址：", 0, 65535},
    {"拷贝字节数：", 1, 65535},
    {"拷贝时间间隔：", 50, 50000},
}};

const std::array<PanelNumber, 3> kPanelNumbers{{
    {kProjectPassword, {"工程密码:", 0, 999999999}},
    {kIdleReturnSeconds, {"时间（秒）：", 0, 65535}},
    {kIdleReturnScreen, {"画面号：", 0, 255}},
}};

// The device address is a station byte: the panel's protocol takes any, a Modbus slave the
// stations a master can address.
struct AddressRange {
    int protocol;
    NumberField field;
};
constexpr std::array<AddressRange, 2> kAddressRanges{{
    {protocol::PanelBinary, {"设备地址:", 0, 255}},
    {protocol::ModbusSlave, {"设备地址:", 0, 247}},
}};
constexpr NumberField kBaudField{"波特率", kMinBaud, kMaxBaud};

constexpr std::string_view kOddHmiStart = "<HMI变量首地址>必须是能被2整除的数";
constexpr int kDefaultIntervalMs = 1000;
constexpr int kCopyFrameExtra = 24;

std::optional<FieldRefusal> OutOfRange(std::span<const NumberField> fields, const int* values, int field)
{
    const NumberField& f = fields[static_cast<std::size_t>(field)];
    if (values[field] < f.low || values[field] > f.high)
        return FieldRefusal{field, f, {}};
    return std::nullopt;
}

} // namespace

std::span<const NumberField> OtherFields() { return kOtherFields; }
std::span<const PanelNumber> PanelNumbers() { return kPanelNumbers; }

std::optional<FieldRefusal> CheckPanelNumbers(std::span<const int> values, std::span<const bool> changed)
{
    for (std::size_t i = 0; i < kPanelNumbers.size() && i < values.size() && i < changed.size(); ++i) {
        const NumberField& f = kPanelNumbers[i].field;
        if (changed[i] && (values[i] < f.low || values[i] > f.high))
            return FieldRefusal{static_cast<int>(i), f, {}};
    }
    return std::nullopt;
}

std::optional<FieldRefusal> CheckPortNumbers(const ComSetPage& page)
{
    for (std::size_t i = 0; i < page.ports.size(); ++i) {
        const PortFields& port = page.ports[i];
        const int first = static_cast<int>(i) * PortNumberCount;
        if (port.baud < kBaudField.low || port.baud > kBaudField.high)
            return FieldRefusal{first + Baud, kBaudField, {}};
        for (const AddressRange& r : kAddressRanges)
            if (r.protocol == port.protocol && (port.deviceAddress < r.field.low || port.deviceAddress > r.field.high))
                return FieldRefusal{first + DeviceAddress, r.field, {}};
    }
    return std::nullopt;
}

std::span<const NumberField> CopyFields() { return kCopyFields; }

OtherSettingsView ViewOfOther(int protocolNumber, bool dynamicSlaveAddress)
{
    OtherSettingsView view;
    view.timesVisible = protocol::IsPlcMaster(protocolNumber);
    view.ackEnabled = protocolNumber == protocol::SiemensPpi;
    view.dynamicOptionsVisible = dynamicSlaveAddress;
    view.startAddressesVisible = protocolNumber == protocol::ModbusSlave;
    return view;
}

OtherSettings LoadOther(const ComSetPage& page, int index)
{
    const PortFields& port = page.ports[static_cast<std::size_t>(index)];
    OtherSettings other;
    other.values[CommDelay] = port.commDelayMs;
    other.values[Timeout] = port.timeoutMs;
    other.values[AckDelay] = port.protocol == protocol::SiemensPpi ? port.ackDelayMs : 0;
    other.values[AddressOffset] = page.SharedValue(kSlaveAddressOffset);
    other.values[HmiStart] = page.SharedValue(kSlaveHmiStart);
    other.values[RegisterStart] = page.SharedValue(kSlaveRegisterStart);
    other.noCommAtSlaveZero = page.SharedValue(kNoCommAtSlaveZero) != 0;
    other.dynamicSlaveAddress = page.SharedValue(kDynamicSlaveAddress) != 0;
    return other;
}

std::optional<FieldRefusal> CheckOther(const OtherSettings& other, int protocolNumber)
{
    // Only what the dialog shows is checked: a hidden field cannot be corrected.
    const OtherSettingsView view = ViewOfOther(protocolNumber, other.dynamicSlaveAddress);
    const struct {
        int field;
        bool shown;
    } checks[] = {
        {CommDelay, view.timesVisible},
        {Timeout, view.timesVisible},
        {AckDelay, view.timesVisible && view.ackEnabled},
        {AddressOffset, view.dynamicOptionsVisible},
        {HmiStart, view.startAddressesVisible},
        {RegisterStart, view.startAddressesVisible},
    };
    for (const auto& c : checks)
        if (c.shown)
            if (auto refusal = OutOfRange(kOtherFields, other.values, c.field))
                return refusal;
    if (view.startAddressesVisible && other.values[HmiStart] % 2 != 0)
        return FieldRefusal{HmiStart, kOtherFields[HmiStart], std::string(kOddHmiStart)};
    return std::nullopt;
}

void StoreOther(ComSetPage& page, int index, const OtherSettings& other)
{
    PortFields& port = page.ports[static_cast<std::size_t>(index)];
    port.commDelayMs = other.values[CommDelay];
    port.timeoutMs = other.values[Timeout];
    port.ackDelayMs = other.values[AckDelay];
    page.shared[kSlaveAddressOffset] = other.values[AddressOffset];
    page.shared[kSlaveHmiStart] = other.values[HmiStart];
    page.shared[kSlaveRegisterStart] = other.values[RegisterStart];
    page.shared[kNoCommAtSlaveZero] = other.noCommAtSlaveZero ? 1 : 0;
    page.shared[kDynamicSlaveAddress] = other.dynamicSlaveAddress ? 1 : 0;
}

CopySettings LoadCopy(const ComSetPage& page, int firstFreeVarByte)
{
    CopySettings copy;
    copy.values[CopyLocalAddress] = page.SharedValue(kCopyLocalAddress);
    copy.values[CopyStart] = page.SharedValue(kCopyStart);
    copy.values[CopyCount] = page.SharedValue(kCopyLength);
    const int interval = page.SharedValue(kCopyIntervalMs);
    copy.values[CopyInterval] = interval == 0 ? kDefaultIntervalMs : interval;
    copy.independentScreens = page.SharedValue(kCopyIndependentScreens) != 0;
    copy.customRange = page.SharedValue(kCopyCustomRange) != 0;
    ApplyCopyRangeRule(copy, firstFreeVarByte);
    return copy;
}

void ApplyCopyRangeRule(CopySettings& copy, int firstFreeVarByte)
{
    if (copy.customRange)
        return;
    copy.values[CopyStart] = 0;
    copy.values[CopyCount] = firstFreeVarByte;
}

std::optional<FieldRefusal> CheckCopy(const CopySettings& copy)
{
    for (const int field : {CopyLocalAddress, CopyInterval})
        if (auto refusal = OutOfRange(kCopyFields, copy.values, field))
            return refusal;
    if (!copy.customRange)
        return std::nullopt; // the range follows the used memory
    for (const int field : {CopyStart, CopyCount})
        if (auto refusal = OutOfRange(kCopyFields, copy.values, field))
            return refusal;
    const int room = static_cast<int>(kVarMemSize) - copy.values[CopyStart];
    if (copy.values[CopyCount] > room) {
        NumberField range = kCopyFields[CopyCount];
        range.high = room;
        return FieldRefusal{CopyCount, range, {}};
    }
    return std::nullopt;
}

void StoreCopy(ComSetPage& page, int index, const CopySettings& copy)
{
    page.shared[kCopyLocalAddress] = copy.values[CopyLocalAddress];
    page.shared[kCopyIndependentScreens] = copy.independentScreens ? 1 : 0;
    page.shared[kCopyCustomRange] = copy.customRange ? 1 : 0;
    page.shared[kCopyStart] = copy.values[CopyStart];
    page.shared[kCopyLength] = copy.values[CopyCount];
    page.shared[kCopyIntervalMs] = copy.values[CopyInterval];
    page.ports[static_cast<std::size_t>(index)].length = copy.values[CopyCount] + kCopyFrameExtra;
}

} // namespace qv::settings_page
