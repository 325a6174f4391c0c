#include "props/data_control_sheets.h"

#include "model/params/block_bytes.h"
#include "model/shape/shape_kind.h"
#include "props/curve_records.h"
#include "props/object_parts.h"

namespace qv {
namespace {

AddressGroup readGroup(const GroupLayout& layout, const CDrawObj& obj)
{
    return LoadPageGroup(layout, LinkKind::Word, false, obj);
}

CharacterShapePage loadCharacterShape(const CDrawObj& obj)
{
    CharacterShapePage page = LoadPageFields(kCharacterShapeFields, obj);
    page.initialText.text = page.initialText.loaded = obj.m_strName;
    page.font = obj.m_logfont;
    return page;
}

CurveShapePage loadCurveShape(const CDrawObj& obj)
{
    CurveShapePage page = LoadPageFields(kCurveShapeFields, obj);
    page.interval = page.loadedInterval = static_cast<std::uint32_t>(obj.Param(blocks::curve::kSamplePeriod));
    page.font = obj.m_logfont;
    return page;
}

CurveControlPage loadCurveControl(const CDrawObj& obj)
{
    CurveControlPage page = LoadPageFields(kCurveControlFields, obj);
    // A stored count outside the list shows as the list holds it; the block keeps its own
    // unless the list is edited.
    page.count = page.loadedCount = curveRecordCount(obj.m_Params);
    for (int i = 0; i < kMaxCurves; ++i)
        page.records[static_cast<std::size_t>(i)] = ReadCurveRecord(obj.m_Params, i);
    page.loadedRecords = page.records;
    return page;
}

PictureGroupPage loadPictureGroup(const CDrawObj& obj, const SheetContext& context)
{
    PictureGroupPage page = LoadPageFields(kPictureGroupFields, obj);
    page.loadedNames = obj.m_strFiles;
    for (const std::string& stored : obj.m_strFiles)
        page.frames.push_back({StoredPicturePath(context, stored), stored});
    return page;
}

PictureDisplayControlPage loadPictureDisplay(const CDrawObj& obj)
{
    PictureDisplayControlPage page = LoadPageFields(kPictureDisplayFields, obj);
    page.read = readGroup(kPictureReadGroup, obj);
    return page;
}

ProgressShapePage loadProgressShape(const CDrawObj& obj, const SheetContext& context)
{
    ProgressShapePage page = LoadPageFields(kProgressShapeFields, obj);
    page.picture = LoadPictureSlot(obj, 0, context);
    return page;
}

ProgressControlPage loadProgressControl(const CDrawObj& obj)
{
    ProgressControlPage page = LoadPageFields(kProgressControlFields, obj);
    page.read = readGroup(kProgressReadGroup, obj);
    return page;
}

AreaControlPage loadArea(const CDrawObj& obj, const SheetContext& context)
{
    AreaControlPage page = LoadPageFields(kAreaControlFields, obj);
    page.subWindow.text = page.subWindow.loaded = obj.m_strName;
    page.font = obj.m_logfont;
    page.windowTitle = context.windowTitle;
    page.subWindows = AreaSubWindows(context.subWindows);
    return page;
}

struct Commit {
    CDrawObj& obj;
    const SheetContext& context;
    template <class Other>
    void operator()(const Other&) const {}

