#include "app/startup/startup.h"

#include "app/startup/main_window_factory.h"
#include "app/startup/message_box.h"
#include "app/startup/profile.h"
#include "app/startup/qt_prompt.h"
#include "platform/qt/qt_translations.h"
#include "app/bindings/simulator/sim_commands.h"
#include "app/bindings/simulator/simulator_wiring.h"
#include "compiler/headers/var_header_files.h"
#include "model/app/base_folder.h"
#include "model/app/editor_app.h"
#include "platform/process/instance_lock.h"
#include "sim/runtime/sim_runtime.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace qv {

const char* const kAlreadyRunningText = "Quorvane.exe尚未关闭，不可重新启动!!!";
const char* const kNoImagesText = "找不到系统文件夹images";
const char* const kEventLoopStartedLine = "Quorvane: event loop started";

namespace {

bool envFlag(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v && std::strcmp(v, "0") != 0;
}

// The lock is named after the program's own file, so a copy started under another file
// name is a program of its own, as a second copy with the same name is not.
std::string programFileName(const char* argv0)
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || exe.filename().empty())
        exe = argv0 ? argv0 : "quorvane";
    return exe.filename().string();
}

} // namespace

int runQuorvane(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QString::fromUtf8(u8"Zenvaro"));
    QApplication::setApplicationName(QString::fromUtf8(u8"Quorvane"));
    installQtTranslations(qapp);

    InstanceLock lock(programFileName(argc > 0 ? argv[0] : nullptr));
    if (!lock.acquired()) {
        std::error_code ec;
        if (std::filesystem::exists(lock.path(), ec)) {
            showMessageBox(nullptr, kAlreadyRunningText, QMessageBox::Warning);
            return kExitAlreadyRunning;
        }
        // The lock file cannot be made at all: that is no second copy; say so and go on.
        std::fprintf(stderr, "Quorvane: cannot create the lock file %s; a second copy will not be refused\n",
                     lock.path().c_str());
    }

    const auto base = currentBaseFolder();
    if (!base || !hasSystemImagesFolder(*base)) {
        showMessageBox(nullptr, kNoImagesText, QMessageBox::Critical);
        return kExitStartFailed;
    }

    const auto settings = openProfile();
    RecentFileList recentFiles(*settings);

    QtPrompt prompt;
    InstallVarHeaderWriters(); // the variable headers of the user code are written by the compiler library
    CEditorApp app(*base);
    app.SetPrompt(&prompt);
    sim::SimRuntime simulation(app); // goes before the application: it stops the user code
    app.SetSimulationServices(&simulation);
    // Goes before the run time (it stops the user code first): view, sound and pictures.
    SimulatorWiring wiring(app, simulation, ApplicationSoundPlayer(), SimulatorSoundService());
    app.onProjectOpened = [&recentFiles](const std::filesystem::path& path) {
        recentFiles.add(QString::fromStdString(path.string()));
    };
    app.InitDocTemplates();

    const auto window = createMainWindow(app, recentFiles);
    if (!window)
        return kExitStartFailed;
    prompt.setParent(window.get());
    window->showMaximized(); // the main window opens maximised

    app.OpenLatestProject(3);

    QTimer::singleShot(0, &qapp, [] {
        if (nonInteractive()) {
            std::fprintf(stderr, "%s\n", kEventLoopStartedLine);
            std::fflush(stderr);
        }
        if (envFlag("QV_EXIT_AFTER_START"))
            QCoreApplication::quit();
    });
    const int status = qapp.exec();
    // Documents go before the windows that show them.
    app.CloseAllDocuments();
    app.SetSimulationServices(nullptr);
    app.SetPrompt(nullptr);
    return status;
}

} // namespace qv
