// Bytes a port's monitor thread receives reach the touch sink only from a connected project
// port whose protocol is the touch controller's.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "sim/plc/touch_byte_sink.h"
#include "sim/runtime/sim_runtime.h"
#include "tests/model/vars_fixture.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim {
namespace {

class RecordingSink : public plc::TouchByteSink {
public:
    void touchByte(std::uint8_t byte) override
    {
        std::lock_guard lock(mutex_);
        bytes_.push_back(byte);
    }
    std::vector<std::uint8_t> take()
    {
        std::lock_guard lock(mutex_);
        return std::exchange(bytes_, {});
    }

private:
    std::mutex mutex_;
    std::vector<std::uint8_t> bytes_;
};

class TouchRoute : public qv::test::ProjectFixture {};

TEST_F(TouchRoute, OnlyAConnectedTouchPortFeedsTheSink)
{
    struct Case {
        int protocol;
        bool connected;
        bool sinkInstalled;
        bool reachesSink;
    };
    const Case cases[] = {
        {protocol::ResistiveTouch, true, true, true},
        {protocol::ModbusMaster, true, true, false},
        {protocol::ResistiveTouch, false, true, false},
        {protocol::ResistiveTouch, true, false, false},
    };
    const std::vector<std::uint8_t> packet{0x80, 0x01, 0x02, 0x03, 0x04};
    for (const Case& c : cases) {
        SCOPED_TRACE("protocol " + std::to_string(c.protocol) + (c.connected ? " connected" : " idle") +
                     (c.sinkInstalled ? "" : " no sink"));
        SimRuntime runtime(*app);
        app->SetSimulationServices(&runtime);
        RecordingSink sink;
        runtime.SetTouchSink(c.sinkInstalled ? &sink : nullptr);
        project->SetSettingI32(settings::kProtocol1, c.protocol);
        project->m_bPort1Connected = c.connected ? 1 : 0;
        app->PollPlcPorts(); // the links take the settings on their tick
        std::thread monitor([&] {
            for (std::uint8_t b : packet)
                app->OnSerialByte(b, project->m_serial.com1);
        });
        monitor.join();
        EXPECT_EQ(sink.take(), c.reachesSink ? packet : std::vector<std::uint8_t>{});
        runtime.SetTouchSink(nullptr);
        project->m_bPort1Connected = 0;
        app->SetSimulationServices(nullptr);
    }
}

} // namespace
} // namespace qv::sim
