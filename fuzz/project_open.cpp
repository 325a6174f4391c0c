// A project file opened the way the program opens one: its resolution, its window lists,
// the simulation rebuilt from its variables. A refusal says why; the program goes on.
#include "fuzz/fuzz_folder.h"
#include "fuzz/fuzz_target.h"
#include "model/app/editor_app.h"
#include "model/document/ui_prompts.h"

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
        require(app.m_nResWidth >= 1 && app.m_nResWidth <= 8192 && app.m_nResHeight >= 1 && app.m_nResHeight <= 8192,
                "a project outside the resolution range was opened");
        app.CloseAllDocuments();
    }
}

} // namespace qv::fuzz
