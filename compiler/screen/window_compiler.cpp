#include "compiler/screen/window_compiler.h"

#include "compiler/compile/compile_options.h"
#include "compiler/compile/compile_texts.h"
#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"
#include "compiler/items/item_support.h"
#include "compiler/screen/cursor_pictures.h"
#include "compiler/screen/prepare_pool.h"
#include "compiler/screen/surface_pool.h"
#include "compiler/tiles/picture_tiles.h"
#include "model/document/draw_doc.h"
#include "model/params/blocks/area_block.h"
#include "model/params/object_var_refs.h"
#include "model/paint/paint_dispatch.h"
#include "platform/surface/surface.h"

#include <algorithm>

namespace qv::screen {

using namespace qv::image;

namespace {

constexpr const char* kBadWindowSuffix = "的窗口位置或大小无效";

bool isSubWindowTitle(const std::string& title)
{
    return title.size() >= 4 && title.compare(title.size() - 4, 4, ".dlg") == 0;
}

} // namespace

class WindowRun {
public:
    WindowRun(compile::CompileContext& ctx, const compile::WindowSource& w, const WindowRenderServices& services,
              const ItemCompilerTable& items)
        : ctx_(ctx), window_(w), services_(services), items_(items)
    {
    }
    // What needs nothing of the image and the header area: the window loaded, rendered and
    // masked, its background encoded for a page-aligned start. Any thread; a failure is kept
    // for write().
    void prepare();
    // The record and the window's pictures, in the image's order (the writer's thread).
    void write();

private:
    bool load();
    bool render();
    void maskControls();
    bool appendStream(const tiles::PageStream& s);
    bool writeBackground();
    bool writeFrame();
    bool writeRegions();
    void compileControls();
    void setNextItemOffset();
    std::span<std::uint8_t> bytes() { return ctx_.header().bytes(); }
    bool aborted() const { return ctx_.aborted(); }
    void failLater(std::string messageGbk) { error_ = std::move(messageGbk); }

    compile::CompileContext& ctx_;
    const compile::WindowSource& window_;
    const WindowRenderServices& services_;
    const ItemCompilerTable& items_;

