#include "platform/qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

namespace qv {

bool installQtTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder)) {
        std::fprintf(stderr, "%s: no qtbase_zh_CN translations in %s; Qt's dialogs stay in English\n",
                     QCoreApplication::applicationName().toLocal8Bit().constData(), folder.toLocal8Bit().constData());
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace qv
