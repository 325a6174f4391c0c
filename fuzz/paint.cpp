// A window file painted as the editor and the simulator paint it: every drawing call of
// every kind with the values a stranger's file holds. Glyphs of any height keep the cache
// under its cap.
#include "fuzz/fuzz_target.h"
#include "model/document/draw_doc.h"
#include "model/paint/paint_dispatch.h"
#include "platform/surface/font_engine.h"

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    CDrawDoc doc;
    DocumentError error;
    if (!doc.LoadFromBytes(asText(data, size), "fuzz.drw", &error))
        return;
    PaintContext ctx;
    ctx.projectDir = "/nonexistent-project";
    ctx.loadPicture = [](const std::filesystem::path&) -> PicturePtr { return nullptr; };
    Surface target(320, 240), work1(320, 240), work2(320, 240);
    PaintAll(doc.m_objects, {target, &work1, &work2}, ctx);
    require(FontEngine::forThisThread().cachedGlyphBytes() <= FontEngine::glyphCacheCap(), "glyph cache past its cap");
}

} // namespace qv::fuzz
