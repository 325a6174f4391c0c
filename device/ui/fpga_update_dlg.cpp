#include "device/ui/fpga_update_dlg.h"

#include "device/fpga/fpga_checks.h"
#include "device/fpga/fpga_update.h"
#include "device/link/panel_connection.h"
#include "device/ui/result_sound_dlg.h"
#include "platform/files/stored_path.h"
#include "platform/qt/qtext.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>
#include <system_error>

namespace {

QString fromGbk(const std::string& gbk)
{
    return qv::toQString(gbk);
}

bool listedName(const std::string& name)
{
    return name.size() >= 3 && (name.compare(name.size() - 3, 3, "dat") == 0 || name.compare(name.size() - 3, 3, "vga") == 0);
}

} // namespace

CDlgFpgaUpdate::CDlgFpgaUpdate(FpgaUpdateServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services))
{
    setWindowTitle(QString::fromUtf8(u8"升级固件"));
    folder_ = qv::resolveStoredPath(services_.baseDir, "images\\hex\\fpga\\").value_or(services_.baseDir);
    auto* layout = new QVBoxLayout(this);

    auto* driverGroup = new QGroupBox(QString::fromUtf8(u8"VGA驱动"));
    auto* driverRow = new QHBoxLayout(driverGroup);
    driver_ = new QComboBox;
    build_ = new QPushButton(QString::fromUtf8(u8"生成固件"));
    driverRow->addWidget(driver_, 1);
    driverRow->addWidget(build_);
    layout->addWidget(driverGroup);

    auto* fileGroup = new QGroupBox(QString::fromUtf8(u8"选择驱动"));
    auto* fileRow = new QHBoxLayout(fileGroup);
    files_ = new QComboBox;
    fileRow->addWidget(files_);
    layout->addWidget(fileGroup);

    step_ = new QGroupBox(QString::fromUtf8(u8"进度"));
    auto* stepRow = new QVBoxLayout(step_);
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    progress_->setValue(0);
    stepRow->addWidget(progress_);
    layout->addWidget(step_);

    auto* note = new QLabel(QString::fromUtf8(u8"注意：升级过程中不要移动鼠标做其他工作，请耐心等到15分钟至升级完毕！"));
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton(QString::fromUtf8(u8"开始升级"));
    abort_ = new QPushButton(QString::fromUtf8(u8"中止编程"));
    for (QPushButton* b : {start_, abort_, build_})
        b->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(start_);
    buttons->addWidget(abort_);
    layout->addLayout(buttons);

    connect(start_, &QPushButton::clicked, this, &CDlgFpgaUpdate::StartFpgaUpdate);
    connect(abort_, &QPushButton::clicked, this, &CDlgFpgaUpdate::OnAbort);
    reports_.setWakeup([this] { QMetaObject::invokeMethod(this, [this] { drain(); }, Qt::QueuedConnection); });
    setRunning(false);
    ListFpgaFiles();
}

CDlgFpgaUpdate::~CDlgFpgaUpdate()
{
    abortFlag_ = true;
    if (worker_.joinable())
        worker_.join();
}

void CDlgFpgaUpdate::ListFpgaFiles()
{
    files_->clear();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec))
            continue;
        const std::string name = it->path().filename().string();
        if (listedName(name))
            files_->addItem(QString::fromStdString(name));
    }
    if (files_->count() > 0)
        files_->setCurrentIndex(0);
}

std::filesystem::path CDlgFpgaUpdate::selectedPath() const
{
    if (files_->currentIndex() < 0)
        return {};
    return folder_ / files_->currentText().toStdString();
}

void CDlgFpgaUpdate::setRunning(bool on)
{
    start_->setEnabled(!on);
    files_->setEnabled(!on);
    abort_->setEnabled(on);
}

void CDlgFpgaUpdate::showMessage(const std::string& gbk)
{
    if (services_.messageBox)
        services_.messageBox(gbk);
    else
        QMessageBox::information(this, windowTitle(), fromGbk(gbk));
}

void CDlgFpgaUpdate::StartFpgaUpdate()
{
    if (running())
        return;
    abortFlag_ = false;
    const auto selected = services_.list ? services_.list->Selected() : std::nullopt;
    std::unique_ptr<qv::device::PanelConnection> connection;
    if (selected && services_.host)
        connection = qv::device::PanelConnection::open(*services_.host, *selected);
    if (!connection) {
        showMessage("请检查USB是否连接!l!!");
        return;
    }
    qv::device::fpga::FpgaUpdateJob job;
    job.dataFile = selectedPath();
    job.connection = std::move(connection);
    job.checks = qv::device::fpga::LoadCheckData(folder_ / qv::device::fpga::kCheckDataFile);
    job.abort = &abortFlag_;
    job.clock = services_.clock;
    job.ui.stepText = [this](const std::string& gbk) {
        post([this, text = fromGbk(gbk)] { step_->setTitle(text); });
    };
    job.ui.progress = [this](int percent) { post([this, percent] { progress_->setValue(percent); }); };
    job.ui.messageBox = [this](const std::string& gbk) { post([this, gbk] { showMessage(gbk); }); };
    job.ui.resultDialog = [this](bool success) {
        post([this, success] {
            if (services_.resultDialog) {
                services_.resultDialog(success);
                return;
            }
            CDlgResultSound dialog(*services_.sound, services_.baseDir, nullptr, this);
            dialog.m_result = success ? 1 : 0;
            dialog.exec();
        });
    };
    job.ui.playWave = [this](const std::string& stored) {
        if (const auto file = qv::resolveStoredPath(services_.baseDir, stored))
            services_.sound->PlayWave(*file);
    };
    setRunning(true);
    progress_->setValue(0);
    auto body = [this, job = std::make_shared<qv::device::fpga::FpgaUpdateJob>(std::move(job))] {
        qv::device::fpga::RunFpgaUpdate(std::move(*job));
        post([this] { finishRun(); });
    };
    try {
        worker_ = services_.startWorker ? services_.startWorker(std::move(body)) : std::thread(std::move(body));
    } catch (const std::system_error&) {
        // The job goes with the body that never ran: its connection is closed.
        setRunning(false);
        showMessage("计算机内存不足!!!");
    }
}

void CDlgFpgaUpdate::OnAbort()
{
    abortFlag_ = true;
}

void CDlgFpgaUpdate::post(std::function<void()> call)
{
    reports_.post(qv::ReportCall{std::move(call)});
}

void CDlgFpgaUpdate::drain()
{
    // A message box's own event loop may wake the queue again: the outer drain goes on in
    // order instead of showing boxes inside boxes.
    if (draining_)
        return;
    draining_ = true;
    while (reports_.drain([](qv::Report& r) {
        if (auto* call = std::get_if<qv::ReportCall>(&r))
            call->run();
    }) != 0) {
    }
    draining_ = false;
}

void CDlgFpgaUpdate::finishRun()
{
    if (worker_.joinable())
        worker_.join();
    setRunning(false);
    progress_->setValue(0);
    abortFlag_ = false;
    emit workerFinished();
}

void CDlgFpgaUpdate::reject()
{
    if (!running())
        QDialog::reject();
}

void CDlgFpgaUpdate::closeEvent(QCloseEvent* event)
{
    if (running())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void CDlgFpgaUpdate::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (running() && (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
