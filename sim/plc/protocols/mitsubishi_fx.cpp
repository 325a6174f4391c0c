// Mitsubishi FX programming-port protocol: hex text between STX and ETX with a sum, element
// bytes read and written at their byte addresses, single bits forced on or off; a write is
// answered by ACK or NAK alone.
#include <array>

#include "sim/plc/protocols/frame_bytes.h"
#include "sim/plc/protocols/master_protocol.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

constexpr std::uint8_t STX = 0x02, ETX = 0x03, ACK = 0x06, NAK = 0x15;
// Commands.
constexpr std::uint8_t CMD_READ = '0', CMD_WRITE = '1', CMD_FORCE_ON = '7', CMD_FORCE_OFF = '8';

struct FxElement {
    std::uint16_t readBase;
    enum { Octal, Bits, Words } kind;
    std::uint16_t forceBase; // 0: no force command
};
constexpr std::array<FxElement, 6> kFx{{
    {0x0080, FxElement::Octal, 0},      // X
    {0x00A0, FxElement::Octal, 0x0500}, // Y
    {0x0100, FxElement::Bits, 0x0800},  // M
    {0x1000, FxElement::Words, 0},      // D
    {0x0A00, FxElement::Words, 0},      // C
    {0x0800, FxElement::Words, 0},      // T
}};

const FxElement* fxElement(int type) { return type >= 1 && type <= 6 ? &kFx[static_cast<std::size_t>(type - 1)] : nullptr; }

// The bit number of an element of a bit type (octal X and Y, decimal M).
int fxBitNumber(const FxElement& e, int number) { return e.kind == FxElement::Octal ? OctalToBits(number) : number; }

std::uint32_t fxByteAddress(const FxElement& e, int number)
{
    return e.kind == FxElement::Words ? e.readBase + 2u * static_cast<std::uint32_t>(number)
                                      : e.readBase + static_cast<std::uint32_t>(fxBitNumber(e, number) / 8);
}

void fxClose(Frame& f)
{
    f.push_back(ETX);
    PutHex(f, Sum8(std::span(f).subspan(1)), 2);
}

Frame read(const PlcRequest& r)
{
    const FxElement* e = fxElement(r.type);
    if (!e)
        return {};
    Frame f{STX, CMD_READ};
    PutHex(f, fxByteAddress(*e, r.number), 4);
    PutHex(f, static_cast<std::uint32_t>(e->kind == FxElement::Words ? 2 * r.count : BitBytes(r.count)), 2);
    fxClose(f);
    return f;
}

Frame write(const PlcRequest& r, std::span<const std::uint8_t> data)
{
    const FxElement* e = fxElement(r.type);
    if (!e || r.type == 1 || r.type > 4)
        return {};
    Frame f{STX};
    if (e->kind != FxElement::Words && r.bit >= 0) {
        // One bit: forced on or off at its bit address, low byte first.
        const auto address = static_cast<std::uint32_t>(e->forceBase + fxBitNumber(*e, r.number));
        f.push_back(BitOf(data, r.bit) ? CMD_FORCE_ON : CMD_FORCE_OFF);
        PutHex(f, address & 0xFF, 2);
        PutHex(f, address >> 8, 2);
    } else {
        // Whole bytes of bits or words: written at the byte address the read takes them from.
        f.push_back(CMD_WRITE);
        PutHex(f, fxByteAddress(*e, r.number), 4);
        PutHex(f, static_cast<std::uint32_t>(data.size()), 2);
        for (auto b : data)
            PutHex(f, b, 2);
    }
    fxClose(f);
    return f;
}

std::size_t readLength(const PlcRequest& r) { return r.type <= 3 ? BitBytes(r.count) : 2u * r.count; }

std::size_t writeLength(const PlcRequest& r)
{
    if (r.type <= 3)
        return r.bit >= 0 ? 1 : BitBytes(r.count);
    return readLength(r);
}

ReplyEvent takeByte(ReplyBuffer& rx, const AskedRequest& asked, std::uint8_t b, std::size_t max)
{
    if (asked.state == WriteSent)
        return b == ACK ? ReplyEvent::WriteDone : ReplyEvent::WriteRefused;
    auto& f = rx.bytes;
    if (f.empty()) {
        if (b == STX)
            f.push_back(b);
        else if (b == NAK)
            return ReplyEvent::ReadSkipped; // the PLC refuses the element: skipped, no failure
        return {};
    }
    f.push_back(b);
    if (f.size() > max) {
        rx = ReplyBuffer{};
        return {};
    }
    if (rx.state == 0 && b == ETX && f.size() >= 4) {
        rx.state = 1;
        rx.expect = f.size() + 2;
    }
    if (rx.state != 1 || f.size() < rx.expect)
        return {};
    const Frame reply = std::move(f);
    rx = ReplyBuffer{};
    const std::size_t etx = reply.size() - 3;
    std::vector<std::uint8_t> sum, data;
    if (!DecodeHex(std::span(reply).subspan(etx + 1, 2), sum) || sum[0] != Sum8(std::span(reply).subspan(1, etx)) ||
        !DecodeHex(std::span(reply).subspan(1, etx - 1), data) || data.size() != readLength(asked.request))
        return {};
    return {ReplyEvent::ReadData, std::move(data)}; // words come low byte first, as the bank keeps them
}

Writable writable(int type)
{
    // Y by octal groups; M read in whole bytes, so a record's first byte starts at a multiple of eight.
    return type == 2   ? Writable{Layout::OctalBits}
           : type == 3 ? Writable{Layout::ByteBits}
           : type == 4 ? Writable{Layout::Registers}
                       : Writable{};
}

} // namespace

constexpr MasterProtocol kMitsubishiFxMaster{protocol::MitsubishiFx, read, write, readLength, writeLength, takeByte,
                                             PollStates(Sent, WriteSent), WriteSent, writable, nullptr, nullptr};

} // namespace qv::sim::plc
