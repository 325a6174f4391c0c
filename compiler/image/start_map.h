#pragma once
// The start map: the last 512 bytes of the header area, filled at the end of a successful
// compile from the geometry, the counters the window compilers kept and the project's
// settings. The download reads it back to check the image against the panel.
#include "compiler/compile/compile_input.h"
#include "compiler/image/nand_geometry.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace qv::image {

struct WindowCounters {
    std::uint32_t screenCount = 0;
    std::uint32_t largestScreen = 0;
    std::uint32_t largestSubWindow = 0;        // ordinary sub-windows
    std::uint32_t largestSystemSubWindow = 0;
};

struct StartMapValues {
    const compile::CompileInput* input = nullptr;
    NandGeometry geometry;
    std::uint32_t windowCount = 0;
    WindowCounters windows;
    std::uint32_t headerWriteOffset = 0;
    std::uint32_t variableExtent = 0;
    std::uint32_t pictureCount = 0;
    std::uint32_t fontCount = 0;
    std::uint32_t plcBlockLength = 0;
    std::uint32_t userCodeLength = 0;
};

// Position of `fileNameGbk` in the screen list, else in the sub-window list, else 0xFF.
std::uint8_t findWindowIndex(const compile::CompileInput& input, std::string_view fileNameGbk);

// 36 + 8n + the three largest records: what the panel needs to hold any screen, ordinary
// sub-window and system sub-window at once.
std::uint32_t windowRam(std::uint32_t windowCount, const WindowCounters& w);

// The SRAM the project needs; saturates instead of wrapping, so damaged settings can never
// make a large need look small.
std::uint32_t sramNeed(const StartMapValues& v);

// Writes the start map into the last 512 bytes of `headerArea` (which is kHeaderAreaSize
// bytes); the fields the download fills stay 0.
void fillStartMap(std::span<std::uint8_t> headerArea, const StartMapValues& v);

} // namespace qv::image
