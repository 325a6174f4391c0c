#include "compiler/image/start_map.h"

#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"

#include <algorithm>
#include <stdexcept>

namespace qv::image {
namespace {

std::uint32_t settingU32(const compile::CompileInput& in, std::uint32_t offset) { return getU32(in.settings, offset); }

bool portNeedsBuffer(std::uint32_t protocol) { return protocol != 0 && protocol != 2; }

// 16 bits of (data bits << 8) | (parity << 4) | stop bits, as the panel reads one port's framing.
std::uint32_t framingNibbles(std::uint32_t dataBits, std::uint32_t parity, std::uint32_t stopBits)
{
    return ((dataBits << 8) | (parity << 4) | stopBits) & 0xFFFF;
}

} // namespace

std::uint8_t findWindowIndex(const compile::CompileInput& input, std::string_view name)
{
    for (const auto* list : {&input.screens, &input.subWindows}) {
        auto it = std::find_if(list->begin(), list->end(), [&](const auto& w) { return w.fileName == name; });
        if (it != list->end()) {
            const auto index = static_cast<std::size_t>(it - list->begin());
            return index < kMissingWindow ? static_cast<std::uint8_t>(index) : kMissingWindow;
        }
    }
    return kMissingWindow;
}

std::uint32_t windowRam(std::uint32_t windowCount, const WindowCounters& w)
{
    return windowTableEnd(windowCount) + w.largestScreen + w.largestSubWindow + w.largestSystemSubWindow;
}

std::uint32_t sramNeed(const StartMapValues& v)
{
    const auto& in = *v.input;
    std::uint64_t need = 2ull * v.variableExtent + windowRam(v.windowCount, v.windows);
    if (portNeedsBuffer(settingU32(in, st::Port1Protocol)))
        need += settingU32(in, st::Port1Param);
    if (portNeedsBuffer(settingU32(in, st::Port2Protocol)))
        need += settingU32(in, st::Port2Param);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(need, 0xFFFFFFFFu));
}

void fillStartMap(std::span<std::uint8_t> headerArea, const StartMapValues& v)
{
    if (headerArea.size() != kHeaderAreaSize || !v.input)
        throw std::invalid_argument("start map needs the whole header area and the project");
    const auto& in = *v.input;
    auto map = headerArea.subspan(kStartMapOffset, kStartMapSize);
    std::fill(map.begin(), map.end(), 0);

    const std::uint32_t headerUsed = static_cast<std::uint32_t>(roundUpToPage(v.headerWriteOffset, v.geometry.pageMask));
    const std::uint32_t tableEnd = windowTableEnd(v.windowCount);

    putU16(map, sm::Magic, kStartMapMagic);
    putU8(map, sm::SerialA, static_cast<std::uint8_t>(in.serialParameters[serial::Port1Parameter]));
    putU8(map, sm::Station, static_cast<std::uint8_t>(in.serialParameters[serial::Port1Station]));
    putU32(map, sm::HeaderBytesUsed, headerUsed);
    putU32(map, sm::WindowRam, windowRam(v.windowCount, v.windows));
    putU32(map, sm::WindowTableEnd, tableEnd);
    putU32(map, sm::ScreenRamEnd, tableEnd + v.windows.largestScreen);
    putU32(map, sm::ScreenCount, v.windows.screenCount);
    putU32(map, sm::SubWindowCount, v.windowCount - v.windows.screenCount);
    putU32(map, sm::VarExtent, v.variableExtent);
    putU32(map, sm::SerialB, static_cast<std::uint32_t>(in.serialParameters[serial::Port1PanelBaud]));
    putU32(map, sm::SramNeed, sramNeed(v));
    putU32(map, sm::BlockSize, v.geometry.blockSize);
    putU32(map, sm::PageMask, v.geometry.pageMask);
    putU16(map, sm::Width, in.width);
    putU16(map, sm::Height, in.height);
    putU32(map, sm::SerialC, static_cast<std::uint32_t>(in.serialParameters[serial::Port2PanelBaud]));
    std::copy(in.runBlock.begin(), in.runBlock.end(), map.begin() + sm::RunBlock);

    for (const SystemWindow& w : startMapWindows())
        putU8(map, w.startMapOffset, findWindowIndex(in, w.fileName));
    for (std::size_t i = 0; i < in.systemVariableAddresses.size(); ++i)
        putU32(map, sm::SysVarAddrs + 4 * i, static_cast<std::uint32_t>(in.systemVariableAddresses[i]));

    for (const SettingsCopy& c : startMapSettingsCopies())
        putLe(map, c.to, getLe(in.settings, c.from, c.width), c.width);

    putU32(map, sm::LargestSubWindow, v.windows.largestSubWindow);
    putU8(map, sm::VersionMajor, kVersionMajor);
    putU8(map, sm::VersionMinor, kVersionMinor);
    putU32(map, sm::PictureCount, v.pictureCount);
    putU32(map, sm::FontCount, v.fontCount);
    putU32(map, sm::UpdateLayers, std::uint32_t(getU8(in.settings, st::UpdateLayers)) + 1);
    const std::uint32_t port1 = framingNibbles(settingU32(in, st::DataBits1), settingU32(in, st::Parity1), settingU32(in, st::StopBits1));
    const std::uint32_t port2 = framingNibbles(settingU32(in, st::DataBits2), settingU32(in, st::Parity2), settingU32(in, st::StopBits2));
    putU32(map, sm::SerialFraming, port1 | port2 << 16);
    putU32(map, sm::BlockMask, v.geometry.blockMask);
    putU32(map, sm::PlcBlockLength, v.plcBlockLength);
    putU32(map, sm::UserCodeLength, v.userCodeLength);
    putU32(map, sm::HeaderBytesUsedCopy, headerUsed);
}

} // namespace qv::image
