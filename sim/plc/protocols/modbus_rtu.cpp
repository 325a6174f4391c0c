// Modbus RTU master: reads of coils, discrete inputs, holding and input registers, writes of
// coils and holding registers, each frame closed by the CRC.
#include "sim/plc/crc16.h"
#include "sim/plc/protocols/frame_bytes.h"
#include "sim/plc/protocols/master_protocol.h"
#include "sim/plc/protocols/modbus_pdu.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

using namespace modbus;

constexpr std::size_t kWriteReplySize = 8; // a write is answered by its first six bytes and the CRC
constexpr std::size_t kReadReplyOverhead = 5;

Frame read(const PlcRequest& r)
{
    if (!IsRead(r.type))
        return {};
    Frame f{r.station, r.type}; // the element type is the read function
    Put16(f, r.number);
    Put16(f, r.count);
    PutCrc(f);
    return f;
}

Frame write(const PlcRequest& r, std::span<const std::uint8_t> data)
{
    Frame f{r.station};
    if (!PutWritePdu(f, r.function, r.number, r, data))
        return {};
    PutCrc(f);
    return f;
}

std::size_t readLength(const PlcRequest& r) { return r.type <= FC_READ_DISCRETE_INPUTS ? BitBytes(r.count) : 2u * r.count; }

std::size_t writeLength(const PlcRequest& r)
{
    if (r.function == FC_WRITE_SINGLE_COIL)
        return 1;
    return r.function == FC_WRITE_MULTIPLE_COILS ? BitBytes(r.count) : 2u * r.count;
}

bool knownFunction(std::uint8_t function)
{
    return function <= FC_WRITE_SINGLE_REGISTER || function == FC_WRITE_MULTIPLE_COILS ||
           function == FC_WRITE_MULTIPLE_REGISTERS;
}

ReplyEvent takeByte(ReplyBuffer& rx, const AskedRequest& asked, std::uint8_t b, std::size_t max)
{
    auto& f = rx.bytes;
    f.push_back(b);
    if (f.size() == 2 && !knownFunction(b)) {
        rx = ReplyBuffer{};
        return {};
    }
    if (f.size() == 3) {
        rx.expect = f[1] <= FC_READ_INPUT_REGISTERS ? std::size_t{b} + kReadReplyOverhead : kWriteReplySize;
        if (rx.expect > max)
            rx = ReplyBuffer{};
        return {};
    }
    if (f.size() < 3 || f.size() < rx.expect)
        return {};
    const Frame reply = std::move(f);
    rx = ReplyBuffer{};
    // On a shared line another station's reply is no answer to ours: dropped, so the request
    // times out and counts as unanswered.
    if (!HasGoodCrc(reply) || reply[0] != asked.request.station)
        return {};
    const std::uint8_t function = reply[1];
    if (function > FC_READ_INPUT_REGISTERS)
        return function == asked.request.function ? ReplyEvent::WriteDone : ReplyEvent::None;
    if (function != asked.record.elementType || reply[2] != readLength(asked.request))
        return {};
    const auto data = std::span(reply).subspan(3, reply[2]);
    if (function <= FC_READ_DISCRETE_INPUTS)
        return {ReplyEvent::ReadData, std::vector<std::uint8_t>(data.begin(), data.end())};
    return {ReplyEvent::ReadData, SwapValues(data, 2)};
}

Writable writable(int type)
{
    if (type == FC_READ_COILS)
        return {Layout::Bits};
    return type == FC_READ_HOLDING_REGISTERS ? Writable{Layout::Registers} : Writable{};
}

} // namespace

constexpr MasterProtocol kModbusRtuMaster{protocol::ModbusMaster, read, write, readLength, writeLength, takeByte,
                                          PollStates(Sent), Sent, writable, WriteFunction, nullptr};

} // namespace qv::sim::plc
