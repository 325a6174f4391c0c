#pragma once
// A CPU over its own variable bank, with code poked in by the test.
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <span>

#include "model/vars/var_bank.h"
#include "sim/mc8051/mc8051_cpu.h"
#include "sim/mc8051/mc8051_runner.h"

namespace qv::sim::test {

struct CpuFixture {
    std::unique_ptr<VarBank> bank = std::make_unique<VarBank>();
    std::atomic<int> dirty{0};
    Mc8051Cpu cpu{*bank, &dirty};

    CpuFixture() { cpu.powerOn(); }

    // Puts `code` at `address` (the rest of the image is 0xFF).
    void load(std::initializer_list<std::uint8_t> code, std::uint16_t address = 0)
    {
        load(std::span<const std::uint8_t>(code.begin(), code.size()), address);
    }
    void load(std::span<const std::uint8_t> code, std::uint16_t address = 0)
    {
        CodeImage image;
        image.fill(0xFF);
        std::uint16_t at = address;
        for (std::uint8_t byte : code)
            image[at++] = byte;
        cpu.loadCode(image);
        cpu.pc = address;
    }
    void steps(int count)
    {
        for (int i = 0; i < count; ++i)
            cpu.step();
    }
};

// Serial pairs queued by the test, requests counted.
class FakeServices : public Mc8051Services {
public:
    std::deque<SerialPair> serial;
    std::atomic<int> pending{0};
    int requests = 0;
    std::uint8_t lastRequest = 0;
    bool stopped = false;

    void queue(SerialPair pair)
    {
        serial.push_back(pair);
        pending.store(static_cast<int>(serial.size()));
    }
    const std::atomic<int>& serialPending() const override { return pending; }
    std::optional<SerialPair> takeSerial() override
    {
        if (serial.empty())
            return std::nullopt;
        SerialPair pair = serial.front();
        serial.pop_front();
        pending.store(static_cast<int>(serial.size()));
        return pair;
    }
    void serveRequest(Mc8051Cpu& cpu, std::uint64_t) override
    {
        ++requests;
        lastRequest = cpu.ram(sfr::CmdAdr);
    }
    void onStop() override { stopped = true; }
};

} // namespace qv::sim::test
