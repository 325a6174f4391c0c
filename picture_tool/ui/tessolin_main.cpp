#include "picture_tool/ui/tessolin_main.h"

#include "device/list/program_host.h"
#include "platform/process/instance_lock.h"
#include "platform/qt/qt_translations.h"
#include "platform/qt/qtext.h"
#include "platform/sound/mixer_player.h"
#include "picture_tool/ui/tessolin_dlg.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace qv::picture_tool {

void prepareTessolinApplication(QCoreApplication& app) { installQtTranslations(app); }

int runTessolin(int argc, char** argv)
{
    QApplication app(argc, argv);
    prepareTessolinApplication(app);
    InstanceLock lock("Tessolin");
    if (!lock.acquired()) {
        const QString text = toQString("Tessolin.exe正在运行，不必重新点击启动!!!");
        if (qEnvironmentVariableIsEmpty("QV_NONINTERACTIVE"))
            QMessageBox::information(nullptr, QStringLiteral("Tessolin"), text);
        else
            std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        return -1;
    }
    TessolinServices services;
    services.folder = std::filesystem::current_path();
    services.usbHost = &device::ProgramUsbHost();
    MixerSoundPlayer sound;
    services.playSound = [&sound](const std::filesystem::path& wave) { sound.Play(wave, SoundType::Wave); };
    CTessolinDlg dlg(services);
    // A test's stand-in for the user (with QV_NONINTERACTIVE): every picture of the folder
    // listed and downloaded over USB, then the program ends.
    if (!qEnvironmentVariableIsEmpty("QV_NONINTERACTIVE") && !qEnvironmentVariableIsEmpty(kDownloadAllEnv)) {
        dlg.setTransport(0);
        QObject::connect(&dlg, &CTessolinDlg::downloadEnded, &dlg, [&dlg] { dlg.accept(); });
        QMetaObject::invokeMethod(&dlg, [&dlg] {
            dlg.button(1022)->click();
            dlg.onDownloadPictures();
        }, Qt::QueuedConnection);
    }
    dlg.exec();
    return 0;
}

} // namespace qv::picture_tool
