#include "props/ui/property_page.h"

#include "platform/qt/qtext.h"
#include "props/ui/page_seams.h"

#include <QColorDialog>
#include <QMessageBox>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace qv {

QColor toQColor(ColorRef c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
ColorRef fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

ColorButton::ColorButton(const QString& text, ColorRef color, QWidget* parent) : QPushButton(text, parent), m_color(color)
{
    connect(this, &QPushButton::clicked, this, [this] {
        if (const std::optional<ColorRef> chosen = PickColor(this, m_color))
            setColor(*chosen);
    });
}

void ColorButton::setColor(ColorRef color)
{
    // A stored value may hold bits above the colour; it is kept until a colour is chosen.
    if (color == m_color)
        return;
    m_color = color;
    update();
    emit colorChanged(color);
}

void ColorButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const int side = std::max(6, height() - 10);
    const QRect swatch(width() - side - 5, (height() - side) / 2, side, side);
    if (m_lineSwatch) {
        painter.fillRect(swatch, palette().color(QPalette::Base));
        painter.fillRect(QRect(swatch.left(), swatch.center().y() - 1, swatch.width(), 3), toQColor(m_color));
    } else {
        painter.fillRect(swatch, toQColor(m_color));
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

QFont toQFont(const LogFont& f)
{
    QFont font;
    const char* name = f.lfFaceName.data();
    const std::size_t len = strnlen(name, f.lfFaceName.size());
    if (len > 0)
        font.setFamily(toQString(std::string_view(name, len)));
    font.setPixelSize(f.lfHeight != 0 ? std::clamp(f.lfHeight < 0 ? -f.lfHeight : f.lfHeight, 1, 1000) : 16);
    font.setWeight(f.lfWeight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(f.lfItalic != 0);
    font.setUnderline(f.lfUnderline != 0);
    font.setStrikeOut(f.lfStrikeOut != 0);
    return font;
}

LogFont fromQFont(const QFont& font, const LogFont& base)
{
    LogFont f = base;
    f.lfHeight = -(font.pixelSize() > 0 ? font.pixelSize() : font.pointSize() * 96 / 72);
    f.lfWidth = 0;
    f.lfWeight = font.bold() ? 700 : 400;
    f.lfItalic = font.italic() ? 1 : 0;
    f.lfUnderline = font.underline() ? 1 : 0;
    f.lfStrikeOut = font.strikeOut() ? 1 : 0;
    // A face whose name GBK cannot hold, or that does not fit, keeps the old one.
    if (const std::optional<std::string> name = fromQString(font.family());
        name && name->size() < f.lfFaceName.size()) {
        f.lfFaceName.fill('\0');
        std::memcpy(f.lfFaceName.data(), name->data(), name->size());
    }
    return f;
}

void ShowRangePrompt(QWidget* parent, long long low, long long high, const QString& field)
{
    ShowPageMessage(parent, RangePromptText(low, high, field));
}

} // namespace qv
