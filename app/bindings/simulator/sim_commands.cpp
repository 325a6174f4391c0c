#include "app/bindings/simulator/sim_commands.h"

#include "app/mainframe/main_frame.h"
#include "app/view/draw_view.h"
#include "model/app/editor_app.h"
#include "platform/sound/mixer_player.h"
#include "platform/speech/espeak_engine.h"
#include "sim/ui/serial_debug_dlg.h"
#include "sim/ui/voice_assistant_dlg.h"

namespace qv {

SoundPlayer& ApplicationSoundPlayer()
{
    static MixerSoundPlayer player;
    return player;
}

device::ResultSoundPlayer& ApplicationResultSound()
{
    static device::SoundDeviceResultSound player(ApplicationSoundPlayer());
    return player;
}

sim::SoundService& SimulatorSoundService()
{
    static sim::SoundService service(ApplicationSoundPlayer());
    static const bool installed = (sim::InstallSimulatorSound(&service), true);
    (void)installed;
    return service;
}

void OpenVoiceAssistant(CEditorApp& app, QWidget* parent)
{
    VoiceAssistantServices services;
    services.engine = &EspeakSpeechEngine();
    services.player = &ApplicationSoundPlayer();
    services.reports = &app.m_reports;
    services.projectFolder = app.m_strProjectDir.empty() ? std::filesystem::current_path() : app.m_strProjectDir;
    CDlgVoiceAssistant dlg(std::move(services), parent);
    dlg.exec();
}

void OnFullScreenSimulation(CEditorApp& app, CMainFrame& frame)
{
    // The display mode is left as it is: on X11 and Wayland only the desktop may change it,
    // so full screen is the desktop's size.
    app.m_bShowBars = 0; // no palette: the simulator takes the whole screen
    frame.OnFullScreen();
    app.m_bShowBars = 1;
    if (app.m_pFocusView != nullptr && app.m_pFocusView->IsRunMode())
        return; // the simulator already shows
    if (app.FindDocByTitle(CEditorApp::kSimulatorTitle) == nullptr)
        return;
    app.m_bLoadSavedVars = 1;
    app.RebuildSimulation();
    frame.ShowDocumentWindow(frame.FindDocumentWindow(CEditorApp::kSimulatorTitle));
}

void bindSimCommands(CMainFrame& frame, CEditorApp& app)
{
    CMainFrame* f = &frame;
    frame.commands().bind(cmd::FullScreenSimulation,
                          [&app, f] { OnFullScreenSimulation(app, *f); });
    frame.commands().bind(cmd::SerialDebug, [&app, f] {
        if (!app.ProjectDoc())
            return;
        CSerialDebugDlg dlg(app, f);
        dlg.exec();
        f->RefreshCommands();
    });
}

} // namespace qv
