#pragma once
// The panel as a JTAG adapter for its FPGA: one 64-byte packet per command, sent in the
// data form of the connection's kind (vendor driver: header and data only on pipe 3; HID
// and disk: the whole 64 bytes), read-backs in the kind's reply form. The link keeps the
// TAP state the chip is in and moves it with the clock and TMS patterns of one table.
//
//   packet byte  0 command  1 last flag  2 TMS pattern / bit offset  3 clocks / bits
//                4 n        5.. n data bytes (n <= 59)
#include "device/link/panel_framing.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace qv::device::jtag {

namespace cmd {
inline constexpr std::uint8_t Synchronise = 0;
inline constexpr std::uint8_t GotoState = 1;
inline constexpr std::uint8_t RunTest = 2;
inline constexpr std::uint8_t ShiftOut = 3;
inline constexpr std::uint8_t ShiftInOut = 4;
} // namespace cmd

// TAP states as the link numbers them.
namespace tap {
inline constexpr std::uint8_t TestLogicReset = 1;
inline constexpr std::uint8_t RunTestIdle = 2;
inline constexpr std::uint8_t ShiftDr = 3;
inline constexpr std::uint8_t ShiftIr = 4;
inline constexpr std::uint8_t Exit1Dr = 5;
inline constexpr std::uint8_t Exit1Ir = 6;
inline constexpr std::uint8_t PauseDr = 7;
inline constexpr std::uint8_t PauseIr = 8;
inline constexpr std::uint8_t UpdateDr = 9;
inline constexpr std::uint8_t CaptureDr = 11;
} // namespace tap

inline constexpr std::size_t kPacketBytes = 64;
inline constexpr std::size_t kHeaderBytes = 5;
inline constexpr std::size_t kMaxDataBytes = 59;
inline constexpr int kMaxBits = 255; // the bit count is one byte

// Results of the link's operations; they share the numbering of the programming errors.
inline constexpr std::uint8_t kOk = 0;
inline constexpr std::uint8_t kStreamEnded = 100;
inline constexpr std::uint8_t kBadTarget = 110;
inline constexpr std::uint8_t kTransportFailed = 200;
inline constexpr std::uint8_t kPacketTooLong = 201;

struct JtagPacket {
    std::array<std::uint8_t, kPacketBytes> bytes{};
    std::uint8_t command() const { return bytes[0]; }
    std::uint8_t dataLength() const { return bytes[4]; }
};

// One move of command 1: from `from` to `target` in `clocks` clocks with TMS `tms` (LSB first).
struct JtagMove {
    std::uint8_t target;
    std::uint8_t from; // 0: any state (after a synchronise)
    std::uint8_t clocks;
    std::uint8_t tms;
};

std::span<const JtagMove> jtagMoves();
// The move from `from` to `target`, nullopt when the table has none.
std::optional<JtagMove> findMove(std::uint8_t target, std::uint8_t from);

class JtagLink {
public:
    // Sees every packet after it went out, with the state byte as it then stands.
    using Trace = std::function<void(const JtagPacket&, std::uint8_t state)>;

    explicit JtagLink(PanelFraming& framing) : framing_(framing) {}

    std::uint8_t state() const { return state_; }
    void setTrace(Trace trace) { trace_ = std::move(trace); }

    // Command 1 (after a command 0 for Test-Logic-Reset). A target the table cannot reach
    // from here sends a 0-clock packet and gives 110; the state byte stays where the chip is.
    std::uint8_t gotoState(std::uint8_t target);
    std::uint8_t runTest(int clocks);
    // Command 3: `bits` bits starting at bit `offset` (0..7) of data[0]; with `last` the
    // shift state is left for Exit1.
    std::uint8_t shiftOut(int offset, int bits, std::span<const std::uint8_t> data, bool last);
    // Command 4, then the read-back of (bits + 7) / 8 bytes into `out`; leaves for Exit1.
    // `data` may be empty (zeros go out).
    std::uint8_t shiftInOut(int bits, std::span<const std::uint8_t> data, std::span<std::uint8_t> out);

    // The run of bytes available at a byte position (at most 16; empty past the end).
    using ByteSource = std::function<std::span<const std::uint8_t>(std::uint64_t position)>;
    // Shifts `bits` bits from bit `startBit` of the source, one command 3 per run of bytes
    // the source hands over; the last piece carries the last flag. A source that runs out
    // gives kStreamEnded.
    std::uint8_t shiftStream(const ByteSource& source, std::uint64_t startBit, std::uint64_t bits);

    // The packet as the link sends it; no transfer.
    static std::optional<JtagPacket> makePacket(std::uint8_t command, std::uint8_t b1, std::uint8_t b2,
                                                std::uint8_t b3, std::span<const std::uint8_t> data,
                                                std::size_t n);

private:
    // Sends one packet; on success the state byte becomes `after`. The trace sees the packet
    // with the state byte as it then stands.
    std::uint8_t send(std::uint8_t command, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
                      std::span<const std::uint8_t> data, std::size_t n, std::uint8_t after);
    std::uint8_t afterShift() const;

    PanelFraming& framing_;
    std::uint8_t state_ = tap::TestLogicReset;
    Trace trace_;
};

} // namespace qv::device::jtag
