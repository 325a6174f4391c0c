#include "app/startup/profile.h"

namespace qv {

namespace {
const QString kGroup = QString::fromUtf8(u8"Recent File List");
QString entryKey(int n) { return QString::fromUtf8(u8"File%1").arg(n + 1); }
} // namespace

RecentFileList::RecentFileList(QSettings& settings) : settings_(settings)
{
    settings_.beginGroup(kGroup);
    for (int n = 0; n < kMaxEntries; ++n) {
        QString path = settings_.value(entryKey(n)).toString();
        if (!path.isEmpty() && !entries_.contains(path))
            entries_.append(path);
    }
    settings_.endGroup();
}

void RecentFileList::add(const QString& path)
{
    if (path.isEmpty())
        return;
    entries_.removeAll(path);
    entries_.prepend(path);
    while (entries_.size() > kMaxEntries)
        entries_.removeLast();
    write();
}

void RecentFileList::remove(const QString& path)
{
    if (entries_.removeAll(path) > 0)
        write();
}

void RecentFileList::write()
{
    settings_.beginGroup(kGroup);
    settings_.remove(QString());
    for (int n = 0; n < entries_.size(); ++n)
        settings_.setValue(entryKey(n), entries_[n]);
    settings_.endGroup();
    settings_.sync();
}

std::unique_ptr<QSettings> openProfile()
{
    return std::make_unique<QSettings>(QString::fromUtf8(u8"Zenvaro"), QString::fromUtf8(u8"Quorvane"));
}

} // namespace qv
