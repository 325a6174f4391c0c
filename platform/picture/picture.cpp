#include "platform/picture/picture.h"

#include "platform/files/atomic_file.h"
#include "platform/picture/wmf_player.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <chrono>
#include <cstdlib>
#include <list>
#include <mutex>
#include <system_error>
#include <unordered_map>

namespace qv {
namespace {

void setError(std::string* error, std::string text)
{
    if (error)
        *error = std::move(text);
}

bool sizeAllowed(int w, int h)
{
    return w > 0 && h > 0 && w <= kMaxPictureSide && h <= kMaxPictureSide &&
           static_cast<std::int64_t>(w) * h <= kMaxPicturePixels;
}

// A metafile is played twice, on black and on white: a pixel that differs between the two
// was never drawn and stays transparent.
PicturePtr decodeWmf(std::string_view bytes, std::string* error)
{
    const auto size = wmfNaturalSize(bytes);
    if (!size || !sizeAllowed(size->cx, size->cy)) {
        setError(error, "malformed or oversized metafile");
        return nullptr;
    }
    auto pic = std::make_shared<Picture>();
    pic->pixels.reset(size->cx, size->cy, 0x000000);
    Surface onWhite(size->cx, size->cy, 0x00FFFFFF);
    const Rect dst{0, 0, size->cx, size->cy};
    if (!playWmf(bytes, pic->pixels, dst) || !playWmf(bytes, onWhite, dst)) {
        setError(error, "malformed metafile");
        return nullptr;
    }
    pic->opaque.assign(static_cast<std::size_t>(size->cx) * size->cy, 1);
    bool anyTransparent = false;
    for (int y = 0; y < size->cy; ++y)
        for (int x = 0; x < size->cx; ++x)
            if (pic->pixels.rawPixel(x, y) != onWhite.rawPixel(x, y)) {
                pic->opaque[static_cast<std::size_t>(y) * size->cx + x] = 0;
                anyTransparent = true;
            }
    if (!anyTransparent)
        pic->opaque.clear();
    return pic;
}

std::uint32_t le32(std::string_view b, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

// Decoders fill a cut-off file with grey and call it a success; a picture cut short must
// draw nothing, so the formats that can tell are checked for their end.
bool isComplete(const QByteArray& format, std::string_view b)
{
    if (format == "jpeg" || format == "jpg") {
        const std::size_t end = b.find_last_not_of('\0');
        return end != std::string_view::npos && end >= 1 && static_cast<unsigned char>(b[end - 1]) == 0xFF &&
               static_cast<unsigned char>(b[end]) == 0xD9;
    }
    if (format == "gif")
        return b.find_last_not_of('\0') != std::string_view::npos && b[b.find_last_not_of('\0')] == 0x3B;
    if (format == "bmp" && b.size() >= 34) {
        const std::uint32_t offset = le32(b, 10);
        const std::int64_t w = static_cast<std::int32_t>(le32(b, 18));
        const std::int64_t h = std::abs(static_cast<std::int64_t>(static_cast<std::int32_t>(le32(b, 22))));
        const int bits = static_cast<unsigned char>(b[28]) | (static_cast<unsigned char>(b[29]) << 8);
        const std::uint32_t compression = le32(b, 30);
        if (compression == 0 && w > 0 && bits > 0) {
            // Header values are a stranger's: a product that cannot even be counted is no
            // picture this file could hold.
            const std::int64_t rowBytes = (w * bits + 31) / 32 * 4;
            std::int64_t need = 0;
            if (__builtin_mul_overflow(rowBytes, h, &need) || __builtin_add_overflow(need, std::int64_t{offset}, &need))
                return false;
            return static_cast<std::int64_t>(b.size()) >= need;
        }
    }
    return true;
}

PicturePtr decodeRaster(std::string_view bytes, std::string* error)
{
    // A hard ceiling for Qt's own buffers too, whatever a header claims.
    static const bool limitSet = [] {
        QImageReader::setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
        return true;
    }();
    (void)limitSet;

    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    if (!isComplete(reader.format(), bytes)) {
        setError(error, "picture file is cut short");
        return nullptr;
    }
    const QSize declared = reader.size();
    if (declared.isValid() && !sizeAllowed(declared.width(), declared.height())) {
        setError(error, "picture too large");
        return nullptr;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        setError(error, reader.errorString().toStdString());
        return nullptr;
    }
    if (!sizeAllowed(image.width(), image.height())) {
        setError(error, "picture too large");
        return nullptr;
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    auto pic = std::make_shared<Picture>();
    pic->pixels.reset(argb.width(), argb.height(), 0);
    const bool hasAlpha = image.hasAlphaChannel();
    if (hasAlpha)
        pic->opaque.assign(static_cast<std::size_t>(argb.width()) * argb.height(), 1);
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        std::uint32_t* out = pic->pixels.bits() + static_cast<std::size_t>(y) * argb.width();
        for (int x = 0; x < argb.width(); ++x) {
            out[x] = 0xFF000000u | (line[x] & 0x00FFFFFFu);
            if (hasAlpha && qAlpha(line[x]) < 128)
                pic->opaque[static_cast<std::size_t>(y) * argb.width() + x] = 0;
        }
    }
    return pic;
}

// Decoded pictures by path, dropped oldest-first beyond a pixel budget.
class PictureCache {
public:
    PicturePtr find(const std::string& key, std::uintmax_t size, std::int64_t mtime)
    {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(key);
        if (it == entries_.end() || it->second.size != size || it->second.mtime != mtime)
            return nullptr;
        return it->second.picture;
    }

    void store(const std::string& key, std::uintmax_t size, std::int64_t mtime, PicturePtr pic)
    {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(key);
        if (it != entries_.end()) {
            pixels_ -= it->second.pixelCount;
            order_.remove(key);
            entries_.erase(it);
        }
        const std::int64_t count = static_cast<std::int64_t>(pic->width()) * pic->height();
        entries_[key] = {size, mtime, pic, count};
        order_.push_back(key);
        pixels_ += count;
        while (pixels_ > kBudgetPixels && order_.size() > 1) {
            const std::string oldest = order_.front();
            order_.pop_front();
            pixels_ -= entries_[oldest].pixelCount;
            entries_.erase(oldest);
        }
    }

private:
    static constexpr std::int64_t kBudgetPixels = std::int64_t{64} << 20;
    struct Entry {
        std::uintmax_t size = 0;
        std::int64_t mtime = 0;
        PicturePtr picture;
        std::int64_t pixelCount = 0;
    };
    std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
    std::list<std::string> order_;
    std::int64_t pixels_ = 0;
};

PictureCache& cache()
{
    static PictureCache c;
    return c;
}

} // namespace

PicturePtr decodePicture(std::string_view bytes, std::string* error)
{
    if (bytes.empty()) {
        setError(error, "empty file");
        return nullptr;
    }
    if (static_cast<std::int64_t>(bytes.size()) > kMaxPictureFileBytes) {
        setError(error, "picture file too large");
        return nullptr;
    }
    if (looksLikeWmf(bytes))
        return decodeWmf(bytes, error);
    return decodeRaster(bytes, error);
}

PicturePtr loadPictureFile(const std::filesystem::path& path, std::string* error)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        setError(error, ec.message());
        return nullptr;
    }
    const auto mtime = std::filesystem::last_write_time(path, ec);
    if (ec) {
        setError(error, ec.message());
        return nullptr;
    }
    const std::int64_t stamp = mtime.time_since_epoch().count();
    const std::string key = path.string();
    if (PicturePtr hit = cache().find(key, size, stamp))
        return hit;
    if (static_cast<std::int64_t>(size) > kMaxPictureFileBytes) {
        setError(error, "picture file too large");
        return nullptr;
    }
    std::string bytes;
    if (!readWholeFile(path, bytes, error))
        return nullptr;
    PicturePtr pic = decodePicture(bytes, error);
    if (pic)
        cache().store(key, size, stamp, pic);
    return pic;
}

} // namespace qv
