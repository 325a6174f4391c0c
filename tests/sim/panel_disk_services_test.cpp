// The disk services from an sdcc-built program: record files and the plain file on the
// simulated drives, names folded in memory, and handles that do not outlive a run.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/sim/panel_services_fixture.h"

namespace qv::sim::test {
namespace {

TEST(PanelDiskServices, RecordAndPlainFilesFromTheProgram)
{
    PanelFixture f;
    std::filesystem::create_directories(f.project / "SDCard");
    std::ofstream(f.project / "SDCard" / "IN.BIN", std::ios::binary) << "0123456789";
    ASSERT_NO_FATAL_FAILURE(f.load(R"(
void setName(unsigned int at, const char *s) { while (*s) M8(at++) = *s++; M8(at) = 0; }
void main(void)
{
    unsigned char h, i;
    /* descriptor: +2 record size, +4 capacity, +8 name */
    M16(0x3002) = 2; M32(0x3004) = 5; setName(0x3008, "u:\\log\\t.dat");
    P1(0x3000); CALL(18); h = CmdAdr1; M8(0x2000) = h;
    for (i = 0; i < 7; i++) {
        M16(0x3100) = 1000 + i;
        CmdAdr1 = h; P2(0x3100); CmdAdr2 = 1; CALL(20);
        M8(0x2010 + i) = CmdAdr1;
    }
    CmdAdr1 = h; CALL(22); M32(0x2020) = ((unsigned long)CmdAdr7 << 24) | ((unsigned long)CmdAdr6 << 16) | (CmdAdr5 << 8) | CmdAdr4;
    CmdAdr1 = h; P1(0x3200); LV(1); CALL(21); M8(0x2001) = CmdAdr1;   /* record 1 into 0x3200 */
    CmdAdr1 = h; LV(0); CALL(24); M8(0x2002) = CmdAdr1;
    CmdAdr1 = h; P1(0x3204); LV(0); CALL(21); M8(0x2003) = CmdAdr1;   /* the newest now */
    CmdAdr1 = h; CALL(19); M8(0x2004) = CmdAdr1;
    CmdAdr1 = h; CALL(22); M8(0x2005) = CmdAdr4;                      /* closed: 0 */

    setName(0x3300, "a:\\in.bin");
    P1(0x3300); CALL(25);
    CALL(28); M16(0x2030) = CmdAdr4 | (CmdAdr5 << 8);
    LV(3); CALL(27);
    P1(0x3400); LV(4); CALL(30);                                      /* "3456" */
    LV(0); CALL(27);
    M8(0x3500) = 'A'; M8(0x3501) = 'B';
    P1(0x3500); LV(2); CALL(29);
    P1(0xFFFE); LV(100); CALL(30);                                    /* stops at the bank's end */
    CALL(26);
    setName(0x3600, "f:\\gone.txt"); P1(0x3600); CALL(31); M8(0x2006) = CmdAdr1;
    setName(0x3610, "c:\\x.txt"); P1(0x3610); CALL(31); M8(0x2007) = CmdAdr1;
    DONE();
}
)"));
    ASSERT_TRUE(f.runUntilDone());
    const VarBank& m = *f.live;
    EXPECT_EQ(m.byteAt(0x2000), 1);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(m.byteAt(static_cast<std::uint16_t>(0x2010 + i)), 1) << i;
    EXPECT_EQ(*m.read(0x2020, 4), 5u) << "seven appends in a ring of five";
    EXPECT_EQ(*m.read(0x3200, 2), 1005u);
    EXPECT_EQ(m.byteAt(0x2002), 1);
    EXPECT_EQ(*m.read(0x3204, 2), 1005u);
    EXPECT_EQ(m.byteAt(0x2004), 1);
    EXPECT_EQ(m.byteAt(0x2005), 0);
    EXPECT_TRUE(std::filesystem::exists(f.project / "UsbDisk" / "LOG" / "T.DAT"));
    std::string name;
    for (std::uint16_t a = 0x3008; m.byteAt(a) != 0; ++a)
        name.push_back(static_cast<char>(m.byteAt(a)));
    EXPECT_EQ(name, "U:\\LOG\\T.DAT") << "folded in memory";

    EXPECT_EQ(*m.read(0x2030, 2), 10u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.snapshot().data()) + 0x3400, 4), "3456");
    std::string contents;
    ASSERT_TRUE(readWholeFile(f.project / "SDCard" / "IN.BIN", contents));
    EXPECT_EQ(contents, "AB23456789");
    EXPECT_EQ(m.byteAt(0xFFFE), '2'); // read on from after "AB"
    EXPECT_EQ(m.byteAt(0xFFFF), '3');
    EXPECT_EQ(m.byteAt(0x2006), 1) << "an absent file is gone";
    EXPECT_EQ(m.byteAt(0x2007), 0) << "drive C does not map";
}

TEST(PanelDiskServices, ARunStartsWithNoFileOpen)
{
    PanelFixture f;
    ASSERT_NO_FATAL_FAILURE(f.load(R"(
void main(void)
{
    M16(0x3002) = 1; M32(0x3004) = 4;
    M8(0x3008) = 'U'; M8(0x3009) = ':'; M8(0x300A) = '\\'; M8(0x300B) = 'R'; M8(0x300C) = 0;
    if (M8(0x2100) == 0) { P1(0x3000); CALL(18); M8(0x2000) = CmdAdr1; }
    CmdAdr1 = 1; CALL(22); M8(0x2001) = CmdAdr4;
    CmdAdr1 = 1; P2(0x3100); CmdAdr2 = 0; CALL(20); M8(0x2002) = CmdAdr1;
    DONE();
}
)"));
    ASSERT_TRUE(f.runUntilDone());
    EXPECT_EQ(f.live->byteAt(0x2000), 1);
    EXPECT_EQ(f.live->byteAt(0x2002), 1);
    f.live->setByteAt(0x2100, 1); // the second run does not open it
    ASSERT_TRUE(f.runUntilDone());
    EXPECT_EQ(f.live->byteAt(0x2002), 0) << "handle 1 of the first run is closed";
}

} // namespace
} // namespace qv::sim::test
