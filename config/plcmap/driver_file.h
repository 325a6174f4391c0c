#pragma once
// The ".mod" driver file of one serial port: a 12-byte head (six-byte protocol tag, two
// reserved bytes, signed 32-bit record count) and 16 bytes per mapping row, little-endian.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qv::plcmap {

constexpr std::size_t kHeadSize = 12;
constexpr std::size_t kRecordSize = 16;
constexpr int kMaxRows = 2000;
// The largest file the format can hold; a larger one is refused before it is read.
constexpr std::size_t kMaxDriverFileSize = kHeadSize + kRecordSize * kMaxRows;

// One mapping row. Times are kept in the stored unit of 5 ms.
struct MappingRecord {
    std::uint8_t station = 0;
    std::uint8_t elementType = 1;     // 1-based index into the protocol's element types
    std::uint16_t elementNumber = 0;
    std::uint16_t count = 1;
    std::uint16_t hmiAddress = 0;
    std::uint8_t screen = 255;
    std::uint8_t port = 1;
    std::uint8_t commDelay5 = 0;
    std::uint8_t ackDelay5 = 0;
    std::uint16_t timeout5 = 0;
    std::uint8_t flags = 0;           // bit 0: write only; other bits kept as read
    std::uint8_t reserved = 0;        // kept as read

    bool writeOnly() const { return (flags & 1) != 0; }
    friend bool operator==(const MappingRecord&, const MappingRecord&) = default;
};

struct MappingTable {
    std::string tag;                  // six bytes as read (the file's own tag)
    std::vector<MappingRecord> rows;
};

// One 16-byte row at `at` of `bytes` (the caller checked the room), through the one field table
// the file reader and writer use.
MappingRecord DecodeRecord(std::string_view bytes, std::size_t at);
void EncodeRecord(const MappingRecord& record, std::string& bytes, std::size_t at);

// Bytes of a table written for `protocol` (its tag, reserved bytes 0).
std::string EncodeDriverFile(std::string_view tag, const std::vector<MappingRecord>& rows);

// Parses a driver file; false with `error` (GBK) when its head or its count does not match the
// bytes that are there. The tag is not checked against the protocol.
bool DecodeDriverFile(std::string_view bytes, MappingTable& table, std::string* error);

} // namespace qv::plcmap
