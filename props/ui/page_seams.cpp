#include "props/ui/page_seams.h"

#include "props/ui/property_page.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

namespace qv {
namespace {

PageDialogs g_dialogs;

} // namespace

PageDialogs SetPageDialogs(PageDialogs dialogs)
{
    std::swap(g_dialogs, dialogs);
    return dialogs;
}

std::optional<ColorRef> PickColor(QWidget* parent, ColorRef current)
{
    if (g_dialogs.pickColor)
        return g_dialogs.pickColor(parent, current);
    const QColor chosen = QColorDialog::getColor(toQColor(current), parent);
    return chosen.isValid() ? std::optional<ColorRef>(fromQColor(chosen)) : std::nullopt;
}

std::optional<QFont> PickFont(QWidget* parent, const QFont& current)
{
    if (g_dialogs.pickFont)
        return g_dialogs.pickFont(parent, current);
    bool ok = false;
    const QFont picked = QFontDialog::getFont(&ok, current, parent);
    return ok ? std::optional<QFont>(picked) : std::nullopt;
}

QString PickOpenFile(QWidget* parent, const QString& filter)
{
    if (g_dialogs.pickOpenFile)
        return g_dialogs.pickOpenFile(parent, filter);
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

void ShowPageMessage(QWidget* parent, const QString& text)
{
    if (g_dialogs.message)
        return g_dialogs.message(parent, text);
    QMessageBox::warning(parent, QString::fromUtf8(u8"Quorvane"), text);
}

QString PictureFileFilter() { return QString::fromUtf8(u8"图片 (*.jpg *.jpeg *.bmp *.gif *.wmf)"); }

} // namespace qv
