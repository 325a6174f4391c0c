#pragma once
// What the screen compiler (and the item compilers under it) see of a running compile: the
// header area with its write offset, the image file with its position, the geometry, the
// counters the start map reports, the abort flag and the progress.
#include "compiler/compile/compile_input.h"
#include "compiler/image/header_area.h"
#include "compiler/image/nand_geometry.h"
#include "compiler/image/staged_image_file.h"
#include "model/project/compile_all.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv::compile {

// The control an item compiler refused: the editor selects it once the compile has stopped.
struct RefusedControl {
    std::string windowTitle;   // GBK
    std::size_t objectIndex = 0;
};

// The application's busy and abort flags that a compile shares with the user interface.
// Bound to the application object's own flags, so the abort command and the busy rules of
// the menus see the same values the worker sets and tests; a default-made set owns its
// flags (headless compiles, tests).
class CompileFlags {
public:
    CompileFlags() : compiling(own_[0]), abort(own_[1]) {}
    CompileFlags(std::atomic<int>& compilingFlag, std::atomic<int>& abortFlag)
        : compiling(compilingFlag), abort(abortFlag)
    {
    }
    CompileFlags(const CompileFlags&) = delete;
    CompileFlags& operator=(const CompileFlags&) = delete;

private:
    std::atomic<int> own_[2]{};   // declared first: the references may bind to it

public:
    std::atomic<int>& compiling;
    std::atomic<int>& abort;
};

class CompileContext {
public:
    CompileContext(const CompileInput& input, const image::NandGeometry& geometry, CompileFlags& flags,
                   std::function<void(std::uint64_t done, std::uint64_t total)> progress);

    const CompileInput& input() const { return input_; }
    const image::NandGeometry& geometry() const { return geometry_; }
    image::HeaderArea& header() { return header_; }
    image::StagedImageFile& file() { return file_; }

    // The header write offset's claim, checked against the start map: on overflow the
    // compile fails with the "too many screens or controls" message and nullopt comes back.
    std::optional<std::uint32_t> reserveHeader(std::uint32_t length);

    // A compiler that cannot go on: sets the abort flag and leaves its message (GBK, with
    // "\r\n") for the worker to report. The first message wins.
    void fail(std::string messageGbk);
    bool aborted() const { return flags_.abort.load() != 0; }
    const std::string& failureMessage() const { return message_; }
    // The control whose refusal stopped the compile (the first one wins, as the message).
    void noteRefusedControl(RefusedControl c);
    const std::optional<RefusedControl>& refusedControl() const { return refused_; }
    // What item compilers changed in the controls of the windows' copies, in compile order.
    void noteControlChange(CompiledControlChange change) { controlChanges_.push_back(std::move(change)); }
    std::vector<CompiledControlChange> takeControlChanges() { return std::move(controlChanges_); }

    // Counters of the start map (reset by every compile, so a project always compiles to the
    // same bytes).
    void addPictures(std::uint32_t n) { pictureCount_ += n; }
    void addControlFont() { ++fontCount_; }
    std::uint32_t pictureCount() const { return pictureCount_; }
    std::uint32_t fontCount() const { return fontCount_; }

    void setProgressTotal(std::uint64_t total) { progressTotal_ = total; }
    void addProgress(std::uint64_t units);
    // Raises the progress to at least `done` (the worker keeps it moving per window).
    void progressAtLeast(std::uint64_t done);

private:
    const CompileInput& input_;
    image::NandGeometry geometry_;
    CompileFlags& flags_;
    std::function<void(std::uint64_t, std::uint64_t)> progress_;
    image::HeaderArea header_;
    image::StagedImageFile file_;
    std::string message_;
    std::optional<RefusedControl> refused_;
    std::vector<CompiledControlChange> controlChanges_;
    std::uint32_t pictureCount_ = 0;
    std::uint32_t fontCount_ = 0;
    std::uint64_t progressDone_ = 0;
    std::uint64_t progressTotal_ = 1;
};

// The window compiler. The worker has logged "编译文件<title>" and noted the record start
// (the header write offset) before compileWindow; the compiler appends the window record
// there through reserveHeader() and the window's picture data to the file, and reports a
// failure through fail(). The worker then writes the window-table entry.
class ScreenCompiler {
public:
    virtual ~ScreenCompiler() = default;
    // The project document: the four cursor pictures and the cursor table.
    virtual void compileCursors(CompileContext& ctx) = 0;
    // The windows about to be compiled, in table order; each then comes to compileWindow in
    // that order, unless the compile stops. endWindows follows on every way out.
    virtual void beginWindows(CompileContext&, std::vector<const WindowSource*>) {}
    virtual void compileWindow(CompileContext& ctx, const WindowSource& window, WindowKind kind) = 0;
    virtual void endWindows() {}
};

// Compiles every window to an empty record and leaves the cursor table zero: the compile
// without its window compiler, for the tests of the frame around it.
class EmptyScreenCompiler final : public ScreenCompiler {
public:
    void compileCursors(CompileContext&) override {}
    void compileWindow(CompileContext&, const WindowSource&, WindowKind) override {}
};

} // namespace qv::compile
