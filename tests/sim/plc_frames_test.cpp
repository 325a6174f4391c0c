// Request frames of the PLC master protocols against frames written out here from the protocol
// tables, with the checks computed by this test's own small encoder.
#include <gtest/gtest.h>

#include <string>

#include "sim/plc/crc16.h"
#include "sim/plc/plc_frames.h"
#include "sim/plc/protocols/master_protocol.h"
#include "tests/sim/plc_peer_bytes.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

using namespace peer;

// ---- the test's encoder ----
const std::string kOmronHead = "FA0800002000000000" "0FC00";

TEST(PlcFrames, Crc16OfTheCheckString)
{
    const Bytes check = text("123456789");
    EXPECT_EQ(Crc16(check), 0x4B37);
    EXPECT_EQ(Crc16({}), 0xFFFF);
}

TEST(PlcFrames, OctalElementNumbers)
{
    EXPECT_EQ(OctalToBits(17), 15);
    EXPECT_EQ(OctalToBits(100), 64);
    EXPECT_EQ(OctalToBits(267), 183);
    EXPECT_EQ(BitsToOctal(OctalToBits(267)), 267);
    EXPECT_EQ(BitsToOctal(10), 12);
}

struct FrameCase {
    const char* what;
    int protocol;
    bool write;
    PlcRequest request;
    Bytes data;
    Bytes expected;
};

