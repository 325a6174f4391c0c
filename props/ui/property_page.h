#pragma once
// A page of an object's property sheet. It shows the members of its page model and writes
// them back in Apply, which runs only after every page's Validate passed; it never touches
// the object. The small controls the pages share (colour button with its swatch, font
// button) are here too.
#include "platform/surface/color.h"
#include "platform/surface/gdi.h"
#include "platform/qt/range_prompt.h"

#include <QPushButton>
#include <QWidget>

namespace qv {

class PropertyPage : public QWidget {
    Q_OBJECT
public:
    PropertyPage(const QString& title, QWidget* parent = nullptr) : QWidget(parent), m_title(title) {}
    const QString& title() const { return m_title; }
    // False (the user told why, the offending control focused) keeps the sheet open.
    virtual bool Validate() { return true; }
    virtual void Apply() = 0;

private:
    QString m_title;
};

// A button with a swatch of its colour; a click opens the colour dialog, OK there takes the
// colour and repaints the swatch.
class ColorButton : public QPushButton {
    Q_OBJECT
public:
    ColorButton(const QString& text, ColorRef color, QWidget* parent = nullptr);
    ColorRef color() const { return m_color; }
    void setColor(ColorRef color);
    // The swatch drawn as a 3-pixel horizontal line (line colours) instead of a fill.
    void setLineSwatch(bool line) { m_lineSwatch = line; update(); }
signals:
    void colorChanged(ColorRef color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColorRef m_color;
    bool m_lineSwatch = false;
};

QColor toQColor(ColorRef color);
ColorRef fromQColor(const QColor& color);

// Font of an object as Qt shows it, and back (face name through the GBK codec).
QFont toQFont(const LogFont& font);
LogFont fromQFont(const QFont& font, const LogFont& base);

// The framework's range prompt (RangePromptText) shown as a page message.
void ShowRangePrompt(QWidget* parent, long long low, long long high, const QString& field = QString());

} // namespace qv
