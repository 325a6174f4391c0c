#pragma once
// Every PLC-linked variable reference of a control becomes a read request in the request table
// of its serial port, which the communication tick polls. Which references a kind has, where
// their link settings lie and how a bit reference groups its elements are tables.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "model/shape/shape_kind.h"
#include "sim/plc/plc_block.h"

namespace qv::sim::plc {

// The PLC link settings of one serial port as the project holds them.
struct PortLink {
    int protocol = 0;
    std::uint8_t commDelay5 = 2;   // 5 ms units
    std::uint8_t ackDelay5 = 6;
    std::uint16_t timeout5 = 200;
};

struct RegistrationContext {
    std::array<PortLink, 2> ports;
    std::array<PlcRequestTable, 2>* tables = nullptr;
    // The address of a variable-table row, -1 for none.
    std::function<std::int32_t(std::int32_t row)> addressOf;
    // A table that fills up is named once (GBK, no line end).
    std::vector<std::string> lines;
    std::array<bool, 2> fullReported{false, false};
};

// The requests of one object (its kind and parameter block).
void RegisterPlcRequests(ShapeKind kind, std::span<const std::uint8_t> block, RegistrationContext& ctx);

// The function code, element address and count of a request of `protocol` for element type
// `type` at `address`; bit requests group by the bit table. Exposed for the tests.
struct RequestShape {
    std::uint8_t function = 0;
    std::int32_t element = 0;
    std::uint16_t count = 1;
};
RequestShape wordRequestShape(int protocol, std::int32_t type, std::int32_t address, std::uint16_t count);
RequestShape bitRequestShape(int protocol, std::int32_t type, std::int32_t address, bool writeFlag);

} // namespace qv::sim::plc
