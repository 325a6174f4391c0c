#pragma once
// The Modbus protocol data unit that Modbus RTU (master and slave) and Delta's Modbus ASCII
// share: the function codes, named once, and the bodies of the write requests.
#include <cstdint>
#include <span>

#include "sim/plc/plc_frames.h"

namespace qv::sim::plc::modbus {

// Function codes. A Modbus mapping row's element type is the read function of its element.
enum FunctionCode : std::uint8_t {
    FC_READ_COILS = 0x01,
    FC_READ_DISCRETE_INPUTS = 0x02,
    FC_READ_HOLDING_REGISTERS = 0x03,
    FC_READ_INPUT_REGISTERS = 0x04,
    FC_WRITE_SINGLE_COIL = 0x05,
    FC_WRITE_SINGLE_REGISTER = 0x06,
    FC_WRITE_MULTIPLE_COILS = 0x0F,
    FC_WRITE_MULTIPLE_REGISTERS = 0x10,
};
// Set in the function byte of an exception reply.
inline constexpr std::uint8_t EXCEPTION_FLAG = 0x80;

// A read function: its reply carries a byte count and the data.
constexpr bool IsRead(std::uint8_t function) { return function >= FC_READ_COILS && function <= FC_READ_INPUT_REGISTERS; }

// The function that writes `count` elements of element type `type`: coils one or many, else
// holding registers, with the single-register function only when `singleRegister` allows it
// (for peers that write one register with it alone).
std::uint8_t WriteFunction(int type, int count, bool singleRegister);

// Appends write `function` at `address` (its low 16 bits) for `request` with `data` (the bank's
// bytes, registers low byte first): function, address and body. False for a function that is
// no write.
bool PutWritePdu(Frame& f, std::uint8_t function, std::uint32_t address, const PlcRequest& request,
                 std::span<const std::uint8_t> data);

} // namespace qv::sim::plc::modbus
