// FATEK FB: hex text between STX and ETX with a sum; discrete elements as '0'/'1' characters,
// registers as four hex digits. A reply repeats the station and command of its request.
#include <array>
#include <string_view>
#include <fmt/format.h>

#include "sim/plc/protocols/frame_bytes.h"
#include "sim/plc/protocols/master_protocol.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

constexpr std::uint8_t STX = 0x02, ETX = 0x03;
// Commands.
constexpr std::string_view CMD_READ_DISCRETES = "44", CMD_WRITE_DISCRETES = "45", CMD_READ_REGISTERS = "46",
                           CMD_WRITE_REGISTERS = "47";
constexpr std::uint8_t NO_ERROR = '0';

constexpr std::array<std::string_view, 6> kFatekNames{"X", "Y", "M", "D", "RC", "RT"};

void fatekName(Frame& f, int type, int number)
{
    if (type >= 1 && type <= 6)
        PutText(f, kFatekNames[static_cast<std::size_t>(type - 1)]);
    PutText(f, fmt::format("{:0{}d}", number, type == 4 ? 5 : 4));
}
void fatekClose(Frame& f)
{
    PutHex(f, Sum8(f), 2);
    f.push_back(ETX);
}
Frame fatekHead(const PlcRequest& r, bool write)
{
    Frame f{STX};
    PutHex(f, r.station, 2);
    if (r.type > 3)
        PutText(f, write ? CMD_WRITE_REGISTERS : CMD_READ_REGISTERS);
    else
        PutText(f, write ? CMD_WRITE_DISCRETES : CMD_READ_DISCRETES);
    PutHex(f, r.count & 0xFF, 2);
    fatekName(f, r.type, r.number);
    return f;
}

Frame read(const PlcRequest& r)
{
    Frame f = fatekHead(r, false);
    fatekClose(f);
    return f;
}

Frame write(const PlcRequest& r, std::span<const std::uint8_t> data)
{
    if (r.type < 2 || r.type > 4)
        return {};
    Frame f = fatekHead(r, true);
    if (r.type == 4) {
        for (int i = 0; i < r.count; ++i)
            PutHex(f, static_cast<std::uint32_t>(data[2 * i] | data[2 * i + 1] << 8), 4);
    } else if (r.count == 1 && r.bit >= 0) {
        f.push_back(BitOf(data, r.bit) ? '1' : '0');
    } else {
        for (int i = 0; i < r.count; ++i)
            f.push_back(((data[static_cast<std::size_t>(i / 8)] >> (i % 8)) & 1) ? '1' : '0');
    }
    fatekClose(f);
    return f;
}

std::size_t readLength(const PlcRequest& r) { return r.type <= 3 ? BitBytes(r.count) : 2u * r.count; }

ReplyEvent takeByte(ReplyBuffer& rx, const AskedRequest& asked, std::uint8_t b, std::size_t max)
{
    if (!CollectFrame(rx.bytes, b, STX, ETX, max))
        return {};
    const Frame reply = std::move(rx.bytes);
    rx = ReplyBuffer{};
    std::vector<std::uint8_t> sum;
    const std::size_t end = reply.size() - 3; // the sum pair
    const Frame& request = asked.frame;
    if (reply.size() < 9 || request.size() < 5 || !std::equal(reply.begin() + 1, reply.begin() + 5, request.begin() + 1) ||
        reply[5] != NO_ERROR || !DecodeHex(std::span(reply).subspan(end, 2), sum) ||
        sum[0] != Sum8(std::span(reply).first(end)))
        return {};
    const auto body = std::span(reply).subspan(6, end - 6);
    const std::string_view command(reinterpret_cast<const char*>(&reply[3]), 2);
    if (command == CMD_READ_DISCRETES) {
        if (body.size() != asked.record.count)
            return {};
        std::vector<std::uint8_t> data((body.size() + 7) / 8);
        for (std::size_t i = 0; i < body.size(); ++i)
            if (body[i] != '0')
                data[i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
        return {ReplyEvent::ReadData, std::move(data)};
    }
    if (command == CMD_READ_REGISTERS) {
        std::vector<std::uint8_t> data;
        if (!DecodeHex(body, data) || data.size() != 2u * asked.record.count)
            return {};
        return {ReplyEvent::ReadData, SwapValues(data, 2)};
    }
    if (command == CMD_WRITE_DISCRETES || command == CMD_WRITE_REGISTERS)
        return ReplyEvent::WriteDone;
    return {};
}

Writable writable(int type)
{
    return type == 2 || type == 3 ? Writable{Layout::Bits} : type == 4 ? Writable{Layout::Registers} : Writable{};
}

} // namespace

constexpr MasterProtocol kFatekFbMaster{protocol::FatekFb, read, write, readLength, readLength, takeByte,
                                        PollStates(Sent, WriteSent), WriteSent, writable, nullptr, nullptr};

} // namespace qv::sim::plc
