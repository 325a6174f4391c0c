#pragma once
// A new user's session on the main window, shown offscreen, over a copy of the shipped
// sample project: controls drawn with their tools, sheets opened by a double click, the
// commands run as from the menu, the compile confirmed and waited for. The project's serial
// ports open on pseudo-terminals, so no test reaches a real port.
#include "app/compile/compile_runner.h"
#include "app/mainframe/docking_bars.h"
#include "app/mainframe/property_sheet.h"
#include "app/drawing_tools/edit_tool.h"
#include "app/drawing_tools/tool_shapes.h"
#include "app/view/draw_view.h"
#include "compiler/ui/compile_confirm_dialog.h"
#include "model/vars/hmi_vars.h"
#include "platform/files/atomic_file.h"
#include "platform/qt/qtext.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/modal_driver.h"
#include "tests/compiler/image_reader.h"
#include "tests/platform/serial_pty_fixture.h"
#include "config/ui/com_set_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <optional>

namespace qv::test {

class NewUserFixture : public EditorWindowFixture<> {
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        fs::copy(sourceDir() / "base", dir.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        hmi = dir.path() / fs::path(u8"例子") / fs::path(u8"示例工程") / fs::path(u8"示例工程.hmi");
        // Both of the project's ports, on whatever COM numbers it names, open on
        // pseudo-terminals; every other number is unmapped.
        CDrawDoc stored;
        DocumentError error;
        ASSERT_TRUE(stored.OnOpenDocument(hmi, &error)) << error.messageGbk;
        const char* map = std::getenv(kComMapEnv);
        oldComMap = map ? std::optional<std::string>(map) : std::nullopt;
        mapComPorts({{stored.m_serial.com1, port1.path()}, {stored.m_serial.com2, port2.path()}});
        showMainWindow(1280, 800);
    }
    void TearDown() override
    {
        closeMainWindow();
        oldComMap ? (void)::setenv(kComMapEnv, oldComMap->c_str(), 1) : (void)::unsetenv(kComMapEnv);
    }

    // Both ports of the open project reach the pseudo-terminals, not a real device.
    void expectPortsOnPseudoTerminals()
    {
        const SerialParams& serial = app->ProjectDoc()->m_serial;
        for (const auto& [com, peer] : {std::pair{serial.com1, &port1}, std::pair{serial.com2, &port2}}) {
            const std::optional<ComDevice> device = ResolveComPort(com);
            ASSERT_TRUE(device.has_value()) << "COM" << com;
            EXPECT_EQ(device->path, std::filesystem::path(peer->path())) << "COM" << com;
        }
    }

    bool run(cmd::CommandKey key)
    {
        frame->RefreshCommands();
        return frame->commands().trigger(key);
    }

    // The sample's first screen, active.
    CDrawView* screen()
    {
        CSplitFrame* f = frame->FindDocumentWindow("win0.drw");
        if (!f)
            return nullptr;
        frame->ActivateDocumentWindow(f);
        return dynamic_cast<CDrawView*>(f->widget());
    }

    static QPoint client(CDrawView& view, Point doc)
    {
        const Point c = view.DocToClientPoint(doc);
        const qreal dpr = view.devicePixelRatioF();
        return QPoint(int(c.x / dpr), int(c.y / dpr));
    }

