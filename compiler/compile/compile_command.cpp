#include "compiler/compile/compile_command.h"

#include "compiler/compile/compile_texts.h"
#include "compiler/image/image_layout.h"

#include <fmt/format.h>

namespace qv::compile {

std::string compileBanner()
{
    return fmt::format("- - - - - - - - - - - -  Quorvane:    V{}.{}    Release  - - - - - - - - - - - -\r\n",
                       image::kVersionMajor, image::kVersionMinor);
}

CompileStart runCompileCommand(CompileCommandHost& host, CompileThread& thread, CompileServices services)
{
    if (services.flags->compiling.load() != 0)
        return CompileStart::Busy;
    const auto settings = host.projectSettings();
    if (settings.size() != image::st::SettingsSize)
        return CompileStart::NoProject;
    const std::span<std::uint8_t, 1024> block(settings.data(), 1024);

    CompileOptions options = readCompileOptions(block);
    if (!host.confirmOptions(options))
        return CompileStart::Cancelled;
    writeCompileOptions(block, options);
    host.optionsAccepted(options);

    services.started = services.now();
    host.resetControlFonts();
    host.saveModifiedDocuments();
    host.stopEmulator();
    host.activateProject();
    host.rebuildSimulation();

    ReportQueue& reports = *services.reports;
    reports.post(ReportClearOutput{});
    reports.appendText(compileBanner());
    reports.appendText(text::kStartCompiler);

    CompileFlags& flags = *services.flags;
    flags.compiling.store(1);
    if (!thread.start(host.takeCompileInput(), std::move(services))) {
        reports.appendText(text::kNoThread);
        flags.compiling.store(0);   // the worker never ran
        return CompileStart::NoThread;
    }
    return CompileStart::Started;
}

} // namespace qv::compile
