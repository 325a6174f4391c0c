// The simulator's tools reached through the real main window.
#include "app/mainframe/main_frame.h"
#include "app/shell/main_frame_setup.h"
#include "sim/ui/serial_debug_dlg.h"
#include "tests/app/qt_app.h"
#include "tests/model/project_fixture.h"
#include "tests/platform/serial_pty_fixture.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace qv::test {
namespace {

class SimCommandsTest : public ProjectTest {
protected:
    SimCommandsTest()
    {
        qtApp();
        frame = createMainFrame(*app);
        app->SetProjectDialogs(&dialogs); // in place of the Qt dialogs the frame installed
    }
    ~SimCommandsTest() override
    {
        frame.reset();
        qv::test::mapNoComPorts();
    }
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(SimCommandsTest, SerialDebuggingOpensOnPortOneAndReleasesIt)
{
    newProject("sim");
    PtyPeer peer;
    mapComPorts({{3, peer.path()}});
    app->ProjectDoc()->m_serial.com1 = 3;
    frame->RefreshCommands();
    QAction* action = frame->commands().action(cmd::SerialDebug);
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->isEnabled());
    bool connected = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CSerialDebugDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->connectButton()->click();
        connected = dlg->IsConnected();
        dlg->reject();
    });
    action->trigger();
    EXPECT_TRUE(connected);
    EXPECT_FALSE(app->ProjectDoc()->m_ComPort1.IsOpen());
    EXPECT_EQ(app->ProjectDoc()->m_bPort1Connected, 0);
    EXPECT_TRUE(frame->commands().isBound(cmd::VoiceAssistant));
}

} // namespace
} // namespace qv::test
