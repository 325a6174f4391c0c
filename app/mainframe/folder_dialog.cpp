#include "app/mainframe/folder_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace qv {

CFolderDialog::CFolderDialog(const QString& title, const QString& initialFolder, QWidget* owner)
    : title_(title), initial_(initialFolder), owner_(owner)
{
}

int CFolderDialog::DoModal()
{
    QFileDialog dlg(owner_, title_);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly, true);
    // Our own dialog, so it behaves the same on every desktop and under test.
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!initial_.isEmpty())
        dlg.setDirectory(initial_);
    dialog_ = &dlg;
    const int answer = dlg.exec();
    dialog_ = nullptr;
    if (answer != QDialog::Accepted)
        return Cancel;
    const QList<QUrl> urls = dlg.selectedUrls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return NoFolder;
    const QFileInfo info(urls.front().toLocalFile());
    if (!info.isDir())
        return NoFolder;
    chosen_ = info.absoluteFilePath();
    return Ok;
}

} // namespace qv
