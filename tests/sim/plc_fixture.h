#pragma once
// A PLC link engine over a block, two banks and recording ports, for the link tests.
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "model/vars/var_bank.h"
#include "sim/plc/plc_links.h"

namespace qv::test {

// Frames sent per port, and the events; waits for a count of either.
class RecordingPlcIo : public sim::plc::PlcPortIo, public sim::plc::PlcEvents {
public:
    void send(int port, std::span<const std::uint8_t> bytes, bool discard) override
    {
        std::lock_guard g(m);
        sent.push_back({port, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), discard});
        cv.notify_all();
    }
    void noResponse(int link, bool show) override
    {
        std::lock_guard g(m);
        windows.push_back((show ? 1 : -1) * link);
    }
    void panelWrite(int link, std::uint32_t address, std::uint32_t length) override
    {
        std::lock_guard g(m);
        panelWrites.push_back({address, length});
    }
    void reportLine(std::string line) override
    {
        std::lock_guard g(m);
        lines.push_back(std::move(line));
    }
    struct Sent {
        int port;
        std::vector<std::uint8_t> bytes;
        bool discard;
    };
    std::vector<std::uint8_t> last()
    {
        std::lock_guard g(m);
        return sent.empty() ? std::vector<std::uint8_t>{} : sent.back().bytes;
    }
    std::size_t sentCount()
    {
        std::lock_guard g(m);
        return sent.size();
    }

    std::mutex m;
    std::condition_variable cv;
    std::vector<Sent> sent;
    std::vector<int> windows;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> panelWrites;
    std::vector<std::string> lines;
};

struct PlcRig {
    explicit PlcRig(int protocol1, int protocol2 = 0)
    {
        settings.ports[0].protocol = protocol1;
        settings.ports[1].protocol = protocol2;
        settings.connected = {true, true};
        links.setSettings(settings);
    }
    // Records of link 1 (then starts the links afresh).
    void load(const std::vector<sim::plc::PlcMapRecord>& records, int link = 1)
    {
        links.rebuild([&] {
            block.reset();
            std::string rows(records.size() * sim::plc::kRecordSize, '\0');
            for (std::size_t i = 0; i < records.size(); ++i)
                plcmap::EncodeRecord(records[i], rows, i * sim::plc::kRecordSize);
            block.appendRows(rows, link);
            block.setCurrent(link, 0);
        });
    }
    void apply() { links.setSettings(settings); }
    // One tick `ms` after the previous one (the first tick starts the clock).
    void tick(int ms = 5, int screen = 0)
    {
        now += ms;
        links.tick(now, screen);
    }
    void feed(const std::vector<std::uint8_t>& bytes, int port = 1)
    {
        for (auto b : bytes)
            links.onByte(port, b);
    }

    sim::plc::PlcSettings settings;
    sim::plc::PlcProtocolBlock block;
    std::unique_ptr<VarBank> live = std::make_unique<VarBank>();
    std::unique_ptr<VarBank> shown = std::make_unique<VarBank>();
    RecordingPlcIo io;
    sim::plc::PlcLinks links{block, *live, *shown, io, io};
    std::int64_t now = 1000;
};

inline sim::plc::PlcMapRecord plcRecord(std::uint8_t type, std::uint16_t number, std::uint16_t count, std::uint16_t hmi,
                                        std::uint16_t timeout5 = 200, std::uint8_t station = 1)
{
    sim::plc::PlcMapRecord r;
    r.station = station;
    r.elementType = type;
    r.elementNumber = number;
    r.count = count;
    r.hmiAddress = hmi;
    r.screen = 0xFF;
    r.port = 1;
    r.commDelay5 = 0;
    r.ackDelay5 = 0;
    r.timeout5 = timeout5;
    return r;
}

} // namespace qv::test
