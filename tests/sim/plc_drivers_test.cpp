// The PLC protocol block as the simulator and the compiler load it: driver files of both
// ports, the controls' request tables between them, and the 4,000-record room.
#include <gtest/gtest.h>

#include <fstream>

#include "sim/plc/protocol_drivers.h"
#include "tests/fixtures/temp_dir.h"
#include "config/plcmap/driver_file.h"

namespace qv::sim::plc {
namespace {

std::vector<plcmap::MappingRecord> rows(int n, std::uint16_t firstElement)
{
    std::vector<plcmap::MappingRecord> out(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        out[static_cast<std::size_t>(i)].elementNumber = static_cast<std::uint16_t>(firstElement + i);
        out[static_cast<std::size_t>(i)].port = 7; // the loader overwrites the file's link byte
    }
    return out;
}

struct DriverFolder {
    qv::test::TempDir dir;
    std::array<PlcRequestTable, 2> tables;
    DriverFolder() { std::filesystem::create_directory(dir / "NandFlash"); }
    void write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir / "NandFlash" / name, std::ios::binary) << bytes;
    }
    void request(int link, std::uint16_t element)
    {
        plcmap::MappingRecord r;
        r.elementNumber = element;
        r.port = static_cast<std::uint8_t>(link);
        tables[static_cast<std::size_t>(link - 1)].add(r);
    }
    std::vector<std::string> load(int p1, int p2, PlcProtocolBlock& block)
    {
        return LoadProtocolDrivers({dir.path(), {p1, p2}, &tables}, block);
    }
};

TEST(PlcDrivers, FilesAndTablesInBlockOrder)
{
    struct Case {
        const char* what;
        int protocol1, protocol2;
        std::vector<std::pair<std::string, std::string>> files;
        std::vector<std::pair<int, std::uint16_t>> requests;
        int count;
        std::uint16_t first1, first2;
        std::vector<std::pair<std::uint16_t, int>> elementAndLink; // in block order
    };
    const std::string modbus1 = plcmap::EncodeDriverFile("Modbus", rows(2, 10));
    const std::vector<Case> cases{
        {"port 1 file", 3, 0, {{"ModbusMasterCom1.mod", modbus1}}, {}, 2, 0, kNoRecord, {{10, 1}, {11, 1}}},
        {"exactly the head", 3, 0, {{"ModbusMasterCom1.mod", plcmap::EncodeDriverFile("Modbus", {})}}, {}, 0,
         kNoRecord, kNoRecord, {}},
        {"one byte too many", 3, 0, {{"ModbusMasterCom1.mod", modbus1 + "x"}}, {}, 0, kNoRecord, kNoRecord, {}},
        {"unknown tag", 3, 0, {{"ModbusMasterCom1.mod", plcmap::EncodeDriverFile("Foobar", rows(2, 10))}}, {}, 0,
         kNoRecord, kNoRecord, {}},
        {"Modbus tag under the FX name", 5, 0, {{"MitsubishiFX2NCom1.mod", modbus1}}, {}, 2, 0, kNoRecord,
         {{10, 1}, {11, 1}}},
        {"no master protocol on port 1", 1, 0, {{"ModbusMasterCom1.mod", modbus1}}, {}, 0, kNoRecord, kNoRecord, {}},
        {"link 2 after link 1's requests", 0, 9,
         {{"FATEK_FB_SeriesCom2.mod", plcmap::EncodeDriverFile("FAT_FB", rows(1, 50))}},
         {{1, 70}, {1, 71}, {2, 80}}, 4, 0, 2, {{70, 1}, {71, 1}, {80, 2}, {50, 2}}},
        {"link 2 file alone starts at 0", 0, 10,
         {{"OMRON_CJ_CS_CPCom2.mod", plcmap::EncodeDriverFile("OMR_CJ", rows(1, 5))}}, {}, 1, kNoRecord, 0,
         {{5, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DriverFolder f;
        for (const auto& [name, bytes] : c.files)
            f.write(name, bytes);
        for (const auto& [link, element] : c.requests)
            f.request(link, element);
        PlcProtocolBlock block;
        EXPECT_TRUE(f.load(c.protocol1, c.protocol2, block).empty());
        ASSERT_EQ(block.count(), c.count);
        EXPECT_EQ(block.current(1), c.first1);
        EXPECT_EQ(block.current(2), c.first2);
        for (std::size_t i = 0; i < c.elementAndLink.size(); ++i) {
            EXPECT_EQ(block.record(static_cast<int>(i)).elementNumber, c.elementAndLink[i].first) << i;
            EXPECT_EQ(block.record(static_cast<int>(i)).port, c.elementAndLink[i].second) << i;
        }
        EXPECT_EQ(block.imageBytes().size(), 0x30u + 16u * static_cast<unsigned>(c.count));
        EXPECT_EQ(block.slotMarker(1), 0);
        EXPECT_EQ(block.slotMarker(2), 0);
    }
}

TEST(PlcDrivers, RowsPastTheRoomAreRefusedWithALine)
{
    DriverFolder f;
    f.write("ModbusMasterCom1.mod", plcmap::EncodeDriverFile("Modbus", rows(2000, 0)));
    f.write("ModbusMasterCom2.mod", plcmap::EncodeDriverFile("Modbus", rows(2000, 0)));
    f.request(1, 9); // the 4,001st record
    PlcProtocolBlock block;
    const auto lines = f.load(3, 3, block);
    EXPECT_EQ(block.count(), 2001);
    EXPECT_EQ(block.current(2), kNoRecord);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("ModbusMasterCom2.mod"), std::string::npos);

    // A reload starts from an empty block.
    f.write("ModbusMasterCom2.mod", plcmap::EncodeDriverFile("Modbus", rows(1, 0)));
    EXPECT_TRUE(f.load(3, 3, block).empty());
    EXPECT_EQ(block.count(), 2002);
}

TEST(PlcDrivers, WriteSlotIsTakenOnlyWhenFree)
{
    PlcProtocolBlock block;
    plcmap::MappingRecord r;
    r.elementNumber = 111;
    EXPECT_TRUE(block.takeSlot(1, r));
    r.elementNumber = 222;
    EXPECT_FALSE(block.takeSlot(1, r));
    EXPECT_EQ(block.slot(1).elementNumber, 111);
    EXPECT_EQ(block.slotMarker(1), 1);
    EXPECT_TRUE(block.takeSlot(2, r));
    EXPECT_EQ(block.slotMarker(2), 2);
}

} // namespace
} // namespace qv::sim::plc
