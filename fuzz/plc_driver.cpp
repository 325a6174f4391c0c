// A port's ".mod" mapping file: what decodes encodes to bytes that decode to the same table.
#include "fuzz/fuzz_target.h"
#include "config/plcmap/driver_file.h"

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    plcmap::MappingTable table;
    std::string why;
    if (!plcmap::DecodeDriverFile(asText(data, size), table, &why)) {
        require(!why.empty(), "a refused driver file gives no reason");
        return;
    }
    const std::string encoded = plcmap::EncodeDriverFile(table.tag, table.rows);
    plcmap::MappingTable back;
    require(plcmap::DecodeDriverFile(encoded, back, &why), "an encoded table does not decode");
    require(plcmap::EncodeDriverFile(back.tag, back.rows) == encoded, "decode then encode changes the bytes");
}

} // namespace qv::fuzz
