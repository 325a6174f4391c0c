#include "app/startup/message_box.h"

#include "platform/qt/qtext.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qv {

bool nonInteractive()
{
    const char* v = std::getenv("QV_NONINTERACTIVE");
    return v && *v && std::strcmp(v, "0") != 0;
}

QMessageBox::StandardButton showMessageBox(QWidget* parent, std::string_view gbk, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton)
{
    const QString text = toQString(gbk);
    if (nonInteractive()) {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        std::fflush(stderr);
        return defaultButton;
    }
    QMessageBox box(icon, QApplication::applicationName(), text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace qv
