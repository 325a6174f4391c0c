#include "props/ui/sheet_builder.h"

#include "props/ui/page_builder.h"

namespace qv {

std::vector<std::unique_ptr<PropertyPage>> BuildSheetPages(const KindSheet& sheet, SheetValues& values)
{
    std::vector<std::unique_ptr<PropertyPage>> pages;
    for (PageId id : sheet.pages)
        if (auto page = MakePage(id, values))
            pages.push_back(std::move(page));
    // A page left out (its values missing) sends its fields back to the object unchanged.
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
