// The reply parsers of the PLC master protocols and the Modbus RTU slave, fed one byte at a
// time on the ports' monitor threads under the link's lock. A reply is compared with the
// request kept apart from it, and read data are stored only when their length is the one
// asked for, inside the bank.
#include <algorithm>

#include "sim/plc/crc16.h"
#include "sim/plc/plc_links.h"
#include "vars/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

using namespace qv::protocol;

// Hex pairs of [from, to) into bytes; false on an odd count or a character that is not hex.
bool decodeHex(std::span<const std::uint8_t> text, std::vector<std::uint8_t>& out)
{
    if (text.size() % 2)
        return false;
    out.clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = HexValue(text[i]), lo = HexValue(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    return true;
}

// Big-endian values of `width` bytes into little-endian ones.
std::vector<std::uint8_t> swapValues(std::span<const std::uint8_t> in, std::size_t width)
{
    std::vector<std::uint8_t> out(in.size());
    for (std::size_t v = 0; v + width <= in.size(); v += width)
        for (std::size_t i = 0; i < width; ++i)
            out[v + i] = in[v + width - 1 - i];
    return out;
}

// Collects a text frame from its `start` byte to its `end` byte into `f`; a new start begins
// again, a frame longer than `max` is dropped. True when `f` holds a whole frame.
bool collectFrame(std::vector<std::uint8_t>& f, std::uint8_t b, std::uint8_t start, std::uint8_t end, std::size_t max)
{
    if (b == start) {
        f.assign(1, b);
        return false;
    }
    if (f.empty())
        return false;
    f.push_back(b);
    if (f.size() > max) {
        f.clear();
        return false;
    }
    return b == end;
}

bool listens(int protocol, std::uint8_t state)
{
    switch (protocol) {
    case ModbusMaster: return state == Sent;
    case SiemensPpi: return state == Sent || state == DataAsked || state == WriteSent || state == WriteDataAsked;
    default: return state == Sent || state == WriteSent;
    }
}

} // namespace

void PlcLinks::onByte(int port, std::uint8_t byte)
{
    if (port != 1 && port != 2)
        return;
    if (settings().ports[static_cast<std::size_t>(port - 1)].protocol == ResistiveTouch) {
        events_.touchByte(byte);
        return;
    }
    std::lock_guard guard(link(port).lock);
    parse(port, link(port), byte);
}

void PlcLinks::parse(int n, Link& l, std::uint8_t b)
{
    const PortSettings p = settings().ports[static_cast<std::size_t>(n - 1)];
    const std::size_t max = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(p.maxLength, 0)), 0, kFrameBufferSize);
    if (p.protocol == PanelBinary)
        return parsePanel(n, l, b, max);
    if (p.protocol == ModbusSlave)
        return parseSlave(n, l, b, max);
    if (!IsPlcMaster(p.protocol))
        return;
    if (!listens(p.protocol, l.state)) {
        l.rx = Rx{};
        return;
    }
    switch (p.protocol) {
    case ModbusMaster: parseModbus(l, b, max); break;
    case MitsubishiFx: parseFx(l, b, max); break;
    case SiemensPpi: parsePpi(l, b, max); break;
    case DeltaDvp: parseDelta(l, b, max); break;
    case FatekFb: parseFatek(l, b, max); break;
    case OmronCj: parseOmron(l, b, max); break;
    default: break;
    }
}

void PlcLinks::storeRead(Link& l, std::span<const std::uint8_t> data, std::uint8_t next)
{
    if (l.inflight != Inflight::Read)
        return;
    if (!l.hasSlot && !live_.writeBytes(l.asked.hmiAddress, data))
        return; // a record that leaves the bank takes nothing, and times out
    l.state = next;
    l.inflight = Inflight::None;
}

void PlcLinks::parseModbus(Link& l, std::uint8_t b, std::size_t max)
{
    auto& f = l.rx.bytes;
    f.push_back(b);
    if (f.size() == 2 && !(b <= 6 || b == 15 || b == 16)) {
        l.rx = Rx{};
        return;
    }
    if (f.size() == 3) {
        l.rx.expect = f[1] <= 4 ? std::size_t{b} + 5 : 8;
        if (l.rx.expect > max)
            l.rx = Rx{};
        return;
    }
    if (f.size() < 3 || f.size() < l.rx.expect)
        return;
    const Frame reply = std::move(f);
    l.rx = Rx{};
    // On a shared line another station's reply is no answer to ours: dropped, so the request
    // times out and counts as unanswered.
    if (!HasGoodCrc(reply) || reply[0] != l.askedRequest.station)
        return;
    const std::uint8_t function = reply[1];
    if (function > 4) {
        if (l.inflight == Inflight::Write && function == l.askedRequest.function) {
            writeDone(l);
            l.state = Idle;
        }
        return;
    }
    if (l.inflight != Inflight::Read || function != l.asked.elementType ||
        reply[2] != ReadDataLength(ModbusMaster, l.askedRequest))
        return;
    const auto data = std::span(reply).subspan(3, reply[2]);
    storeRead(l, function <= 2 ? std::vector<std::uint8_t>(data.begin(), data.end()) : swapValues(data, 2), Done);
}

