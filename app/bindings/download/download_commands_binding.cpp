#include "app/bindings/download/download_commands_binding.h"

#include "app/mainframe/main_frame.h"
#include "device/download/download_command.h"
#include "device/download/download_texts.h"
#include "device/list/device_scan.h"
#include "device/list/ezusb_ids.h"
#include "device/list/program_host.h"
#include "device/ui/download_option_dlg.h"
#include "model/app/download_project.h"
#include "model/app/editor_app.h"
#include "model/app/emulator_flags.h"
#include "model/document/draw_doc.h"
#include "model/project/project_title.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"
#include "sim/sound/sound_service.h"

#include <QObject>

namespace qv {
namespace {

class DownloadCommands final : public QObject, public DownloadCommandRunner, public device::DownloadCommandHost {
public:
    DownloadCommands(CMainFrame& frame, CEditorApp& app)
        : QObject(&frame), frame_(frame), app_(app),
          worker_({app.m_bCompiling, app.m_bDownloading, app.m_bAbort, app.m_nProgressTotal, app.m_nProgressDone},
                  &app.m_UsbDevices)
    {
        services_.host = &device::ProgramUsbHost();
        services_.list = &app.m_UsbDevices;
        services_.reports = &app.m_reports;
        services_.messageBox = [&app](const std::string& text) {
            const bool good = text == device::text::kCodeDone;
            app.Prompt().ShowMessage(text, good ? UiPrompts::Icon::Information : UiPrompts::Icon::Warning);
        };
        SetDownloadCommandRunner(app_, this);
    }
    ~DownloadCommands() override { SetDownloadCommandRunner(app_, nullptr); }

    void RunDownloadCommand(CEditorApp& app, bool quick) override
    {
        if (&app != &app_ || app_.m_bCompiling.load() != 0 || app_.m_bDownloading.load() != 0)
            return;
        device::runDownloadCommand(*this, worker_, services_, quick);
        frame_.RefreshCommands();
    }

    std::optional<device::DownloadOptionValues> askOptions(const device::DownloadOptionValues& preset) override
    {
        const QString codeFile = UserCodeFileShown(app_.m_strProjectDir);
        CDlgDownloadOption dialog(
            preset, app_.m_UsbDevices,
            [this] { device::EnumDevices(*services_.host, app_.m_UsbDevices, device::EzUsbPanelIds()); }, codeFile,
            &frame_);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.values();
    }

    void prepare() override
    {
        if (app_.ProjectDoc() != nullptr) {
            if (CSplitFrame* f = frame_.ProjectDocumentWindow())
                frame_.ActivateDocumentWindow(f);
            ShowProjectFileTitle(app_);
        }
        MC8051StopRequest = 1;
        sim::CloseSound();
    }

    void fillJob(device::DownloadJob& job) override
    {
        job.projectDir = app_.m_strProjectDir;
        app_.ListFDiskFiles();
        job.fdiskFiles = app_.m_FDiskFiles;
        app_.LoadProtocolDrivers();
        job.plcBlock = app_.ProtocolBlockImage();
    }

    void storeDeviceInfo(const device::DeviceInfo& info) override { app_.m_deviceInfo = info.raw; }

private:
    CMainFrame& frame_;
    CEditorApp& app_;
    device::DeviceCommandServices services_;
    device::DownloadWorker worker_;
};

} // namespace

void installDownloadCommands(CMainFrame& frame, CEditorApp& app)
{
    new DownloadCommands(frame, app);
    frame.commands().bind(cmd::DownloadProject, [&app] { app.OnDownloadProject(); });
    frame.RefreshCommands();
}

QString UserCodeFileShown(const std::filesystem::path& projectDir)
{
    const std::filesystem::path file =
        resolveStoredPath(projectDir, "\\MC8051\\MC8051.hex").value_or(projectDir / "MC8051" / "MC8051.hex");
    return QString::fromStdString(file.generic_string());
}

} // namespace qv
