#pragma once
// A compile as the program runs one, for the benchmarks: the window compiler on `threads`
// workers with the item compilers, its services, and the log a failed compile leaves.
#include "compiler/compile/compile_worker.h"
#include "compiler/items/install_items.h"
#include "compiler/screen/window_compiler.h"
#include "model/paint/control_font_registry.h"
#include "platform/picture/picture.h"
#include "platform/report/report_queue.h"

#include <filesystem>
#include <string>
#include <variant>

namespace qv::bench {

struct CompileRig {
    CompileRig(const std::filesystem::path& base, unsigned threads)
        : compiler(screen::WindowRenderServices{[](const std::filesystem::path& f) { return loadPictureFile(f); }, base,
                                                threads},
                   items::itemCompilerTable(&fonts))
    {
        services.reports = &reports;
        services.flags = &flags;
        services.screens = &compiler;
    }

    // Compiles `input` with the glyph tables cleared first; `log` gets the output lines.
    compile::CompileOutcome run(const compile::CompileInput& input, std::string& log)
    {
        fonts.Clear();
        const auto outcome = compile::runCompile(input, services);
        log.clear();
        reports.drain([&](Report& r) {
            if (auto* t = std::get_if<ReportText>(&r))
                log += t->gbk;
        });
        return outcome;
    }

    ControlFontRegistry fonts; // before the compiler, which keeps a pointer to it
    screen::WindowScreenCompiler compiler;
    ReportQueue reports;
    compile::CompileFlags flags;
    compile::CompileServices services;
};

} // namespace qv::bench
