#include "config/plcmap/driver_file.h"

#include <array>

#include <fmt/format.h>

namespace qv::plcmap {
namespace {

// Record fields at their offsets, by width.
template <typename T>
struct Field {
    std::size_t offset;
    T MappingRecord::*member;
};
constexpr std::array<Field<std::uint8_t>, 8> kByteFields{{
    {0, &MappingRecord::station},
    {1, &MappingRecord::elementType},
    {8, &MappingRecord::screen},
    {9, &MappingRecord::port},
    {10, &MappingRecord::commDelay5},
    {11, &MappingRecord::ackDelay5},
    {14, &MappingRecord::flags},
    {15, &MappingRecord::reserved},
}};
constexpr std::array<Field<std::uint16_t>, 4> kWordFields{{
    {2, &MappingRecord::elementNumber},
    {4, &MappingRecord::count},
    {6, &MappingRecord::hmiAddress},
    {12, &MappingRecord::timeout5},
}};
constexpr std::size_t kTagSize = 6;
constexpr std::size_t kCountOffset = 8;

std::uint8_t u8At(std::string_view b, std::size_t at) { return static_cast<std::uint8_t>(b[at]); }
std::uint16_t u16At(std::string_view b, std::size_t at)
{
    return static_cast<std::uint16_t>(u8At(b, at) | (u8At(b, at + 1) << 8));
}
std::uint32_t u32At(std::string_view b, std::size_t at)
{
    return static_cast<std::uint32_t>(u16At(b, at)) | (static_cast<std::uint32_t>(u16At(b, at + 2)) << 16);
}
void put8(std::string& b, std::size_t at, std::uint8_t v) { b[at] = static_cast<char>(v); }
void put16(std::string& b, std::size_t at, std::uint16_t v)
{
    put8(b, at, static_cast<std::uint8_t>(v & 0xFF));
    put8(b, at + 1, static_cast<std::uint8_t>(v >> 8));
}
void put32(std::string& b, std::size_t at, std::uint32_t v)
{
    put16(b, at, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

} // namespace

MappingRecord DecodeRecord(std::string_view bytes, std::size_t at)
{
    MappingRecord r;
    for (const auto& f : kByteFields)
        r.*f.member = u8At(bytes, at + f.offset);
    for (const auto& f : kWordFields)
        r.*f.member = u16At(bytes, at + f.offset);
    return r;
}

void EncodeRecord(const MappingRecord& r, std::string& bytes, std::size_t at)
{
    for (const auto& f : kByteFields)
        put8(bytes, at + f.offset, r.*f.member);
    for (const auto& f : kWordFields)
        put16(bytes, at + f.offset, r.*f.member);
}

std::string EncodeDriverFile(std::string_view tag, const std::vector<MappingRecord>& rows)
{
    std::string out(kHeadSize + kRecordSize * rows.size(), '\0');
    out.replace(0, std::min(tag.size(), kTagSize), tag.substr(0, kTagSize));
    put32(out, kCountOffset, static_cast<std::uint32_t>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        EncodeRecord(rows[i], out, kHeadSize + kRecordSize * i);
    return out;
}

bool DecodeDriverFile(std::string_view bytes, MappingTable& table, std::string* error)
{
    auto fail = [error](std::string why) {
        if (error)
            *error = std::move(why);
        return false;
    };
    if (bytes.size() < kHeadSize)
        return fail(fmt::format("{} bytes, shorter than the 12-byte head", bytes.size()));
    const auto n = static_cast<std::int32_t>(u32At(bytes, kCountOffset));
    if (n < 0 || n > kMaxRows)
        return fail(fmt::format("record count {} out of range", n));
    const std::size_t expected = kHeadSize + kRecordSize * static_cast<std::size_t>(n);
    if (bytes.size() != expected)
        return fail(fmt::format("{} records need {} bytes, the file has {}", n, expected, bytes.size()));
    MappingTable parsed;
    parsed.tag = std::string(bytes.substr(0, kTagSize));
    parsed.rows.resize(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < parsed.rows.size(); ++i)
        parsed.rows[i] = DecodeRecord(bytes, kHeadSize + kRecordSize * i);
    table = std::move(parsed);
    return true;
}

} // namespace qv::plcmap