void PlcLinks::parseFx(Link& l, std::uint8_t b, std::size_t max)
{
    if (l.state == WriteSent) {
        l.state = Idle;
        if (b == 0x06)
            writeDone(l);
        else
            writeFailed(static_cast<int>(&l - links_.data()) + 1, l);
        return;
    }
    auto& f = l.rx.bytes;
    if (f.empty()) {
        if (b == 0x02)
            f.push_back(b);
        else if (b == 0x15 && l.inflight == Inflight::Read) {
            l.state = Done; // the PLC refuses the element: skipped, no failure
            l.inflight = Inflight::None;
        }
        return;
    }
    f.push_back(b);
    if (f.size() > max) {
        l.rx = Rx{};
        return;
    }
    if (l.rx.state == 0 && b == 0x03 && f.size() >= 4) {
        l.rx.state = 1;
        l.rx.expect = f.size() + 2;
    }
    if (l.rx.state != 1 || f.size() < l.rx.expect)
        return;
    const Frame reply = std::move(f);
    l.rx = Rx{};
    const std::size_t etx = reply.size() - 3;
    std::vector<std::uint8_t> sum, data;
    if (!decodeHex(std::span(reply).subspan(etx + 1, 2), sum) || sum[0] != Sum8(std::span(reply).subspan(1, etx)) ||
        !decodeHex(std::span(reply).subspan(1, etx - 1), data) ||
        data.size() != ReadDataLength(MitsubishiFx, l.askedRequest))
        return;
    storeRead(l, data, Done); // words come low byte first, as the bank keeps them
}

void PlcLinks::parsePpi(Link& l, std::uint8_t b, std::size_t max)
{
    const int n = static_cast<int>(&l - links_.data()) + 1;
    switch (l.state) {
    case Sent:
        if (b == 0xE5) {
            l.state = ReadAck;
            l.ack = 0;
        }
        return;
    case WriteSent:
        if (b == 0xE5) {
            l.state = WriteAck;
            l.ack = 0;
        } else {
            l.state = Idle;
            writeFailed(n, l);
        }
        return;
    case WriteDataAsked:
        if (b == 0x16 || b == 0xE5) {
            writeDone(l);
            l.state = Idle;
        }
        return;
    default: break;
    }
    auto& f = l.rx.bytes;
    if (f.empty() && b != 0x68)
        return;
    f.push_back(b);
    const int type = l.asked.elementType;
    const std::size_t width = type <= 4 ? 1 : type == 6 ? 4 : 2;
    const std::size_t head = type == 7 ? 27 : type == 8 ? 29 : 26;
    const std::size_t start = head - 1;
    const std::size_t total = head + width * l.asked.count; // through the FCS
    if (total + 1 > max) {
        l.rx = Rx{};
        return;
    }
    if (f.size() < total + 1)
        return;
    const Frame reply = std::move(f);
    l.rx = Rx{};
    if (reply[total] != 0x16 || reply[total - 1] != Sum8(std::span(reply).subspan(4, total - 5)))
        return;
    storeRead(l, swapValues(std::span(reply).subspan(start, width * l.asked.count), width), DataDone);
}

void PlcLinks::parseDelta(Link& l, std::uint8_t b, std::size_t max)
{
    auto& f = l.rx.bytes;
    if (b == ':') {
        l.rx = Rx{};
        f.push_back(b);
        return;
    }
    if (f.empty())
        return;
    if (l.rx.state == 0) {
        f.push_back(b);
        if (f.size() > max)
            l.rx = Rx{};
        else if (b == '\r')
            l.rx.state = 1;
        return;
    }
    const Frame reply = std::move(f);
    l.rx = Rx{};
    std::vector<std::uint8_t> raw;
    if (b != '\n' || !decodeHex(std::span(reply).subspan(1, reply.size() - 2), raw) || raw.size() < 3 || Sum8(raw) != 0 ||
        raw[0] != l.askedRequest.station)
        return; // another station's reply is no answer to ours
    const std::uint8_t function = raw[1];
    if (function & 0x80)
        return;
    if (function > 3) {
        if (l.inflight == Inflight::Write) {
            writeDone(l);
            l.state = Idle;
        }
        return;
    }
    const std::size_t count = raw[2];
    if (raw.size() != count + 4 || l.inflight != Inflight::Read)
        return;
    const auto data = std::span(raw).subspan(3, count);
    const bool dwords = l.asked.elementType == 5 && l.asked.elementNumber >= 200;
    if (function == 2 && count == ReadDataLength(DeltaDvp, l.askedRequest))
        storeRead(l, data, Done);
    else if (function == 3 && count == (dwords ? 4u : 2u) * l.asked.count)
        storeRead(l, swapValues(data, dwords ? 4 : 2), Done);
    else if (function == 1) {
        l.state = Done;
        l.inflight = Inflight::None;
    }
}

