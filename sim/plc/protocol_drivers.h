#pragma once
// Loading the PLC driver files of both serial ports, and the controls' read requests, into the
// PLC protocol block: port 1's file, then both request tables, then port 2's file.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/plc/plc_block.h"

namespace qv::sim::plc {

// True for the protocols that poll a PLC as master (3, 5, 6, 7, 9, 10).
bool isPlcMasterProtocol(int protocol);

struct DriverSources {
    std::filesystem::path projectDir;
    std::array<int, 2> protocols{};                 // of serial port 1 and 2
    const std::array<PlcRequestTable, 2>* tables = nullptr;
};

// Rebuilds `block`. A missing file or one that fails the checks (a known tag, 12 + 16 n bytes
// with n > 0) is skipped silently; rows that do not fit the 4,000-record room are refused as a
// whole, with one GBK line (no line end) naming the file or the table.
std::vector<std::string> LoadProtocolDrivers(const DriverSources& sources, PlcProtocolBlock& block);

// Copies the link-1 then the link-2 request table behind the records (the second step of the
// loader); refusals as above.
void AppendRequestTables(const std::array<PlcRequestTable, 2>& tables, PlcProtocolBlock& block,
                         std::vector<std::string>& lines);

} // namespace qv::sim::plc
