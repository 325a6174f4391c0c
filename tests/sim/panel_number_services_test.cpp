// The number services of the user's 8051 program, run from sdcc-built programs on the panel's
// services: their results in the bank against the same computation here, their edge cases,
// zero divisors and overflows that finish without a signal, and writes aimed at the bank's end.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <fmt/format.h>

#include "tests/sim/panel_services_fixture.h"

namespace qv::sim::test {
namespace {

std::string bankText(const VarBank& bank, std::uint16_t address)
{
    std::string text;
    for (std::uint16_t a = address; bank.byteAt(a) != 0; ++a)
        text.push_back(static_cast<char>(bank.byteAt(a)));
    return text;
}

std::uint32_t u32At(const VarBank& bank, std::uint16_t address) { return static_cast<std::uint32_t>(*bank.read(address, 4)); }
std::uint16_t u16At(const VarBank& bank, std::uint16_t address) { return static_cast<std::uint16_t>(*bank.read(address, 2)); }

TEST(PanelNumberServices, CopyMoveTimeAndPolarEdgeCases)
{
    PanelFixture f;
    ASSERT_NO_FATAL_FAILURE(f.load(R"(
struct polar { long angle; long radius; int x, y, mul, div; };
const struct polar cases[] = {
    {0, 100, 200, 150, 1, 1}, {45, 100, 200, 150, 1, 1}, {200, 1000, 10, 20, -1, 3},
    {-30, 7, 0, 0, 5, 2}, {90, 40000, 100, 100, 2, 1},
};
void main(void)
{
    unsigned int i;
    for (i = 0; i < 300; i++) M8(0x3000 + i) = 'A' + (i % 26);
    M8(0x3000 + 300) = 0;
    P1(0x3200); P2(0x3000); CALL(34); M8(0x2000) = CmdAdr1;
    P1(0x10); P2(0xFFF0); P3(0x3000); CALL(35); M8(0x2001) = CmdAdr1;
    P1(0); P2(0x3600); P3(0x3000); CALL(35); M8(0x2002) = CmdAdr1;
    P1(4); P2(0x3600); P3(0x3000); CALL(35); M8(0x2003) = CmdAdr1;
    M32(0x3400) = 3725; P1(0x3400); P2(0x3410); CALL(40);
    for (i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        M32(0x3420) = cases[i].angle; M32(0x3424) = cases[i].radius;
        P1(0x3420); P2(0x3424); P3(cases[i].x); P4(cases[i].y); P5(cases[i].mul); P6(cases[i].div);
        P7(0x3440 + 4 * i); CmdAdr1 = 1; CALL(48);
    }
    M32(0x3480) = 0x5A5A5A5A; P6(0); P7(0x3480); CmdAdr1 = 1; CALL(48);
    M32(0x3484) = 0x5A5A5A5A; P6(1); P7(0x3484); CmdAdr1 = 2; CALL(48);
    DONE();
}
)"));
    ASSERT_TRUE(f.runUntilDone());
    const VarBank& m = *f.live;
    EXPECT_EQ(m.byteAt(0x2000), 255) << "34 copies 255 of 300";
    EXPECT_EQ(bankText(m, 0x3000).substr(0, 255), std::string(reinterpret_cast<const char*>(m.snapshot().data()) + 0x3200, 255));
    EXPECT_EQ(m.byteAt(0x3200 + 255), 0) << "nothing past the 255th byte";
    EXPECT_EQ(m.byteAt(0x2001), 0) << "35 refuses 0xFFF0 + 0x10";
    EXPECT_EQ(m.byteAt(0x2002), 1) << "35 with count 0";
    EXPECT_EQ(m.byteAt(0x2003), 1);
    EXPECT_EQ(u32At(m, 0x3600), u32At(m, 0x3000));
    EXPECT_EQ(u16At(m, 0x3410), 1);
    EXPECT_EQ(m.byteAt(0x3412), 2);
    EXPECT_EQ(m.byteAt(0x3413), 5);

    struct Polar {
        int angle, radius, x, y, mul, div;
    };
    const Polar cases[] = {{0, 100, 200, 150, 1, 1}, {45, 100, 200, 150, 1, 1}, {200, 1000, 10, 20, -1, 3},
                           {-30, 7, 0, 0, 5, 2}, {90, 40000, 100, 100, 2, 1}};
    for (int i = 0; i < 5; ++i) {
        const Polar& c = cases[i];
        const std::int64_t radius = std::int64_t{c.radius} * c.mul / c.div;
        const double theta = c.angle * 0.017453292222222222;
        const auto x = static_cast<std::uint16_t>(static_cast<std::int64_t>(std::trunc(c.x + radius * std::sin(theta))));
        const auto y = static_cast<std::uint16_t>(static_cast<std::int64_t>(std::trunc(c.y - radius * std::cos(theta))));
        SCOPED_TRACE(i);
        EXPECT_EQ(u16At(m, 0x3440 + 4 * i), x);
        EXPECT_EQ(u16At(m, 0x3442 + 4 * i), y);
    }
    EXPECT_EQ(u16At(m, 0x3440), 200);
    EXPECT_EQ(u16At(m, 0x3442), 50);
    EXPECT_EQ(u16At(m, 0x3444), 270) << "truncated toward zero";
    EXPECT_EQ(u16At(m, 0x3446), 79);
    EXPECT_EQ(u32At(m, 0x3480), 0x5A5A5A5Au) << "a zero divisor leaves the destination unchanged";
    EXPECT_EQ(u32At(m, 0x3484), 0x5A5A5A5Au) << "only sub-code 1 draws";
    EXPECT_EQ(f.dirty.load(), 1);
}

struct ArithCase {
    int sub;
    std::int32_t destination; // M[D] before (32 bits)
    std::int32_t k;           // L for sub-codes 1..5
    std::int16_t s1;          // M[S1]
    std::uint16_t w;          // P3 as W for the immediate forms
    std::int16_t s2;          // M[S2]
    std::uint32_t want;       // M[D] after (32 bits)
    int wantC1;               // 0xC1 after, -1: not looked at
};

TEST(PanelNumberServices, VariableArithmeticWrapsAndSkipsZeroDivisors)
{
    const ArithCase cases[] = {
        {1, 10, 5, 0, 0, 0, 15, -1},
        {1, -1, 1, 0, 0, 0, 0, -1},
        {2, 3, 5, 0, 0, 0, 0xFFFFFFFEu, -1},
        {3, 0x10000, 0x10000, 0, 0, 0, 0, -1},
        {3, -7, 6, 0, 0, 0, static_cast<std::uint32_t>(-42), -1},
        {4, -7, 2, 0, 0, 0, static_cast<std::uint32_t>(-3), -1},
        {4, INT32_MIN, -1, 0, 0, 0, 0x80000000u, -1},
        {4, 99, 0, 0, 0, 0, 99, -1},
        {5, 1234, 1234, 0, 0, 0, 1234, 1},
        {5, 1234, 1235, 0, 0, 0, 1234, 0},
        {0x20, 0x11110000, 0, -1, 2, 0, 0x11110001, -1},
        {0x21, 0, 0, 1, 3, 0, 0xFFFE, -1},
        {0x22, 0, 0, 300, 300, 0, (300 * 300) & 0xFFFF, -1},
        {0x23, 0, 0, -7, 2, 0, static_cast<std::uint16_t>(-3), -1},
        {0x23, 0x7777, 0, -32768, 0xFFFF, 0, 0x8000, -1},
        {0x23, 0x7777, 0, 5, 0, 0, 0x7777, -1},
        {0x24, 0, 0, 1000, 0, 2000, 3000, -1},
        {0x25, 0, 0, 1000, 0, 2000, static_cast<std::uint16_t>(-1000), -1},
        {0x26, 0, 0, -2, 0, 3, static_cast<std::uint16_t>(-6), -1},
        {0x27, 0, 0, 100, 0, -7, static_cast<std::uint16_t>(-14), -1},
        {0x27, 0x1234, 0, 100, 0, 0, 0x1234, -1},
        {0x29, 0, 0, 5, 3, 0, 0xFFFE, -1},
        {0x2B, 0, 0, -4, 100, 0, static_cast<std::uint16_t>(-25), -1},
        {0x2B, 0x4321, 0, 0, 100, 0, 0x4321, -1},
        {0x41, 0, 0, -2, 0, 0, 0xFFFFFFFEu, -1},
        {0x30, 77, 0, 1, 1, 1, 77, -1},
    };
    std::string table;
    auto longLiteral = [](std::int32_t v) { return v == INT32_MIN ? std::string("(-2147483647L-1)") : std::to_string(v) + "L"; };
    for (const ArithCase& c : cases)
        table += fmt::format("{{{}, {}, {}, {}, {}u, {}}},\n", c.sub, longLiteral(c.destination), longLiteral(c.k), c.s1, c.w, c.s2);
    PanelFixture f;
    ASSERT_NO_FATAL_FAILURE(f.load(R"(
struct arith { unsigned char sub; long dest; long k; int s1; unsigned int w; int s2; };
const struct arith cases[] = {
)" + table + R"(};
void main(void)
{
    unsigned char i;
    for (i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        unsigned int d = 0x4000 + 8 * i;
        M32(d) = cases[i].dest;
        M16(0x3800) = cases[i].s1;
        M16(0x3810) = cases[i].s2;
        P1(d);
        if (cases[i].sub <= 5) {
            LV(cases[i].k);
        } else {
            P2(0x3800);
            if (cases[i].sub >= 0x24 && cases[i].sub <= 0x27) P3(0x3810); else P3(cases[i].w);
        }
        CmdAdr1 = cases[i].sub;
        CALL(39);
        M8(d + 4) = CmdAdr1;
    }
    DONE();
}
)"));
    ASSERT_TRUE(f.runUntilDone());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(fmt::format("case {} sub 0x{:02X}", i, cases[i].sub));
        const auto d = static_cast<std::uint16_t>(0x4000 + 8 * i);
        const std::uint32_t want = cases[i].sub >= 0x20 && cases[i].sub != 0x41 && cases[i].sub != 0x30
                                       ? (static_cast<std::uint32_t>(cases[i].destination) & 0xFFFF0000u) | (cases[i].want & 0xFFFF)
                                       : cases[i].want;
        EXPECT_EQ(u32At(*f.live, d), want);
        if (cases[i].wantC1 >= 0) {
            EXPECT_EQ(f.live->byteAt(d + 4), cases[i].wantC1);
        }
    }
}

TEST(PanelNumberServices, NumbersToTextAndFloatScaling)
{
    struct FormatCase {
        int source; // 0 s8, 1 s16, 2 s32, 3 zero, 4 L
        std::int32_t value;
        int format; // 0xC8
        int flags;  // 0xC9 without the source bits
        const char* text;
    };
    const FormatCase formats[] = {
        {0, -5, 0x03, 0x00, "-5"},
        {1, -1234, 0x26, 0x01, "-0012.34"},
        {2, 123456789, 0x29, 0x12, "+1234567.89"},
        {3, 99, 0x14, 0x20, "0.0"},
        {4, -2147483647, 0x0A, 0x20, "-2147483647"},
        {1, 32767, 0x35, 0x22, "32.767"},
        {2, -1, 0x11, 0x10, "-1"}, // as many decimals as digits: no point
        {2, 42, 0x05, 0x12, "   +42"},
        {2, -7, 0x03, 0x02, "  -7"},
        {2, 123456, 0x04, 0x00, "3456"}, // wider than its digits: the low ones
        {0, 0x85, 0x03, 0x01, "-123"},   // the byte's sign
        {2, 5, 0x25, 0x00, "0.05"},
    };
    std::string table;
    for (const FormatCase& c : formats)
        table += fmt::format("{{{}, {}L, {}, {}}},\n", c.source, c.value, c.format, c.flags);
    PanelFixture f;
    ASSERT_NO_FATAL_FAILURE(f.load(R"(
struct fmt { unsigned char source; long value; unsigned char format, flags; };
const struct fmt formats[] = {
)" + table + R"(};
void main(void)
{
    unsigned char i;
    LV(-12345L); P1(0x5000); CALL(32); M8(0x2000) = CmdAdr1;
    LV(0); P1(0x5010); CALL(32); M8(0x2001) = CmdAdr1;
    for (i = 0; i < sizeof formats / sizeof formats[0]; i++) {
        unsigned int out = 0x5100 + 32 * i;
        unsigned char s = formats[i].source;
        M32(0x5080) = formats[i].value;
        M32(out) = 0x7E7E7E7E; M32(out + 4) = 0x7E7E7E7E; M32(out + 8) = 0x7E7E7E7E; M32(out + 12) = 0x7E7E7E7E;
        CmdAdr8 = formats[i].format;
        if (s == 4) { LV(formats[i].value); CmdAdr9 = formats[i].flags | 0x40; }
        else { P2(0x5080); CmdAdr9 = formats[i].flags | (s << 2); }
        P1(out);
        CALL(33);
        M8(out + 31) = CmdAdr1;
    }
    M16(0x5300) = 1000; M32(0x5304) = 0x3F000000; /* 0.5f */
    P1(0x5310); P2(0x5300); P3(0x5304); CmdAdr1 = 1; CALL(98);
    M32(0x5320) = -3; M32(0x5324) = 0x40200000; /* 2.5f */
    P1(0x5330); P2(0x5320); P3(0x5324); CmdAdr1 = 2; CALL(98);
    M32(0x5340) = 0x11223344; P1(0x5340); CmdAdr1 = 3; CALL(98);
    DONE();
}
)"));
    ASSERT_TRUE(f.runUntilDone());
    const VarBank& m = *f.live;
    EXPECT_EQ(bankText(m, 0x5000), "-12345");
    EXPECT_EQ(m.byteAt(0x2000), 6);
    EXPECT_EQ(bankText(m, 0x5010), "0");
    EXPECT_EQ(m.byteAt(0x2001), 1);
    for (std::size_t i = 0; i < std::size(formats); ++i) {
        const FormatCase& c = formats[i];
        SCOPED_TRACE(i);
        const std::string want = c.text;
        const auto out = static_cast<std::uint16_t>(0x5100 + 32 * i);
        std::string got;
        for (std::size_t k = 0; k < want.size(); ++k)
            got.push_back(static_cast<char>(m.byteAt(static_cast<std::uint16_t>(out + k))));
        EXPECT_EQ(got, want);
        EXPECT_EQ(m.byteAt(out + 31), want.size());
        EXPECT_EQ(m.byteAt(static_cast<std::uint16_t>(out + want.size())), (c.flags & 0x20) ? 0x00 : 0x7E)
            << "a NUL only when bit 5 asks for it";
    }
    EXPECT_EQ(std::bit_cast<float>(u32At(m, 0x5310)), 500.0f);
    EXPECT_EQ(std::bit_cast<float>(u32At(m, 0x5330)), -7.5f);
    EXPECT_EQ(u32At(m, 0x5340), 0x11223344u) << "other sub-codes of 98 do nothing";
}

// Every service that writes, aimed so that its result would run past 0xFFFF, writes nothing.
TEST(PanelNumberServices, ResultsThatWouldLeaveTheBankAreNotWritten)
{
    PanelFixture f;
    ASSERT_NO_FATAL_FAILURE(f.load(R"(
void main(void)
{
    unsigned char i;
    for (i = 0; i < 8; i++) M8(0xFFF8 + i) = 0x5A;
    M8(0x3000) = 'x'; M8(0x3001) = 'y'; M8(0x3002) = 'z'; M8(0x3003) = 0;
    LV(-1234567890L); P1(0xFFF8); CALL(32); M8(0x2000) = CmdAdr1;
    CmdAdr8 = 0x0A; CmdAdr9 = 0x60; LV(-1234567890L); P1(0xFFF8); CALL(33); M8(0x2001) = CmdAdr1;
    P1(0xFFFE); P2(0x3000); CALL(34); M8(0x2002) = CmdAdr1;
    P1(8); P2(0xFFF8); P3(0x3000); CALL(35); M8(0x2003) = CmdAdr1;
    P1(0xFFFE); LV(1); CmdAdr1 = 1; CALL(39);
    P1(0xFFFE); LV(1); CmdAdr1 = 5; CALL(39); M8(0x2004) = CmdAdr1;
    P1(0xFFFF); P2(0x3000); P3(5); CmdAdr1 = 0x20; CALL(39);
    M32(0x3010) = 3725; P1(0x3010); P2(0xFFFE); CALL(40);
    M32(0x3020) = 0; M32(0x3024) = 10; P1(0x3020); P2(0x3024); P5(1); P6(1); P7(0xFFFE); CmdAdr1 = 1; CALL(48);
    M16(0x3030) = 7; M32(0x3034) = 0x3F800000; P1(0xFFFE); P2(0x3030); P3(0x3034); CmdAdr1 = 1; CALL(98);
    P1(0x3040); P2(0xFFFF); P3(0x3034); CmdAdr1 = 1; CALL(98);
    DONE();
}
)"));
    ASSERT_TRUE(f.runUntilDone());
    for (std::uint16_t a = 0xFFF8; a != 0; ++a)
        EXPECT_EQ(f.live->byteAt(a), 0x5A) << std::hex << a;
    for (std::uint16_t a = 0x2000; a <= 0x2004; ++a)
        EXPECT_EQ(f.live->byteAt(a), 0) << std::hex << a;
    EXPECT_EQ(f.live->byteAt(0x3040), 0) << "a source past the end gives nothing";
}

} // namespace
} // namespace qv::sim::test
