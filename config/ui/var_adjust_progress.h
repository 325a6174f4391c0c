#pragma once
// The modal progress dialog of the address adjustment: starts the worker when shown, moves
// its bar from the worker's reports, and applies the result on this thread when it is done.
#include "platform/report/report_queue.h"
#include "config/adjust/var_adjust.h"

#include <QDialog>
#include <memory>

class QProgressBar;

namespace qv {

class CDlgVarAdjustProgress : public QDialog {
public:
    explicit CDlgVarAdjustProgress(CEditorApp& app, QWidget* parent = nullptr);
    ~CDlgVarAdjustProgress() override;

    int exec() override;
    // Whether the table now holds the layout.
    bool Succeeded() const { return m_ok; }
    QProgressBar* progressBar() const { return m_bar; }

private:
    void Drain();

    CEditorApp& m_app;
    QProgressBar* m_bar;
    ReportQueue m_queue;
    VarAdjustJob m_job;
    bool m_ok = false;
    bool m_finished = false;
};

// Runs the adjustment behind the progress dialog; true when the table holds the layout.
bool RunVarAdjustDialog(CEditorApp& app, QWidget* parent);

} // namespace qv
