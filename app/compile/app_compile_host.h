#pragma once
// The application's side of the compile command: what the command asks of the open project
// (its settings block, saving, stopping the emulator, the simulation rebuild and the
// snapshot the worker compiles). The two things that need the window, the confirmation
// dialog and bringing the project's frame forward, come in as functions, so this part runs
// without a display.
#include "compiler/compile/compile_command.h"

#include <functional>

namespace qv {

class CEditorApp;

class AppCompileHost final : public compile::CompileCommandHost {
public:
    struct Window {
        // Shows the options for confirmation; false on Cancel.
        std::function<bool(compile::CompileOptions&)> confirm;
        // Brings the project document's frame forward (may be empty).
        std::function<void()> activateProjectFrame;
    };

    AppCompileHost(CEditorApp& app, Window window);

    std::span<std::uint8_t> projectSettings() override;
    bool confirmOptions(compile::CompileOptions& options) override;
    void optionsAccepted(const compile::CompileOptions& options) override;
    void resetControlFonts() override;
    void saveModifiedDocuments() override;
    void stopEmulator() override;
    void activateProject() override;
    void rebuildSimulation() override;
    compile::CompileInput takeCompileInput() override;

private:
    CEditorApp& app_;
    Window window_;
};

} // namespace qv
