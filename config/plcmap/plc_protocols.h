#pragma once
// The PLC master protocols that poll through a mapping table: their driver file, the tag the
// file starts with and the element types the table may name (index 0 is "无").
#include <span>
#include <string>
#include <string_view>

namespace qv::plcmap {

struct PlcProtocolInfo {
    int protocol;
    std::string_view fileFormat;   // stored path below the project folder; %d is the port
    std::string_view tag;          // exactly six ASCII characters
    std::span<const std::string_view> elementTypes;
    bool usesStation;              // false: the station column and field are hidden, stored 0
};

// nullptr for a protocol without a mapping table.
const PlcProtocolInfo* FindPlcProtocol(int protocol);

// Element type names of a protocol, "无" first; "无" alone for any other protocol.
std::span<const std::string_view> ElementTypesOf(int protocol);

// Stored file name of a port's table ("\NandFlash\...Com1.mod"); empty without a table.
std::string DriverFileName(int protocol, int port);

} // namespace qv::plcmap
