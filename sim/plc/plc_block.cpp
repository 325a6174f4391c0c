#include "sim/plc/plc_block.h"

namespace qv::sim::plc {
namespace {

constexpr std::size_t kTableCount = 0;
constexpr std::size_t kTableRecords = 4;

std::uint32_t getU(const std::string& b, std::size_t at, int width)
{
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
    return v;
}
void putU(std::string& b, std::size_t at, int width, std::uint32_t v)
{
    for (int i = 0; i < width; ++i, v >>= 8)
        b[at + static_cast<std::size_t>(i)] = static_cast<char>(v & 0xFF);
}

// Two requests are the same poll when station, function, element, count, HMI address and
// screen (bytes 0..8) agree.
constexpr std::size_t kPollKeySize = 9;

} // namespace

PlcProtocolBlock::PlcProtocolBlock() : bytes_(blk::kRecords + kRecordSize * kMaxRecords, '\0') { reset(); }

void PlcProtocolBlock::reset()
{
    bytes_.replace(0, blk::kRecords, blk::kRecords, '\0');
    for (int link = 1; link <= 2; ++link)
        setCurrent(link, kNoRecord);
}

int PlcProtocolBlock::count() const { return static_cast<int>(getU(bytes_, blk::kCount, 2)); }

std::uint16_t PlcProtocolBlock::current(int link) const
{
    return static_cast<std::uint16_t>(getU(bytes_, blk::kCurrent[link - 1], 2));
}

void PlcProtocolBlock::setCurrent(int link, std::uint16_t record) { putU(bytes_, blk::kCurrent[link - 1], 2, record); }

std::string_view PlcProtocolBlock::recordBytes(int index) const
{
    return std::string_view(bytes_).substr(blk::kRecords + kRecordSize * static_cast<std::size_t>(index), kRecordSize);
}

PlcMapRecord PlcProtocolBlock::record(int index) const
{
    return plcmap::DecodeRecord(bytes_, blk::kRecords + kRecordSize * static_cast<std::size_t>(index));
}

std::uint8_t PlcProtocolBlock::slotMarker(int link) const
{
    return static_cast<std::uint8_t>(bytes_[blk::kSlot[link - 1] + rec::kLink]);
}

PlcMapRecord PlcProtocolBlock::slot(int link) const { return plcmap::DecodeRecord(bytes_, blk::kSlot[link - 1]); }

bool PlcProtocolBlock::takeSlot(int link, const PlcMapRecord& request)
{
    if (slotMarker(link) != 0)
        return false;
    PlcMapRecord filled = request;
    filled.port = 0;
    plcmap::EncodeRecord(filled, bytes_, blk::kSlot[link - 1]);
    bytes_[blk::kSlot[link - 1] + rec::kLink] = static_cast<char>(link); // pending goes last
    return true;
}

bool PlcProtocolBlock::hasRoomFor(std::size_t rows) const
{
    return static_cast<std::size_t>(count()) + rows <= static_cast<std::size_t>(kMaxRecords);
}

bool PlcProtocolBlock::appendRows(std::string_view rows, int link)
{
    const std::size_t n = rows.size() / kRecordSize;
    if (!hasRoomFor(n))
        return false;
    const std::size_t at = blk::kRecords + kRecordSize * static_cast<std::size_t>(count());
    bytes_.replace(at, n * kRecordSize, rows.substr(0, n * kRecordSize));
    for (std::size_t i = 0; i < n; ++i)
        bytes_[at + kRecordSize * i + rec::kLink] = static_cast<char>(link);
    putU(bytes_, blk::kCount, 2, static_cast<std::uint32_t>(count()) + static_cast<std::uint32_t>(n));
    return true;
}

std::vector<std::uint8_t> PlcProtocolBlock::imageBytes() const
{
    const std::size_t length = blk::kRecords + kRecordSize * static_cast<std::size_t>(count());
    return std::vector<std::uint8_t>(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(length));
}

PlcRequestTable::PlcRequestTable() : bytes_(kTableRecords + kRecordSize * kMaxRecords, '\0') {}

void PlcRequestTable::clear() { putU(bytes_, kTableCount, 4, 0); }

int PlcRequestTable::count() const { return static_cast<int>(getU(bytes_, kTableCount, 4)); }

PlcMapRecord PlcRequestTable::record(int index) const
{
    return plcmap::DecodeRecord(bytes_, kTableRecords + kRecordSize * static_cast<std::size_t>(index));
}

std::string_view PlcRequestTable::rows() const
{
    return std::string_view(bytes_).substr(kTableRecords, kRecordSize * static_cast<std::size_t>(count()));
}

PlcRequestTable::Added PlcRequestTable::add(const PlcMapRecord& r)
{
    std::string row(kRecordSize, '\0');
    plcmap::EncodeRecord(r, row, 0);
    const std::string_view key = std::string_view(row).substr(0, kPollKeySize);
    const int n = count();
    for (int i = 0; i < n; ++i)
        if (std::string_view(bytes_).substr(kTableRecords + kRecordSize * static_cast<std::size_t>(i), kPollKeySize) == key)
            return Added::Duplicate;
    if (n >= kMaxRecords)
        return Added::Full;
    bytes_.replace(kTableRecords + kRecordSize * static_cast<std::size_t>(n), kRecordSize, row);
    putU(bytes_, kTableCount, 4, static_cast<std::uint32_t>(n + 1));
    return Added::New;
}

} // namespace qv::sim::plc
