#pragma once
// The two dialogs behind a port's "其它设置...." button: the other settings of a port
// (request timing, slave-address options, the Modbus slave's start addresses) and the HMI
// variable copy settings. Both edit a copy of the settings page and reach it only on their
// OK, so the sheet's Cancel keeps everything as it was stored.
#include "config/settings/com_set_page.h"

#include <optional>
#include <span>
#include <string>

namespace qv::settings_page {

// A number field of a dialog and its range, as the range prompt names it.
struct NumberField {
    const char* labelGbk;
    int low;
    int high;
};

// Why a dialog's OK was refused: the field to correct and either the dialog's own message
// (GBK) or, when it is empty, the range prompt of `range`.
struct FieldRefusal {
    int field;
    NumberField range;
    std::string messageGbk;
};

// ---- the settings page's own number fields ----
struct PanelNumber {
    std::size_t offset;
    NumberField field;
};
// "工程密码:", "时间（秒）：" and "画面号：" with their settings slots.
std::span<const PanelNumber> PanelNumbers();
// The first of `values` (in PanelNumbers' order) out of its range; `changed` says which the
// user edited, since a stored value left alone is kept as it is.
std::optional<FieldRefusal> CheckPanelNumbers(std::span<const int> values, std::span<const bool> changed);

// ---- the ports' own number fields ----
enum PortNumber : int { Baud, DeviceAddress, PortNumberCount };
// The first port field (field = port * PortNumberCount + PortNumber) no line or protocol can
// use: a baud rate outside the lines' rates, or a device address the port's slave protocol
// cannot answer to (checked while the page shows it).
std::optional<FieldRefusal> CheckPortNumbers(const ComSetPage& page);

// ---- "其它设置" ----
enum OtherField : int { CommDelay, Timeout, AckDelay, AddressOffset, HmiStart, RegisterStart, OtherFieldCount };

struct OtherSettings {
    int values[OtherFieldCount] = {};
    bool noCommAtSlaveZero = false;
    bool dynamicSlaveAddress = false;
};

std::span<const NumberField> OtherFields();

// What the dialog shows for a protocol and the state of "从机使用动态设备地址".
struct OtherSettingsView {
    bool timesVisible = false;          // with the group "时间参数" and "高级设置...."
    bool ackEnabled = false;
    bool dynamicOptionsVisible = false; // the address offset and "从机设备地址为0时不通讯"
    bool startAddressesVisible = false;
};
OtherSettingsView ViewOfOther(int protocolNumber, bool dynamicSlaveAddress);

// The dialog's values for port `index` of the page; the ACK delay is 0 unless the protocol
// uses it.
OtherSettings LoadOther(const ComSetPage& page, int index);
// The first shown field that is out of range, or an odd "HMI变量首地址".
std::optional<FieldRefusal> CheckOther(const OtherSettings& other, int protocolNumber);
// Puts accepted values back into the page (the shared options and start addresses too).
void StoreOther(ComSetPage& page, int index, const OtherSettings& other);

// ---- "HMI变量拷贝设置" ----
enum CopyField : int { CopyLocalAddress, CopyStart, CopyCount, CopyInterval, CopyFieldCount };

struct CopySettings {
    int values[CopyFieldCount] = {};
    bool independentScreens = false;
    bool customRange = false;
};

std::span<const NumberField> CopyFields();

// The page's copy values; an interval of 0 shows as 1000 ms. Without a custom range the
// start is 0 and the count `firstFreeVarByte` (the used variable memory).
CopySettings LoadCopy(const ComSetPage& page, int firstFreeVarByte);
// The rule of the custom-range check: clear, the range follows the used memory.
void ApplyCopyRangeRule(CopySettings& copy, int firstFreeVarByte);
// The first field out of range; a range that passes the end of the 64 KiB variable memory
// is refused on the byte count with the count's remaining room.
std::optional<FieldRefusal> CheckCopy(const CopySettings& copy);
// Puts accepted values into the page and sets port `index`'s length to the count + 24.
void StoreCopy(ComSetPage& page, int index, const CopySettings& copy);

} // namespace qv::settings_page
