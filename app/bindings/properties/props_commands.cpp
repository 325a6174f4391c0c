#include "app/bindings/properties/props_commands.h"

#include "app/mainframe/property_sheet.h"
#include "app/drawing_tools/object_properties.h"
#include "props/ui/data_control_page_widgets.h"
#include "props/ui/page_seams.h"
#include "props/ui/sheet_builder.h"
#include "config/ui/var_adjust_progress.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPointer>
#include <QTabWidget>

namespace qv {
namespace {

// Runs the pages in the program's property sheet. OK applies only when every page
// validates (a page that refuses is shown and keeps the sheet open). The pages belong to
// the builder, so they leave the sheet before it goes.
bool runInPropertySheet(QWidget* parent, const QString& caption, const std::vector<PropertyPage*>& pages,
                        const std::function<bool()>& confirm)
{
    CMyPropertySheet sheet(caption, parent ? parent : QApplication::activeWindow());
    for (PropertyPage* page : pages)
        sheet.AddPage(page, page->title());
    QObject::disconnect(sheet.buttons(), &QDialogButtonBox::accepted, &sheet, &QDialog::accept);
    QObject::connect(sheet.buttons(), &QDialogButtonBox::accepted, &sheet, [&sheet, &pages, &confirm] {
        for (PropertyPage* page : pages) {
            if (!page->Validate()) {
                sheet.tabs()->setCurrentWidget(page);
                return;
            }
        }
        for (PropertyPage* page : pages)
            page->Apply();
        if (confirm && !confirm())
            return;
        sheet.accept();
    });
    const bool ok = sheet.DoModal() == QDialog::Accepted;
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
        hooks.runSheet = [owner](const KindSheet& sheet, SheetValues& values, const std::function<bool()>& confirm) {
            return RunPropertySheet(sheet, values, confirm,
                                    [owner](const QString& caption, const std::vector<PropertyPage*>& pages,
                                            const std::function<bool()>& ok) {
                                        return runInPropertySheet(owner.data(), caption, pages, ok);
                                    });
        };
        hooks.adjustAddresses = [&app, owner] { RunVarAdjustDialog(app, owner.data()); };
        hooks.editCharacterBatch = [&app, owner](CDrawObj& first) {
            CDlgZiFuBatch dialog(owner.data());
            if (RunPageDialog(dialog))
                ApplyCharacterBatch(app, first, dialog.options());
        };
        EditObjectProperties(app, obj, selectedCount, hooks);
    });
}

} // namespace qv
