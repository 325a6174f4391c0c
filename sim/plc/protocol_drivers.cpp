#include "sim/plc/protocol_drivers.h"

#include <system_error>

#include "platform/files/atomic_file.h"
#include "platform/files/stored_path.h"
#include "config/plcmap/plc_protocols.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

constexpr std::size_t kTagSize = 6;

bool knownTag(std::string_view tag)
{
    for (const protocol::ProtocolInfo& p : protocol::AllProtocols()) {
        const plcmap::PlcProtocolInfo* info = p.plcMaster ? plcmap::FindPlcProtocol(p.number) : nullptr;
        if (info && info->tag == tag)
            return true;
    }
    return false;
}

std::string roomLine(std::string_view what)
{
    return std::string(what).append("的记录超出PLC通讯表的容量(4000条)，未载入");
}

// The rows of a port's driver file, or nothing; `lines` gets the refusal of an oversized one.
void loadPortFile(const DriverSources& s, int port, PlcProtocolBlock& block, std::vector<std::string>& lines)
{
    const int protocol = s.protocols[static_cast<std::size_t>(port - 1)];
    if (!isPlcMasterProtocol(protocol))
        return;
    const std::string stored = plcmap::DriverFileName(protocol, port);
    const auto path = resolveStoredPath(s.projectDir, stored);
    if (!path)
        return;
    std::error_code ec;
    const auto size = std::filesystem::file_size(*path, ec);
    if (ec || size <= plcmap::kHeadSize || size % kRecordSize != plcmap::kHeadSize)
        return;
    const std::uintmax_t rows = (size - plcmap::kHeadSize) / kRecordSize;
    if (!block.hasRoomFor(static_cast<std::size_t>(rows))) {
        lines.push_back(roomLine(stored));
        return;
    }
    std::string bytes;
    if (!readWholeFile(*path, bytes) || bytes.size() != size || !knownTag(std::string_view(bytes).substr(0, kTagSize)))
        return;
    const int before = block.count();
    if (!block.appendRows(std::string_view(bytes).substr(plcmap::kHeadSize), port))
        return;
    if (port == 1)
        block.setCurrent(1, 0);
    else if (block.current(2) == kNoRecord)
        block.setCurrent(2, static_cast<std::uint16_t>(before));
}

} // namespace

bool isPlcMasterProtocol(int protocol)
{
    return plcmap::FindPlcProtocol(protocol) != nullptr;
}

void AppendRequestTables(const std::array<PlcRequestTable, 2>& tables, PlcProtocolBlock& block,
                         std::vector<std::string>& lines)
{
    for (int link = 1; link <= 2; ++link) {
        const PlcRequestTable& table = tables[static_cast<std::size_t>(link - 1)];
        if (table.count() <= 0)
            continue;
        const int before = block.count();
        if (!block.appendRows(table.rows(), link)) {
            lines.push_back(roomLine(link == 1 ? "串口1的控件PLC请求表" : "串口2的控件PLC请求表"));
            continue;
        }
        block.setCurrent(link, static_cast<std::uint16_t>(link == 1 ? 0 : before));
    }
}

std::vector<std::string> LoadProtocolDrivers(const DriverSources& s, PlcProtocolBlock& block)
{
    std::vector<std::string> lines;
    block.reset();
    loadPortFile(s, 1, block, lines);
    if (s.tables)
        AppendRequestTables(*s.tables, block, lines);
    loadPortFile(s, 2, block, lines);
    return lines;
}

} // namespace qv::sim::plc
