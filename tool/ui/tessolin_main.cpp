#include "tool/ui/tessolin_main.h"

#include "device/list/program_host.h"
#include "platform/process/instance_lock.h"
#include "platform/qt/qtext.h"
#include "tool/ui/tessolin_dlg.h"

#include <QApplication>
#include <QMessageBox>

namespace qv::tool {

int runTessolin(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstanceLock lock("Tessolin");
    if (!lock.acquired()) {
        if (qEnvironmentVariableIsEmpty("QV_NONINTERACTIVE"))
            QMessageBox::information(nullptr, QStringLiteral("Tessolin"),
                                     toQString("Tessolin.exe正在运行，不必重新点击启动!!!"));
        return -1;
    }
    TessolinServices services;
    services.folder = std::filesystem::current_path();
    services.usbHost = &device::ProgramUsbHost();
    CTessolinDlg dlg(services);
    dlg.exec();
    return 0;
}

} // namespace qv::tool
