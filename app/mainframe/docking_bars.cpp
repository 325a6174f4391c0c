#include "app/mainframe/docking_bars.h"

#include "platform/qt/qtext.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QScrollBar>
#include <QTextCursor>
#include <QTreeWidget>

namespace qv {

CSizingBar::CSizingBar(const QString& title, const QString& objectName, QSize defaultSize, QWidget* parent)
    : QDockWidget(title, parent), defaultSize_(defaultSize)
{
    setObjectName(objectName);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable
                | QDockWidget::DockWidgetFloatable);
    setAllowedAreas(Qt::AllDockWidgetAreas);
    setMinimumSize(32, 32);
}

void CSizingBar::setContent(QWidget* content)
{
    content->setMinimumSize(0, 0);
    setWidget(content);
}

CProjectBar::CProjectBar(QWidget* parent)
    : CSizingBar(QString::fromUtf8(u8"工程管理栏"), QStringLiteral("projectBar"), QSize(260, 260), parent)
{
    auto* tree = new QTreeWidget(this);
    tree->setHeaderHidden(true);
    tree->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromUtf8(u8"工程")}));
    setContent(tree);
}

void CProjectBar::SetTreeWidget(QWidget* tree)
{
    QWidget* old = widget();
    setContent(tree);
    if (old != nullptr && old != tree)
        old->deleteLater();
}

COutputEdit::COutputEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setContextMenuPolicy(Qt::NoContextMenu);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
}

void COutputEdit::keyPressEvent(QKeyEvent* event)
{
    // The log is not typed into; copying a selection is the one key it answers.
    if (event->matches(QKeySequence::Copy))
        copy();
    event->accept();
}

void COutputEdit::keyReleaseEvent(QKeyEvent* event) { event->accept(); }

void COutputEdit::inputMethodEvent(QInputMethodEvent* event) { event->accept(); }

COutputBar::COutputBar(QWidget* parent)
    : CSizingBar(QString::fromUtf8(u8"输出"), QStringLiteral("outputBar"), QSize(130, 130), parent),
      edit_(new COutputEdit(this))
{
    edit_->setMaximumBlockCount(kMaxLines);
    setContent(edit_);
}

void COutputBar::AppendText(std::string_view gbk) { AppendText(toQString(gbk)); }

void COutputBar::AppendText(const QString& text)
{
    QString plain = text;
    plain.remove(QLatin1Char('\r'));
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(plain);
    edit_->verticalScrollBar()->setValue(edit_->verticalScrollBar()->maximum());
}

void COutputBar::ClearText() { edit_->clear(); }

QString COutputBar::text() const { return edit_->toPlainText(); }

} // namespace qv
