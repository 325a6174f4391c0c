// A project file opened the way the program opens one: its resolution, its window lists,
// the simulation rebuilt from its variables. A refusal says why; the program goes on.
#include "fuzz/fuzz_folder.h"
#include "fuzz/fuzz_target.h"
#include "model/app/editor_app.h"
#include "model/document/ui_prompts.h"
#include "model/project/resolution_range.h"

#include <cstdlib>
#include <fstream>

namespace qv::fuzz {
namespace {

struct SilentPrompts : UiPrompts {
    void ShowMessage(std::string_view, Icon) override {}
    bool AskYesNo(std::string_view) override { return false; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }
};

} // namespace

void RunOne(const std::uint8_t* data, std::size_t size)
{
    static ScratchCleanup cleanup;
    // The simulation a project opens with must never reach a real serial port.
    static const int noPorts = ::setenv("QV_COM_MAP", "1=/nonexistent/qv-fuzz-com1;2=/nonexistent/qv-fuzz-com2", 1);
    (void)noPorts;
    const auto base = scratchFolder();
    const auto project = base / "p";
    std::filesystem::create_directories(project / "window");
    const auto file = project / "p.hmi";
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    SilentPrompts prompts;
    CEditorApp app(base);
    app.SetPrompt(&prompts);
    app.InitDocTemplates();
    if (app.OpenProjectFile(file)) {
        require(IsProjectResolutionInRange(app.m_nResWidth, app.m_nResHeight),
                "a project outside the resolution range was opened");
        app.CloseAllDocuments();
    }
}

} // namespace qv::fuzz
