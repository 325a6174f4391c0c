#include "sim/plc/plc_frames.h"

#include <fmt/format.h>

#include "sim/plc/protocols/master_protocol.h"

namespace qv::sim::plc {

int OctalToBits(int n)
{
    int bits = 0, scale = 1;
    for (; n > 0; n /= 10, scale *= 8)
        bits += (n % 10) * scale;
    return bits;
}

int BitsToOctal(int bits)
{
    int n = 0, scale = 1;
    for (; bits > 0; bits /= 8, scale *= 10)
        n += (bits % 8) * scale;
    return n;
}

std::size_t ReadDataLength(int protocol, const PlcRequest& r)
{
    const MasterProtocol* master = FindMasterProtocol(protocol);
    return master ? master->readLength(r) : 0;
}

std::size_t WriteDataLength(int protocol, const PlcRequest& r)
{
    const MasterProtocol* master = FindMasterProtocol(protocol);
    return master ? master->writeLength(r) : 0;
}

Frame BuildRead(int protocol, const PlcRequest& r)
{
    const MasterProtocol* master = FindMasterProtocol(protocol);
    return master ? master->read(r) : Frame{};
}

Frame BuildWrite(int protocol, const PlcRequest& r, std::span<const std::uint8_t> data, std::string* refusal)
{
    const MasterProtocol* master = FindMasterProtocol(protocol);
    Frame f;
    if (master && data.size() >= master->writeLength(r))
        f = master->write(r, data);
    if (f.empty() && refusal)
        *refusal = fmt::format("PLC element type {} cannot be written (station {}, element {})", r.type, r.station, r.number);
    return f;
}

} // namespace qv::sim::plc
