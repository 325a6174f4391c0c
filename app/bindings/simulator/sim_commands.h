#pragma once
// The simulator's tools on the main window: full-screen simulation (`cmd::FullScreenSimulation`),
// the serial debugging dialog (`cmd::SerialDebug`) and the voice assistant (`cmd::VoiceAssistant`);
// the program's one sound device and the simulator's sound service, which the run-mode view,
// the emulator's services and CloseSound share.
#include "device/sound/result_sound.h"
#include "platform/sound/sound_player.h"
#include "sim/sound/sound_service.h"

class QWidget;

namespace qv {

class CEditorApp;
class CMainFrame;

// The process's sound device (SDL2_mixer), opened on its first sound.
SoundPlayer& ApplicationSoundPlayer();
// The device results' sounds (CDlgResultSound) on that device.
device::ResultSoundPlayer& ApplicationResultSound();
// The simulator's sound service over that device, installed for sim::CloseSound.
sim::SoundService& SimulatorSoundService();

void bindSimCommands(CMainFrame& frame, CEditorApp& app);
// The main window full screen without the palette (or back, when it is full screen already),
// then, unless the focused view runs already, the simulator restarted from the saved values
// and shown.
void OnFullScreenSimulation(CEditorApp& app, CMainFrame& frame);
// The modal voice assistant over the open project (or the program's folder without one).
void OpenVoiceAssistant(CEditorApp& app, QWidget* parent);

} // namespace qv
