#include "app/edit/shape_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace qv::edit {

QString shapeMimeType()
{
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QString::fromLatin1(kShapeClipboardFormat));
}

bool putShapesOnClipboard(std::string payload)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    auto* data = new QMimeData;
    data->setData(shapeMimeType(), QByteArray(payload.data(), static_cast<qsizetype>(payload.size())));
    clipboard->setMimeData(data); // the clipboard owns it from here
    return true;
}

std::optional<std::string> shapesFromClipboard()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    if (data == nullptr || !data->hasFormat(shapeMimeType()))
        return std::nullopt;
    const QByteArray bytes = data->data(shapeMimeType());
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool clipboardHasShapes()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    return data != nullptr && data->hasFormat(shapeMimeType());
}

} // namespace qv::edit
