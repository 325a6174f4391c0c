#include "app/props_commands/props_commands.h"

#include "app/mainframe/property_sheet.h"
#include "app/tools/object_properties.h"
#include "props/ui/sheet_builder.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPointer>
#include <QTabWidget>

namespace qv {
namespace {

// Runs the pages in the program's property sheet. OK applies only when every page
// validates (a page that refuses is shown and keeps the sheet open). The pages belong to
// the builder, so they leave the sheet before it goes.
bool runInPropertySheet(QWidget* parent, const QString& caption, const std::vector<PropertyPage*>& pages)
{
    CMyPropertySheet sheet(caption, parent ? parent : QApplication::activeWindow());
    for (PropertyPage* page : pages)
        sheet.AddPage(page, page->title());
    QObject::disconnect(sheet.buttons(), &QDialogButtonBox::accepted, &sheet, &QDialog::accept);
    QObject::connect(sheet.buttons(), &QDialogButtonBox::accepted, &sheet, [&sheet, &pages] {
        for (PropertyPage* page : pages) {
            if (!page->Validate()) {
                sheet.tabs()->setCurrentWidget(page);
                return;
            }
        }
        sheet.accept();
    });
    const bool ok = sheet.DoModal() == QDialog::Accepted;
    if (ok)
        for (PropertyPage* page : pages)
            page->Apply();
    while (sheet.tabs()->count() > 0)
        sheet.tabs()->removeTab(0);
    for (PropertyPage* page : pages)
        page->setParent(nullptr);
    return ok;
}

} // namespace

void installPropertySheets(CEditorApp& app, QWidget* parent)
{
    QPointer<QWidget> owner(parent);
    SetObjectPropertiesHandler([&app, owner](CDrawView&, CDrawObj& obj, int selectedCount) {
        PropertyEditHooks hooks;
        hooks.runSheet = [owner](const KindSheet& sheet, SheetValues& values) {
            return RunPropertySheet(sheet, values, [owner](const QString& caption, const std::vector<PropertyPage*>& pages) {
                return runInPropertySheet(owner.data(), caption, pages);
            });
        };
        // The character batch dialog and the address adjustment dialog join here when built.
        EditObjectProperties(app, obj, selectedCount, hooks);
    });
}

} // namespace qv