    CDrawDoc doc_;
    bool subWindow_ = false;
    bool rotated_ = false;
    Point margins_;
    Rect windowRect_;
    PaintContext paint_;
    // Made by render(). Of each only the window and the controls' areas are ever read.
    std::optional<PooledSurface> heldPainted_, heldMasked_, heldShapes_;
    Surface* painted_ = nullptr;        // the window's static content (the regions' pixels)
    Surface* masked_ = nullptr;         // quantised, key colour kept for what the panel draws itself
    const Surface* shapes_ = nullptr;   // the shapes on the paper: where the items' work canvases start
    ControlPlan plan_;
    std::string error_;                                 // a failure of prepare(), reported by write()
    std::optional<std::vector<tiles::PictureTile>> tiles_;
    std::optional<tiles::PageStream> background_;       // encoded from a page start
    std::uint32_t recordStart_ = 0;
    std::uint32_t itemIndex_ = 0;
    tiles::AbortCheck abortCheck_ = [this] { return aborted(); };
};

bool WindowRun::load()
{
    DocumentError error;
    if (!doc_.LoadFromBytes(window_.storedBytes, window_.fileName, &error)) {
        failLater(error.messageGbk + "\r\n");
        return false;
    }
    doc_.SetTitle(window_.fileName);
    subWindow_ = isSubWindowTitle(window_.fileName);
    rotated_ = getU32(ctx_.input().settings, compile::opt::LcdRotated) != 0;
    margins_ = {doc_.m_nMarginX, doc_.m_nMarginY};
    windowRect_ = Rect::saturated(std::int64_t{margins_.x} + doc_.m_ptWindowOrigin.x,
                                  std::int64_t{margins_.y} + doc_.m_ptWindowOrigin.y,
                                  std::int64_t{margins_.x} + doc_.m_ptWindowOrigin.x + doc_.m_nWindowWidth,
                                  std::int64_t{margins_.y} + doc_.m_ptWindowOrigin.y + doc_.m_nWindowHeight);
    const Rect& r = windowRect_;
    if (!onCanvas(r) || r.right < r.left || r.bottom < r.top) {
        failLater(window_.fileName + kBadWindowSuffix + compile::text::kFailSuffix);
        return false;
    }
    return true;
}

bool WindowRun::render()
{
    // Only the window and the controls' areas (each with the row and column past it, which
    // the items' work canvases read) are ever read back: the canvas reaches just past them
    // (the editor's is twice the project resolution), and only they are cleared.
    int w = std::max(windowRect_.right, 1);
    int h = std::max(windowRect_.bottom, 1);
    std::vector<Rect> controlAreas;
    bool allInWindow = true;
    for (auto& obj : doc_.m_objects) {
        obj->m_rcPosition = obj->m_rcPosition.normalized();
        // A control kind counts as one whatever its stored flag: the paint sets the flag.
        if (obj->m_bControl == 0 && !PaintRuleFor(obj->Kind()).control)
            continue;
        // A control no canvas can hold is refused by its item compiler; it must not size the
        // canvas.
        if (!onCanvas(obj->m_rcPosition))
            continue;
        const Rect& r = obj->m_rcPosition;
        if (obj->m_bControl != 0) {
            w = std::max(r.right + 1, w);
            h = std::max(r.bottom + 1, h);
        }
        const Rect area{r.left, r.top, r.right + 1, r.bottom + 1};
        controlAreas.push_back(area);
        allInWindow = allInWindow && area.left >= windowRect_.left && area.top >= windowRect_.top &&
                      area.right <= windowRect_.right && area.bottom <= windowRect_.bottom;
    }
    // What is read of the painted surface starts white, the window on its paper.
    heldPainted_.emplace(w, h, controlAreas, 0x00FFFFFF);
    painted_ = &heldPainted_->get();
    painted_->fillRect(windowRect_, doc_.m_paperColor);
    // The masked surface is all written by maskControls() before it is read; until then it
    // is the shapes' work surface, which they clear where they use it.
    heldMasked_.emplace(w, h, std::span<const Rect>{}, 0x00FFFFFF);
    masked_ = &heldMasked_->get();
    paint_.compiling = true;
    paint_.margins = margins_;
    paint_.projectDir = ctx_.input().projectFolder;
    paint_.baseDir = services_.baseDir;
    paint_.loadPicture = services_.loadPicture;
    // A window file's own copy of the variable table is empty for most windows: variables
    // are looked up in the project's table, as every other operation looks them up.
    paint_.lookupVar = resolverFor(&ctx_.input().variables);
    items::paintShapesOnce(doc_, *painted_, *masked_, paint_);

    // What every item's work canvas starts from: the shapes on the paper. Inside the window
    // the painted surface is exactly that; only controls reaching out of it need the shapes
    // painted again over paper everywhere.
    if (allInWindow) {
        shapes_ = painted_;
        return true;
    }
    controlAreas.push_back(windowRect_);
    heldShapes_.emplace(w, h, controlAreas, doc_.m_paperColor);
    PooledSurface work(w, h, std::span<const Rect>{}, doc_.m_paperColor);
    items::paintShapesOnce(doc_, heldShapes_->get(), work.get(), paint_);
    shapes_ = &heldShapes_->get();
    return true;
}

void WindowRun::maskControls()
{
    // Only the bits RGB565 keeps; a drawn pixel that would read as the key colour gets the
    // substitute colour, so the panel never shows the screen behind it there.
    // (The window lies on both surfaces: their rows are read and written directly.)
    for (int y = windowRect_.top; y < windowRect_.bottom; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(painted_->width());
        const std::uint32_t* from = painted_->bits() + row;
        std::uint32_t* to = masked_->bits() + row;
        for (int x = windowRect_.left; x < windowRect_.right; ++x) {
            const ColorRef c = fromPixel(from[x]) & tiles::kKeyMask;
            to[x] = toPixel(c == tiles::kKeyColor ? tiles::kSubstituteColor : c);
        }
    }
    // The panel draws the controls itself over key-coloured areas.
    for (std::size_t i = 0; i < doc_.m_objects.size(); ++i) {
        const CDrawObj& o = *doc_.m_objects[i];
        if (!plan_.info[i].compilable || isMovingControl(o))
            continue;
        if (o.Kind() == ShapeKind::AreaControl && o.Param(blocks::area::kBehaviour) != blocks::area::kBackgroundCopy)
            continue;
        masked_->fillRect(o.m_rcPosition, tiles::kKeyColor);
    }
}

bool WindowRun::appendStream(const tiles::PageStream& s)
{
    if (ctx_.file().append(s.bytes()))
        return true;
    ctx_.fail(compile::text::kDiskFull);
    return false;
}

void WindowRun::setNextItemOffset()
{
    putU16(bytes(), recordStart_ + 4 + 2 * itemIndex_, static_cast<std::uint16_t>(ctx_.header().writeOffset() - recordStart_));
    ++itemIndex_;
}

bool WindowRun::writeBackground()
{
    setNextItemOffset();
    const auto n = static_cast<std::uint32_t>(tiles_->size());
    const auto item = ctx_.reserveHeader(4 + tiles::kTileEntrySize * n);
    if (!item)
        return false;
    ctx_.addPictures(n);
    // Page data depends only on the position within a page: the stream encoded from a page
    // start is the image's bytes wherever a page starts.
    if (!background_ || (ctx_.file().size() & ctx_.geometry().pageMask) != 0) {
        background_.emplace(ctx_.file().size(), ctx_.geometry().pageMask);
        if (!tiles::writePictureTiles(*background_, *masked_, *tiles_, margins_, rotated_, abortCheck_))
            return false;
    }
    if (!appendStream(*background_))
        return false;
    putU8(bytes(), *item, kItemBackground);
    putU8(bytes(), *item + 1, static_cast<std::uint8_t>(n));
    tiles::storeTileTable(bytes().subspan(*item + 4, tiles::kTileEntrySize * n), *tiles_);
    return true;
}

bool WindowRun::writeFrame()
{
    setNextItemOffset();
    const auto item = ctx_.reserveHeader(kFrameItemSize);
    if (!item)
        return false;
    const bool flagged = doc_.SettingI32(80) != 0 || isSystemSubWindow(window_.fileName);
    const std::uint32_t o = *item;
    putU8(bytes(), o + 0, kItemFrame);
    putU8(bytes(), o + 1, 2);
    putU8(bytes(), o + 2, doc_.m_ProjectSettings[0]);
    putU8(bytes(), o + 3, flagged ? 1 : 0);
    const int left = doc_.m_ptWindowOrigin.x;
    const int top = doc_.m_ptWindowOrigin.y;
    putU16(bytes(), o + 4, static_cast<std::uint16_t>(left));
    putU16(bytes(), o + 6, static_cast<std::uint16_t>(top));
    putU16(bytes(), o + 8, static_cast<std::uint16_t>(left + doc_.m_nWindowWidth));
    putU16(bytes(), o + 10, static_cast<std::uint16_t>(top + doc_.m_nWindowHeight));
    return true;
}

bool WindowRun::writeRegions()
{
    for (std::size_t index : plan_.outermost) {
        const CDrawObj& o = *doc_.m_objects[index];
        const ControlCompileInfo& info = plan_.info[index];
        setNextItemOffset();
        const auto item = ctx_.reserveHeader(kRegionItemSize);
        if (!item)
            return false;
        const Rect& r = o.m_rcPosition;
        std::uint32_t length = 0;
        // A control no canvas can hold has no pixels to keep (its item compiler refuses it
        // below); its region would be billions of pixels.
        if (info.needsRegion && onCanvas(r)) {
            tiles::PageStream stream(ctx_.file().size(), ctx_.geometry().pageMask);
            stream.putRaw(tiles::kPageStartByte);
            if (!tiles::writePixelsRGB565(stream, *painted_, r, rotated_, abortCheck_))
                return false;
            stream.padToPage();
            if (!appendStream(stream))
                return false;
            length = static_cast<std::uint32_t>(stream.bytes().size());
            ctx_.addPictures(1);
        }
        putU8(bytes(), *item + 0, kItemRegion);
        putU8(bytes(), *item + 1, 2);
        putU8(bytes(), *item + 2, info.needsRegion ? 1 : 0);
        putU16(bytes(), *item + 4, static_cast<std::uint16_t>(r.left - margins_.x));
        putU16(bytes(), *item + 6, static_cast<std::uint16_t>(r.top - margins_.y));
        putU16(bytes(), *item + 8, static_cast<std::uint16_t>(r.width()));
        putU16(bytes(), *item + 10, static_cast<std::uint16_t>(r.height()));
        putU32(bytes(), *item + 12, length);
    }
    return true;
}

void WindowRun::compileControls()
{
    for (std::size_t i = 0; i < doc_.m_objects.size(); ++i) {
        if (aborted())
            return;
        CDrawObj& o = *doc_.m_objects[i];
        if (plan_.info[i].compilable) {
            setNextItemOffset();
            if (const ItemCompiler* compiler = items_.find(o.Kind())) {
                ItemCompileArgs args{ctx_, doc_, o, plan_.info[i], recordStart_, paint_, rotated_, shapes_, i};
                const ParamBlock before = o.m_Params;
                (*compiler)(args);
                if (o.m_Params != before)
                    ctx_.noteControlChange({window_.fileName, i, before, o.m_Params});
                if (o.Kind() == ShapeKind::NumericInput)
                    ctx_.addPictures(1);
            } else {
                // A kind with no compiler in the table: an item that names only its type.
                const auto item = ctx_.reserveHeader(4);
                if (!item)
                    return;
                putU8(bytes(), *item, static_cast<std::uint8_t>(itemTypeForKind(o.Kind())));
            }
        }
        ctx_.addProgress(1);
    }
}

void WindowRun::prepare()
{
    if (!load() || !render())
        return;
    plan_ = prepareControlLists(doc_.m_objects, subWindow_ ? 2 : 1);
    maskControls();
    tiles_ = tiles::splitPictureTiles(windowRect_);
    if (!tiles_) {
        failLater(std::string(tiles::kTooManyTilesMessage) + "\r\n");
        return;
    }
    tiles::PageStream stream(0, ctx_.geometry().pageMask);
    if (tiles::writePictureTiles(stream, *masked_, *tiles_, margins_, rotated_, abortCheck_))
        background_ = std::move(stream);
}

void WindowRun::write()
{
    if (!error_.empty()) {
        ctx_.fail(error_);
        return;
    }
    if (!tiles_ || aborted())
        return;
    std::uint32_t count = (subWindow_ ? 2 : 1) + static_cast<std::uint32_t>(plan_.outermost.size());
    count += static_cast<std::uint32_t>(std::count_if(plan_.info.begin(), plan_.info.end(),
                                                      [](const ControlCompileInfo& c) { return c.compilable; }));
    recordStart_ = ctx_.header().writeOffset();
    const auto table = ctx_.reserveHeader(4 + 2 * count);
    if (!table)
        return;
    putU16(bytes(), recordStart_ + 0, 0);
    putU16(bytes(), recordStart_ + 2, static_cast<std::uint16_t>(count));

    if (!writeBackground() || aborted())
        return;
    ctx_.addProgress(1);
    if (subWindow_ && !writeFrame())
        return;
    if (!writeRegions() || aborted())
        return;
    compileControls();
}

void WindowScreenCompiler::compileCursors(compile::CompileContext& ctx)
{
    compileCursorPictures(ctx, services_.loadPicture, services_.baseDir);
}

void WindowScreenCompiler::beginWindows(compile::CompileContext& ctx, std::vector<const compile::WindowSource*> order)
{
    endWindows();
    if (services_.threads <= 1 || order.empty())
        return;
    order_ = std::move(order);
    next_ = 0;
    std::vector<std::function<std::unique_ptr<WindowRun>()>> jobs;
    for (const compile::WindowSource* w : order_)
        jobs.push_back([this, &ctx, w] {
            auto run = std::make_unique<WindowRun>(ctx, *w, services_, items_);
            run->prepare();
            return run;
        });
    // Each window ahead holds its surfaces: no more are prepared than the threads can use.
    prepared_ = std::make_unique<PreparePool<WindowRun>>(std::move(jobs), services_.threads, services_.threads + 1);
}

void WindowScreenCompiler::endWindows()
{
    prepared_.reset();
    order_.clear();
}

void WindowScreenCompiler::compileWindow(compile::CompileContext& ctx, const compile::WindowSource& window,
                                         compile::WindowKind)
{
    std::unique_ptr<WindowRun> run;
    if (prepared_ && next_ < order_.size() && order_[next_] == &window)
        run = prepared_->take(next_++);
    if (!run) {
        run = std::make_unique<WindowRun>(ctx, window, services_, items_);
        run->prepare();
    }
    run->write();
}

WindowScreenCompiler::WindowScreenCompiler(WindowRenderServices services, ItemCompilerTable items)
    : services_(std::move(services)), items_(std::move(items))
{
}

WindowScreenCompiler::~WindowScreenCompiler() { endWindows(); }

} // namespace qv::screen
