#include "device/fpga/fpga_image.h"

#include "compiler/image/le_bytes.h"
#include "device/fpga/crc16.h"
#include "device/fpga/fpga_errors.h"

#include <algorithm>

namespace qv::device::fpga {

using image::getU16;
using image::getU32;

std::uint8_t CheckImage(std::span<const std::uint8_t> image)
{
    if (image.size() < kSizeAt + 4)
        return err::Image;
    const std::uint32_t s = getU32(image, kSizeAt);
    // S decides how far the CRC reads and where every read stops: it must lie inside the
    // bytes we hold and leave room for the header and the CRC.
    if (s < kMinImageSize || s > image.size())
        return err::Image;
    const std::uint16_t stored = getU16(image, s - 2);
    return Crc16(image.first(s - 2)) == stored ? err::Ok : err::Image;
}

std::uint8_t CheckImageAndMarker(std::span<const std::uint8_t> image)
{
    if (const std::uint8_t e = CheckImage(image); e != err::Ok)
        return e;
    return image[kMarkerAt] == kMarker ? err::Ok : err::Marker;
}

ImageReader::ImageReader(std::span<const std::uint8_t> image) : image_(image)
{
    if (image.size() >= kSizeAt + 4)
        size_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(getU32(image, kSizeAt), image.size()));
}

std::span<const std::uint8_t> ImageReader::window(std::uint64_t position)
{
    if (position >= size_)
        return {};
    if (position < windowStart_ || position >= windowStart_ + windowLength_) {
        windowStart_ = position;
        windowLength_ = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowBytes, size_ - position));
        std::copy_n(image_.begin() + static_cast<std::ptrdiff_t>(position), windowLength_, window_.begin());
    }
    const std::size_t at = static_cast<std::size_t>(position - windowStart_);
    return std::span<const std::uint8_t>(window_).subspan(at, windowLength_ - at);
}

std::optional<std::uint32_t> ImageReader::blockOffset(std::uint8_t id)
{
    if (id == 0)
        return 0;
    const auto countBytes = window(kMarker - 1);
    if (countBytes.empty())
        return std::nullopt;
    const std::uint8_t count = countBytes[0];
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = kMarker + std::uint64_t{9} * i;
        std::array<std::uint8_t, 5> e{};
        for (std::size_t k = 0; k < e.size(); ++k) {
            const auto w = window(entry + k);
            if (w.empty())
                return std::nullopt; // the table runs past the image
            e[k] = w[0];
        }
        if (e[0] == id)
            return getU32(e, 1);
    }
    return std::nullopt;
}

bool ImageReader::getBlock(std::uint8_t id, std::uint32_t offset, std::span<std::uint8_t> out)
{
    const auto start = blockOffset(id);
    if (!start)
        return false;
    std::uint64_t position = std::uint64_t{*start} + offset;
    for (std::size_t done = 0; done < out.size();) {
        const auto w = window(position);
        if (w.empty())
            return false;
        const std::size_t n = std::min(w.size(), out.size() - done);
        std::copy_n(w.begin(), n, out.begin() + static_cast<std::ptrdiff_t>(done));
        done += n;
        position += n;
    }
    return true;
}

std::optional<std::uint32_t> ImageReader::getBytes(std::uint8_t id, std::uint32_t offset, int count)
{
    if (count < 1 || count > 4)
        return std::nullopt;
    std::array<std::uint8_t, 4> b{};
    if (!getBlock(id, offset, std::span(b).first(static_cast<std::size_t>(count))))
        return std::nullopt;
    return static_cast<std::uint32_t>(image::getLe(b, 0, static_cast<std::size_t>(count)));
}

} // namespace qv::device::fpga
