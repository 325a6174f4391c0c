// Window compile: a window file as a screen of an otherwise new project, through the window
// compiler and every item compiler. A refused window says why and leaves no image; a
// compiled one leaves its image.
#include "compiler/compile/compile_worker.h"
#include "compiler/items/install_items.h"
#include "compiler/screen/window_compiler.h"
#include "fuzz/fuzz_target.h"
#include "model/document/draw_doc.h"
#include "model/paint/control_font_registry.h"
#include "tests/compiler/new_project_input.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace qv::fuzz {
namespace {

// One project folder per process, removed at exit.
const std::filesystem::path& projectFolder()
{
    static const std::filesystem::path folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/qv_fuzz_compile.XXXXXX";
        require(::mkdtemp(pattern.data()) != nullptr, "no temporary project folder");
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(projectFolder(), ec);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

} // namespace

void RunOne(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(asText(data, size));
    compile::CompileInput input = test::newProjectInput(projectFolder());
    // Controls resolve their variables through the project's table: take the window's own,
    // so the item compilers get past the binding check.
    CDrawDoc doc;
    DocumentError error;
    if (doc.LoadFromBytes(bytes, "fuzz.drw", &error))
        input.variables = doc.m_varTable;
    input.screens = {{"a.drw", true, 1, bytes}};

    ReportQueue reports;
    compile::CompileFlags flags;
    // With a font registry, as the program compiles: the character and area control items too.
    ControlFontRegistry fonts;
    screen::WindowScreenCompiler screens({}, items::itemCompilerTable(&fonts));
    compile::CompileServices services;
    services.reports = &reports;
    services.flags = &flags;
    services.screens = &screens;
    const compile::CompileOutcome outcome = compile::runCompile(input, services);

    std::string log;
    reports.drain([&](Report& r) {
        if (auto* t = std::get_if<ReportText>(&r))
            log += t->gbk;
    });
    std::error_code ec;
    const bool imageLeft = std::filesystem::exists(projectFolder() / "NandFlash" / "NandFlash.Zip", ec);
    require(outcome.ok == imageLeft, "the image left behind does not match the outcome");
    require(outcome.ok || !log.empty(), "a refused window gives no reason");
    std::filesystem::remove_all(projectFolder() / "NandFlash", ec);
}

} // namespace qv::fuzz
