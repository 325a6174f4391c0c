#include "props/ui/sheet_builder.h"

#include "props/ui/form_page.h"
#include "props/ui/shape_page_widgets.h"

namespace qv {
namespace {

struct AppearanceWidget {
    template <class NotBuiltYet>
    std::unique_ptr<PropertyPage> operator()(NotBuiltYet&) const
    {
        return nullptr;
    }
    std::unique_ptr<PropertyPage> operator()(RectPage& p) const { return std::make_unique<RectPageWidget>(p); }
    std::unique_ptr<PropertyPage> operator()(PicturePage& p) const { return std::make_unique<PicturePageWidget>(p); }
    std::unique_ptr<PropertyPage> operator()(TextPage& p) const { return std::make_unique<TextPageWidget>(p); }
    std::unique_ptr<PropertyPage> operator()(TablePage& p) const
    {
        return std::make_unique<FormPage<TablePage>>(p, TablePageRows());
    }
    std::unique_ptr<PropertyPage> operator()(PipePage& p) const
    {
        return std::make_unique<FormPage<PipePage>>(p, PipePageRows());
    }
    std::unique_ptr<PropertyPage> operator()(PipeJointPage& p) const
    {
        return std::make_unique<FormPage<PipeJointPage>>(p, PipeJointPageRows());
    }
    std::unique_ptr<PropertyPage> operator()(ScalePage& p) const
    {
        return std::make_unique<FormPage<ScalePage>>(p, ScalePageRows());
    }
    std::unique_ptr<PropertyPage> operator()(NumericInputPage& p) const
    {
        return std::make_unique<FormPage<NumericInputPage>>(p, NumericInputPageRows());
    }
};

} // namespace

std::vector<std::unique_ptr<PropertyPage>> BuildSheetPages(const KindSheet& sheet, SheetValues& values)
{
    std::vector<std::unique_ptr<PropertyPage>> pages;
    for (PageId id : sheet.pages) {
        if (id == PageId::Position) {
            pages.push_back(std::make_unique<PositionPageWidget>(values.position));
        } else if (id == sheet.pages.front()) {
            if (auto page = std::visit(AppearanceWidget{}, values.appearance))
                pages.push_back(std::move(page));
        }
        // The controls' own pages and the common address-group pages join here as they are
        // built; until then their fields go back to the object unchanged.
    }
    return pages;
}

bool RunPropertySheet(const KindSheet& sheet, SheetValues& values, const std::function<bool()>& confirm,
                      const SheetRunner& run)
{
    std::vector<std::unique_ptr<PropertyPage>> owned = BuildSheetPages(sheet, values);
    std::vector<PropertyPage*> pages;
    for (const auto& page : owned)
        pages.push_back(page.get());
    return run && run(QString::fromUtf8(sheet.caption), pages, confirm);
}

} // namespace qv
