// Whole C programs, compiled by sdcc in the test, run on the emulator; their results land in
// the variable memory through MOVX and are checked against the same sums done here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "compiler/hex/intel_hex.h"
#include "model/app/emulator_flags.h"
#include "platform/files/atomic_file.h"
#include "tests/fixtures/temp_dir.h"
#include "tests/sim/mc8051_fixture.h"
#include "tests/sim/sdcc_program.h"

namespace qv::sim::test {
namespace {

constexpr std::uint16_t kOut = 0x2000;  // results, 32-bit little-endian words
constexpr std::uint16_t kDone = 0x20F0; // 0xA5 when the program has finished

std::uint32_t outWord(const VarBank& bank, int index)
{
    return static_cast<std::uint32_t>(bank.read(kOut + 4 * index, 4).value_or(0xDEADBEEF));
}

// Runs until the program marks itself done; false when it has not after `limit` instructions.
bool runUntilDone(CpuFixture& f, long limit)
{
    f.cpu.resetForRun();
    for (long i = 0; i < limit; ++i) {
        f.cpu.step();
        if ((i & 0xFF) == 0 && f.bank->readByte(kDone) == 0xA5)
            return true;
    }
    return f.bank->readByte(kDone) == 0xA5;
}

TEST(Mc8051Sdcc, IntegerArithmeticAndLibraryRoutines)
{
    CpuFixture f;
    ASSERT_NO_FATAL_FAILURE(compileAndLoad(R"(
__xdata __at(0x2000) volatile unsigned long out[8];
__xdata __at(0x20F0) volatile unsigned char done;
__xdata unsigned char sieve[200];
const unsigned char table[5] = {3, 1, 4, 1, 5};
void main(void)
{
    unsigned int i, j, primes = 0;
    unsigned long fib0 = 0, fib1 = 1, t, sum = 0;
    int s = -1234;
    for (i = 2; i < 200; i++) sieve[i] = 1;
    for (i = 2; i < 200; i++)
        if (sieve[i]) { primes++; for (j = i + i; j < 200; j += i) sieve[j] = 0; }
    for (i = 0; i < 40; i++) { t = fib0 + fib1; fib0 = fib1; fib1 = t; }
    for (i = 0; i < 5; i++) sum = sum * 10 + table[i];
    out[0] = primes;
    out[1] = fib0;
    out[2] = sum;
    out[3] = 60000u / 7u + 60000u % 7u;
    out[4] = (unsigned long)(s * 27) & 0xFFFF;
    out[5] = 123456789ul / 1000ul;
    out[6] = 0xFFFFul * 0x10001ul;
    out[7] = (unsigned long)(((long)s * 1000) / 3);
    done = 0xA5;
    while (1) {}
}
)", f.cpu));
    ASSERT_TRUE(runUntilDone(f, 20'000'000));
    EXPECT_EQ(outWord(*f.bank, 0), 46u);
    std::uint32_t a = 0, b = 1;
    for (int i = 0; i < 40; ++i) {
        const std::uint32_t t = a + b;
        a = b;
        b = t;
    }
    EXPECT_EQ(outWord(*f.bank, 1), a);
    EXPECT_EQ(outWord(*f.bank, 2), 31415u);
    EXPECT_EQ(outWord(*f.bank, 3), 60000u / 7u + 60000u % 7u);
    EXPECT_EQ(outWord(*f.bank, 4), static_cast<std::uint32_t>(-1234 * 27) & 0xFFFF);
    EXPECT_EQ(outWord(*f.bank, 5), 123456u);
    EXPECT_EQ(outWord(*f.bank, 6), 0xFFFFu * 0x10001u);
    EXPECT_EQ(outWord(*f.bank, 7), static_cast<std::uint32_t>(-1234L * 1000 / 3));
    EXPECT_EQ(f.dirty.load(), 1);
}

TEST(Mc8051Sdcc, BitsSwitchTablesAndCrc)
{
    CpuFixture f;
    ASSERT_NO_FATAL_FAILURE(compileAndLoad(R"(
__xdata __at(0x2000) volatile unsigned long out[8];
__xdata __at(0x20F0) volatile unsigned char done;
__bit flag;
unsigned char pick(unsigned char k)
{
    switch (k) {
    case 0: return 11; case 1: return 22; case 2: return 33; case 3: return 44;
    case 4: return 55; case 5: return 66; default: return 99;
    }
}
void main(void)
{
    unsigned char i, acc = 0, bits = 0;
    unsigned int crc = 0xFFFF;
    const char *msg = "123456789";
    for (i = 0; i < 8; i++) acc += pick(i);
    flag = 0;
    for (i = 0; i < 10; i++) { flag = !flag; if (flag) bits++; }
    while (*msg) {
        crc ^= (unsigned char)*msg++;
        for (i = 0; i < 8; i++) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    out[0] = acc;
    out[1] = bits;
    out[2] = crc;
    done = 0xA5;
    while (1) {}
}
)", f.cpu));
    ASSERT_TRUE(runUntilDone(f, 5'000'000));
    EXPECT_EQ(outWord(*f.bank, 0), (11u + 22 + 33 + 44 + 55 + 66 + 99 + 99) & 0xFF);
    EXPECT_EQ(outWord(*f.bank, 1), 5u);
    EXPECT_EQ(outWord(*f.bank, 2), 0x4B37u) << "CRC-16/MODBUS of \"123456789\"";
}

TEST(Mc8051Sdcc, TimerInterruptHandlerInCRunsOnTheThread)
{
    CpuFixture f;
    ASSERT_NO_FATAL_FAILURE(compileAndLoad(R"(
#include <8051.h>
__xdata __at(0x2000) volatile unsigned long out[8];
__xdata __at(0x20F0) volatile unsigned char done;
volatile unsigned char ticks;
void timer0(void) __interrupt(1) { ticks++; out[1] = ticks; }
void main(void)
{
    unsigned long spin = 0;
    ticks = 0;
    IE = 0x82;
    while (ticks < 3) spin++;
    IE = 0;
    out[0] = spin != 0;
    done = 0xA5;
    while (1) {}
}
)", f.cpu));
    FakeServices services;
    std::atomic<int> timer0{0};
    Mc8051Runner runner(f.cpu, services, &timer0);
    ASSERT_TRUE(runner.start());
    // Ticks as the view's timer gives them, until the program is done (a loaded machine may
    // run the emulator thread late).
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (f.bank->readByte(kDone) != 0xA5 && std::chrono::steady_clock::now() < limit) {
        timer0.store(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    runner.stop();
    EXPECT_EQ(f.bank->readByte(kDone), 0xA5);
    EXPECT_EQ(outWord(*f.bank, 0), 1u);
    // A tick may still come between the loop's last look and the end mark.
    EXPECT_GE(outWord(*f.bank, 1), 3u);
    EXPECT_LE(outWord(*f.bank, 1), 4u);
    EXPECT_EQ(MC8051Running.load(), 0);
}

} // namespace
} // namespace qv::sim::test
