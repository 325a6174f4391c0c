#pragma once
// The six options the compile command confirms before each compile; they live in the
// project document's settings block.
#include <array>
#include <cstdint>
#include <span>

namespace qv::compile {

struct CompileOptions {
    std::uint8_t mouseMode = 0;          // combo index
    std::uint8_t flashSizeCode = 0;      // combo index, see image::flashSizeChoices()
    std::uint8_t colourDepthCode = 1;    // combo index
    std::uint8_t updateCheckLayers = 0;  // combo index
    std::int32_t buzzerCoefficient = 15; // 1..1000
    std::int32_t lcdRotated = 0;         // check box

    friend bool operator==(const CompileOptions&, const CompileOptions&) = default;
};

inline constexpr std::int32_t kDefaultBuzzerCoefficient = 15;
inline constexpr std::int32_t kMinBuzzerCoefficient = 1;
inline constexpr std::int32_t kMaxBuzzerCoefficient = 1000;

// Settings-block offsets of the options.
namespace opt {
inline constexpr std::size_t MouseMode = 68;
inline constexpr std::size_t FlashSizeCode = 70;
inline constexpr std::size_t ColourDepthCode = 71;
inline constexpr std::size_t UpdateCheckLayers = 84;
inline constexpr std::size_t BuzzerCoefficient = 220;
inline constexpr std::size_t LcdRotated = 264;
} // namespace opt

// A stored coefficient of 0 (never set) is offered as 15.
CompileOptions readCompileOptions(std::span<const std::uint8_t, 1024> settings);
void writeCompileOptions(std::span<std::uint8_t, 1024> settings, const CompileOptions& options);

// The combo texts (GBK) of the options the dialog offers, index = stored value.
std::span<const char* const> colourDepthTexts();
std::span<const char* const> mouseModeTexts();
std::span<const char* const> updateLayerTexts();

} // namespace qv::compile
