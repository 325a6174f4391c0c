#include "props/sheet_values.h"

#include "props/control_sheets.h"
#include "props/object_parts.h"

namespace qv {
namespace {

PicturePage loadPicturePage(const CDrawObj& obj, const SheetContext& context)
{
    PicturePage page;
    page.transparent = static_cast<std::uint32_t>(obj.m_bTransparent);
    page.transparentColor = obj.m_clrTransparent;
    if (!obj.m_strFiles.empty())
        page.path = StoredPicturePath(context, obj.m_strFiles[0]);
    page.loadedPath = page.path;
    return page;
}

AppearancePage loadAppearance(const CDrawObj& obj, const SheetContext& context)
{
    switch (KindSheetOf(obj.Kind()).pages.front()) {
    case PageId::Rect: return LoadRectPage(obj);
    case PageId::Picture: return loadPicturePage(obj, context);
    case PageId::Text: return LoadTextPage(obj);
    case PageId::Table: return LoadPageFields(kTablePageFields, obj);
    case PageId::Pipe: return LoadPageFields(kPipePageFields, obj);
    case PageId::PipeJoint: return LoadPageFields(kPipeJointPageFields, obj);
    case PageId::Scale: return LoadPageFields(kScalePageFields, obj);
    case PageId::NumericInput: {
        NumericInputPage page = LoadPageFields(kNumericInputPageFields, obj);
        page.font = obj.m_logfont;
        return page;
    }
    default: return std::monostate{};
    }
}

void commitPicture(const PicturePage& page, CDrawObj& obj, const SheetContext& context)
{
    if ((page.transparent != 0) != (obj.m_bTransparent != 0))
        obj.m_bTransparent = page.transparent != 0 ? 1 : 0;
    obj.m_clrTransparent = page.transparentColor;
    // A picture the user did not change is not copied again (it may be missing on this
    // machine, and its stored name is right as it stands).
    if (page.path.empty() || page.path == page.loadedPath || !context.copyPicture)
        return;
    if (std::optional<std::string> stored = context.copyPicture(page.path)) {
        if (obj.m_strFiles.empty())
            obj.m_strFiles.emplace_back();
        obj.m_strFiles[0] = std::move(*stored);
    }
}

struct AppearanceCommit {
    CDrawObj& obj;
    const SheetContext& context;
    template <class ControlAppearance>
    void operator()(const ControlAppearance&) const {}  // the controls' pages commit their own
    void operator()(const RectPage& p) const { CommitRectPage(p, obj); }
    void operator()(const PicturePage& p) const { commitPicture(p, obj, context); }
    void operator()(const TextPage& p) const { CommitTextPage(p, obj); }
    void operator()(const TablePage& p) const { CommitPageFields(kTablePageFields, p, obj); }
    void operator()(const PipePage& p) const { CommitPageFields(kPipePageFields, p, obj); }
    void operator()(const PipeJointPage& p) const
    {
        CommitPageFields(kPipeJointPageFields, p, obj);
    }
    void operator()(const ScalePage& p) const { CommitPageFields(kScalePageFields, p, obj); }
    void operator()(const NumericInputPage& p) const
    {
        CommitPageFields(kNumericInputPageFields, p, obj);
        obj.m_logfont = p.font;
    }
};

} // namespace

SheetValues LoadSheet(const CDrawObj& obj, const SheetContext& context)
{
    SheetValues values;
    values.kind = obj.Kind();
    values.sources = {context.protocol1, context.protocol2, context.varNames, context.projectDir, context.varTable};
    values.appearance = loadAppearance(obj, context);
    LoadControlPages(obj, context, values);
    values.position = LoadPositionPage(obj, context.frame, KindSheetOf(obj.Kind()).showOriginalSize);
    return values;
}

void CommitSheet(const SheetValues& values, CDrawObj& obj, const SheetContext& context)
{
    std::visit(AppearanceCommit{obj, context}, values.appearance);
    CommitControlPages(values, obj, context);

    const PositionPage& pos = values.position;
    Rect position = FromFrameRect(pos.position, context.frame);
    if (pos.showOriginalSize) {
        bool originalSize = pos.originalSize != 0;
        int width = 0, height = 0;
        if (const auto* picture = std::get_if<PicturePage>(&values.appearance))
            width = picture->pictureWidth, height = picture->pictureHeight;
        else if (const auto* frames = std::get_if<PictureGroupPage>(&values.appearance))
            width = frames->pictureWidth, height = frames->pictureHeight;
        // Fitting needs the picture's size; while it is unknown the page's values stand.
        if (originalSize && width > 0 && height > 0)
            position = FitPictureSize(obj.m_rcPosition.normalized(), context.frame, width, height, originalSize);
        if (originalSize != (obj.m_bOriginalSize != 0))
            obj.m_bOriginalSize = originalSize ? 1 : 0;
    }
    if ((pos.locked != 0) != (obj.m_bLocked != 0))
        obj.m_bLocked = pos.locked != 0 ? 1 : 0;
    obj.m_rcPosition = ClampToWindow(position, context.frame);
}

} // namespace qv
