#pragma once
// The seam between the window compiler and the compilers of the control items. Each item
// compiler writes its item at the header write offset (through reserveHeader) and its
// pictures to the image; a kind without an installed compiler gets a stub item that holds
// only its type code, so the record's offset table always points at real items.
#include "compiler/compile/compile_context.h"
#include "compiler/screen/control_regions.h"
#include "model/paint/paint_context.h"

#include <cstddef>
#include <functional>
#include <map>
#include <optional>

namespace qv {
class CDrawDoc;
class CDrawObj;
} // namespace qv

namespace qv::screen {

// Larger windows than this cannot be tiled (27 tiles of the largest size each way), so a
// window file that claims more is damaged; refusing it keeps the work bitmaps bounded.
inline constexpr int kMaxCanvasExtent = 16384;

// Where a window or a control can lie: a damaged window file may place one anywhere in the
// int range.
inline bool onCanvas(const Rect& r)
{
    return r.left >= 0 && r.top >= 0 && r.right <= kMaxCanvasExtent && r.bottom <= kMaxCanvasExtent;
}

struct ItemCompileArgs {
    compile::CompileContext& ctx;
    CDrawDoc& doc;                   // the window, loaded on the worker thread
    CDrawObj& control;
    const ControlCompileInfo& info;  // redraw flags and region item for the item
    std::uint32_t recordStart;
    const PaintContext& paint;       // what renders the window (compiling flag set)
    bool rotated;                    // the panel's LCD is turned 90 degrees
    // The window's shapes and static kinds on its paper, painted once for all its controls;
    // nullptr: each work canvas paints them itself.
    const Surface* windowShapes = nullptr;
    // The control's place in its window's object list (none: a control compiled alone).
    std::optional<std::size_t> objectIndex = std::nullopt;
};

using ItemCompiler = std::function<void(ItemCompileArgs&)>;

class ItemCompilerTable {
public:
    void install(ShapeKind kind, ItemCompiler compiler) { compilers_[kind] = std::move(compiler); }
    const ItemCompiler* find(ShapeKind kind) const
    {
        auto it = compilers_.find(kind);
        return it == compilers_.end() ? nullptr : &it->second;
    }

private:
    std::map<ShapeKind, ItemCompiler> compilers_;
};

} // namespace qv::screen
