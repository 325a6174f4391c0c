// The PLC links take the project's settings as the settings page stores them: the Modbus
// slave's two start addresses and the dynamic device address options, through the
// application's poll and its received bytes.
#include <gtest/gtest.h>

#include "sim/runtime/sim_runtime.h"
#include "tests/model/vars_fixture.h"
#include "tests/sim/plc_peer_bytes.h"
#include "config/settings/com_set_page.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim {
namespace {

namespace page = qv::settings_page;

class PlcAppSettings : public qv::test::ProjectFixture {
protected:
    // A run time of its own per case: no half-received frame is carried over.
    void freshRuntime()
    {
        app->SetSimulationServices(nullptr);
        runtime = std::make_unique<SimRuntime>(*app);
        app->SetSimulationServices(runtime.get());
    }
    void TearDown() override
    {
        app->SetSimulationServices(nullptr);
        runtime.reset();
    }
    std::unique_ptr<SimRuntime> runtime;
};

TEST_F(PlcAppSettings, SlaveBasesAndDynamicStationComeFromThePage)
{
    struct Case {
        const char* what;
        int dynamic;
        int silentAtZero;
        std::uint8_t stationByte;  // at offset 500 + the port's device address 2
        std::uint8_t asked;        // the station the master asks
        bool answered;
    };
    const Case cases[] = {
        {"the device address without the dynamic option", 0, 0, 9, 2, true},
        {"the station byte with it", 1, 0, 9, 9, true},
        {"the device address is then not the station", 1, 0, 9, 2, false},
        {"station byte 0 is silent under its option", 1, 1, 0, 0, false},
        {"station byte 0 is a station without it", 1, 0, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        page::ComSetPage p = page::LoadPage(*project, "");
        p.ports[0].protocol = protocol::ModbusSlave;
        p.ports[0].deviceAddress = 2;
        p.shared[page::kSlaveHmiStart] = 300;
        p.shared[page::kSlaveRegisterStart] = 100;
        p.shared[page::kDynamicSlaveAddress] = c.dynamic;
        p.shared[page::kNoCommAtSlaveZero] = c.silentAtZero;
        p.shared[page::kSlaveAddressOffset] = 500;
        const page::CommitResult committed = page::CommitPage(p, *project);
        ASSERT_FALSE(committed.refusal) << *committed.refusal;
        project->m_bPort1Connected = 1;
        freshRuntime();
        app->PollPlcPorts(); // takes the settings

        app->m_VarMemRun.writeByte(502, c.stationByte);
        app->m_VarMemRun.write(302, 2, 0);
        // Register 101 is the second from the base: HMI address 300 + 2.
        for (std::uint8_t b : plc::peer::withCrc({c.asked, 6, 0, 101, 0xAB, 0xCD}))
            app->OnSerialByte(b, project->m_serial.com1);
        EXPECT_EQ(app->m_VarMemRun.read(302, 2), c.answered ? 0xABCDu : 0u);
    }
}

} // namespace
} // namespace qv::sim
