#pragma once
// The field checks of a compiled image, worked out from its bytes alone: the window records
// are walked item by item with each writer's fields written out here, and the areas are taken
// from the file in the order the writers read them, so the flash walker can check a real
// project's image as it checks a synthetic one.
#include "tests/device/download_fixture.h"

#include <string>

namespace qv::device::test {

class ImageAreaChecks {
public:
    explicit ImageAreaChecks(const Bytes& file) : file_(file), at_(image::kHeaderAreaSize + getU32(file, 0)) {}

    // Every check of the image; `error` says where the walk left the image.
    std::vector<FieldCheck> run()
    {
        const std::uint32_t windows = image::getU16(file_, image::kWindowCountOffset);
        for (std::uint32_t w = 0; w < windows && error.empty(); ++w) {
            window_ = w;
            record_ = getU32(file_, image::kWindowTableOffset + 8 * w);
            const std::uint32_t items = image::getU16(file_, record_ + 2);
            for (std::uint32_t j = 0; j < items && error.empty(); ++j) {
                item_ = image::getU16(file_, record_ + 4 + 2 * j);
                itemChecks();
            }
        }
        return checks_;
    }

    std::string error;

private:
    std::uint8_t u8(std::uint32_t f) const { return file_.at(record_ + item_ + f); }
    std::uint32_t u32(std::uint32_t f) const { return getU32(file_, record_ + item_ + f); }
    bool bit(std::uint32_t f, unsigned b) const { return (u8(f) >> b & 1) != 0; }

    // The next `n` bytes of the file, as the writer reads them.
    Bytes next(std::uint32_t n)
    {
        if (std::uint64_t{at_} + n > file_.size()) {
            error = "window " + std::to_string(window_) + " item " + std::to_string(item_) + " reads past the file";
            return {};
        }
        Bytes b(file_.begin() + at_, file_.begin() + at_ + n);
        at_ += n;
        return b;
    }
    // The field holds a length: that many bytes go to flash and the field names them.
    Bytes area(std::uint32_t f)
    {
        Bytes b = next(u32(f));
        checks_.push_back({FieldCheck::Area, window_, item_, f, b});
        return b;
    }
    // A field that gets the address of field `base` added.
    void relative(std::uint32_t f, std::uint32_t base)
    {
        checks_.push_back({FieldCheck::Relative, window_, item_, f, {}, base, u32(f)});
    }
    // A first or second area of an area control or a character: shared or written and listed.
    void sharable(std::uint32_t f, bool isShared)
    {
        if (!isShared) {
            shared_.push_back(area(f));
            return;
        }
        if (u32(f) >= shared_.size()) {
            error = "window " + std::to_string(window_) + " item " + std::to_string(item_) + ": shared index past the table";
            return;
        }
        checks_.push_back({FieldCheck::Area, window_, item_, f, shared_[u32(f)]});
    }

    void itemChecks()
    {
        constexpr std::uint32_t kNone = 0xFFFFFFFF;
        switch (u8(0)) {
        case 1:
            area(4);
            for (std::uint32_t i = 1; i < u8(1); ++i)
                relative(4 + 16 * i, 4);
            break;
        case 2: {
            const std::uint32_t n = u32(24) & 0x7FFFFFFF;
            const Bytes b = next(n);
            if (bit(27, 7)) {
                checks_.push_back({FieldCheck::Constant, window_, item_, 24, {}, 0, kNone});
                break;
            }
            checks_.push_back({FieldCheck::Area, window_, item_, 24, b});
            for (std::uint32_t f : {28u, 32u})
                if (static_cast<std::int32_t>(u32(f)) < 0)
                    checks_.push_back({FieldCheck::Constant, window_, item_, f, {}, 0, kNone});
                else
                    relative(f, 24);
            break;
        }
        case 3:
            if (u32(20) != kNone && !bit(50, 0) && !bit(13, 7))
                area(20);
            area(36);
            break;
        case 4:
            for (std::uint32_t i = 0; i < u32(16) && error.empty(); ++i)
                area(32 + 4 * i);
            break;
        case 5: area(24); break;
        case 6:
        case 7:
            if (const std::uint32_t f = u8(0) == 6 ? 12 : 20; u32(f) != kNone)
                area(f);
            break;
        case 8:
        case 9:
        case 10: {
            const std::uint32_t f = u8(0) == 8 ? 24 : 28;
            area(f);
            relative(f + 4, f);
            break;
        }
        case 11:
            if (u8(2) != 0)
                area(12);
            break;
        case 12:
            if (u8(2) != 4)
                break;
            sharable(16, bit(3, 6));
            sharable(20, bit(3, 7));
            for (std::uint32_t f = 24; f <= 36; f += 4)
                if (u32(f) != 0)
                    area(f);
            break;
        case 13:
            sharable(20, bit(12, 6));
            if (bit(3, 6))
                sharable(24, bit(12, 7));
            break;
        default: break;
        }
    }

    const Bytes& file_;
    std::uint32_t at_;
    std::uint32_t window_ = 0, record_ = 0, item_ = 0;
    std::vector<FieldCheck> checks_;
    std::vector<Bytes> shared_;
};

// What the walker expects of a compiled image downloaded without user code or files.
inline ExpectedFlash expectedOfImage(const Bytes& file)
{
    ExpectedFlash e;
    e.file = file;
    ImageAreaChecks walk(file);
    e.checks = walk.run();
    EXPECT_EQ(walk.error, "");
    return e;
}

} // namespace qv::device::test
