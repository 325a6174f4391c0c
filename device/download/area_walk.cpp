#include "device/download/area_walk.h"

#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"

#include <stdexcept>

namespace qv::device {
namespace {

using image::getU16;
using image::getU32;
using image::getU8;
using image::putU16;
using image::putU32;

constexpr std::uint32_t kNone = 0xFFFFFFFF;

struct Failed {}; // the sink ended the walk

class ItemWriter {
public:
    ItemWriter(std::span<std::uint8_t> item, AreaSink& sink) : b_(item), sink_(sink) {}

    std::uint32_t u32(std::size_t at) const { return getU32(b_, at); }
    std::uint8_t u8(std::size_t at) const { return getU8(b_, at); }
    void set(std::size_t at, std::uint32_t v) { putU32(b_, at, v); }
    void add(std::size_t at, std::uint32_t v) { putU32(b_, at, u32(at) + v); }

    std::uint32_t write(std::uint32_t length)
    {
        std::uint32_t address = 0;
        if (!sink_.write(length, address))
            throw Failed{};
        return address;
    }
    // Writes the field's bytes and puts their address in its place.
    void writeField(std::size_t at) { set(at, write(u32(at))); }
    // A shareable area: the listed address when the flag is set, else written and listed.
    void sharedField(std::size_t at, bool isShared)
    {
        if (isShared) {
            std::uint32_t address = 0;
            if (!sink_.shared(u32(at), address))
                throw std::out_of_range("shared area index past the areas written");
            set(at, address);
            return;
        }
        writeField(at);
        sink_.remember(u32(at));
    }

private:
    std::span<std::uint8_t> b_;
    AreaSink& sink_;
};

using Writer = void (*)(ItemWriter&);

void backgroundPicture(ItemWriter& w)
{
    const std::uint32_t tiles = w.u8(1);
    const std::uint32_t a = w.write(w.u32(4));
    w.set(4, 0);
    for (std::uint32_t i = 0; i < tiles; ++i)
        w.add(4 + 16 * i, a);
}

void button(ItemWriter& w)
{
    const std::uint32_t raw = w.u32(24);
    const std::uint32_t a = w.write(raw & 0x7FFFFFFF);
    w.set(24, (raw & 0x80000000u) != 0 ? kNone : a);
    for (std::size_t at : {28u, 32u}) {
        const std::uint32_t v = w.u32(at);
        w.set(at, (v & 0x80000000u) != 0 ? kNone : v + a);
    }
}

void realTimeNumber(ItemWriter& w)
{
    if (w.u32(20) != kNone && (w.u8(50) & 0x01) == 0 && (w.u8(13) & 0x80) == 0)
        w.writeField(20);
    w.writeField(36);
}

void dynamicPicture(ItemWriter& w)
{
    const std::uint32_t frames = w.u32(16);
    for (std::uint32_t i = 0; i < frames; ++i)
        w.writeField(32 + 4 * std::size_t{i});
}

void numericInput(ItemWriter& w) { w.writeField(24); }

void curve(ItemWriter& w)
{
    if (w.u32(12) != kNone)
        w.writeField(12);
}

void progressBar(ItemWriter& w)
{
    if (w.u32(20) != kNone)
        w.writeField(20);
}

// Two state pictures in one area: the first field holds its length, the second the
// state-1 picture's offset inside it; both become flash addresses.
template <std::size_t First>
void statePictures(ItemWriter& w)
{
    const std::uint32_t a = w.write(w.u32(First));
    w.set(First, a);
    w.add(First + 4, a);
}

void region(ItemWriter& w)
{
    if (w.u8(2) != 0)
        w.writeField(12);
}

void areaControl(ItemWriter& w)
{
    if (w.u8(2) != 4)
        return;
    w.sharedField(16, (w.u8(3) & 0x40) != 0);
    w.sharedField(20, (w.u8(3) & 0x80) != 0);
    for (std::size_t at : {24u, 28u, 32u, 36u})
        if (w.u32(at) != 0)
            w.writeField(at);
}

void character(ItemWriter& w)
{
    w.sharedField(20, (w.u8(12) & 0x40) != 0);
    if ((w.u8(3) & 0x40) != 0)
        w.sharedField(24, (w.u8(12) & 0x80) != 0);
}

void subWindowFrame(ItemWriter&) {}

// The writer of each item type byte; index = type.
constexpr Writer kWriters[] = {
    subWindowFrame, backgroundPicture, button,           realTimeNumber,    dynamicPicture,
    numericInput,   curve,             progressBar,      statePictures<24>, statePictures<28>,
    statePictures<28>, region,         areaControl,      character,
};

} // namespace

WalkResult walkItemAreas(std::span<std::uint8_t> item, AreaSink& sink)
{
    if (item.empty())
        return {WalkEnd::Damaged, "item at its record's end"};
    const std::uint8_t type = item[0];
    if (type >= std::size(kWriters))
        return {WalkEnd::Damaged, "unknown item type " + std::to_string(type)};
    ItemWriter w(item, sink);
    try {
        kWriters[type](w);
    } catch (const Failed&) {
        return {WalkEnd::SinkFailed, {}};
    } catch (const std::out_of_range& e) {
        return {WalkEnd::Damaged, "item of type " + std::to_string(type) + ": " + e.what()};
    }
    return {};
}

std::uint16_t recordChecksum(std::span<const std::uint8_t> record)
{
    std::uint16_t sum = 0;
    for (std::size_t i = 2; i < record.size(); ++i)
        sum = static_cast<std::uint16_t>(sum + record[i]);
    return sum;
}

WalkResult walkWindowRecords(std::span<std::uint8_t> header, AreaSink& sink)
{
    if (header.size() != image::kHeaderAreaSize)
        return {WalkEnd::Damaged, "header area size"};
    const std::uint32_t count = getU16(header, image::kWindowCountOffset);
    const std::uint32_t tableEnd = image::windowTableEnd(count);
    if (count > image::kMaxWindows || tableEnd > image::kStartMapOffset)
        return {WalkEnd::Damaged, "window count " + std::to_string(count)};
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t entry = image::kWindowTableOffset + image::kWindowEntrySize * i;
        const std::uint64_t offset = getU32(header, entry);
        const std::uint64_t length = getU32(header, entry + 4);
        const std::string name = "window record " + std::to_string(i);
        if (offset < tableEnd || length < 4 || offset + length > image::kStartMapOffset)
            return {WalkEnd::Damaged, name + " outside the header area"};
        auto record = header.subspan(offset, length);
        const std::uint32_t items = getU16(record, 2);
        if (4 + 2ull * items > length)
            return {WalkEnd::Damaged, name + ": item table past the record"};
        for (std::uint32_t j = 0; j < items; ++j) {
            const std::uint32_t at = getU16(record, 4 + 2 * j);
            if (at < 4 + 2 * items || at >= length)
                return {WalkEnd::Damaged, name + ": item " + std::to_string(j) + " outside the record"};
            WalkResult r = walkItemAreas(record.subspan(at), sink);
            if (r.end != WalkEnd::Done) {
                if (r.end == WalkEnd::Damaged)
                    r.what = name + ", item " + std::to_string(j) + ": " + r.what;
                return r;
            }
        }
        putU16(record, 0, 0);
        putU16(record, 0, recordChecksum(record));
    }
    return {};
}

} // namespace qv::device
