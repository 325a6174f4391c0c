#pragma once
// Layout of "NandFlash.Zip": the 2 MiB header area (cursor table, window table, window
// records) ends with the 512-byte start map; picture data and the appended blocks follow.
#include "model/project/system_windows.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace qv::image {

inline constexpr std::uint32_t kHeaderAreaSize = 0x200000;
inline constexpr std::uint32_t kStartMapSize = 0x200;
inline constexpr std::uint32_t kStartMapOffset = kHeaderAreaSize - kStartMapSize;

// Header area offsets.
inline constexpr std::uint32_t kCursorTableOffset = 0x00;
inline constexpr std::uint32_t kCursorEntrySize = 8;
inline constexpr std::uint32_t kCursorCount = 4;
inline constexpr std::uint32_t kWindowCountOffset = 0x22;
inline constexpr std::uint32_t kWindowTableOffset = 0x24;
inline constexpr std::uint32_t kWindowEntrySize = 8;   // {u32 record offset, u32 record length}

// Window numbers are bytes and 0xFF means "missing", so a project holds at most 255 windows;
// item offsets inside a record are u16, so a record holds at most 64 KiB.
inline constexpr std::uint8_t kMissingWindow = 0xFF;
inline constexpr std::uint32_t kMaxWindows = 255;
inline constexpr std::uint32_t kMaxRecordLength = 0x10000;

inline constexpr std::uint32_t windowTableEnd(std::uint32_t windowCount)
{
    return kWindowTableOffset + kWindowEntrySize * windowCount;
}

inline constexpr std::uint8_t kVersionMajor = 3;
inline constexpr std::uint8_t kVersionMinor = 2;
inline constexpr std::uint16_t kStartMapMagic = 0x8184;

// Start map field offsets (from the start map).
namespace sm {
inline constexpr std::uint32_t Magic = 0x000;
inline constexpr std::uint32_t SerialA = 0x002;            // byte
inline constexpr std::uint32_t Station = 0x003;            // byte
inline constexpr std::uint32_t HeaderFlashAddr = 0x004;    // download
inline constexpr std::uint32_t HeaderBytesUsed = 0x008;
inline constexpr std::uint32_t WindowRam = 0x00C;
inline constexpr std::uint32_t WindowTableEnd = 0x010;
inline constexpr std::uint32_t ScreenRamEnd = 0x014;
inline constexpr std::uint32_t ScreenCount = 0x018;
inline constexpr std::uint32_t SubWindowCount = 0x01C;
inline constexpr std::uint32_t ParamBlockAddr = 0x020;     // download
inline constexpr std::uint32_t VarExtent = 0x024;
inline constexpr std::uint32_t SerialB = 0x028;
inline constexpr std::uint32_t SramNeed = 0x02C;
inline constexpr std::uint32_t BlockSize = 0x030;
inline constexpr std::uint32_t PageMask = 0x034;
inline constexpr std::uint32_t VarMemAddr = 0x038;         // download
inline constexpr std::uint32_t Width = 0x03C;              // u16
inline constexpr std::uint32_t Height = 0x03E;             // u16
inline constexpr std::uint32_t SerialC = 0x040;
inline constexpr std::uint32_t RunBlock = 0x044;           // 44 bytes
inline constexpr std::uint32_t RunBlockSize = 44;
inline constexpr std::uint32_t SysVarAddrs = 0x078;        // 16 x u32
inline constexpr std::uint32_t FlashSizeCode = 0x0BA;      // byte, settings +70
inline constexpr std::uint32_t ColourDepthCode = 0x0BB;    // byte, settings +71
inline constexpr std::uint32_t LargestSubWindow = 0x0BC;
inline constexpr std::uint32_t VersionMajor = 0x0C1;
inline constexpr std::uint32_t VersionMinor = 0x0C2;
inline constexpr std::uint32_t PictureCount = 0x0C4;
inline constexpr std::uint32_t FontCount = 0x0C8;
inline constexpr std::uint32_t UpdateLayers = 0x0CC;
inline constexpr std::uint32_t BlockTableAddr = 0x0D0;     // download
inline constexpr std::uint32_t PlcBlockAddr = 0x0E4;       // download
inline constexpr std::uint32_t SerialFraming = 0x0E8;
inline constexpr std::uint32_t BlockMask = 0x0F4;
inline constexpr std::uint32_t FreeFlashAddr = 0x0FC;      // download: the block after the block table
inline constexpr std::uint32_t StartSecond = 0x10C;        // download: second of the day it began
inline constexpr std::uint32_t Rotation = 0x11C;           // settings +264; non-zero: portrait
inline constexpr std::uint32_t PlcBlockLength = 0x130;
inline constexpr std::uint32_t UserCodeLength = 0x134;
inline constexpr std::uint32_t HeaderBytesUsedCopy = 0x1FC;
} // namespace sm

// Settings-block values the start map carries as they stand: settings +from, `width` bytes,
// to start map +to.
struct SettingsCopy {
    std::uint32_t to;
    std::uint32_t from;
    std::uint32_t width;
};
std::span<const SettingsCopy> startMapSettingsCopies();

// Settings-block offsets the start map interprets.
namespace st {
inline constexpr std::uint32_t SystemVarIndices = 4;   // 16 x int, +4 .. +64
inline constexpr std::uint32_t FlashSizeCode = 70;     // byte
inline constexpr std::uint32_t ColourDepthCode = 71;   // byte
inline constexpr std::uint32_t UpdateLayers = 84;      // byte
inline constexpr std::uint32_t Port1Protocol = 112;
inline constexpr std::uint32_t Port1Param = 116;
inline constexpr std::uint32_t Port2Protocol = 120;
inline constexpr std::uint32_t Port2Param = 124;
inline constexpr std::uint32_t DataBits1 = 128;   // framing choices of the two ports
inline constexpr std::uint32_t DataBits2 = 132;
inline constexpr std::uint32_t Parity1 = 148;
inline constexpr std::uint32_t Parity2 = 152;
inline constexpr std::uint32_t StopBits1 = 156;
inline constexpr std::uint32_t StopBits2 = 160;
inline constexpr std::uint32_t SettingsSize = 1024;
} // namespace st

// The ten serial parameters of the project document, by position (0-based), that the
// start map holds.
namespace serial {
inline constexpr std::size_t Port1Parameter = 2;     // serial setting A
inline constexpr std::size_t Port1Station = 3;
inline constexpr std::size_t Port1PanelBaud = 4;     // serial setting B
inline constexpr std::size_t Port2PanelBaud = 9;     // serial setting C
inline constexpr std::size_t Count = 10;
} // namespace serial

// The windows whose numbers the start map names (looked up in the screen list, otherwise
// in the sub-window list).
struct SystemWindow {
    std::uint32_t startMapOffset;
    std::string_view fileName;   // GBK
};
std::span<const SystemWindow> startMapWindows();

using qv::isSystemSubWindow;

} // namespace qv::image
