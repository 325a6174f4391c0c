// Siemens S7-200 PPI: a read or write job in a variable-length frame, acknowledged by the short
// acknowledge; after the acknowledge delay the data (or the write's result) are asked for.
#include <array>

#include "sim/plc/protocols/frame_bytes.h"
#include "sim/plc/protocols/master_protocol.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

constexpr std::uint8_t SD1 = 0x10;    // start of a fixed-length frame
constexpr std::uint8_t SD2 = 0x68;    // start of a variable-length frame
constexpr std::uint8_t ED = 0x16;     // end of a frame
constexpr std::uint8_t SC = 0xE5;     // short acknowledge
constexpr std::uint8_t FC_READ_REQUEST = 0x6C, FC_WRITE_REQUEST = 0x7C, FC_DATA_REQUEST = 0x5C; // frame control
constexpr std::uint8_t S7_READ_VAR = 0x04, S7_WRITE_VAR = 0x05; // job functions

struct PpiElement {
    std::uint8_t area, width, transport, dbFlag;
    bool byteAddress; // address = element x 8 (bit offset of the byte)
};
constexpr std::array<PpiElement, 8> kPpi{{
    {0x81, 1, 0x02, 0, true}, {0x82, 1, 0x02, 0, true}, {0x83, 1, 0x02, 0, true}, {0x84, 1, 0x02, 1, true},
    {0x84, 2, 0x02, 1, true}, {0x84, 4, 0x02, 1, true}, {0x1E, 2, 0x1E, 0, false}, {0x1F, 2, 0x1F, 0, false},
}};
const PpiElement* ppiElement(int type) { return type >= 1 && type <= 8 ? &kPpi[static_cast<std::size_t>(type - 1)] : nullptr; }

void ppiAddress(Frame& f, const PpiElement& e, int number)
{
    const std::uint32_t a = e.byteAddress ? static_cast<std::uint32_t>(number) * 8 : static_cast<std::uint32_t>(number);
    f.push_back(e.dbFlag);
    f.push_back(e.area);
    f.push_back(static_cast<std::uint8_t>(a >> 16));
    f.push_back(static_cast<std::uint8_t>(a >> 8));
    f.push_back(static_cast<std::uint8_t>(a));
}
void ppiClose(Frame& f)
{
    f.push_back(Sum8(std::span(f).subspan(4)));
    f.push_back(ED);
}

Frame read(const PlcRequest& r)
{
    const PpiElement* e = ppiElement(r.type);
    if (!e)
        return {};
    const int items = r.type == 5 ? 2 * r.count : r.type == 6 ? 4 * r.count : r.count;
    Frame f{SD2, 0x1B, 0x1B, SD2, r.station, 0x00, FC_READ_REQUEST, 0x32, 0x01, 0, 0, 0, 0, 0, 0x0E, 0, 0, S7_READ_VAR, 0x01,
            0x12, 0x0A, 0x10, e->transport, 0x00, static_cast<std::uint8_t>(items), 0x00};
    ppiAddress(f, *e, r.number);
    ppiClose(f);
    return f;
}

Frame write(const PlcRequest& r, std::span<const std::uint8_t> data)
{
    if (r.type > 6)
        return {};
    const PpiElement* e = ppiElement(r.type);
    if (!e)
        return {};
    const std::uint8_t w = e->width;
    const std::uint8_t total = static_cast<std::uint8_t>(w == 1 ? 0x20 : w == 2 ? 0x21 : 0x23);
    const std::uint8_t dataLength = static_cast<std::uint8_t>(4 + w);
    const std::uint8_t transport = static_cast<std::uint8_t>(w == 1 ? 0x02 : w == 2 ? 0x04 : 0x06);
    Frame f{SD2, total, total, SD2, r.station, 0x00, FC_WRITE_REQUEST, 0x32, 0x01, 0, 0, 0, 0, 0, 0x0E, 0x00, dataLength,
            S7_WRITE_VAR, 0x01, 0x12, 0x0A, 0x10, transport, 0x00, 0x01, 0x00};
    // The byte flag of the read's address: V memory is a data block.
    ppiAddress(f, *e, r.number);
    f.insert(f.end(), {0x00, 0x04, 0x00, static_cast<std::uint8_t>(8 * w)});
    for (int i = w - 1; i >= 0; --i)
        f.push_back(data[static_cast<std::size_t>(i)]); // most significant first
    ppiClose(f);
    return f;
}

Frame askData(std::uint8_t station)
{
    return {SD1, station, 0x00, FC_DATA_REQUEST, static_cast<std::uint8_t>(station + FC_DATA_REQUEST), ED};
}

std::size_t readLength(const PlcRequest& r)
{
    const PpiElement* e = ppiElement(r.type);
    return e ? static_cast<std::size_t>(e->width) * r.count : 0;
}

std::size_t writeLength(const PlcRequest& r)
{
    const PpiElement* e = ppiElement(r.type);
    return e ? e->width : 0;
}

ReplyEvent takeByte(ReplyBuffer& rx, const AskedRequest& asked, std::uint8_t b, std::size_t max)
{
    switch (asked.state) {
    case Sent: return b == SC ? ReplyEvent::Acknowledged : ReplyEvent::None;
    case WriteSent: return b == SC ? ReplyEvent::Acknowledged : ReplyEvent::WriteRefused;
    case WriteDataAsked: return b == ED || b == SC ? ReplyEvent::WriteDone : ReplyEvent::None;
    default: break;
    }
    auto& f = rx.bytes;
    if (f.empty() && b != SD2)
        return {};
    f.push_back(b);
    const int type = asked.record.elementType;
    const std::size_t width = type <= 4 ? 1 : type == 6 ? 4 : 2;
    const std::size_t head = type == 7 ? 27 : type == 8 ? 29 : 26;
    const std::size_t start = head - 1;
    const std::size_t total = head + width * asked.record.count; // through the FCS
    if (total + 1 > max) {
        rx = ReplyBuffer{};
        return {};
    }
    if (f.size() < total + 1)
        return {};
    const Frame reply = std::move(f);
    rx = ReplyBuffer{};
    if (reply[total] != ED || reply[total - 1] != Sum8(std::span(reply).subspan(4, total - 5)))
        return {};
    return {ReplyEvent::ReadData, SwapValues(std::span(reply).subspan(start, width * asked.record.count), width)};
}

Writable writable(int type)
{
    if (type >= 2 && type <= 4)
        return {Layout::Elements, 1};
    if (type == 5 || type == 7 || type == 8)
        return {Layout::Elements, 2};
    return type == 6 ? Writable{Layout::Elements, 4} : Writable{};
}

} // namespace

constexpr MasterProtocol kSiemensPpiMaster{protocol::SiemensPpi,
                                           read,
                                           write,
                                           readLength,
                                           writeLength,
                                           takeByte,
                                           PollStates(Sent, DataAsked, WriteSent, WriteDataAsked),
                                           WriteSent,
                                           writable,
                                           nullptr,
                                           askData};

} // namespace qv::sim::plc
