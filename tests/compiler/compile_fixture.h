#pragma once
// A project to compile headless: a fresh project folder, the settings of a new project, a
// report queue that the test drains, a fake monotonic clock and a screen compiler the test
// can script.
#include "compiler/compile/compile_worker.h"
#include "tests/compiler/new_project_input.h"
#include "tests/fixtures/temp_dir.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace qv::test {

std::vector<compile::WindowSource> windowsNamed(std::initializer_list<const char*> fileNamesGbk);

// Writes a record of `recordBytes[i]` bytes (filled with i + 1) for window i and can stop
// the compile at a given window, as the user's abort or as a failing item compiler.
class ScriptedScreenCompiler : public compile::ScreenCompiler {
public:
    std::vector<std::uint32_t> recordBytes;   // per window in table order; missing: empty
    int abortAtWindow = -1;                   // sets the abort flag like the abort command
    int failAtWindow = -1;                    // fails with `failMessage`
    int throwAtWindow = -1;                   // throws, as a faulty item compiler could
    std::string failMessage;
    compile::CompileFlags* flags = nullptr;
    std::vector<std::string> compiled;        // file names, in the order compiled

    void compileCursors(compile::CompileContext&) override {}
    void compileWindow(compile::CompileContext& ctx, const compile::WindowSource& w, compile::WindowKind) override;
};

class CompileFixture {
public:
    CompileFixture();

    compile::CompileOutcome compile(compile::ScreenCompiler* screens = nullptr);
    // Everything logged since the last call (GBK), the message boxes shown, and the last
    // progress and close-box state.
    std::string takeLog();
    const std::vector<std::string>& messageBoxes() const { return boxes_; }
    bool closeBoxEnabled() const { return closeBox_; }
    int lastProgress() const { return progress_; }
    void drain();

    std::filesystem::path imagePath() const { return dir.path() / "NandFlash" / "NandFlash.Zip"; }
    std::string readImage() const;
    bool imageExists() const;

    TempDir dir;
    compile::CompileInput input;
    ReportQueue reports;
    compile::CompileFlags flags;
    compile::EmptyScreenCompiler empty;
    std::chrono::steady_clock::time_point clock{};
    compile::CompileServices services;

private:
    std::string log_;
    std::vector<std::string> boxes_;
    bool closeBox_ = true;
    int progress_ = -1;
};

// Writes `text` to the project's "MC8051\MC8051.hex".
void writeUserCode(const std::filesystem::path& project, const std::string& text);

} // namespace qv::test
