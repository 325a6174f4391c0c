#pragma once
// The program's profile: settings under the organisation "Zenvaro" and the application
// "Quorvane", with the list of the four most recently opened project files.
#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>

namespace qv {

class RecentFileList {
public:
    static constexpr int kMaxEntries = 4;

    // Reads the list from `settings` (which the caller keeps alive).
    explicit RecentFileList(QSettings& settings);

    // Puts `path` first (an entry already present moves up), keeps the newest four and
    // writes the list back.
    void add(const QString& path);
    // Drops `path` (a project that no longer opens) and writes the list back.
    void remove(const QString& path);

    const QStringList& entries() const { return entries_; }

private:
    void write();

    QSettings& settings_;
    QStringList entries_;
};

// The settings store of the profile.
std::unique_ptr<QSettings> openProfile();

} // namespace qv
