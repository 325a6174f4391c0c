#include "tests/compiler/image_reader.h"

#include "tests/compiler/image_walker.h"

namespace qv::test {
namespace {

constexpr std::uint64_t kHeaderArea = 0x200000;
constexpr std::uint64_t kStartMap = 0x1FFE00;
constexpr std::uint8_t kPageStart = 0x82;
constexpr std::uint32_t kNone = 0xFFFFFFFFu;

std::uint64_t round4(std::uint64_t n) { return (n + 3) & ~std::uint64_t{3}; }

class Reader {
public:
    explicit Reader(const std::string& s) : s_(s) {}

    ReadImage read()
    {
        if (s_.size() < kHeaderArea)
            return failed("shorter than the header area");
        if (le(kStartMap, 2) != 0x8184)
            return failed("no start map magic");
        pageMask_ = static_cast<std::uint32_t>(le(kStartMap + 0x34, 4));
        if (pageMask_ != 0x1FF && pageMask_ != 0x7FF)
            return failed("page mask " + std::to_string(pageMask_));
        at_ = kHeaderArea;
        if (!run(le(0, 4), "cursors"))
            return image_;
        const auto count = static_cast<std::uint32_t>(le(0x22, 2));
        for (std::uint32_t i = 0; i < count; ++i) {
            ReadWindow w{static_cast<std::uint32_t>(le(0x24 + 8 * i, 4)), static_cast<std::uint32_t>(le(0x28 + 8 * i, 4)), {}};
            if (w.offset % 4 != 0 || w.offset < 0x24 + 8 * count || std::uint64_t{w.offset} + w.length > kStartMap)
                return failed("window " + std::to_string(i) + " outside the header area");
            if (!readWindow(w))
                return image_;
            image_.windows.push_back(std::move(w));
        }
        image_.picturesEnd = at_;
        WalkedImage blocks;
        return failed(walkBlocks(s_, at_, pageMask_, blocks));
    }

private:
    std::uint64_t le(std::uint64_t at, int width) const
    {
        std::uint64_t v = 0;
        for (int i = 0; i < width; ++i)
            v |= std::uint64_t(static_cast<unsigned char>(s_.at(at + i))) << (8 * i);
        return v;
    }
    std::uint8_t u8(std::uint64_t at) const { return static_cast<std::uint8_t>(le(at, 1)); }
    std::uint32_t u32(std::uint64_t at) const { return static_cast<std::uint32_t>(le(at, 4)); }

    // Keeps the first error; an empty `why` changes nothing.
    ReadImage failed(std::string why)
    {
        if (image_.error.empty())
            image_.error = std::move(why);
        return image_;
    }

    // One picture run at the read position: whole pages, each opening with 0x82.
    bool run(std::uint64_t length, const std::string& what)
    {
        if (length == 0)
            return true;
        if ((length & pageMask_) != 0 || at_ + length > s_.size()) {
            failed(what + ": picture of " + std::to_string(length) + " bytes at " + std::to_string(at_));
            return false;
        }
        for (std::uint64_t p = at_; p < at_ + length; p += pageMask_ + 1)
            if (u8(p) != kPageStart) {
                failed(what + ": page at " + std::to_string(p) + " does not open with 0x82");
                return false;
            }
        if (item_)
            item_->pictures.push_back(at_);
        at_ += length;
        return true;
    }

    // The item's size for its type and counts; 0 for an unknown type.
    std::uint32_t itemSize(std::uint64_t o) const
    {
        switch (u8(o)) {
        case 0: return 12;
        case 1: return 4 + 16 * u8(o + 1);
        case 2: return 48;
        case 3: return 76;
        case 4: return (u8(o + 25) & 1) != 0 ? 60 : 32 + 4 * static_cast<std::uint32_t>(le(o + 16, 2));
        case 5: return 32;
        case 6: return 56 + 12 * u8(o + 2);
        case 7: return 40;
        case 8: return 32;
        case 9:
        case 10: return 44;
        case 11: return 16;
        case 12: return u8(o + 2) == 4 ? 48 : 12;
        case 13: return 84;
        default: return 0;
        }
    }

