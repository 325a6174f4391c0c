#pragma once
// The window compiler: loads a window from its stored bytes, renders its static content into
// the background picture, writes the window record (offset table, background item, the
// sub-window frame, the background regions) and hands each control to its item compiler.
#include "compiler/compile/compile_context.h"
#include "compiler/screen/item_compilers.h"
#include "model/paint/paint_context.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace qv::screen {

inline constexpr std::uint8_t kItemFrame = 0;
inline constexpr std::uint8_t kItemBackground = 1;
inline constexpr std::uint8_t kItemRegion = 11;
inline constexpr std::uint32_t kFrameItemSize = 12;
inline constexpr std::uint32_t kRegionItemSize = 16;

struct WindowRenderServices {
    PictureLoader loadPicture;      // nullptr: picture shapes draw nothing
    std::filesystem::path baseDir;  // holds "images"
    // Threads that load, render and mask the windows ahead of the one writing the image (the
    // image is the same for any number); 1: everything on the compile's own thread.
    unsigned threads = 1;
};

class WindowRun;
template <class Result>
class PreparePool;

class WindowScreenCompiler final : public compile::ScreenCompiler {
public:
    explicit WindowScreenCompiler(WindowRenderServices services = {}, ItemCompilerTable items = {});

    ~WindowScreenCompiler() override;

    void compileCursors(compile::CompileContext& ctx) override;
    void beginWindows(compile::CompileContext& ctx, std::vector<const compile::WindowSource*> order) override;
    void compileWindow(compile::CompileContext& ctx, const compile::WindowSource& window, compile::WindowKind kind) override;
    void endWindows() override;

private:
    WindowRenderServices services_;
    ItemCompilerTable items_;
    std::vector<const compile::WindowSource*> order_;
    std::size_t next_ = 0;
    std::unique_ptr<PreparePool<WindowRun>> prepared_;
};

} // namespace qv::screen
