// The run loop: interrupts, service requests and the stop request of the emulator thread.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "model/app/emulator_flags.h"
#include "tests/sim/mc8051_fixture.h"

namespace qv::sim::test {
namespace {

// Main program at 0: MOV IE,#0x92 (EA, ES, ET0); loop: INC 0x30; SJMP loop.
// Timer handler at 0x0B: INC 0x31; RETI. Serial handler at 0x23: MOV 0x32,SBUF; RETI.
CodeImage interruptProgram()
{
    CodeImage image;
    image.fill(0xFF);
    const std::uint8_t main[] = {0x75, 0xA8, 0x92, 0x05, 0x30, 0x80, 0xFC};
    const std::uint8_t timer[] = {0x05, 0x31, 0x32};
    const std::uint8_t serial[] = {0x85, 0x99, 0x32, 0x32};
    std::copy(std::begin(main), std::end(main), image.begin());
    std::copy(std::begin(timer), std::end(timer), image.begin() + kTimer0Vector);
    std::copy(std::begin(serial), std::end(serial), image.begin() + kSerialVector);
    return image;
}

struct LoopFixture : CpuFixture {
    FakeServices services;
    std::atomic<int> timer0{0};
    Mc8051Runner runner{cpu, services, &timer0};

    LoopFixture()
    {
        MC8051StopRequest.store(0);
        cpu.loadCode(interruptProgram());
        runner.resetForRun();
    }
    void passes(int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(runner.runPass());
    }
};

TEST(Mc8051Loop, StartValuesOfARun)
{
    LoopFixture f;
    EXPECT_EQ(f.cpu.ram(sfr::SBUF), 6);
    EXPECT_EQ(f.cpu.ram(sfr::SP), 7);
    EXPECT_EQ(f.cpu.pc, 0);
    EXPECT_FALSE(f.cpu.inInterrupt);
}

TEST(Mc8051Loop, CountedTicksMakeOneInterruptAndWaitForReti)
{
    LoopFixture f;
    f.passes(1); // IE set
    f.timer0 = 3;
    f.passes(1); // interrupt taken, INC 0x31 runs
    EXPECT_TRUE(f.cpu.inInterrupt);
    EXPECT_EQ(f.timer0.load(), 0);
    f.timer0 = 1; // a tick during the handler
    f.services.queue({2, 0x41});
    f.passes(1); // RETI; nothing is taken while the handler runs
    EXPECT_FALSE(f.cpu.inInterrupt);
    EXPECT_EQ(f.cpu.ram(0x31), 1);
    f.passes(1); // the waiting tick goes first
    EXPECT_EQ(f.cpu.ram(0x31), 2);
    EXPECT_EQ(f.services.serial.size(), 1u);
    f.passes(1); // RETI
    f.passes(1); // now the serial byte
    EXPECT_EQ(f.cpu.ram(sfr::COMNUM), 2);
    EXPECT_EQ(f.cpu.ram(0x32), 0x41);
    EXPECT_TRUE(f.services.serial.empty());
}

TEST(Mc8051Loop, InterruptsNeedTheirEnableBits)
{
    LoopFixture f;
    f.timer0 = 1;
    f.services.queue({1, 0x10});
    f.passes(1); // IE still 0 at the top of this pass
    EXPECT_FALSE(f.cpu.inInterrupt);
    EXPECT_EQ(f.timer0.load(), 1);
    f.cpu.setRam(sfr::IE, 0x90); // serial only
    f.passes(1);
    EXPECT_EQ(f.cpu.ram(sfr::COMNUM), 1);
    EXPECT_EQ(f.timer0.load(), 1);
}

TEST(Mc8051Loop, RequestsAreServedOutsideHandlersAndCleared)
{
    LoopFixture f;
    f.passes(2);
    f.timer0 = 1;
    f.passes(1); // in the handler
    f.cpu.setRam(sfr::CmdAdr, 7);
    f.passes(1); // RETI: the request waits for it
    EXPECT_EQ(f.services.requests, 0);
    f.passes(1);
    EXPECT_EQ(f.services.requests, 1);
    EXPECT_EQ(f.services.lastRequest, 7);
    EXPECT_EQ(f.cpu.ram(sfr::CmdAdr), 0);
}

TEST(Mc8051Loop, StopRequestEndsTheThreadPromptly)
{
    LoopFixture f;
    // MOV DPTR,#0x0100; MOV 0x31,#1; loop: INC A; MOVX @DPTR,A; SJMP loop
    // (a flag, not a counter, says the program ran: a byte counter wraps back to 0)
    f.load({0x90, 0x01, 0x00, 0x75, 0x31, 0x01, 0x04, 0xF0, 0x80, 0xFC});
    ASSERT_TRUE(f.runner.start());
    EXPECT_FALSE(f.runner.start()) << "one thread at a time";
    EXPECT_EQ(MC8051Running.load(), 1);
    // Let the program get going first (a loaded machine may start the thread late). Its
    // internal RAM belongs to the thread; the external data bank may be watched.
    const auto started = std::chrono::steady_clock::now();
    while (f.bank->byteAt(0x0100) == 0 && std::chrono::steady_clock::now() - started < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto asked = std::chrono::steady_clock::now();
    MC8051StopRequest.store(1);
    // Generous bound: a loaded machine may not schedule the thread for a while.
    while (MC8051Running.load() != 0 && std::chrono::steady_clock::now() - asked < std::chrono::seconds(30))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(MC8051Running.load(), 0);
    f.runner.stop();
    EXPECT_TRUE(f.services.stopped);
    EXPECT_EQ(f.cpu.ram(0x31), 1) << "the program ran";
    EXPECT_FALSE(f.runner.runPass()) << "the stop request stays set";
}

} // namespace
} // namespace qv::sim::test
