// OMRON Host Link carrying FINS: '@', the unit number, the FINS header and command in hex text,
// an XOR check, '*' and CR. Every element type is read and written as words.
#include <array>
#include <string_view>
#include <fmt/format.h>

#include "sim/plc/protocols/frame_bytes.h"
#include "sim/plc/protocols/master_protocol.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

constexpr std::uint8_t START = '@', TERMINATOR = '*', CR = '\r';
constexpr std::string_view FINS_HEADER = "FA0" "80" "00" "02" "00" "00" "00" "00" "00" "FC" "00";
// Commands.
constexpr std::string_view CMD_MEMORY_AREA_READ = "0101", CMD_MEMORY_AREA_WRITE = "0102";
// Where a reply's command ends, its end code starts and its data begin.
constexpr std::size_t kCommandEnd = 30, kEndCode = 31, kData = 35;
// The end code's bits that say how the command ended; the others flag relay and CPU errors
// beside a command that still completed.
constexpr std::uint8_t kMainCodeBits = 0x7F, kSubCodeBits = 0x3F;

constexpr std::array<std::string_view, 5> kOmronAreas{"B0", "B1", "82", "89", "89"};

Frame omronFrame(const PlcRequest& r, bool write, std::span<const std::uint8_t> data)
{
    if (r.type < 1 || r.type > 5)
        return {};
    Frame f{START};
    PutText(f, fmt::format("{:02d}", r.station % 100));
    PutText(f, FINS_HEADER);
    PutText(f, write ? CMD_MEMORY_AREA_WRITE : CMD_MEMORY_AREA_READ);
    PutText(f, kOmronAreas[static_cast<std::size_t>(r.type - 1)]);
    PutHex(f, r.type == 4 ? (r.number | 0x8000u) : r.number, 4);
    PutText(f, "00");
    PutText(f, "00");
    PutHex(f, r.count & 0xFF, 2);
    if (write)
        for (int i = 0; i < r.count; ++i)
            PutHex(f, static_cast<std::uint32_t>(data[2 * i] | data[2 * i + 1] << 8), 4);
    std::uint8_t fcs = 0;
    for (auto c : f)
        fcs ^= c;
    PutHex(f, fcs, 2);
    f.push_back(TERMINATOR);
    f.push_back(CR);
    return f;
}

Frame read(const PlcRequest& r) { return omronFrame(r, false, {}); }
Frame write(const PlcRequest& r, std::span<const std::uint8_t> data) { return omronFrame(r, true, data); }
std::size_t wordLength(const PlcRequest& r) { return 2u * r.count; }

ReplyEvent takeByte(ReplyBuffer& rx, const AskedRequest& asked, std::uint8_t b, std::size_t max)
{
    if (!CollectFrame(rx.bytes, b, START, CR, max))
        return {};
    const Frame reply = std::move(rx.bytes);
    rx = ReplyBuffer{};
    const Frame& request = asked.frame;
    if (reply.size() < kCommandEnd + 5 || reply[reply.size() - 2] != TERMINATOR || request.size() < 6 ||
        !std::equal(reply.begin() + 1, reply.begin() + 6, request.begin() + 1))
        return {};
    const std::size_t fcsAt = reply.size() - 4;
    std::uint8_t fcs = 0;
    for (std::size_t i = 0; i < fcsAt; ++i)
        fcs ^= reply[i];
    std::vector<std::uint8_t> pair, end;
    if (!DecodeHex(std::span(reply).subspan(fcsAt, 2), pair) || pair[0] != fcs || fcsAt < kData ||
        !DecodeHex(std::span(reply).subspan(kEndCode, kData - kEndCode), end))
        return {};
    // A command the PLC did not complete is refused: a write fails, a read stores nothing.
    const bool completed = (end[0] & kMainCodeBits) == 0 && (end[1] & kSubCodeBits) == 0;
    if (reply[kCommandEnd] == CMD_MEMORY_AREA_WRITE.back())
        return completed ? ReplyEvent::WriteDone : ReplyEvent::WriteRefused;
    std::vector<std::uint8_t> data;
    if (!completed || reply[kCommandEnd] != CMD_MEMORY_AREA_READ.back() ||
        !DecodeHex(std::span(reply).subspan(kData, fcsAt - kData), data) || data.size() != 2u * asked.record.count)
        return {};
    return {ReplyEvent::ReadData, SwapValues(data, 2)};
}

Writable writable(int type) { return type >= 1 && type <= 5 ? Writable{Layout::Registers} : Writable{}; }

} // namespace

constexpr MasterProtocol kOmronFinsMaster{protocol::OmronCj, read, write, wordLength, wordLength, takeByte,
                                          PollStates(Sent, WriteSent), WriteSent, writable, nullptr, nullptr};

} // namespace qv::sim::plc
