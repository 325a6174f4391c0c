// What arrives on a link, fed one byte at a time on the ports' monitor threads under the link's
// lock: the master protocols' replies go to their drivers, whose events are applied here to the
// request of their kind in flight (read data are stored only at the asked length, inside the
// bank); the Modbus RTU slave answers the registers of the bank.
#include <algorithm>

#include "sim/plc/crc16.h"
#include "sim/plc/plc_links.h"
#include "sim/plc/protocols/frame_bytes.h"
#include "sim/plc/protocols/modbus_pdu.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

using namespace qv::protocol;
using namespace modbus;

constexpr std::size_t kSlaveRequestSize = 8;   // read or single write: six bytes and the CRC
constexpr std::size_t kSlaveMultipleHead = 9;  // multiple write: seven bytes and the CRC before the data
// The most registers one request may read or write: their bytes must fit the one-byte count.
constexpr int kSlaveMaxReadRegisters = 125, kSlaveMaxWriteRegisters = 123;

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
    const MasterProtocol* master = FindMasterProtocol(p.protocol);
    if (!master)
        return;
    if (!master->listens(l.state)) {
        l.rx = ReplyBuffer{};
        return;
    }
    takeReply(n, l, master->takeByte(l.rx, AskedRequest{l.state, l.asked, l.askedRequest, l.request}, b, max));
}

void PlcLinks::takeReply(int n, Link& l, ReplyEvent event)
{
    switch (event.kind) {
    case ReplyEvent::ReadData:
        // A read whose data were asked for after its acknowledge ends in DataDone.
        storeRead(l, event.data, l.state == DataAsked ? DataDone : Done);
        return;
    case ReplyEvent::ReadSkipped:
        if (l.inflight == Inflight::Read) {
            l.state = Done;
            l.inflight = Inflight::None;
        }
        return;
    case ReplyEvent::Acknowledged:
        l.state = l.state == WriteSent ? WriteAck : ReadAck;
        l.ack = 0;
        return;
    case ReplyEvent::WriteDone:
    case ReplyEvent::WriteRefused:
        if (l.inflight != Inflight::Write)
            return;
        l.state = Idle;
        if (event.kind == ReplyEvent::WriteDone)
            writeDone(l);
        else
            writeFailed(n, l);
        return;
    case ReplyEvent::None: return;
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
        if (b != FC_READ_HOLDING_REGISTERS && b != FC_WRITE_SINGLE_REGISTER && b != FC_WRITE_MULTIPLE_REGISTERS)
            l.rx = ReplyBuffer{};
        else
            l.rx.expect = kSlaveRequestSize;
        return;
    }
    if (f.size() == 7 && f[1] == FC_WRITE_MULTIPLE_REGISTERS)
        l.rx.expect = std::size_t{b} + kSlaveMultipleHead;
    if (l.rx.expect > max) {
        l.rx = ReplyBuffer{};
        return;
    }
    if (f.size() < l.rx.expect)
        return;
    const Frame req = std::move(f);
    l.rx = ReplyBuffer{};
    const PlcSettings s = settings();
    const int reg = req[2] << 8 | req[3];
    const int quantity = req[4] << 8 | req[5]; // registers read or written by a read or multiple write
    if (!HasGoodCrc(req) || reg < s.slaveRegisterBase)
        return; // registers below the base are not answered
    const std::int64_t address = std::int64_t{reg - s.slaveRegisterBase} * 2 + s.slaveHmiBase;
    Frame answer;
    switch (req[1]) {
    case FC_READ_HOLDING_REGISTERS: {
        if (quantity < 1 || quantity > kSlaveMaxReadRegisters)
            return;
        const std::size_t bytes = 2u * static_cast<std::size_t>(quantity);
        std::vector<std::uint8_t> values(bytes);
        if (bytes + 5 >= max || !live_.readBytes(address, values))
            return;
        answer = {req[0], FC_READ_HOLDING_REGISTERS, static_cast<std::uint8_t>(bytes)};
        const auto be = SwapValues(values, 2);
        answer.insert(answer.end(), be.begin(), be.end());
        break;
    }
    case FC_WRITE_SINGLE_REGISTER: {
        const std::array<std::uint8_t, 2> value{req[5], req[4]};
        if (!live_.writeBytes(address, value))
            return;
        answer.assign(req.begin(), req.begin() + 6);
        break;
    }
    case FC_WRITE_MULTIPLE_REGISTERS: {
        // The byte count must be the quantity's: a frame that disagrees with itself is refused.
        if (quantity < 1 || quantity > kSlaveMaxWriteRegisters || req[6] != 2 * quantity)
            return;
        if (!live_.writeBytes(address, SwapValues(std::span(req).subspan(7, req[6]), 2)))
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
