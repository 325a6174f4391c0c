// A new user's first two bound buttons, played on the main window over a copy of the shipped
// sample project: port 1's protocol chosen in the settings sheet, one button drawn and bound
// to a Modbus holding register, a second bound to a variable from its combo, the hidden
// variable listed by the variable manager, and both bindings kept through save, reopen and
// compile.
#include "app/compile/compile_runner.h"
#include "app/mainframe/docking_bars.h"
#include "app/mainframe/property_sheet.h"
#include "app/tools/edit_tool.h"
#include "app/tools/tool_shapes.h"
#include "app/view/draw_view.h"
#include "compiler/ui/compile_confirm_dialog.h"
#include "model/params/block_bytes.h"
#include "model/shape/shape_kind.h"
#include "model/vars/hmi_var_table.h"
#include "model/vars/hmi_vars.h"
#include "platform/files/atomic_file.h"
#include "platform/qt/qtext.h"
#include "props/control_pages.h"
#include "props/ui/address_group_widget.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/modal_driver.h"
#include "tests/compiler/image_reader.h"
#include "tests/compiler/image_walker.h"
#include "vars/ui/com_set_dlg.h"
#include "vars/ui/hmi_var_manager_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

QString u(const char8_t* text) { return QString::fromUtf8(text); }

constexpr const char* kRegisterVar = "m_PlcCom1SlaveAdr1VW100";

class NewUserButtons : public EditorWindowFixture<> {
protected:
    void SetUp() override
    {
        fs::copy(sourceDir() / "base", dir.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        hmi = dir.path() / fs::path(u8"例子") / fs::path(u8"示例工程") / fs::path(u8"示例工程.hmi");
        showMainWindow(1280, 800);
    }
    void TearDown() override { closeMainWindow(); }

    bool run(int id)
    {
        frame->RefreshCommands();
        return frame->commands().trigger({cmd::Owner::App, id});
    }

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

    // Draws a button with the button tool from `from` to `to` (document points).
    CDrawObj* drawButton(CDrawView& view, Point from, Point to)
    {
        for (const ToolShapeDef& t : toolShapes())
            if (t.kind == kKindButton)
                CEditTool::s_nCurShape = t.shape;
        QWidget* port = view.viewport();
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, client(view, from));
        for (int i = 1; i <= 4; ++i)
            QTest::mouseMove(port, client(view, {from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4}));
        QTest::mouseRelease(port, Qt::LeftButton, Qt::NoModifier, client(view, to));
        return view.GetDocument()->m_objects.back().get();
    }

