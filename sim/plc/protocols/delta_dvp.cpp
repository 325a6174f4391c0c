// Delta DVP: Modbus ASCII (':' hex pairs, LRC, CR LF) over the DVP's device addresses; X and Y
// numbers in octal digits, read by octal groups of eight.
#include <optional>

#include "sim/plc/protocols/frame_bytes.h"
#include "sim/plc/protocols/master_protocol.h"
#include "sim/plc/protocols/modbus_pdu.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

using namespace modbus;

constexpr std::uint8_t START = ':', CR = '\r', LF = '\n';

std::optional<std::uint32_t> deltaAddress(int type, int n, bool write)
{
    switch (type) {
    case 1: return 0x0400u + static_cast<std::uint32_t>(write ? OctalToBits(n) : OctalToBits(n) / 8 * 8);
    case 2: return 0x0500u + static_cast<std::uint32_t>(write ? OctalToBits(n) : OctalToBits(n) / 8 * 8);
    case 3: return static_cast<std::uint32_t>(n < 1536 ? 0x0800 + n : 0xAA00 + n);
    case 4: return static_cast<std::uint32_t>(n < 4096 ? 0x1000 + n : 0x8000 + n);
    case 5: return 0x0E00u + static_cast<std::uint32_t>(n);
    case 6: return 0x0600u + static_cast<std::uint32_t>(n);
    default: return std::nullopt;
    }
}

Frame deltaAscii(const Frame& raw)
{
    Frame f{START};
    unsigned sum = 0;
    for (auto b : raw) {
        PutHex(f, b, 2);
        sum += b;
    }
    PutHex(f, static_cast<std::uint8_t>(-static_cast<int>(sum)), 2);
    f.push_back(CR);
    f.push_back(LF);
    return f;
}

Frame read(const PlcRequest& r)
{
    const auto a = deltaAddress(r.type, r.number, false);
    if (!a)
        return {};
    Frame raw{r.station, r.type <= 3 ? FC_READ_DISCRETE_INPUTS : FC_READ_HOLDING_REGISTERS};
    Put16(raw, *a);
    Put16(raw, r.count);
    return deltaAscii(raw);
}

Frame write(const PlcRequest& r, std::span<const std::uint8_t> data)
{
    if (r.type < 1 || r.type > 4)
        return {};
    const std::uint8_t function = r.type > 3      ? FC_WRITE_MULTIPLE_REGISTERS
                                  : r.count == 1 ? FC_WRITE_SINGLE_COIL
                                                 : FC_WRITE_MULTIPLE_COILS;
    Frame raw{r.station};
    PutWritePdu(raw, function, *deltaAddress(r.type, r.number, true), r, data);
    return deltaAscii(raw);
}

std::size_t readLength(const PlcRequest& r) { return r.type <= 3 ? BitBytes(r.count) : 2u * r.count; }

ReplyEvent takeByte(ReplyBuffer& rx, const AskedRequest& asked, std::uint8_t b, std::size_t max)
{
    auto& f = rx.bytes;
    if (b == START) {
        rx = ReplyBuffer{};
        f.push_back(b);
        return {};
    }
    if (f.empty())
        return {};
    if (rx.state == 0) {
        f.push_back(b);
        if (f.size() > max)
            rx = ReplyBuffer{};
        else if (b == CR)
            rx.state = 1;
        return {};
    }
    const Frame reply = std::move(f);
    rx = ReplyBuffer{};
    std::vector<std::uint8_t> raw;
    if (b != LF || !DecodeHex(std::span(reply).subspan(1, reply.size() - 2), raw) || raw.size() < 3 || Sum8(raw) != 0 ||
        raw[0] != asked.request.station)
        return {}; // another station's reply is no answer to ours
    const std::uint8_t function = raw[1];
    if (function & EXCEPTION_FLAG)
        return {};
    if (function > FC_READ_HOLDING_REGISTERS)
        return ReplyEvent::WriteDone;
    const std::size_t count = raw[2];
    if (raw.size() != count + 4)
        return {};
    const auto data = std::span(raw).subspan(3, count);
    const bool dwords = asked.record.elementType == 5 && asked.record.elementNumber >= 200; // C200 on: 32-bit counters
    if (function == FC_READ_DISCRETE_INPUTS && count == readLength(asked.request))
        return {ReplyEvent::ReadData, std::vector<std::uint8_t>(data.begin(), data.end())};
    if (function == FC_READ_HOLDING_REGISTERS && count == (dwords ? 4u : 2u) * asked.record.count)
        return {ReplyEvent::ReadData, SwapValues(data, dwords ? 4 : 2)};
    return function == FC_READ_COILS ? ReplyEvent::ReadSkipped : ReplyEvent::None;
}

Writable writable(int type)
{
    return type == 2 ? Writable{Layout::OctalBits} : type == 3 ? Writable{Layout::Bits}
           : (type >= 4 && type <= 6) ? Writable{Layout::Registers} : Writable{};
}

} // namespace

constexpr MasterProtocol kDeltaDvpMaster{protocol::DeltaDvp, read, write, readLength, readLength, takeByte,
                                         PollStates(Sent, WriteSent), WriteSent, writable, nullptr, nullptr};

} // namespace qv::sim::plc