    // Draws a control of `kind` with its tool from `from` to `to` (document points).
    CDrawObj* draw(CDrawView& view, ShapeKind kind, Point from, Point to)
    {
        for (const ToolShapeDef& t : toolShapes())
            if (t.kind == kind)
                CEditTool::s_nCurShape = t.shape;
        QWidget* port = view.viewport();
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, client(view, from));
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(port, client(view, {from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4}));
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, client(view, to));
        return view.GetDocument()->m_objects.back().get();
    }

    // Opens the sheet of `obj` by a double click, runs `fill` on it and presses OK, which
    // must close it.
    void editSheet(CDrawView& view, CDrawObj& obj, std::function<void(CMyPropertySheet&)> fill)
    {
        bool opened = false;
        whenModal<CMyPropertySheet>([&](CMyPropertySheet& sheet) {
            opened = true;
            fill(sheet);
            QTest::mouseClick(sheet.buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
            EXPECT_FALSE(sheet.isVisible()) << toQString(prompts.messages.empty() ? "" : prompts.messages.back()).toStdString();
            if (sheet.isVisible())
                sheet.reject();
        });
        const Rect r = obj.m_rcPosition.normalized();
        const QPoint at = client(view, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_TRUE(opened);
    }

    // 系统参数设置: port 1 speaks Modbus RTU Master.
    void chooseModbusOnPort1()
    {
        whenModal<CDlgCOMSET>([](CDlgCOMSET& sheet) {
            QComboBox* protocol = sheet.port(0).protocol;
            protocol->setCurrentIndex(protocol->findText(QStringLiteral("Modbus RTU Master")));
            EXPECT_EQ(protocol->currentText(), QStringLiteral("Modbus RTU Master"));
            QTest::mouseClick(sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        ASSERT_TRUE(run(cmd::SystemSettings));
        EXPECT_EQ(app->ProjectDoc()->SettingI32(settings::kProtocol1), 3);
    }

    // Saves what is modified ("保存工程" is greyed when an edit already saved everything),
    // closes every document and opens the project again; its first screen.
    CDrawView* saveAndReopen()
    {
        frame->RefreshCommands();
        if (frame->commands().action(cmd::ProjectSave)->isEnabled() && !run(cmd::ProjectSave)) {
            ADD_FAILURE() << "save: " << (prompts.messages.empty() ? "" : prompts.messages.back());
            return nullptr;
        }
        for (CDrawDoc* d : app->GetDocManager().AllDocuments())
            EXPECT_FALSE(d->IsModified()) << d->GetTitle();
        app->CloseAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!app->OpenProjectFile(hmi)) {
            ADD_FAILURE() << "reopen: " << (prompts.messages.empty() ? "" : prompts.messages.back());
            return nullptr;
        }
        return screen();
    }

    // Answers the compile's confirm dialog with OK and waits for the compile's end.
    bool compileProject()
    {
        auto* timer = new QTimer(frame.get());
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [timer] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<CDlgCompileConfirm*>(w); d && d->isVisible()) {
                    timer->stop();
                    timer->deleteLater();
                    QTest::mouseClick(d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
                    return;
                }
        });
        timer->start();
        if (!run(cmd::CompileProject))
            return false;
        auto* runner = frame->findChild<CCompileRunner*>();
        if (!runner || runner->LastStart() != compile::CompileStart::Started)
            return false;
        const bool ended = waitFor([&] { return app->m_bCompiling.load() == 0; }, 120000);
        runner->WaitForWorker();
        // The worker's last lines still wait in the report queue until the window drains it.
        const QString success = QString::fromUtf8(u8"编译工程成功");
        waitFor([&] {
            const QString text = frame->outputBar()->text();
            return text.contains(success) || text.contains(QString::fromUtf8(u8"失败")) ||
                   text.contains(QString::fromUtf8(u8"出错"));
        }, 60000);
        return ended && frame->outputBar()->text().contains(success);
    }

    // Compiles through the command and reads the image back to its end; its first window
    // is the sample's first screen.
    ::testing::AssertionResult compileAndRead(std::string& bytes, ReadImage& image)
    {
        if (!compileProject())
            return ::testing::AssertionFailure() << frame->outputBar()->text().toStdString();
        if (!readWholeFile(hmi.parent_path() / "NandFlash" / "NandFlash.Zip", bytes))
            return ::testing::AssertionFailure() << "no image";
        image = readImage(bytes);
        if (!image.error.empty() || image.windows.empty())
            return ::testing::AssertionFailure() << "image: " << image.error;
        return ::testing::AssertionSuccess();
    }

    // The variable's byte address.
    std::uint32_t addressOf(int row) const
    {
        std::int32_t address = -1;
        std::uint8_t type = 0;
        GetVariableAddress(*app, row, address, type);
        return static_cast<std::uint32_t>(address);
    }

    std::filesystem::path hmi;
    PtyPeer port1, port2;
    std::optional<std::string> oldComMap;
};

} // namespace qv::test
