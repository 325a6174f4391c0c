#include "compiler/compile/compile_options.h"

#include "compiler/image/le_bytes.h"

namespace qv::compile {
namespace {

const std::array<const char*, 4> kColourDepths{"8位色", "16位色 (默认)", "18位色", "24位色"};
const std::array<const char*, 3> kMouseModes{"自动检测 (默认)", "总是使用", "不使用"};
const std::array<const char*, 3> kUpdateLayers{"一层 (默认)", "两层", "三层"};

} // namespace

std::span<const char* const> colourDepthTexts() { return kColourDepths; }
std::span<const char* const> mouseModeTexts() { return kMouseModes; }
std::span<const char* const> updateLayerTexts() { return kUpdateLayers; }

CompileOptions readCompileOptions(std::span<const std::uint8_t, 1024> s)
{
    using namespace image;
    CompileOptions o;
    o.mouseMode = getU8(s, opt::MouseMode);
    o.flashSizeCode = getU8(s, opt::FlashSizeCode);
    o.colourDepthCode = getU8(s, opt::ColourDepthCode);
    o.updateCheckLayers = getU8(s, opt::UpdateCheckLayers);
    o.buzzerCoefficient = static_cast<std::int32_t>(getU32(s, opt::BuzzerCoefficient));
    if (o.buzzerCoefficient == 0)
        o.buzzerCoefficient = kDefaultBuzzerCoefficient;
    o.lcdRotated = static_cast<std::int32_t>(getU32(s, opt::LcdRotated));
    return o;
}

void writeCompileOptions(std::span<std::uint8_t, 1024> s, const CompileOptions& o)
{
    using namespace image;
    putU8(s, opt::MouseMode, o.mouseMode);
    putU8(s, opt::FlashSizeCode, o.flashSizeCode);
    putU8(s, opt::ColourDepthCode, o.colourDepthCode);
    putU8(s, opt::UpdateCheckLayers, o.updateCheckLayers);
    putU32(s, opt::BuzzerCoefficient, static_cast<std::uint32_t>(o.buzzerCoefficient));
    putU32(s, opt::LcdRotated, static_cast<std::uint32_t>(o.lcdRotated));
}

} // namespace qv::compile
