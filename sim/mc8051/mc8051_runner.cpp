#include "sim/mc8051/mc8051_runner.h"

#include <chrono>

#include "model/app/emulator_flags.h"

namespace qv::sim {
namespace {

constexpr std::uint8_t kTimer0Enable = 0x82; // EA + ET0
constexpr std::uint8_t kSerialEnable = 0x90; // EA + ES

} // namespace

Mc8051Runner::Mc8051Runner(Mc8051Cpu& cpu, Mc8051Services& services, std::atomic<int>* timer0Pending)
    : cpu_(cpu), services_(services), timer0Pending_(timer0Pending)
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
    if (timer0Pending_)
        timer0Pending_->store(0);
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
    thread_.join();
}

void Mc8051Runner::threadMain()
{
    while (runPass()) {
    }
    services_.onStop();
    MC8051Running.store(0);
}

bool Mc8051Runner::runPass()
{
    if (MC8051StopRequest.load() != 0)
        return false;

    if (cpu_.ram(sfr::CmdAdr) != 0 && !cpu_.inInterrupt) {
        services_.serveRequest(cpu_);
        cpu_.setRam(sfr::CmdAdr, 0);
    }

    // All ticks counted since the last look make one interrupt; timer 0 goes first, so a
    // serial byte waiting in the same pass is taken after the handler's RETI.
    const std::uint8_t ie = cpu_.ram(sfr::IE);
    if (timer0Pending_ && timer0Pending_->load() != 0 && !cpu_.inInterrupt && (ie & kTimer0Enable) == kTimer0Enable) {
        timer0Pending_->store(0);
        cpu_.enterInterrupt(kTimer0Vector);
    }
    if (!cpu_.inInterrupt && (ie & kSerialEnable) == kSerialEnable && services_.serialPending()) {
        if (const auto pair = services_.takeSerial()) {
            cpu_.setRam(sfr::COMNUM, pair->port);
            cpu_.setRam(sfr::SBUF, pair->byte);
            cpu_.enterInterrupt(kSerialVector);
        }
    }

    services_.afterChecks(cpu_);
    cpu_.step();

    if (++sinceYield_ >= kYieldEvery) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sinceYield_ = 0;
    }
    return true;
}

} // namespace qv::sim
