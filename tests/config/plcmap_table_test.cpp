#include <gtest/gtest.h>

#include <string>

#include "platform/files/atomic_file.h"
#include "tests/fixtures/sparse_file.h"
#include "tests/fixtures/temp_dir.h"
#include "config/plcmap/plc_map_table.h"

namespace qv::plcmap {
namespace {

std::string FileBytes(const std::filesystem::path& p)
{
    std::string bytes;
    readWholeFile(p, bytes);
    return bytes;
}

MappingEdit Edit(int type, int number, int address, int count = 1)
{
    MappingEdit e;
    e.elementType = type;
    e.elementNumber = number;
    e.hmiAddress = address;
    e.count = count;
    return e;
}

TEST(PlcMapTable, ElementRulesOfEachProtocol)
{
    const struct {
        int protocol;
        MappingEdit edit;
        bool accepted;
    } cases[] = {
        {5, Edit(1, 15, 0), false},  // FX X needs multiples of 10
        {5, Edit(1, 20, 1), true},
        {5, Edit(3, 16, 0), true},   // M multiples of 8
        {5, Edit(3, 12, 0), false},
        {5, Edit(4, 0, 65), false},  // D needs an even address
        {6, Edit(6, 6, 0), false},   // VD number multiple of 4
        {6, Edit(6, 8, 6), false},   // VD address multiple of 4
        {6, Edit(5, 3, 0), false},   // VW odd number
        {6, Edit(4, 7, 13), true},   // VB has no rule
        {6, Edit(8, 0, 3), false},   // T odd address
        {3, Edit(3, 1, 3), false},   // holding register, odd address
        {3, Edit(1, 1, 3), true},    // coils have no rule
        {7, Edit(2, 5, 0), false},
        {9, Edit(2, 10, 0), false},  // FATEK X multiples of 8
        {9, Edit(2, 16, 0), true},
        {10, Edit(1, 1, 5), false},
        {3, Edit(1, 0, 0, 61), false},
        {3, Edit(1, 0, 0, 60), true},
        {3, Edit(9, 0, 0), false},   // no such element type
    };
    for (const auto& c : cases)
        EXPECT_EQ(!CheckEdit(c.protocol, c.edit).has_value(), c.accepted)
            << "protocol " << c.protocol << " type " << c.edit.elementType << " number " << c.edit.elementNumber;
    EXPECT_EQ(*CheckEdit(3, Edit(1, 0, 0, 61)), "影射数量不得大于60，大于60的可以拆分成几条分别影射!!!");
}

TEST(PlcMapTable, EveryChangeRewritesTheFile)
{
    test::TempDir dir;
    PlcMapTable table(dir.path(), 1, 3);
    ASSERT_TRUE(table.Load());
    EXPECT_TRUE(table.rows().empty());
    MappingEdit e = DefaultEdit(3);
    e.commDelayMs = 13;
    e.timeoutMs = 1000;
    ASSERT_FALSE(table.Add(e));
    ASSERT_FALSE(table.Add(Edit(3, 100, 200)));
    table.Select(0);
    ASSERT_FALSE(table.Add(Edit(4, 300, 400))); // goes below the selection
    EXPECT_EQ(table.selection(), 1);

    const auto file = dir.path() / "NandFlash" / "ModbusMasterCom1.mod";
    std::string bytes = FileBytes(file);
    ASSERT_EQ(bytes.size(), 60u);
    EXPECT_EQ(bytes.substr(0, 6), "Modbus");
    EXPECT_EQ(bytes[12 + 10], 2);                        // 13 ms stored as 2
    EXPECT_EQ(static_cast<unsigned char>(bytes[12 + 12]), 0xC8u);
    EXPECT_EQ(bytes[12 + 9], 1);                         // the table's port
    EXPECT_EQ(bytes[12 + 16 + 1], 4);                    // the inserted row
    EXPECT_EQ(table.RowTexts(0)[5], "10");

    table.MoveUp();
    EXPECT_EQ(table.selection(), 0);
    EXPECT_EQ(FileBytes(file)[12 + 1], 4);

    PlcMapTable reloaded(dir.path(), 1, 3);
    ASSERT_TRUE(reloaded.Load());
    EXPECT_EQ(reloaded.rows(), table.rows());
    ASSERT_TRUE(reloaded.Save());
    EXPECT_EQ(FileBytes(file), EncodeDriverFile("Modbus", table.rows()));

    EXPECT_EQ(*table.Clear("123"), "密码错误!!!");
    EXPECT_EQ(table.rows().size(), 3u);
    EXPECT_FALSE(table.Clear(kClearPassword));
    EXPECT_EQ(FileBytes(file).size(), 12u);
}

TEST(PlcMapTable, RefusalsLeaveTableAndFileAlone)
{
    test::TempDir dir;
    PlcMapTable table(dir.path(), 2, 5);
    ASSERT_FALSE(table.Add(Edit(3, 16, 0)));
    const auto file = dir.path() / "NandFlash" / "MitsubishiFX2NCom2.mod";
    const std::string before = FileBytes(file);
    EXPECT_EQ(before[12], 0); // no station for this protocol
    EXPECT_TRUE(table.Add(Edit(1, 15, 0)).has_value());
    table.Select(0);
    EXPECT_TRUE(table.Modify(Edit(4, 0, 65)).has_value());
    EXPECT_EQ(table.rows().size(), 1u);
    EXPECT_EQ(FileBytes(file), before);
    EXPECT_EQ(table.RowTexts(0).size(), ColumnsOf(5).size());
    EXPECT_EQ(ColumnsOf(5).size(), 9u);
    EXPECT_EQ(ColumnsOf(3).size(), 10u);
}

TEST(PlcMapTable, TwoThousandRowsAtMost)
{
    test::TempDir dir;
    std::vector<MappingRecord> rows(kMaxRows);
    rows[5].port = 2; // rewritten with the table's own port
    std::filesystem::create_directories(dir.path() / "NandFlash");
    ASSERT_TRUE(writeFileAtomically(dir.path() / "NandFlash" / "ModbusMasterCom1.mod", EncodeDriverFile("S7-PPI", rows)));
    PlcMapTable table(dir.path(), 1, 3);
    ASSERT_TRUE(table.Load()); // a foreign tag is still read into this table
    EXPECT_EQ(table.rows().size(), 2000u);
    EXPECT_EQ(*table.Add(DefaultEdit(3)), "最多支持两千条影射");
    ASSERT_TRUE(table.Save());
    rows[5].port = 1;
    EXPECT_EQ(FileBytes(table.file()), EncodeDriverFile("Modbus", rows));
}

TEST(PlcMapTable, DamagedFileGivesAnEmptyTableAndAReason)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "NandFlash");
    const auto file = dir.path() / "NandFlash" / "DeltaDVPCom1.mod";
    ASSERT_TRUE(writeFileAtomically(file, std::string("Delta \0\0\x05\0\0\0", 12)));
    PlcMapTable table(dir.path(), 1, 7);
    std::string error;
    EXPECT_FALSE(table.Load(&error));
    EXPECT_TRUE(table.rows().empty());
    EXPECT_NE(error.find("DeltaDVPCom1.mod"), std::string::npos);
    EXPECT_EQ(FileBytes(file).size(), 12u);
}

TEST(PlcMapTable, ATerabyteFileIsRefusedBeforeItIsRead)
{
    test::TempDir dir;
    const auto file = dir.path() / "NandFlash" / "DeltaDVPCom1.mod";
    test::makeSparseFile(file);
    PlcMapTable table(dir.path(), 1, 7);
    std::string error;
    EXPECT_FALSE(table.Load(&error));
    EXPECT_TRUE(table.rows().empty());
    EXPECT_NE(error.find("file too large"), std::string::npos) << error;
    EXPECT_EQ(std::filesystem::file_size(file), test::kOneTebibyte) << "the file is left as it is";
}

} // namespace
} // namespace qv::plcmap
