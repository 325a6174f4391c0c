#include "sim/plc/protocols/modbus_pdu.h"

#include "sim/plc/protocols/frame_bytes.h"

namespace qv::sim::plc::modbus {

std::uint8_t WriteFunction(int type, int count, bool singleRegister)
{
    if (type == FC_READ_COILS)
        return count == 1 ? FC_WRITE_SINGLE_COIL : FC_WRITE_MULTIPLE_COILS;
    return count == 1 && singleRegister ? FC_WRITE_SINGLE_REGISTER : FC_WRITE_MULTIPLE_REGISTERS;
}

bool PutWritePdu(Frame& f, std::uint8_t function, std::uint32_t address, const PlcRequest& r,
                 std::span<const std::uint8_t> data)
{
    const std::size_t start = f.size();
    f.push_back(function);
    Put16(f, address);
    const int bit = r.bit < 0 ? 0 : r.bit;
    switch (function) {
    case FC_WRITE_SINGLE_COIL:
        f.push_back(BitOf(data, bit) ? 0xFF : 0x00);
        f.push_back(0x00);
        return true;
    case FC_WRITE_SINGLE_REGISTER:
        Put16(f, static_cast<std::uint32_t>(data[0] | (data.size() > 1 ? data[1] : 0) << 8));
        return true;
    case FC_WRITE_MULTIPLE_COILS:
        Put16(f, r.count);
        if (r.count == 1) {
            f.push_back(1);
            f.push_back(BitOf(data, bit) ? 1 : 0);
            return true;
        }
        f.push_back(static_cast<std::uint8_t>(BitBytes(r.count)));
        for (std::size_t i = 0; i < BitBytes(r.count); ++i)
            f.push_back(i < data.size() ? data[i] : 0);
        if (r.count % 8)
            f.back() &= static_cast<std::uint8_t>((1u << (r.count % 8)) - 1);
        return true;
    case FC_WRITE_MULTIPLE_REGISTERS:
        Put16(f, r.count);
        f.push_back(static_cast<std::uint8_t>(2 * r.count));
        for (int i = 0; i < r.count; ++i)
            Put16(f, static_cast<std::uint32_t>(data[2 * i] | data[2 * i + 1] << 8));
        return true;
    default:
        f.resize(start);
        return false;
    }
}

} // namespace qv::sim::plc::modbus
