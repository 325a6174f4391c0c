// The simulator's rebuild as far as the simulator exists: the variable memory and the
// current windows. Restoring the saved non-volatile variables, loading the PLC driver
// tables and restarting the 8051 emulator come with the simulator.
#include "model/app/editor_app.h"
#include "model/vars/hmi_vars.h"

namespace qv {

void CEditorApp::RebuildSimulation()
{
    const RebuildReport report = RebuildSimulationMemory(*this);
    for (const std::string& line : report.skipped)
        m_reports.appendText(line + "\r\n");
}

} // namespace qv
