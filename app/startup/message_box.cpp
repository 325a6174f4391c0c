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

QString WrappableText(const QString& text)
{
    // The box wraps only where a line may break: a long name without spaces gets a
    // zero-width break opportunity every so often instead of stretching the box.
    constexpr int kLongestRun = 30;
    QString out;
    out.reserve(text.size() + text.size() / kLongestRun);
    int run = 0;
    for (const QChar c : text) {
        if (c.isSpace()) {
            run = 0;
        } else if (++run > kLongestRun && !c.isLowSurrogate()) {
            out += QChar(0x200B);
            run = 1;
        }
        out += c;
    }
    return out;
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
    QMessageBox box(icon, QApplication::applicationName(), WrappableText(text), buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace qv
