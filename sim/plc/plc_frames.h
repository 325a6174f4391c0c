#pragma once
// The request frames of the PLC master protocols: the read of a polled record and the write of
// a pending request, built by the driver of the port's protocol (sim/plc/protocols). X and Y
// numbers of the FX and Delta families are written in octal digits (Y17 is bit 15).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qv::sim::plc {

using Frame = std::vector<std::uint8_t>;

// What a frame is built from: a record or a write slot.
struct PlcRequest {
    std::uint8_t station = 0;
    std::uint8_t type = 0;          // element type of the protocol
    std::uint16_t number = 0;       // element number
    std::uint16_t count = 1;        // elements
    std::uint8_t function = 0;      // Modbus writes: the write function (modbus::FunctionCode)
    int bit = -1;                   // a one-bit write: the bit of data byte 0 it takes
};

// Element numbers written in octal digits to bit numbers and back.
int OctalToBits(int octalDigits);
int BitsToOctal(int bits);

// The bytes a read of `request` stores in the bank, and the bytes a write sends from it (0 for
// a protocol that does not poll a PLC).
std::size_t ReadDataLength(int protocol, const PlcRequest& request);
std::size_t WriteDataLength(int protocol, const PlcRequest& request);

// The read of `request`; empty when the protocol has no read for its element type.
Frame BuildRead(int protocol, const PlcRequest& request);
// The write of `request` with `data` (WriteDataLength bytes); empty with `refusal` (GBK) set
// when the element type cannot be written.
Frame BuildWrite(int protocol, const PlcRequest& request, std::span<const std::uint8_t> data, std::string* refusal);

} // namespace qv::sim::plc
