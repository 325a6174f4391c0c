#include "props/ui/page_builder.h"

#include "props/ui/control_page_widgets.h"
#include "props/ui/data_control_page_widgets.h"
#include "props/ui/form_page.h"
#include "props/ui/shape_page_widgets.h"

namespace qv {
namespace {

// ---- pages with a class of their own -----------------------------------------------------

std::unique_ptr<PropertyPage> OwnPage(RectPage& p, SheetValues&) { return std::make_unique<RectPageWidget>(p); }
std::unique_ptr<PropertyPage> OwnPage(PicturePage& p, SheetValues&) { return std::make_unique<PicturePageWidget>(p); }
std::unique_ptr<PropertyPage> OwnPage(TextPage& p, SheetValues&) { return std::make_unique<TextPageWidget>(p); }

template <class Model>
std::unique_ptr<PropertyPage> formPage(Model& p, std::span<const FormRow<Model>> rows)
{
    return std::make_unique<FormPage<Model>>(p, rows);
}
std::unique_ptr<PropertyPage> OwnPage(TablePage& p, SheetValues&) { return formPage(p, TablePageRows()); }
std::unique_ptr<PropertyPage> OwnPage(PipePage& p, SheetValues&) { return formPage(p, PipePageRows()); }
std::unique_ptr<PropertyPage> OwnPage(PipeJointPage& p, SheetValues&) { return formPage(p, PipeJointPageRows()); }
std::unique_ptr<PropertyPage> OwnPage(ScalePage& p, SheetValues&) { return formPage(p, ScalePageRows()); }
std::unique_ptr<PropertyPage> OwnPage(NumericInputPage& p, SheetValues&) { return formPage(p, NumericInputPageRows()); }

// The page of whatever model a variant holds: a ControlPageWidget titled `title` that the
// model's FillPage lays out, or the model's own page class.
struct ModelPage {
    SheetValues& values;
    const char8_t* title;

    std::unique_ptr<PropertyPage> operator()(std::monostate) const { return nullptr; }

    template <class Model>
    std::unique_ptr<PropertyPage> operator()(Model& model) const
    {
        if constexpr (requires(ControlPageWidget* page) { FillPage(page, model, values.sources); }) {
            auto page = std::make_unique<ControlPageWidget>(u8text(title));
            FillPage(page.get(), model, values.sources);
            return page;
        } else {
            return OwnPage(model, values);
        }
    }
};

// ---- the common pages ----------------------------------------------------------------------

struct CommonPageTexts {
    PageId id;
    const char8_t* title;
    std::optional<AddressGroup> CommonPages::*groups[2];
    GroupTexts texts[2];
    const char* names[2];
};

const CommonPageTexts kCommonPages[] = {
    {PageId::Hide, u8"隐藏控制", {&CommonPages::hide, nullptr}, {{u8"读取地址", u8"使用隐藏/显示控制", true}, {}}, {"hide", nullptr}},
    {PageId::WriteEnable,
     u8"写入控制",
     {&CommonPages::writeEnable, nullptr},
     {{u8"读取地址", u8"使用允许/禁止写入控制", true}, {}},
     {"writeEnable", nullptr}},
    {PageId::Move, u8"移动控制", {&CommonPages::move, nullptr}, {{u8"读取地址（左上角XY坐标值）", u8"使用移动控制", false}, {}}, {"move", nullptr}},
    {PageId::ColorControl,
     u8"颜色控制",
     {&CommonPages::fontColor, &CommonPages::backColor},
     {{u8"读取地址（字体颜色）", u8"使能字体颜色控制", false}, {u8"读取地址（背景颜色）", u8"使能背景颜色控制", false}},
     {"fontColor", "backColor"}},
};

const CommonPageTexts* commonPage(PageId id)
{
    for (const CommonPageTexts& t : kCommonPages)
        if (t.id == id)
            return &t;
    return nullptr;
}

// The page's groups, or nullptr when the object lacks its first.
std::unique_ptr<PropertyPage> makeCommonPage(const CommonPageTexts& t, SheetValues& values)
{
    if (!(values.common.*t.groups[0]))
        return nullptr;
    auto page = std::make_unique<ControlPageWidget>(u8text(t.title));
    for (int i = 0; i < 2; ++i) {
        if (!t.groups[i])
            continue;
        if (std::optional<AddressGroup>& group = values.common.*t.groups[i])
            page->box()->addWidget(page->addGroup(*group, values.sources, t.texts[i], t.names[i]));
    }
    page->box()->addStretch();
    return page;
}

bool isControlPage(PageId id)
{
    switch (id) {
    case PageId::ButtonControl:
    case PageId::SwitchControl:
    case PageId::IndicatorControl:
    case PageId::RadioControl:
    case PageId::PictureDisplayControl:
    case PageId::NumberControl:
    case PageId::CurveControl:
    case PageId::ProgressControl:
    case PageId::CharacterControl:
    case PageId::AreaControl: return true;
    default: return false;
    }
}

} // namespace

ControlPageWidget::ControlPageWidget(const QString& title, QWidget* parent)
    : PropertyPage(title, parent), m_binder(this), m_box(new QVBoxLayout(this))
{
}

AddressGroupWidget* ControlPageWidget::addGroup(AddressGroup& group, const SheetSources& sources,
                                                const GroupTexts& texts, const char* objectName)
{
    auto* widget = named(new AddressGroupWidget(group, sources, texts, this), objectName);
    m_groups.push_back(widget);
    return widget;
}

bool ControlPageWidget::Validate()
{
    if (!m_binder.Validate())
        return false;
    for (AddressGroupWidget* g : m_groups)
        if (!g->Validate())
            return false;
    for (const auto& check : m_checks)
        if (!check())
            return false;
    return true;
}

void ControlPageWidget::Apply()
{
    m_binder.Apply();
    for (AddressGroupWidget* g : m_groups)
        g->Apply();
    for (const auto& apply : m_applies)
        apply();
}

std::unique_ptr<PropertyPage> MakePage(PageId id, SheetValues& values)
{
    if (id == PageId::Position)
        return std::make_unique<PositionPageWidget>(values.position);
    if (const CommonPageTexts* common = commonPage(id))
        return makeCommonPage(*common, values);
    if (isControlPage(id))
        return std::visit(ModelPage{values, u8"基本控制"}, values.control);
    return std::visit(ModelPage{values, u8"外观"}, values.appearance);
}

} // namespace qv