    // Opens the sheet of `obj` by a double click, chooses "操作变量" and runs `bind` on its
    // address group, then presses OK.
    void bindButton(CDrawView& view, CDrawObj& obj, std::function<void(AddressGroupWidget&)> bind)
    {
        bool opened = false;
        whenModal<CMyPropertySheet>([&](CMyPropertySheet& sheet) {
            opened = true;
            QWidget* control = sheet.tabs()->widget(1);
            sheet.tabs()->setCurrentWidget(control);
            auto* action = control->findChild<QComboBox*>(QStringLiteral("action"));
            auto* group = control->findChild<AddressGroupWidget*>(QStringLiteral("operated"));
            ASSERT_TRUE(action && group);
            action->setCurrentIndex(action->findText(toQString(kOperateVariableAction)));
            bind(*group);
            QTest::mouseClick(sheet.buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
            EXPECT_FALSE(sheet.isVisible()) << toQString(prompts.messages.empty() ? "" : prompts.messages.back()).toStdString();
        });
        const Rect r = obj.m_rcPosition.normalized();
        const QPoint at = client(view, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_TRUE(opened);
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
        if (!run(cmd::id::CompileProject))
            return false;
        auto* runner = frame->findChild<CCompileRunner*>();
        if (!runner || runner->LastStart() != compile::CompileStart::Started)
            return false;
        const bool ended = waitFor([&] { return app->m_bCompiling.load() == 0; }, 120000);
        runner->WaitForWorker();
        return ended && frame->outputBar()->text().contains(u(u8"编译工程成功"));
    }

    fs::path hmi;
};

TEST_F(NewUserButtons, RegisterAndVariableButtonsSurviveSaveReopenAndCompile)
{
    ASSERT_TRUE(app->OpenProjectFile(hmi));
    CDrawView* view = screen();
    ASSERT_NE(view, nullptr);

    // 系统参数设置: port 1 speaks Modbus RTU Master.
    whenModal<CDlgCOMSET>([](CDlgCOMSET& sheet) {
        QComboBox* protocol = sheet.port(0).protocol;
        protocol->setCurrentIndex(protocol->findText(QStringLiteral("Modbus RTU Master")));
        EXPECT_EQ(protocol->currentText(), QStringLiteral("Modbus RTU Master"));
        QTest::mouseClick(sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    ASSERT_TRUE(run(32865));
    CDrawDoc* project = app->ProjectDoc();
    EXPECT_EQ(project->SettingI32(settings::kProtocol1), 3);

    // A button on holding register 100 of station 1 on port 1.
    const std::size_t before = view->GetDocument()->m_objects.size();
    CDrawObj* plcButton = drawButton(*view, {60, 60}, {160, 110});
    ASSERT_EQ(view->GetDocument()->m_objects.size(), before + 1);
    ASSERT_EQ(plcButton->m_nKind, kKindButton);
    bindButton(*view, *plcButton, [](AddressGroupWidget& g) {
        g.target()->setCurrentIndex(1);
        EXPECT_EQ(g.target()->currentText(), u(u8"<串口1的PLC：Modbus RTU Master>和<HMI变量>"));
        g.station()->setText(QStringLiteral("1"));
        g.elementType()->setCurrentIndex(g.elementType()->findText(u(u8"功能码:0x3(读保持寄存器)")));
        g.elementNumber()->setText(QStringLiteral("100"));
        EXPECT_EQ(g.variable()->currentText(), QString::fromLatin1(kRegisterVar));
    });
    const std::optional<int> registerRow = findVarRow(project->m_varTable, std::string(kRegisterVar));
    ASSERT_TRUE(registerRow);
    EXPECT_EQ(blockReadI32(plcButton->m_Params, 128), *registerRow);

    // A second button on the sample's "温度", picked in its variable combo.
    const std::optional<int> chosenRow = findVarRow(project->m_varTable, std::string("温度"));
    ASSERT_TRUE(chosenRow);
    CDrawObj* varButton = drawButton(*view, {200, 60}, {300, 110});
    ASSERT_EQ(varButton->m_nKind, kKindButton);
    bindButton(*view, *varButton, [](AddressGroupWidget& g) {
        g.target()->setCurrentIndex(0);
        g.variable()->setCurrentIndex(g.variable()->findText(u(u8"温度")));
        EXPECT_EQ(g.variable()->currentText(), u(u8"温度"));
    });
    EXPECT_EQ(blockReadI32(varButton->m_Params, 128), *chosenRow);

    // The variable manager lists the hidden variable.
    QStringList listed;
    whenModal<CDlgHmiVarManager>([&](CDlgHmiVarManager& manager) {
        for (int r = 0; r < manager.list()->rowCount(); ++r)
            for (int c = 0; c < manager.list()->columnCount(); ++c)
                if (QTableWidgetItem* item = manager.list()->item(r, c))
                    listed << item->text();
        manager.reject();
    });
    ASSERT_TRUE(run(32893));
    EXPECT_TRUE(listed.contains(QString::fromLatin1(kRegisterVar)));

    // Save, close and open again.
    ASSERT_TRUE(run(32822));
    EXPECT_FALSE(view->GetDocument()->IsModified());
    app->CloseAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(app->OpenProjectFile(hmi));
    view = screen();
    ASSERT_NE(view, nullptr);
    project = app->ProjectDoc();
    const auto& objects = view->GetDocument()->m_objects;
    ASSERT_EQ(objects.size(), before + 2);
    const CDrawObj& a = *objects[before];
    const CDrawObj& b = *objects[before + 1];
    const HmiVarTable& table = project->m_varTable;
    struct Kept {
        const CDrawObj& button;
        std::string name;
    } const kept[] = {{a, kRegisterVar}, {b, "温度"}};
    std::vector<std::int32_t> addresses;
    for (const Kept& k : kept) {
        const int row = blockReadI32(k.button.m_Params, 128);
        ASSERT_GE(row, 0);
        EXPECT_EQ(table.name.at(static_cast<std::size_t>(row)), k.name);
        EXPECT_EQ(k.button.m_strFiles.at(3), kOperateVariableAction);
        std::int32_t address = -1;
        std::uint8_t type = 0;
        GetVariableAddress(*app, row, address, type);
        addresses.push_back(address);
    }
    EXPECT_EQ(blockReadI32(a.m_Params, 228), 1);    // port 1
    EXPECT_EQ(blockReadI32(a.m_Params, 236), 1);    // station
    EXPECT_EQ(blockReadI32(a.m_Params, 240), 100);  // element

    // The compiled screen carries both buttons on their variables' addresses.
    ASSERT_TRUE(compileProject()) << frame->outputBar()->text().toStdString();
    std::string bytes;
    ASSERT_TRUE(readWholeFile(hmi.parent_path() / "NandFlash" / "NandFlash.Zip", bytes));
    const ReadImage image = readImage(bytes);
    ASSERT_EQ(image.error, "");
    ASSERT_FALSE(image.windows.empty());
    std::vector<std::uint32_t> buttonAddresses;
    for (const ReadItem& item : image.windows[0].items)
        if (item.type == 2)
            buttonAddresses.push_back(fileU32(bytes, item.offset + 36));
    ASSERT_GE(buttonAddresses.size(), 2u);
    const std::vector<std::uint32_t> last(buttonAddresses.end() - 2, buttonAddresses.end());
    EXPECT_EQ(last, (std::vector<std::uint32_t>{static_cast<std::uint32_t>(addresses[0]), static_cast<std::uint32_t>(addresses[1])}));
}

} // namespace
} // namespace qv::test
