#pragma once
// The project-properties settings page as data: what it loads from the project document, how a
// protocol choice shapes the page, and the rules and conversions applied when it is accepted.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "model/document/draw_doc.h"

namespace qv::settings_page {

struct PortFields {
    int com = 1;
    int baud = 9600;
    int panelBaud = 9600;      // loaded for show; accepting writes the PC baud into it
    int dataBits = 0;          // index: 0 "8位", 1 "7位"
    int stopBits = 0;          // index: 0 "1位", 1 "2位"
    int parity = 0;            // index: 0 "无", 1 "奇", 2 "偶"
    int protocol = 0;
    int length = 128;          // maximum frame length in bytes
    int deviceAddress = 2;     // the PLC station number
    int openedDeviceAddress = 2; // the station number when the page was loaded
    int commDelayMs = 0;
    int timeoutMs = 0;
    int ackDelayMs = 0;
};

// Where each value of the page lives. `Kind` says how the stored value becomes the page's.
enum class SlotKind { Int32, Byte, LowByteOfInt32, UInt16 };

struct SharedSlot {
    std::size_t offset;
    SlotKind kind;
};

// The project-wide settings slots the page copies without a rule of its own.
std::span<const SharedSlot> SharedSlots();

inline constexpr std::size_t kUploadModeOffset = 268;
// The panel options of the page and the other settings shared by both ports are the project
// document's settings slots; the hidden combos' bytes 68, 70, 71 and 84 pass through.
using settings::kNoPowerUpCalibration;
using settings::kProjectPassword;
using settings::kIdleReturnOn;
using settings::kIdleReturnSeconds;  // 0..65535
using settings::kIdleReturnScreen;   // 0..255
using settings::kNoCommAtSlaveZero;
using settings::kDynamicSlaveAddress;
using settings::kSlaveAddressOffset;
using settings::kSlaveHmiStart;
using settings::kSlaveRegisterStart;
// The HMI variable copy settings: six ints, once per project, in the order of their dialog.
inline constexpr std::size_t kCopyLocalAddress = 240;
inline constexpr std::size_t kCopyIndependentScreens = 244;
using settings::kCopyCustomRange;
using settings::kCopyStart;
using settings::kCopyLength;
inline constexpr std::size_t kCopyIntervalMs = 260;

struct ComSetPage {
    std::array<PortFields, 2> ports;
    int width = 0;
    int height = 0;
    std::string projectPath;          // GBK, read only
    std::map<std::size_t, int> shared; // by settings offset, values as the page shows them
    bool uploadMouseAndKeys = false;  // auto-upload mode 1
    bool uploadKeys = false;          // mode 2
    bool uploadOnHmiChange = false;   // mode 4

    int UploadMode() const;
    // The shared value at `offset`; 0 for one the page does not hold.
    int SharedValue(std::size_t offset) const
    {
        const auto it = shared.find(offset);
        return it == shared.end() ? 0 : it->second;
    }
};

ComSetPage LoadPage(const CDrawDoc& doc, std::string projectPathGbk);

// What the page shows for the current protocol choices.
struct PortView {
    bool lengthVisible = true;     // also the other-settings button
    bool lengthEnabled = true;
    bool deviceAddressVisible = false;
};
struct PageView {
    std::array<PortView, 2> ports;
    bool autoUploadVisible = false;
};

// Applies a protocol change of port `index` (0 or 1) to the page: PLC master protocols fix the
// length at 256; the copy protocol's length becomes the copy length + 24, where
// `firstFreeVarByte` is the copy length when the copy settings use no custom range.
void OnProtocolChanged(ComSetPage& page, int index, int firstFreeVarByte);
PageView ViewOf(const ComSetPage& page);

struct CommitResult {
    std::optional<std::string> refusal;     // GBK; nothing was stored
    std::optional<std::string> touchNote;   // GBK; the protocols and lengths were kept
    bool resolutionChanged = false;
};

// The first accept rule (1 to 7) the page fails, as its message (GBK); checked on OK while the
// sheet is still open, so a refusal loses no edit.
std::optional<std::string> CheckAcceptRules(const ComSetPage& page);

// Applies the accept rules in order and stores the page into `doc`'s serial parameters and
// settings block. Rescaling the windows and saving are left to the caller.
CommitResult CommitPage(const ComSetPage& page, CDrawDoc& doc);

// The length stored for a page length: raised to the next multiple of 4.
int StoredLength(int length);

} // namespace qv::settings_page
