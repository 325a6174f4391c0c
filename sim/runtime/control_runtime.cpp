#include "sim/runtime/control_runtime.h"

#include <algorithm>
#include <vector>

#include "model/document/draw_doc.h"
#include "model/params/block_bytes.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/blocks/dynamic_picture_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/var_refs.h"
#include "model/shape/draw_obj.h"
#include "model/vars/var_types.h"
#include "platform/text/gbk.h"

namespace qv::sim {
namespace {

namespace nb = blocks::number;
namespace dp = blocks::dynamic_picture;
namespace cv = blocks::curve;
namespace cb = blocks::character;

// The move reference of the kinds that have one: option, variable index, cached address.
struct MoveRef {
    ShapeKind kind;
    int option, index, address;
};
constexpr MoveRef kMoveRefs[] = {{ShapeKind::DynamicPicture, dp::kMoveOption.offset, dp::kMoveIndex.offset, dp::kMoveAddress.offset},
                                 {ShapeKind::RealTimeNumber, nb::kMoveOn.offset, nb::kMoveIndex.offset, nb::kMoveAddress.offset},
                                 {ShapeKind::Character, cb::kMoveOn.offset, cb::kMoveIndex.offset, cb::kMoveAddress.offset}};

constexpr std::int64_t kLastElementAddress = 0xFFFC;

// A curve's records as (address, type) up to the first negative index.
struct CurveSeries {
    std::int32_t address;
    std::uint8_t type;
};
std::vector<CurveSeries> curveSeries(const CDrawObj& obj, const ControlRunContext& ctx)
{
    std::vector<CurveSeries> out;
    const int records = curveRecordCount(obj.m_Params);
    for (int i = 0; i < records; ++i) {
        const std::int32_t row = obj.Param(cv::record(i).index);
        if (row < 0)
            break;
        std::int32_t address = -1;
        std::uint8_t type = 0;
        if (ctx.variable)
            ctx.variable(row, address, type);
        out.push_back({address, type});
    }
    return out;
}

// True when all n elements of width s from `address` lie at or below 0xFFFC (worked out in 64
// bits, so counts from a file cannot wrap).
bool seriesFits(std::int64_t address, int width, std::int64_t samples)
{
    return address >= 0 && width > 0 && samples > 0 && address + width * (samples - 1) <= kLastElementAddress;
}

void prepareMove(CDrawObj& obj, const ControlRunContext& ctx)
{
    for (const MoveRef& m : kMoveRefs) {
        if (m.kind != obj.Kind() || blockReadU8(obj.m_Params, m.option) == 0)
            continue;
        const std::int32_t row = blockReadI32(obj.m_Params, m.index, -1);
        if (row <= 0)
            continue;
        const std::int32_t address = blockReadI32(obj.m_Params, m.address, -1);
        const CDrawDoc* doc = obj.m_pOwnerDoc;
        const std::int64_t x = std::int64_t{obj.m_rcPosition.left} - ctx.marginX - (doc ? doc->m_ptWindowOrigin.x : 0);
        const std::int64_t y = std::int64_t{obj.m_rcPosition.top} - ctx.marginY - (doc ? doc->m_ptWindowOrigin.y : 0);
        const auto value = static_cast<std::uint32_t>((static_cast<std::uint64_t>(y) << 16) + static_cast<std::uint64_t>(x));
        if (!ctx.live->write(address, 4, value))
            continue;
        if (ctx.setInitialValue)
            ctx.setInitialValue(row, std::to_string(static_cast<std::int32_t>(value)));
    }
}

} // namespace

void PrepareRunTime(CDrawObj& obj, const ControlRunContext& ctx)
{
    if (obj.Kind() == ShapeKind::DynamicPicture) {
        obj.SetParam(dp::kFrame, 0);
        obj.SetParam(dp::kCountdown, obj.Param(dp::kInitialCountdown));
    }
    prepareMove(obj, ctx);
}

void FillDemoSamples(CDrawObj& obj, const ControlRunContext& ctx)
{
    if (obj.Kind() == ShapeKind::Curve) {
        const std::int64_t maximum = obj.Param(cv::kTopValue);
        const std::int64_t minimum = obj.Param(cv::kBottomValue);
        const std::int64_t samples = obj.Param(cv::kPointCount);
        std::int64_t step = (maximum - minimum) / 5;
        for (const CurveSeries& s : curveSeries(obj, ctx)) {
            const int width = hmiVarTypeWidth(s.type);
            if (!seriesFits(s.address, width, samples))
                continue;
            std::int64_t v = ctx.live->readTyped(s.address, s.type).value_or(0);
            for (std::int64_t k = 0; k < samples; ++k) {
                std::int64_t next = v + step;
                if (next > maximum)
                    step = -step, next = v;
                if (next < minimum)
                    next -= step, step = -step;
                ctx.live->writeTyped(s.address + width * k, s.type, next);
                v = next;
            }
        }
        return;
    }
    if (obj.Kind() == ShapeKind::Character && obj.Param(cb::kStringIndex) >= 0) {
        const std::int64_t capacity = obj.Param(cb::kStringLength);
        const std::int32_t address = obj.Param(cb::kStringAddress);
        if (capacity <= 0)
            return;
        // Whole characters only, at most capacity - 1 bytes, then the NUL.
        const std::string& text = obj.m_strName;
        std::size_t length = 0;
        while (length < text.size()) {
            const std::size_t next = length + gbkCharLength(text, length);
            if (static_cast<std::int64_t>(next) > capacity - 1)
                break;
            length = next;
        }
        std::vector<std::uint8_t> bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
        bytes.push_back(0);
        ctx.live->writeBytes(address, bytes);
    }
}

bool StepAnimation(CDrawObj& obj, const ControlRunContext& ctx, std::int64_t elapsedMs)
{
    if (obj.Kind() == ShapeKind::DynamicPicture) {
        const std::int32_t address = obj.Param(dp::kFrameAddress);
        const std::uint8_t mode = obj.Param(dp::kPlayMode);
        const std::int64_t frames = static_cast<std::int64_t>(obj.m_strFiles.size());
        // Without pictures there is no frame to step to.
        if (address < 0 || (mode != 1 && mode != 2) || frames == 0)
            return false;
        const std::uint8_t ticks = ctx.live->readByte(address).value_or(0);
        if (ticks == 0)
            return false;
        const std::uint8_t countdown = obj.Param(dp::kCountdown);
        obj.SetParam(dp::kCountdown, static_cast<std::uint8_t>(countdown - 1));
        if (countdown != 1)
            return false;
        std::int64_t frame = obj.Param(dp::kFrame) + 1;
        obj.SetParam(dp::kCountdown, ticks);
        if (frame >= frames) {
            if (mode == 2) {
                obj.SetParam(dp::kFrame, static_cast<std::uint16_t>(frames - 1));
                ctx.live->writeByte(address, 0);
                ctx.displayed->writeByte(address, 0);
                return false;
            }
            frame = 0;
        }
        obj.SetParam(dp::kFrame, static_cast<std::uint16_t>(frame));
        return true;
    }
    if (obj.Kind() == ShapeKind::Curve && obj.Param(cv::kCurveType) == 1) {
        const std::int64_t elapsed = std::max<std::int64_t>(0, obj.Param(cv::kSampleElapsed)) +
                                     std::max<std::int64_t>(0, elapsedMs);
        if (elapsed < obj.Param(cv::kSamplePeriod)) {
            obj.SetParam(cv::kSampleElapsed, static_cast<std::int32_t>(std::min<std::int64_t>(elapsed, INT32_MAX)));
            return false;
        }
        const std::int64_t samples = obj.Param(cv::kPointCount);
        for (const CurveSeries& s : curveSeries(obj, ctx)) {
            const int width = hmiVarTypeWidth(s.type);
            if (!seriesFits(s.address, width, samples))
                break;
            if (samples < 2)
                continue;
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width * (samples - 1)));
            ctx.live->readBytes(s.address, bytes);
            ctx.live->writeBytes(s.address + width, bytes);
        }
        obj.SetParam(cv::kSampleElapsed, 0);
        return true;
    }
    return false;
}

bool ToggleCaret(CDrawObj& obj, int caretX, int caretY)
{
    if (obj.Kind() != ShapeKind::Character || obj.Param(lowByte(cb::kShowCursor)) == 0)
        return false;
    if (!obj.m_rcPosition.normalized().contains(caretX, caretY))
        return false;
    obj.m_nRunState ^= 1;
    return true;
}

} // namespace qv::sim
