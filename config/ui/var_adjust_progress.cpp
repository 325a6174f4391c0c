#include "config/ui/var_adjust_progress.h"

#include "model/app/editor_app.h"
#include "platform/qt/qtext.h"

#include <QMetaObject>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

namespace qv {

CDlgVarAdjustProgress::CDlgVarAdjustProgress(CEditorApp& app, QWidget* parent) : QDialog(parent), m_app(app)
{
    setWindowTitle(toQString(kVarAdjustCaption));
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    resize(420, 60);
}

CDlgVarAdjustProgress::~CDlgVarAdjustProgress()
{
    m_queue.setWakeup({}); // the job's destructor joins a worker that may still post
}

int CDlgVarAdjustProgress::exec()
{
    QPointer<CDlgVarAdjustProgress> self(this);
    m_queue.setWakeup([self] {
        // Posting thread: only schedule; the drain runs on this dialog's thread.
        QMetaObject::invokeMethod(self.data(), [self] { if (self) self->Drain(); }, Qt::QueuedConnection);
    });
    std::string error;
    if (!m_job.Start(m_app, m_queue, &error)) {
        QMessageBox::critical(parentWidget(), windowTitle(), toQString(error));
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void CDlgVarAdjustProgress::Drain()
{
    m_queue.drain([this](Report& r) {
        if (auto* p = std::get_if<ReportProgress>(&r))
            m_bar->setValue(p->percent);
    });
    if (m_finished || !m_job.Done())
        return;
    m_finished = true;
    m_ok = m_job.Finish(m_app);
    accept();
}

bool RunVarAdjustDialog(CEditorApp& app, QWidget* parent)
{
    CDlgVarAdjustProgress dlg(app, parent);
    dlg.exec();
    return dlg.Succeeded();
}

} // namespace qv