void PlcLinks::parseFatek(Link& l, std::uint8_t b, std::size_t max)
{
    if (!collectFrame(l.rx.bytes, b, 0x02, 0x03, max))
        return;
    const Frame reply = std::move(l.rx.bytes);
    l.rx = Rx{};
    std::vector<std::uint8_t> sum;
    const std::size_t end = reply.size() - 3; // the sum pair
    if (reply.size() < 9 || l.request.size() < 5 || !std::equal(reply.begin() + 1, reply.begin() + 5, l.request.begin() + 1) ||
        reply[5] != '0' || !decodeHex(std::span(reply).subspan(end, 2), sum) || sum[0] != Sum8(std::span(reply).first(end)))
        return;
    const auto body = std::span(reply).subspan(6, end - 6);
    switch (reply[4]) {
    case '4': {
        if (body.size() != l.asked.count)
            return;
        std::vector<std::uint8_t> data((body.size() + 7) / 8);
        for (std::size_t i = 0; i < body.size(); ++i)
            if (body[i] != '0')
                data[i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
        storeRead(l, data, Done);
        return;
    }
    case '6': {
        std::vector<std::uint8_t> data;
        if (!decodeHex(body, data) || data.size() != 2u * l.asked.count)
            return;
        storeRead(l, swapValues(data, 2), Done);
        return;
    }
    case '5':
    case '7':
        if (l.inflight == Inflight::Write) {
            writeDone(l);
            l.state = Idle;
        }
        return;
    default: return;
    }
}

void PlcLinks::parseOmron(Link& l, std::uint8_t b, std::size_t max)
{
    if (!collectFrame(l.rx.bytes, b, '@', '\r', max))
        return;
    const Frame reply = std::move(l.rx.bytes);
    l.rx = Rx{};
    constexpr std::size_t kCommandEnd = 30, kData = 35;
    if (reply.size() < kCommandEnd + 5 || reply[reply.size() - 2] != '*' || l.request.size() < 6 ||
        !std::equal(reply.begin() + 1, reply.begin() + 6, l.request.begin() + 1))
        return;
    const std::size_t fcsAt = reply.size() - 4;
    std::uint8_t fcs = 0;
    for (std::size_t i = 0; i < fcsAt; ++i)
        fcs ^= reply[i];
    std::vector<std::uint8_t> pair;
    if (!decodeHex(std::span(reply).subspan(fcsAt, 2), pair) || pair[0] != fcs)
        return;
    if (reply[kCommandEnd] == '2') {
        if (l.inflight == Inflight::Write) {
            writeDone(l);
            l.state = Idle;
        }
        return;
    }
    std::vector<std::uint8_t> data;
    if (reply[kCommandEnd] != '1' || fcsAt < kData || !decodeHex(std::span(reply).subspan(kData, fcsAt - kData), data) ||
        data.size() != 2u * l.asked.count)
        return;
    storeRead(l, swapValues(data, 2), Done);
}

void PlcLinks::parseSlave(int n, Link& l, std::uint8_t b, std::size_t max)
{
    const auto own = ownAddress(n);
    auto& f = l.rx.bytes;
    if (f.empty()) {
        if (own && b == *own)
            f.push_back(b);
        return;
    }
    f.push_back(b);
    if (f.size() == 2) {
        if (b != 3 && b != 6 && b != 16)
            l.rx = Rx{};
        else
            l.rx.expect = 8;
        return;
    }
    if (f.size() == 7 && f[1] == 16)
        l.rx.expect = std::size_t{b} + 9;
    if (l.rx.expect > max) {
        l.rx = Rx{};
        return;
    }
    if (f.size() < l.rx.expect)
        return;
    const Frame req = std::move(f);
    l.rx = Rx{};
    const PlcSettings s = settings();
    const int reg = req[2] << 8 | req[3];
    if (!HasGoodCrc(req) || reg < s.slaveRegisterBase)
        return; // registers below the base are not answered
    const std::int64_t address = std::int64_t{reg - s.slaveRegisterBase} * 2 + s.slaveHmiBase;
    Frame answer;
    switch (req[1]) {
    case 3: {
        const std::size_t bytes = 2u * req[5];
        std::vector<std::uint8_t> values(bytes);
        if (bytes + 5 >= max || !live_.readBytes(address, values))
            return;
        answer = {req[0], 3, static_cast<std::uint8_t>(bytes)};
        const auto be = swapValues(values, 2);
        answer.insert(answer.end(), be.begin(), be.end());
        break;
    }
    case 6: {
        const std::array<std::uint8_t, 2> value{req[5], req[4]};
        if (!live_.writeBytes(address, value))
            return;
        answer.assign(req.begin(), req.begin() + 6);
        break;
    }
    case 16: {
        const std::size_t bytes = req[6] & ~1u;
        if (!live_.writeBytes(address, swapValues(std::span(req).subspan(7, bytes), 2)))
            return; // leaving the bank: nothing stored, no answer
        answer.assign(req.begin(), req.begin() + 6);
        break;
    }
    default: return;
    }
    PutCrc(answer);
    io_.send(n, answer, false);
}

} // namespace qv::sim::plc
