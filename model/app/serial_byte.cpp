// Bytes of the project's serial ports, on their monitor threads, and the PLC links' tick: both
// go to the simulator run time when one is installed.
#include "model/app/editor_app.h"
#include "model/app/simulation_services.h"

namespace qv {

int CEditorApp::OnSerialByte(std::uint8_t byte, int port)
{
    if (SimulationServices* sim = m_simulation)
        sim->OnSerialByte(byte, port);
    return 0;
}

void CEditorApp::PollPlcPorts()
{
    if (m_simulation)
        m_simulation->PollPlcPorts();
}

} // namespace qv
