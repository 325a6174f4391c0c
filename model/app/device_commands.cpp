#include "model/app/device_commands.h"

#include "model/app/editor_app.h"

namespace qv {

void CEditorApp::SyncPanelClock()
{
    if (m_deviceCommands != nullptr)
        m_deviceCommands->SyncPanelClock();
}

int CEditorApp::TestFlash()
{
    return m_deviceCommands != nullptr ? m_deviceCommands->TestFlash() : 0;
}

void CEditorApp::ClearFlashProject()
{
    if (m_deviceCommands != nullptr)
        m_deviceCommands->ClearFlashProject();
}

} // namespace qv
