#include "vars/plcmap/driver_file.h"

#include <fmt/format.h>

namespace qv::plcmap {
namespace {

// Record field offsets.
constexpr std::size_t kStation = 0;
constexpr std::size_t kElementType = 1;
constexpr std::size_t kElementNumber = 2;
constexpr std::size_t kCount = 4;
constexpr std::size_t kHmiAddress = 6;
constexpr std::size_t kScreen = 8;
constexpr std::size_t kPort = 9;
constexpr std::size_t kCommDelay = 10;
constexpr std::size_t kAckDelay = 11;
constexpr std::size_t kTimeout = 12;
constexpr std::size_t kFlags = 14;
constexpr std::size_t kReserved = 15;
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

std::string EncodeDriverFile(std::string_view tag, const std::vector<MappingRecord>& rows)
{
    std::string out(kHeadSize + kRecordSize * rows.size(), '\0');
    out.replace(0, std::min(tag.size(), kTagSize), tag.substr(0, kTagSize));
    put32(out, kCountOffset, static_cast<std::uint32_t>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MappingRecord& r = rows[i];
        const std::size_t at = kHeadSize + kRecordSize * i;
        put8(out, at + kStation, r.station);
        put8(out, at + kElementType, r.elementType);
        put16(out, at + kElementNumber, r.elementNumber);
        put16(out, at + kCount, r.count);
        put16(out, at + kHmiAddress, r.hmiAddress);
        put8(out, at + kScreen, r.screen);
        put8(out, at + kPort, r.port);
        put8(out, at + kCommDelay, r.commDelay5);
        put8(out, at + kAckDelay, r.ackDelay5);
        put16(out, at + kTimeout, r.timeout5);
        put8(out, at + kFlags, r.flags);
        put8(out, at + kReserved, r.reserved);
    }
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
    for (std::size_t i = 0; i < parsed.rows.size(); ++i) {
        const std::size_t at = kHeadSize + kRecordSize * i;
        MappingRecord& r = parsed.rows[i];
        r.station = u8At(bytes, at + kStation);
        r.elementType = u8At(bytes, at + kElementType);
        r.elementNumber = u16At(bytes, at + kElementNumber);
        r.count = u16At(bytes, at + kCount);
        r.hmiAddress = u16At(bytes, at + kHmiAddress);
        r.screen = u8At(bytes, at + kScreen);
        r.port = u8At(bytes, at + kPort);
        r.commDelay5 = u8At(bytes, at + kCommDelay);
        r.ackDelay5 = u8At(bytes, at + kAckDelay);
        r.timeout5 = u16At(bytes, at + kTimeout);
        r.flags = u8At(bytes, at + kFlags);
        r.reserved = u8At(bytes, at + kReserved);
    }
    table = std::move(parsed);
    return true;
}

} // namespace qv::plcmap
