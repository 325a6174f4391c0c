#include "device/jtag/jtag_link.h"

#include <algorithm>

namespace qv::device::jtag {
namespace {

using namespace tap;

constexpr JtagMove kMoves[] = {
    {TestLogicReset, 0, 5, 0x1F},
    {RunTestIdle, TestLogicReset, 1, 0x00},
    {RunTestIdle, Exit1Dr, 2, 0x01},
    {RunTestIdle, Exit1Ir, 2, 0x01},
    {RunTestIdle, PauseDr, 3, 0x03},
    {RunTestIdle, PauseIr, 3, 0x03},
    {RunTestIdle, CaptureDr, 3, 0x03},
    {ShiftDr, TestLogicReset, 4, 0x02},
    {ShiftDr, RunTestIdle, 4, 0x02},
    {ShiftDr, PauseDr, 5, 0x07},
    {ShiftDr, PauseIr, 5, 0x07},
    {ShiftIr, TestLogicReset, 5, 0x06},
    {ShiftIr, RunTestIdle, 5, 0x06},
    {ShiftIr, PauseDr, 6, 0x0F},
    {ShiftIr, PauseIr, 6, 0x0F},
    {ShiftIr, UpdateDr, 4, 0x03},
    {PauseDr, RunTestIdle, 4, 0x05},
    {PauseDr, Exit1Dr, 1, 0x00},
    {PauseIr, Exit1Ir, 1, 0x00},
    {UpdateDr, Exit1Dr, 1, 0x01},
    {UpdateDr, Exit1Ir, 1, 0x01},
    {CaptureDr, PauseIr, 5, 0x0E},
};

bool knownTarget(std::uint8_t t)
{
    return std::any_of(std::begin(kMoves), std::end(kMoves), [t](const JtagMove& m) { return m.target == t; });
}

std::size_t bytesFor(int bits)
{
    return static_cast<std::size_t>(bits + 7) / 8;
}

} // namespace

std::span<const JtagMove> jtagMoves()
{
    return kMoves;
}

std::optional<JtagMove> findMove(std::uint8_t target, std::uint8_t from)
{
    for (const JtagMove& m : kMoves)
        if (m.target == target && (m.from == 0 || m.from == from))
            return m;
    return std::nullopt;
}

std::optional<JtagPacket> JtagLink::makePacket(std::uint8_t command, std::uint8_t b1, std::uint8_t b2,
                                               std::uint8_t b3, std::span<const std::uint8_t> data, std::size_t n)
{
    if (n > kMaxDataBytes)
        return std::nullopt;
    JtagPacket p;
    p.bytes[0] = command;
    p.bytes[1] = b1;
    p.bytes[2] = b2;
    p.bytes[3] = b3;
    p.bytes[4] = static_cast<std::uint8_t>(n);
    std::copy_n(data.begin(), std::min(n, data.size()), p.bytes.begin() + kHeaderBytes);
    return p;
}

std::uint8_t JtagLink::send(std::uint8_t command, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
                            std::span<const std::uint8_t> data, std::size_t n, std::uint8_t after)
{
    const auto packet = makePacket(command, b1, b2, b3, data, n);
    if (!packet)
        return kPacketTooLong;
    // The vendor driver takes the header and the data in use; HID and disk whole packets.
    const std::size_t size = framing_.kind() == usb::UsbKind::EzUsb ? kHeaderBytes + n : kPacketBytes;
    const bool sent = framing_.sendData(std::span(packet->bytes).first(size));
    if (sent)
        state_ = after;
    if (trace_)
        trace_(*packet, state_);
    return sent ? kOk : kTransportFailed;
}

std::uint8_t JtagLink::gotoState(std::uint8_t target)
{
    if (target == tap::TestLogicReset)
        if (const std::uint8_t e = send(cmd::Synchronise, 0, 0, 0, {}, 0, state_); e != kOk)
            return e;
    const auto move = findMove(target, state_);
    // Staying in place needs no clocks; any other move the table lacks would shift the chip
    // into a state the link does not know.
    if (!move && (target != state_ || !knownTarget(target))) {
        const std::uint8_t e = send(cmd::GotoState, 0, 0, 0, {}, 0, state_);
        return e != kOk ? e : kBadTarget;
    }
    const std::uint8_t clocks = move ? move->clocks : 0;
    const std::uint8_t tms = move ? move->tms : 0;
    return send(cmd::GotoState, 0, tms, clocks, {}, 0, target);
}

std::uint8_t JtagLink::runTest(int clocks)
{
    if (clocks < 0 || clocks > kMaxBits)
        return kPacketTooLong;
    return send(cmd::RunTest, 0, 0, static_cast<std::uint8_t>(clocks), {}, 0, state_);
}

std::uint8_t JtagLink::afterShift() const
{
    return state_ == tap::ShiftDr ? tap::Exit1Dr : state_ == tap::ShiftIr ? tap::Exit1Ir : state_;
}

std::uint8_t JtagLink::shiftOut(int offset, int bits, std::span<const std::uint8_t> data, bool last)
{
    if (offset < 0 || offset > 7 || bits < 0 || bits > kMaxBits)
        return kPacketTooLong;
    const std::size_t n = bytesFor(offset + bits);
    if (n > kMaxDataBytes)
        return kPacketTooLong;
    return send(cmd::ShiftOut, last ? 1 : 0, static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(bits), data,
                n, last ? afterShift() : state_);
}

std::uint8_t JtagLink::shiftInOut(int bits, std::span<const std::uint8_t> data, std::span<std::uint8_t> out)
{
    if (bits < 0 || bits > kMaxBits)
        return kPacketTooLong;
    const std::size_t n = bytesFor(bits);
    // The read-back comes in one reply of at most 64 bytes and must fit the caller's buffer.
    if (n > kMaxDataBytes || out.size() < n)
        return kPacketTooLong;
    // A failed read must not leave the previous answer standing.
    std::fill(out.begin(), out.end(), 0);
    if (const std::uint8_t e = send(cmd::ShiftInOut, 0, 0, static_cast<std::uint8_t>(bits), data, n, afterShift());
        e != kOk)
        return e;
    return framing_.readReply(out.first(n)) ? kOk : kTransportFailed;
}

std::uint8_t JtagLink::shiftStream(const ByteSource& source, std::uint64_t startBit, std::uint64_t bits)
{
    std::uint64_t position = startBit / 8;
    int offset = static_cast<int>(startBit % 8);
    while (true) {
        const auto run = source(position);
        const std::size_t usable = std::min<std::size_t>(run.size(), 16);
        if (usable == 0 || usable * 8 <= static_cast<std::size_t>(offset))
            return kStreamEnded;
        const std::uint64_t capacity = usable * 8 - static_cast<std::size_t>(offset);
        if (bits <= capacity)
            return shiftOut(offset, static_cast<int>(bits), run.first(usable), true);
        if (const std::uint8_t e = shiftOut(offset, static_cast<int>(capacity), run.first(usable), false); e != kOk)
            return e;
        bits -= capacity;
        position += usable;
        // The next piece starts with the first bit of its first byte.
        offset = 0;
    }
}

} // namespace qv::device::jtag