    // The picture runs the item names, in the order the compiler wrote them.
    bool itemPictures(std::uint64_t o, const std::string& what)
    {
        const auto opt = [&](std::uint32_t v) { return v == kNone ? 0u : v; };
        switch (u8(o)) {
        case 1: return u8(o + 1) == 0 || run(u32(o + 4), what);
        case 2: return run(u32(o + 24) & 0x7FFFFFFFu, what);
        case 3: {
            const std::uint32_t background = u32(o + 20);
            if (background != kNone && (u8(o + 50) & 1) == 0 && (u8(o + 13) & 0x80) == 0 && !run(background, what))
                return false;
            return run(u32(o + 36), what);
        }
        case 4: {
            const std::uint32_t frames = (u8(o + 25) & 1) != 0 ? 1 : static_cast<std::uint32_t>(le(o + 16, 2));
            for (std::uint32_t i = 0; i < frames; ++i)
                if (!run(u32(o + 32 + 4 * i), what))
                    return false;
            return true;
        }
        case 5: return run(u32(o + 24), what);
        case 6: return run(opt(u32(o + 12)), what);
        case 7: return run(opt(u32(o + 20)), what);
        case 8: return run(u32(o + 24), what);
        case 9:
        case 10: return run(u32(o + 28), what);
        case 11: return run(u32(o + 12), what);
        case 12:
            if (u8(o + 2) != 4)
                return true;
            if ((u8(o + 3) & 0x40) == 0 && !run(u32(o + 16), what))
                return false;
            if ((u8(o + 3) & 0x80) == 0 && !run(u32(o + 20), what))
                return false;
            for (std::uint32_t f = 24; f < 40; f += 4)
                if (!run(u32(o + f), what))
                    return false;
            return true;
        case 13:
            if ((u8(o + 12) & 0x40) == 0 && !run(u32(o + 20), what))
                return false;
            return (u8(o + 12) & 0x80) != 0 || run(u32(o + 24), what);
        default: return true;
        }
    }

    bool readWindow(ReadWindow& w)
    {
        const std::string name = "window at " + std::to_string(w.offset);
        const auto count = static_cast<std::uint32_t>(le(w.offset + 2, 2));
        std::uint64_t expected = round4(4 + 2ull * count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t rel = le(w.offset + 4 + 2 * i, 2);
            const std::string what = name + " item " + std::to_string(i);
            if (rel != expected) {
                failed(what + " at " + std::to_string(rel) + ", expected " + std::to_string(expected));
                return false;
            }
            const std::uint64_t o = w.offset + rel;
            const std::uint32_t size = itemSize(o);
            if (size == 0 || rel + size > w.length) {
                failed(what + ": type " + std::to_string(u8(o)) + " does not fit its record");
                return false;
            }
            if (u8(o) != 1 && u8(o + 1) != 2) {
                failed(what + ": second byte is not 2");
                return false;
            }
            w.items.push_back(ReadItem{u8(o), static_cast<std::uint32_t>(o), size, {}});
            item_ = &w.items.back();
            const bool ok = itemPictures(o, what);
            item_ = nullptr;
            if (!ok)
                return false;
            expected = round4(rel + size);
        }
        if (expected != w.length) {
            failed(name + ": record length " + std::to_string(w.length) + ", items end at " + std::to_string(expected));
            return false;
        }
        return true;
    }

    const std::string& s_;
    ReadImage image_;
    std::uint32_t pageMask_ = 0;
    std::uint64_t at_ = 0;
    ReadItem* item_ = nullptr;
};

} // namespace

ReadImage readImage(const std::string& bytes) { return Reader(bytes).read(); }

std::uint32_t readItemField(const std::string& bytes, std::uint64_t item, const ItemField& field)
{
    std::uint32_t v = 0;
    for (int i = 0; i < field.width; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(bytes.at(item + field.offset + i))) << (8 * i);
    return v & field.mask;
}

std::vector<std::uint16_t> readRunPixels(const std::string& bytes, std::uint64_t run, std::size_t count)
{
    std::vector<std::uint16_t> pixels;
    if (bytes.size() < kStartMap + 0x38)
        return pixels;
    const std::uint32_t pageMask = fileU32(bytes, kStartMap + 0x34);
    std::uint64_t at = run + 1;
    const auto next = [&]() -> int {
        if (at < bytes.size() && (at & pageMask) == 0)
            ++at;  // the page-start byte
        return at < bytes.size() ? static_cast<unsigned char>(bytes[at++]) : -1;
    };
    while (pixels.size() < count) {
        const int low = next(), high = next();
        if (low < 0 || high < 0)
            break;
        pixels.push_back(static_cast<std::uint16_t>(low | high << 8));
    }
    return pixels;
}

} // namespace qv::test