    void operator()(const CharacterShapePage& p) const
    {
        CommitPageFields(kCharacterShapeFields, p, obj);
        if (p.initialText.changed())
            obj.m_strName = p.initialText.text;
        obj.m_logfont = p.font;
    }
    void operator()(const CharacterControlPage& p) const { CommitPageFields(kCharacterControlFields, p, obj); }
    void operator()(const CurveShapePage& p) const
    {
        CommitPageFields(kCurveShapeFields, p, obj);
        if (p.interval != p.loadedInterval)
            obj.SetParam(blocks::curve::kSamplePeriod, static_cast<std::int32_t>(RoundCurveInterval(p.interval)));
        obj.m_logfont = p.font;
    }
    void operator()(const CurveControlPage& p) const
    {
        CommitPageFields(kCurveControlFields, p, obj);
        if (!p.curvesChanged())
            return;
        obj.SetParam(blocks::curve::kCurveCount, p.count);
        for (int i = 0; i < kMaxCurves; ++i)
            WriteCurveRecord(obj.m_Params, i, p.records[static_cast<std::size_t>(i)]);
    }
    void operator()(const PictureGroupPage& p) const
    {
        CommitPageFields(kPictureGroupFields, p, obj);
        if (!p.framesChanged())
            return;
        std::vector<std::string> names;
        for (const FrameRow& row : p.frames)
            if (!row.stored.empty())  // every new row was copied on OK; one that was not is left out
                names.push_back(row.stored);
        obj.m_strFiles = std::move(names);
    }
    void operator()(const PictureDisplayControlPage& p) const
    {
        CommitPageFields(kPictureDisplayFields, p, obj);
        CommitGroup(p.read, obj.m_Params);
    }
    void operator()(const ProgressShapePage& p) const
    {
        CommitPageFields(kProgressShapeFields, p, obj);
        CommitPictureSlot(p.picture, obj, 0, context);
    }
    void operator()(const ProgressControlPage& p) const
    {
        CommitPageFields(kProgressControlFields, p, obj);
        CommitGroup(p.read, obj.m_Params);
    }
    void operator()(const AreaControlPage& p) const
    {
        CommitPageFields(kAreaControlFields, p, obj);
        if (p.subWindow.changed())
            obj.m_strName = p.subWindow.text;
        obj.m_logfont = p.font;
    }
};

} // namespace

bool PictureGroupPage::framesChanged() const
{
    if (frames.size() != loadedNames.size())
        return true;
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (frames[i].stored != loadedNames[i])
            return true;
    return false;
}

bool LoadDataControlPages(const CDrawObj& obj, const SheetContext& context, SheetValues& values)
{
    switch (obj.Kind()) {
    case ShapeKind::Character:
        values.appearance = loadCharacterShape(obj);
        values.control = LoadPageFields(kCharacterControlFields, obj);
        return true;
    case ShapeKind::Curve:
        values.appearance = loadCurveShape(obj);
        values.control = loadCurveControl(obj);
        return true;
    case ShapeKind::DynamicPicture:
        values.appearance = loadPictureGroup(obj, context);
        values.control = loadPictureDisplay(obj);
        return true;
    case ShapeKind::ProgressBar:
        values.appearance = loadProgressShape(obj, context);
        values.control = loadProgressControl(obj);
        return true;
    case ShapeKind::AreaControl: values.control = loadArea(obj, context); return true;
    default: return false;
    }
}

void CommitDataControlPages(const SheetValues& values, CDrawObj& obj, const SheetContext& context)
{
    std::visit(Commit{obj, context}, values.appearance);
    std::visit(Commit{obj, context}, values.control);
}

std::string CheckDataControlPages(const SheetValues& values, const SheetContext& context)
{
    const auto* shape = std::get_if<CurveShapePage>(&values.appearance);
    const auto* control = std::get_if<CurveControlPage>(&values.control);
    if (shape && control)
        return CheckCurvePages(*shape, *control, context.varTable);
    return {};
}

bool CopyNewFrames(SheetValues& values, const SheetContext& context)
{
    auto* page = std::get_if<PictureGroupPage>(&values.appearance);
    if (!page)
        return true;
    for (FrameRow& row : page->frames) {
        if (!row.stored.empty() || row.path.empty())
            continue;
        std::optional<std::string> stored = context.copyPicture ? context.copyPicture(row.path) : std::nullopt;
        if (!stored)
            return false;
        row.stored = std::move(*stored);
    }
    return true;
}

} // namespace qv
