#include "sim/mc8051/mc8051_runner.h"

#include <algorithm>
#include <chrono>

#include "model/app/emulator_flags.h"

namespace qv::sim {

const std::atomic<int>& Mc8051Services::serialPending() const
{
    static const std::atomic<int> none{0};
    return none;
}

Mc8051Runner::Mc8051Runner(Mc8051Cpu& cpu, Mc8051Services& services, std::atomic<int>* timer0Pending)
    : cpu_(cpu),
      services_(services),
      timer0Pending_(timer0Pending ? timer0Pending : &noTicks_),
      watch_{&MC8051StopRequest, timer0Pending_, &services.serialPending()}
{
}

Mc8051Runner::~Mc8051Runner()
{
    stop();
}

void Mc8051Runner::resetForRun()
{
    cpu_.resetForRun();
    services_.resetForRun();
    timer0Pending_->store(0);
    pass_ = 0;
    sinceYield_ = 0;
}

bool Mc8051Runner::start()
{
    if (thread_.joinable())
        return false;
    resetForRun();
    MC8051StopRequest.store(0);
    MC8051Running.store(1);
    thread_ = std::thread([this] { threadMain(); });
    return true;
}

void Mc8051Runner::stop()
{
    if (!thread_.joinable())
        return;
    MC8051StopRequest.store(1);
    services_.onStopRequested();
    thread_.join();
}

void Mc8051Runner::threadMain()
{
    runPasses(Mc8051Services::kNever);
    services_.onStop();
    MC8051Running.store(0);
}

void Mc8051Runner::beforeInstruction()
{
    if (cpu_.ram(sfr::CmdAdr) != 0 && !cpu_.inInterrupt) {
        services_.serveRequest(cpu_, pass_);
        cpu_.setRam(sfr::CmdAdr, 0);
    }

    // All ticks counted since the last look make one interrupt; timer 0 goes first, so a
    // serial byte waiting in the same pass is taken after the handler's RETI.
    const std::uint8_t ie = cpu_.ram(sfr::IE);
    if (timer0Pending_->load() != 0 && !cpu_.inInterrupt && (ie & iebit::Timer0) == iebit::Timer0) {
        timer0Pending_->store(0);
        cpu_.enterInterrupt(kTimer0Vector);
    }
    if (!cpu_.inInterrupt && (ie & iebit::Serial) == iebit::Serial && watch_.serial->load() != 0) {
        if (const auto pair = services_.takeSerial()) {
            cpu_.setRam(sfr::COMNUM, pair->port);
            cpu_.setRam(sfr::SBUF, pair->byte);
            cpu_.enterInterrupt(kSerialVector);
        }
    }

    if (services_.checksDueAt() <= pass_)
        services_.afterChecks(cpu_, pass_);
}

void Mc8051Runner::sleepOneMillisecond()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void Mc8051Runner::afterInstructions(std::uint32_t count)
{
    pass_ += count;
    sinceYield_ += count;
    if (sinceYield_ >= kYieldEvery) {
        rest_();
        sinceYield_ = 0;
    }
}

bool Mc8051Runner::runPass()
{
    if (MC8051StopRequest.load() != 0)
        return false;
    beforeInstruction();
    afterInstructions(cpu_.runFor(1, watch_));
    return true;
}

std::uint64_t Mc8051Runner::runPasses(std::uint64_t passes)
{
    std::uint64_t done = 0;
    while (done < passes && MC8051StopRequest.load() == 0) {
        beforeInstruction();
        // Passes that need none of the checks above run back to back inside the CPU.
        std::uint64_t budget = std::min<std::uint64_t>(kYieldEvery - sinceYield_, passes - done);
        const std::uint64_t due = services_.checksDueAt();
        budget = due > pass_ ? std::min(budget, due - pass_) : 1;
        const std::uint32_t ran = cpu_.runFor(static_cast<std::uint32_t>(budget), watch_);
        afterInstructions(ran);
        done += ran;
    }
    return done;
}

} // namespace qv::sim
