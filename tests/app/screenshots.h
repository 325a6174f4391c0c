#pragma once
// Pictures of windows and dialogs for review, saved into the build folder's "screenshots".
#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace qv::test {

inline void saveScreenshot(QWidget& widget, const char* name)
{
    const QString folder = QStringLiteral(QV_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    widget.grab().save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

} // namespace qv::test
