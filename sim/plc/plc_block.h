#pragma once
// The PLC protocol block and the two request tables of the PLC links, as bytes at named
// offsets: the block is what the device image holds (a 48-byte head, then 16-byte records),
// and the tables hold the read requests the controls register, behind a 32-bit count.
// Records (PlcMapRecord) and the write-request slots (PlcRequestSlot) share the driver file's
// 16-byte row layout, read and written through its field table.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/plcmap/driver_file.h"

namespace qv::sim::plc {

using PlcMapRecord = plcmap::MappingRecord;

inline constexpr std::size_t kRecordSize = plcmap::kRecordSize;
inline constexpr int kMaxRecords = 4000;     // room of the record area and of each request table
inline constexpr std::uint16_t kNoRecord = 0xFFFF;

// Offsets of the block's head.
namespace blk {
inline constexpr std::size_t kCount = 0x00;          // u16 record count
inline constexpr std::size_t kPollDelay[2] = {0x02, 0x03};
inline constexpr std::size_t kCurrent[2] = {0x04, 0x06}; // u16 current (at load: first) record
inline constexpr std::size_t kPollState[2] = {0x08, 0x09};
inline constexpr std::size_t kReplyTimer[2] = {0x0A, 0x0C};
inline constexpr std::size_t kSlot[2] = {0x10, 0x20};     // PlcRequestSlot of link 1 / 2
inline constexpr std::size_t kRecords = 0x30;
} // namespace blk

// Offsets inside a record or slot that the run time reads or writes one by one.
namespace rec {
inline constexpr std::size_t kLink = 9;          // record: link 1 or 2; slot: pending marker
inline constexpr std::size_t kPollDelay = 10;    // slot of a bit write: the bit index
inline constexpr std::size_t kVarIndex = 14;     // request table: u16 variable index, bit 0 clear
} // namespace rec

class PlcProtocolBlock {
public:
    PlcProtocolBlock();

    // Record count 0, every head field cleared, both current records 0xFFFF, both slots free.
    void reset();

    int count() const;
    std::uint16_t current(int link) const;         // link 1 or 2
    void setCurrent(int link, std::uint16_t record);
    PlcMapRecord record(int index) const;
    std::string_view recordBytes(int index) const;
    // The pending marker of a link's write slot (0 free).
    std::uint8_t slotMarker(int link) const;
    PlcMapRecord slot(int link) const;
    // Fills a free slot and marks it pending last; false (nothing written) when it is busy.
    bool takeSlot(int link, const PlcMapRecord& request);

    // Appends 16-byte rows behind the records; false, and nothing appended, when the room of
    // 4,000 records would be passed.
    bool appendRows(std::string_view rows, int link);
    bool hasRoomFor(std::size_t rows) const;

    // The head and the records: the bytes the device image takes (48 + 16 n).
    std::vector<std::uint8_t> imageBytes() const;
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// One request table: a 32-bit count, then up to 4,000 records.
class PlcRequestTable {
public:
    PlcRequestTable();
    void clear();
    int count() const;
    PlcMapRecord record(int index) const;
    std::string_view rows() const;   // the counted records, back to back
    // Adds the record unless an equal one (station, function, element, count, HMI address,
    // screen) is there. Full: false, the table unchanged.
    enum class Added { New, Duplicate, Full };
    Added add(const PlcMapRecord& record);

private:
    std::string bytes_;
};

} // namespace qv::sim::plc
