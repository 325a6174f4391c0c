#include <gtest/gtest.h>

#include <string>

#include "config/plcmap/driver_file.h"
#include "config/plcmap/plc_protocols.h"

namespace qv::plcmap {
namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

MappingRecord SampleRecord()
{
    MappingRecord r;
    r.station = 7;
    r.elementType = 3;
    r.elementNumber = 0x1234;
    r.count = 60;
    r.hmiAddress = 0xABCD;
    r.screen = 255;
    r.port = 2;
    r.commDelay5 = 2;
    r.ackDelay5 = 6;
    r.timeout5 = 200;
    r.flags = 1;
    return r;
}

TEST(PlcMapDriverFile, RecordBytesSitAtTheirOffsets)
{
    const std::string file = EncodeDriverFile("Modbus", {SampleRecord()});
    const std::string expected = std::string("Modbus") + Bytes({0, 0, 1, 0, 0, 0}) +
                                 Bytes({7, 3, 0x34, 0x12, 60, 0, 0xCD, 0xAB, 255, 2, 2, 6, 0xC8, 0, 1, 0});
    EXPECT_EQ(file, expected);
}

TEST(PlcMapDriverFile, SizeIsHeadPlusSixteenPerRecordAndDecodeRoundTrips)
{
    std::vector<MappingRecord> rows(3, SampleRecord());
    rows[1].flags = 0;
    rows[2].reserved = 0x5A; // unknown bytes survive a load and a save
    const std::string file = EncodeDriverFile("FX2N  ", rows);
    ASSERT_EQ(file.size(), 60u);
    EXPECT_EQ(file.substr(8, 4), Bytes({3, 0, 0, 0}));
    MappingTable table;
    std::string error;
    ASSERT_TRUE(DecodeDriverFile(file, table, &error)) << error;
    EXPECT_EQ(table.tag, "FX2N  ");
    EXPECT_EQ(table.rows, rows);
    EXPECT_EQ(EncodeDriverFile(table.tag, table.rows), file);
}

TEST(PlcMapDriverFile, DamagedFilesAreRefused)
{
    const std::string good = EncodeDriverFile("Modbus", {SampleRecord(), SampleRecord()});
    std::string negative = good;
    negative.replace(8, 4, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    std::string huge = good;
    huge.replace(8, 4, Bytes({0, 0, 0, 0x10}));
    std::string overstated = good;
    overstated[8] = 3;
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"short head", good.substr(0, 11)},
        {"truncated record", good.substr(0, good.size() - 1)},
        {"trailing bytes", good + "x"},
        {"negative count", negative},
        {"huge count", huge},
        {"count above the bytes", overstated},
    };
    for (const auto& c : cases) {
        MappingTable table;
        table.tag = "kept";
        std::string error;
        EXPECT_FALSE(DecodeDriverFile(c.bytes, table, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_EQ(table.tag, "kept") << c.what;
    }
}

TEST(PlcMapProtocols, FileNamesTagsAndTypes)
{
    const struct {
        int protocol;
        const char* file;
        const char* tag;
        std::size_t types;
    } cases[] = {
        {3, "\\NandFlash\\ModbusMasterCom1.mod", "Modbus", 5},
        {5, "\\NandFlash\\MitsubishiFX2NCom2.mod", "FX2N  ", 7},
        {6, "\\NandFlash\\SiemensS7-200PPICom1.mod", "S7-PPI", 9},
        {7, "\\NandFlash\\DeltaDVPCom1.mod", "Delta ", 7},
        {9, "\\NandFlash\\FATEK_FB_SeriesCom1.mod", "FAT_FB", 7},
        {10, "\\NandFlash\\OMRON_CJ_CS_CPCom1.mod", "OMR_CJ", 6},
    };
    for (const auto& c : cases) {
        const int port = c.protocol == 5 ? 2 : 1;
        EXPECT_EQ(DriverFileName(c.protocol, port), c.file);
        ASSERT_NE(FindPlcProtocol(c.protocol), nullptr);
        EXPECT_EQ(FindPlcProtocol(c.protocol)->tag, c.tag);
        EXPECT_EQ(FindPlcProtocol(c.protocol)->tag.size(), 6u);
        EXPECT_EQ(ElementTypesOf(c.protocol).size(), c.types);
        EXPECT_EQ(ElementTypesOf(c.protocol)[0], "无");
    }
    EXPECT_EQ(DriverFileName(8, 1), "");
    EXPECT_EQ(ElementTypesOf(8).size(), 1u);
}

} // namespace
} // namespace qv::plcmap
