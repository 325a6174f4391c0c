#include "app/compile/app_compile_host.h"

#include "sim/sound/sound_service.h"

#include "compiler/image/image_layout.h"
#include "compiler/project/app_compile_input.h"
#include "model/app/editor_app.h"
#include "model/app/emulator_flags.h"
#include "model/document/draw_doc.h"
#include "model/project/project_title.h"
#include "platform/text/gbk.h"

namespace qv {

AppCompileHost::AppCompileHost(CEditorApp& app, Window window) : app_(app), window_(std::move(window)) {}

std::span<std::uint8_t> AppCompileHost::projectSettings()
{
    CDrawDoc* project = app_.ProjectDoc();
    if (project == nullptr)
        return {};
    return project->m_ProjectSettings;
}

bool AppCompileHost::confirmOptions(compile::CompileOptions& options)
{
    return window_.confirm && window_.confirm(options);
}

void AppCompileHost::optionsAccepted(const compile::CompileOptions&)
{
    // The rotate option travels to the worker inside the settings block it snapshots.
    if (CDrawDoc* project = app_.ProjectDoc())
        project->SetModifiedFlag(true);
}

void AppCompileHost::resetControlFonts()
{
    // Nothing to empty here: each compile numbers its control fonts afresh in its own context.
}

void AppCompileHost::saveModifiedDocuments()
{
    // A document that cannot be saved says so through the prompts; the compile goes on, as it
    // compiles the documents in memory, not the files.
    for (CDrawDoc* doc : app_.GetDocManager().AllDocuments())
        if (doc->IsModified() && doc->GetTitle() != CEditorApp::kSimulatorTitle)
            doc->DoFileSave();
}

void AppCompileHost::stopEmulator()
{
    MC8051StopRequest = 1;
    sim::CloseSound();
}

void AppCompileHost::activateProject()
{
    CDrawDoc* project = app_.ProjectDoc();
    if (project == nullptr)
        return;
    if (window_.activateProjectFrame)
        window_.activateProjectFrame();
    ShowProjectFileTitle(app_);
}

void AppCompileHost::rebuildSimulation() { app_.RebuildSimulation(); }

compile::CompileInput AppCompileHost::takeCompileInput()
{
    if (auto input = compile::takeCompileInput(app_))
        return std::move(*input);
    // The command found a project a moment ago on this same thread, so this cannot happen;
    // should it, the worker refuses the blank settings instead of writing anywhere.
    compile::CompileInput none;
    none.settings[image::st::FlashSizeCode] = 0xFF;
    return none;
}

} // namespace qv
