#pragma once
// Joins the simulator's run time to the program: the user code's services reach the
// run-mode view (repaint, timer 0, run canvas), the sound device and the picture files; a
// run-mode press plays the key click; a touch controller's bytes reach the run-mode view;
// each start gives the sound service the project's folder. The emulator stops before any of
// this goes away.
#include "app/view/run_view_link.h"
#include "platform/sound/sound_player.h"
#include "sim/services/panel_media.h"
#include "sim/sound/sound_service.h"

namespace qv {

class CEditorApp;

namespace sim {
class SimRuntime;
}

class SimulatorWiring {
public:
    SimulatorWiring(CEditorApp& app, sim::SimRuntime& runtime, SoundPlayer& player, sim::SoundService& sound);
    ~SimulatorWiring();
    SimulatorWiring(const SimulatorWiring&) = delete;
    SimulatorWiring& operator=(const SimulatorWiring&) = delete;

    RunViewLink& ViewLink() { return link_; }

private:
    CEditorApp& app_;
    sim::SimRuntime& runtime_;
    RunViewLink link_;
    sim::PanelMediaServices media_;
};

} // namespace qv
