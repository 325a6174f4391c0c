#include "props/control_sheets.h"

#include "model/shape/shape_kind.h"
#include "props/button_actions.h"
#include "props/data_control_sheets.h"
#include "props/object_parts.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

namespace qv {
namespace {

const std::string* entryOf(const CDrawObj& obj, std::size_t i)
{
    return i < obj.m_strFiles.size() ? &obj.m_strFiles[i] : nullptr;
}

TextSlot loadText(const CDrawObj& obj, std::size_t i)
{
    TextSlot slot;
    if (const std::string* stored = entryOf(obj, i))
        slot.text = slot.loaded = *stored;
    return slot;
}

void commitText(const TextSlot& slot, CDrawObj& obj, std::size_t i)
{
    if (slot.changed())
        SetStoredEntry(obj, i, slot.text);
}

// ---- appearance pages ----

ButtonShapePage loadButtonShape(const CDrawObj& obj, const SheetContext& context)
{
    ButtonShapePage page = LoadPageFields(kButtonShapeFields, obj);
    for (std::size_t s = 0; s < page.states.size(); ++s) {
        LoadBlockFields<ButtonStateLook>(kButtonStateFields[s], obj.m_Params, page.states[s]);
        page.pictures[s] = LoadPictureSlot(obj, s, context);
    }
    page.text.text = page.text.loaded = obj.m_strName;
    page.font = obj.m_logfont;
    return page;
}

SwitchShapePage loadSwitchShape(const CDrawObj& obj, const SheetContext& context)
{
    SwitchShapePage page = obj.Kind() == ShapeKind::Indicator ? LoadPageFields(kIndicatorShapeFields, obj)
                                                         : LoadPageFields(kBitSwitchShapeFields, obj);
    for (std::size_t i = 0; i < 2; ++i) {
        page.pictures[i] = LoadPictureSlot(obj, i, context);
        page.texts[i] = loadText(obj, 2 + i);
    }
    page.font = obj.m_logfont;
    return page;
}

RadioShapePage loadRadioShape(const CDrawObj& obj, const SheetContext& context)
{
    RadioShapePage page = LoadPageFields(kRadioShapeFields, obj);
    if (obj.m_strFiles.empty()) {
        // A radio without pictures starts from the system's pair; nothing is stored unless
        // the sheet ends with OK.
        page.startsFromDefaults = true;
        page.transparentOn = page.transparentOff = 1;
        page.transparentColorOn = page.transparentColorOff = kRadioDefaultTransparentColor;
        for (std::size_t i = 0; i < 2; ++i)
            page.pictures[i].path = resolveStoredPath(context.baseDir, kRadioDefaultPictures[i]).value_or(std::filesystem::path{});
        return page;
    }
    for (std::size_t i = 0; i < 2; ++i)
        page.pictures[i] = LoadPictureSlot(obj, i, context);
    return page;
}

NumberShapePage loadNumberShape(const CDrawObj& obj, const SheetContext& context)
{
    NumberShapePage page = LoadPageFields(kNumberShapeFields, obj);
    page.font = obj.m_logfont;
    for (std::size_t i = 0; i < page.symbols.size(); ++i)
        page.symbols[i] = LoadPictureSlot(obj, i, context);
    return page;
}

// ---- control pages ----

ButtonControlPage loadButtonControl(const CDrawObj& obj, const SheetContext& context)
{
    ButtonControlPage page = LoadPageFields(kButtonControlFields, obj);
    page.operated = LoadPageGroup(kButtonOperatedGroup, LinkKind::Word, false, obj);
    page.action = loadText(obj, 3);
    page.userCodeFile = loadText(obj, 4);
    if (page.userCodeFile.text == kUserCodeTemplateLine)
        page.userCodeFile.text = page.userCodeFile.loaded = kUserCodeChooseFirst;
    page.actions = ButtonActionsFor(context.windowTitle, context.screens, context.subWindows);
    return page;
}

// The pages with a read group and a write group (bit switch, radio button, real-time number).
template <class Page, std::size_t N>
Page loadTwoGroupPage(const BlockField<Page> (&fields)[N], const GroupLayout& read, const GroupLayout& write,
                      LinkKind link, const CDrawObj& obj)
{
    Page page = LoadPageFields(fields, obj);
    page.read = LoadPageGroup(read, link, false, obj);
    page.write = LoadPageGroup(write, link, true, obj);
    return page;
}

template <class Page, std::size_t N>
void commitTwoGroupPage(const BlockField<Page> (&fields)[N], const Page& page, CDrawObj& obj)
{
    CommitPageFields(fields, page, obj);
    CommitGroup(page.read, obj.m_Params);
    CommitGroup(page.write, obj.m_Params);
}

IndicatorControlPage loadIndicatorControl(const CDrawObj& obj)
{
    IndicatorControlPage page;
    page.read = LoadPageGroup(kIndicatorReadGroup, LinkKind::Bit, false, obj);
    return page;
}

struct AppearanceCommit {
    CDrawObj& obj;
    const SheetContext& context;
    template <class Other>
    void operator()(const Other&) const {}
    void operator()(const ButtonShapePage& p) const
    {
        for (std::size_t s = 0; s < p.states.size(); ++s) {
            CommitBlockFields<ButtonStateLook>(kButtonStateFields[s], p.states[s], obj.m_Params);
            CommitPictureSlot(p.pictures[s], obj, s, context);
        }
        CommitPageFields(kButtonShapeFields, p, obj);
        if (p.text.changed())
            obj.m_strName = p.text.text;
        obj.m_logfont = p.font;
    }
    void operator()(const SwitchShapePage& p) const
    {
        if (obj.Kind() == ShapeKind::Indicator)
            CommitPageFields(kIndicatorShapeFields, p, obj);
        else
            CommitPageFields(kBitSwitchShapeFields, p, obj);
        for (std::size_t i = 0; i < 2; ++i)
            CommitPictureSlot(p.pictures[i], obj, i, context);
        for (std::size_t i = 0; i < 2; ++i)
            commitText(p.texts[i], obj, 2 + i);
        obj.m_logfont = p.font;
    }
    void operator()(const RadioShapePage& p) const
    {
        for (std::size_t i = 0; i < 2; ++i)
            CommitPictureSlot(p.pictures[i], obj, i, context);
        // The defaults' transparency belongs to the default pictures: while none could be
        // stored, the block keeps its own.
        if (p.startsFromDefaults && obj.m_strFiles.empty()) {
            RadioShapePage kept = p;
            LoadBlockFields<RadioShapePage>(kRadioShapeFields, obj.m_Params, kept);
            kept.mode = p.mode;
            CommitPageFields(kRadioShapeFields, kept, obj);
            return;
        }
        CommitPageFields(kRadioShapeFields, p, obj);
    }
    void operator()(const NumberShapePage& p) const
    {
        CommitPageFields(kNumberShapeFields, p, obj);
        obj.m_logfont = p.font;
        bool anyChanged = false;
        for (const PictureSlot& s : p.symbols)
            anyChanged = anyChanged || s.changed();
        if (!anyChanged)
            return;
        // The picture font always holds one picture per symbol.
        if (obj.m_strFiles.size() < p.symbols.size())
            obj.m_strFiles.resize(p.symbols.size());
        for (std::size_t i = 0; i < p.symbols.size(); ++i)
            CommitPictureSlot(p.symbols[i], obj, i, context);
    }
};

struct ControlCommit {
    CDrawObj& obj;
    template <class Other>
    void operator()(const Other&) const {}
    void operator()(const ButtonControlPage& p) const
    {
        CommitPageFields(kButtonControlFields, p, obj);
        CommitGroup(p.operated, obj.m_Params);
        if (p.action.text == kUserCodeAction) {
            // The file was checked on OK; a list too short for it grows.
            if (p.action.changed() || p.userCodeFile.changed()) {
                SetStoredEntry(obj, 3, p.action.text);
                SetStoredEntry(obj, 4, p.userCodeFile.text);
            }
        } else {
            commitText(p.action, obj, 3);
        }
    }
    void operator()(const SwitchControlPage& p) const { commitTwoGroupPage(kSwitchControlFields, p, obj); }
    void operator()(const IndicatorControlPage& p) const { CommitGroup(p.read, obj.m_Params); }
    void operator()(const RadioControlPage& p) const { commitTwoGroupPage(kRadioControlFields, p, obj); }
    void operator()(const NumberControlPage& p) const { commitTwoGroupPage(kNumberControlFields, p, obj); }
};

void collect(std::vector<HiddenVarRequest>& out, AddressGroup& g, const SheetContext& context, bool inUse = true)
{
    if (!inUse)
        return;
    std::string name = HiddenVarNeeded(g, context.linkContext());
    if (!name.empty())
        out.push_back({&g, std::move(name), HiddenVarTypeOf(g.hiddenType, g.state.widthCode)});
}

struct GroupCollector {
    std::vector<HiddenVarRequest>& out;
    const SheetContext& context;
    void operator()(std::monostate) const {}
    void operator()(ButtonControlPage& p) const { collect(out, p.operated, context, p.action.text == kOperateVariableAction); }
    void operator()(IndicatorControlPage& p) const { collect(out, p.read, context); }
    void operator()(PictureDisplayControlPage& p) const { collect(out, p.read, context); }
    void operator()(ProgressControlPage& p) const { collect(out, p.read, context); }
    void operator()(CharacterControlPage&) const {}  // plain HMI variables only
    void operator()(CurveControlPage&) const {}
    void operator()(AreaControlPage&) const {}
    template <class TwoGroupPage>
    void operator()(TwoGroupPage& p) const
    {
        collect(out, p.read, context);
        collect(out, p.write, context, p.differentWrite != 0);
    }
};

std::optional<AddressGroup> loadCommon(CommonGroup which, const CDrawObj& obj)
{
    if (!CommonGroupLayout(which, obj.Kind()))
        return std::nullopt;
    return LoadCommonGroup(which, obj.Kind(), obj.m_Params);
}

// The largest decimal count a number of `digits` digits can show; a count of 0 digits
// formats the whole 32-bit value (up to ten digits).
constexpr std::uint32_t kMaxUnboundedDigits = 10;

std::string gbkPath(const std::filesystem::path& p)
{
    return utf8ToGbk(p.generic_string()).value_or(std::string{});
}

} // namespace

void LoadControlPages(const CDrawObj& obj, const SheetContext& context, SheetValues& values)
{
    switch (obj.Kind()) {
    case ShapeKind::Button:
        values.appearance = loadButtonShape(obj, context);
        values.control = loadButtonControl(obj, context);
        break;
    case ShapeKind::BitSwitch:
        values.appearance = loadSwitchShape(obj, context);
        values.control = loadTwoGroupPage(kSwitchControlFields, kSwitchReadGroup, kSwitchWriteGroup, LinkKind::Bit, obj);
        break;
    case ShapeKind::Indicator:
        values.appearance = loadSwitchShape(obj, context);
        values.control = loadIndicatorControl(obj);
        break;
    case ShapeKind::RadioButton:
        values.appearance = loadRadioShape(obj, context);
        values.control = loadTwoGroupPage(kRadioControlFields, kRadioReadGroup, kRadioWriteGroup, LinkKind::Word, obj);
        break;
    case ShapeKind::RealTimeNumber:
        values.appearance = loadNumberShape(obj, context);
        values.control = loadTwoGroupPage(kNumberControlFields, kNumberReadGroup, kNumberWriteGroup, LinkKind::Word, obj);
        break;
    default: LoadDataControlPages(obj, context, values); break;
    }
    for (PageId id : KindSheetOf(obj.Kind()).pages) {
        switch (id) {
        case PageId::Hide: values.common.hide = loadCommon(CommonGroup::Hide, obj); break;
        case PageId::WriteEnable: values.common.writeEnable = loadCommon(CommonGroup::WriteEnable, obj); break;
        case PageId::Move: values.common.move = loadCommon(CommonGroup::Move, obj); break;
        case PageId::ColorControl:
            values.common.fontColor = loadCommon(CommonGroup::FontColor, obj);
            values.common.backColor = loadCommon(CommonGroup::BackColor, obj);
            break;
        default: break;
        }
    }
}

void CommitControlPages(const SheetValues& values, CDrawObj& obj, const SheetContext& context)
{
    for (const std::optional<AddressGroup>* g : {&values.common.hide, &values.common.writeEnable, &values.common.move,
                                                 &values.common.fontColor, &values.common.backColor})
        if (*g)
            CommitGroup(**g, obj.m_Params);
    std::visit(AppearanceCommit{obj, context}, values.appearance);
    std::visit(ControlCommit{obj}, values.control);
    CommitDataControlPages(values, obj, context);
}

std::string CheckSheet(const SheetValues& values, const SheetContext& context)
{
    if (std::string refusal = CheckDataControlPages(values, context); !refusal.empty())
        return refusal;
    if (const auto* number = std::get_if<NumberShapePage>(&values.appearance)) {
        const bool tooMany = number->digits == 0 ? number->decimals >= kMaxUnboundedDigits
                                                 : number->decimals >= number->digits;
        if (tooMany)
            return kDecimalsTooMany;
    }
    if (const auto* button = std::get_if<ButtonControlPage>(&values.control);
        button && button->action.text == kUserCodeAction) {
        const std::optional<std::filesystem::path> file = resolveStoredPath(context.projectDir, button->userCodeFile.text);
        std::error_code ec;
        if (!file || !std::filesystem::is_regular_file(*file, ec))
            return std::string("用户代码文件\r\n“") + gbkPath(context.projectDir) + button->userCodeFile.text +
                   "”\r\n不存在!!!";
    }
    return {};
}

std::vector<HiddenVarRequest> HiddenVarsNeeded(SheetValues& values, const SheetContext& context)
{
    std::vector<HiddenVarRequest> out;
    for (std::optional<AddressGroup>* g : {&values.common.hide, &values.common.writeEnable, &values.common.move,
                                           &values.common.fontColor, &values.common.backColor})
        if (*g)
            collect(out, **g, context);
    std::visit(GroupCollector{out, context}, values.control);
    return out;
}

std::optional<std::string> UserCodeStoredName(const std::filesystem::path& projectDir, const std::filesystem::path& chosen)
{
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::weakly_canonical(projectDir, ec);
    const std::filesystem::path file = std::filesystem::weakly_canonical(chosen, ec);
    auto d = dir.begin(), f = file.begin();
    for (; d != dir.end() && !d->empty(); ++d, ++f)
        if (f == file.end() || *d != *f)
            return std::nullopt;
    if (f == file.end())
        return std::nullopt;
    std::string stored;
    for (; f != file.end(); ++f) {
        const std::optional<std::string> part = utf8ToGbk(f->string());
        if (!part || part->empty())
            return std::nullopt;
        stored.append("\\").append(*part);
    }
    return stored;
}

} // namespace qv
