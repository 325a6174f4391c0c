#pragma once
// The modal dialogs the pages open (colour, font, file, message), each behind a seam that
// tests replace with a script. Unset, the Qt dialogs run.
#include "platform/surface/color.h"
#include "platform/surface/gdi.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

namespace qv {

struct PageDialogs {
    std::function<std::optional<ColorRef>(QWidget* parent, ColorRef current)> pickColor;
    std::function<std::optional<QFont>(QWidget* parent, const QFont& current)> pickFont;
    // The chosen file's path, empty when cancelled; `filter` in Qt's form.
    std::function<QString(QWidget* parent, const QString& filter)> pickOpenFile;
    std::function<void(QWidget* parent, const QString& text)> message;
};

// Replaces the dialogs (an empty member keeps the Qt one); returns the previous set.
PageDialogs SetPageDialogs(PageDialogs dialogs);

std::optional<ColorRef> PickColor(QWidget* parent, ColorRef current);
std::optional<QFont> PickFont(QWidget* parent, const QFont& current);
QString PickOpenFile(QWidget* parent, const QString& filter);
void ShowPageMessage(QWidget* parent, const QString& text);

// The pictures' open-file filter.
QString PictureFileFilter();

} // namespace qv
