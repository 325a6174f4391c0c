#include "app/bindings/simulator/simulator_wiring.h"

#include "model/app/editor_app.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "platform/picture/picture.h"
#include "sim/runtime/sim_runtime.h"
#include "sim/sound/key_click.h"

namespace qv {
namespace {

sim::PictureServiceContext pictureContext(CEditorApp& app, RunViewLink& link)
{
    sim::PictureServiceContext context;
    context.baseFolder = app.BaseDir();
    context.decodePicture = [](std::string_view bytes) { return decodePicture(bytes); };
    context.canvas = [&link](const std::function<void(Surface&)>& draw) { return link.DrawOnRunCanvas(draw); };
    return context;
}

} // namespace

SimulatorWiring::SimulatorWiring(CEditorApp& app, sim::SimRuntime& runtime, SoundPlayer& player, sim::SoundService& sound)
    : app_(app), runtime_(runtime), link_(app), media_(&sound, pictureContext(app, link_))
{
    runtime_.StopUserCode(); // the seams change only while no user code runs
    runtime_.SetViewLink(&link_);
    runtime_.SetTouchSink(&link_);
    runtime_.SetMediaServices(&media_);
    runtime_.onUserCodeStart = [this, &sound] {
        sound.SetProjectFolder(app_.m_strProjectDir);
        media_.SetScreenSize(app_.m_nResWidth, app_.m_nResHeight);
    };
    runtime_.keyClick = [this, &player] {
        const auto address = SystemVarAddress(app_, SystemVar::KeySound, 1);
        sim::PlayKeyClick(player, app_.BaseDir(), address.value_or(-1), app_.m_VarMem);
    };
}

SimulatorWiring::~SimulatorWiring()
{
    runtime_.StopUserCode();
    runtime_.keyClick = nullptr;
    runtime_.onUserCodeStart = nullptr;
    runtime_.SetMediaServices(nullptr);
    runtime_.SetTouchSink(nullptr);
    runtime_.SetViewLink(nullptr);
}

} // namespace qv