TEST(PlcFrames, GoldenFrames)
{
    using namespace qv::protocol;
    const FrameCase cases[] = {
        {"modbus read holding", ModbusMaster, false, {1, 3, 0, 4}, {}, withCrc({1, 3, 0, 0, 0, 4})},
        {"modbus read coils", ModbusMaster, false, {7, 1, 100, 16}, {}, withCrc({7, 1, 0, 100, 0, 16})},
        {"modbus write one register", ModbusMaster, true, {1, 3, 5, 1, 6}, {0x34, 0x12}, withCrc({1, 6, 0, 5, 0x12, 0x34})},
        {"modbus write coil 111", ModbusMaster, true, {1, 1, 111, 1, 5, 3}, {0x08}, withCrc({1, 5, 0, 111, 0xFF, 0})},
        {"modbus write two registers", ModbusMaster, true, {1, 3, 2, 2, 16}, {1, 2, 3, 4},
         withCrc({1, 16, 0, 2, 0, 2, 4, 2, 1, 4, 3})},
        {"modbus write ten coils", ModbusMaster, true, {1, 1, 0, 10, 15}, {0xFF, 0xFF},
         withCrc({1, 15, 0, 0, 0, 10, 2, 0xFF, 0x03})},
        {"fx read Y17 three bits", MitsubishiFx, false, {0, 2, 17, 3}, {}, fx("000A101")},
        {"fx read Y267", MitsubishiFx, false, {0, 2, 267, 8}, {}, fx("000B601")},
        {"fx read D10 two words", MitsubishiFx, false, {0, 4, 10, 2}, {}, fx("0101404")},
        {"fx force Y100 on", MitsubishiFx, true, {0, 2, 100, 1, 0, 2}, {0x04}, fx("74005")},
        {"fx force Y17 off", MitsubishiFx, true, {0, 2, 17, 1, 0, 7}, {0x00}, fx("80F05")},
        {"fx write D3", MitsubishiFx, true, {0, 4, 3, 1}, {0x34, 0x12}, fx("11006023412")},
        {"ppi read VW100 two words", SiemensPpi, false, {2, 5, 100, 2}, {},
         ppi({0x68, 0x1B, 0x1B, 0x68, 2, 0, 0x6C, 0x32, 1, 0, 0, 0, 0, 0, 0x0E, 0, 0, 4, 1, 0x12, 0x0A, 0x10, 2, 0, 4, 0, 1,
              0x84, 0x00, 0x03, 0x20})},
        {"ppi write VW100", SiemensPpi, true, {2, 5, 100, 1}, {0x34, 0x12},
         ppi({0x68, 0x21, 0x21, 0x68, 2, 0, 0x7C, 0x32, 1, 0, 0, 0, 0, 0, 0x0E, 0, 6, 5, 1, 0x12, 0x0A, 0x10, 4, 0, 1, 0, 1,
              0x84, 0x00, 0x03, 0x20, 0, 4, 0, 0x10, 0x12, 0x34})},
        {"delta read D5000", DeltaDvp, false, {1, 4, 5000, 1}, {}, delta({1, 3, 0x93, 0x88, 0, 1})},
        {"delta read M1535, the last below the jump", DeltaDvp, false, {1, 3, 1535, 1}, {}, delta({1, 2, 0x0D, 0xFF, 0, 1})},
        {"delta read M1536, the first above it", DeltaDvp, false, {1, 3, 1536, 1}, {}, delta({1, 2, 0xB0, 0x00, 0, 1})},
        {"delta read D4095, the last below the jump", DeltaDvp, false, {1, 4, 4095, 1}, {}, delta({1, 3, 0x1F, 0xFF, 0, 1})},
        {"delta read D4096, the first above it", DeltaDvp, false, {1, 4, 4096, 1}, {}, delta({1, 3, 0x90, 0x00, 0, 1})},
        {"delta read Y100 by its octal group", DeltaDvp, false, {1, 2, 100, 8}, {}, delta({1, 2, 0x05, 0x40, 0, 8})},
        {"delta write Y10", DeltaDvp, true, {1, 2, 10, 1, 0, 0}, {0x01}, delta({1, 5, 0x05, 0x08, 0xFF, 0x00})},
        {"delta write D2", DeltaDvp, true, {1, 4, 2, 1}, {0x34, 0x12}, delta({1, 16, 0x10, 0x02, 0, 1, 2, 0x12, 0x34})},
        {"fatek read D10", FatekFb, false, {1, 4, 10, 2}, {}, fatek("014602D00010")},
        {"fatek read X8", FatekFb, false, {1, 1, 8, 16}, {}, fatek("014410X0008")},
        {"fatek write Y5", FatekFb, true, {1, 2, 5, 1, 0, 5}, {0x20}, fatek("014501Y00051")},
        {"fatek write D7", FatekFb, true, {1, 4, 7, 1}, {0x34, 0x12}, fatek("014701D000071234")},
        {"omron read D100", OmronCj, false, {1, 3, 100, 2}, {}, omron("@01" + kOmronHead + "0101" "82" "0064" "00" "0002")},
        {"omron read E5", OmronCj, false, {1, 4, 5, 1}, {}, omron("@01" + kOmronHead + "0101" "89" "8005" "00" "0001")},
        {"omron write W3", OmronCj, true, {101, 2, 3, 1}, {0x34, 0x12},
         omron("@01" + kOmronHead + "0102" "B1" "0003" "00" "0001" "1234")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string refusal;
        const Frame f = c.write ? BuildWrite(c.protocol, c.request, c.data, &refusal) : BuildRead(c.protocol, c.request);
        EXPECT_EQ(f, c.expected);
        EXPECT_TRUE(refusal.empty());
    }
}

TEST(PlcFrames, WritesWithoutAFormAreRefusedWithAReason)
{
    using namespace qv::protocol;
    const struct {
        int protocol;
        PlcRequest request;
    } cases[] = {{SiemensPpi, {2, 7, 1, 1}}, {SiemensPpi, {2, 8, 1, 1}}, {DeltaDvp, {1, 5, 1, 1}}, {DeltaDvp, {1, 6, 1, 1}},
                 {MitsubishiFx, {0, 5, 1, 1}}};
    for (const auto& c : cases) {
        std::string refusal;
        const Bytes data(8, 0);
        EXPECT_TRUE(BuildWrite(c.protocol, c.request, data, &refusal).empty());
        EXPECT_FALSE(refusal.empty());
    }
}

// The settings page's master flag and the driver table must agree: a master without a driver
// would never poll, a driver under another number would answer for the wrong port.
TEST(PlcFrames, EveryMasterProtocolHasItsOwnDriver)
{
    for (const protocol::ProtocolInfo& p : protocol::AllProtocols()) {
        SCOPED_TRACE(p.number);
        const MasterProtocol* master = FindMasterProtocol(p.number);
        ASSERT_EQ(master != nullptr, p.plcMaster);
        if (master) {
            EXPECT_EQ(master->number, p.number);
        }
    }
}

} // namespace
} // namespace qv::sim::plc
