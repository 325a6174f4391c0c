// A new user's first two bound buttons, played on the main window over a copy of the shipped
// sample project: port 1's protocol chosen in the settings sheet, one button drawn and bound
// to a Modbus holding register, a second bound to a variable from its combo, the hidden
// variable listed by the variable manager, and both bindings kept through save, reopen and
// compile.
#include "model/params/block_bytes.h"
#include "model/shape/shape_kind.h"
#include "model/vars/hmi_var_table.h"
#include "props/control_pages.h"
#include "props/ui/address_group_widget.h"
#include "tests/compiler/image_walker.h"
#include "tests/props/ui/new_user_fixture.h"
#include "config/ui/hmi_var_manager_dlg.h"

#include <QLineEdit>
#include <QTableWidget>

namespace qv::test {
namespace {

QString u(const char8_t* text) { return QString::fromUtf8(text); }

constexpr const char* kRegisterVar = "m_PlcCom1SlaveAdr1VW100";

class NewUserButtons : public NewUserFixture {
protected:
    // Opens the sheet of `obj`, chooses "操作变量" and runs `bind` on its address group.
    void bindButton(CDrawView& view, CDrawObj& obj, std::function<void(AddressGroupWidget&)> bind)
    {
        editSheet(view, obj, [&](CMyPropertySheet& sheet) {
            QWidget* control = sheet.tabs()->widget(1);
            sheet.tabs()->setCurrentWidget(control);
            auto* action = control->findChild<QComboBox*>(QStringLiteral("action"));
            auto* group = control->findChild<AddressGroupWidget*>(QStringLiteral("operated"));
            ASSERT_TRUE(action && group);
            action->setCurrentIndex(action->findText(toQString(kOperateVariableAction)));
            bind(*group);
        });
    }
};

TEST_F(NewUserButtons, RegisterAndVariableButtonsSurviveSaveReopenAndCompile)
{
    ASSERT_TRUE(app->OpenProjectFile(hmi));
    expectPortsOnPseudoTerminals();
    CDrawView* view = screen();
    ASSERT_NE(view, nullptr);

    ASSERT_NO_FATAL_FAILURE(chooseModbusOnPort1());
    CDrawDoc* project = app->ProjectDoc();

    // A button on holding register 100 of station 1 on port 1.
    const std::size_t before = view->GetDocument()->m_objects.size();
    CDrawObj* plcButton = draw(*view, ShapeKind::Button, {60, 60}, {160, 110});
    ASSERT_EQ(view->GetDocument()->m_objects.size(), before + 1);
    ASSERT_EQ(plcButton->Kind(), ShapeKind::Button);
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
    CDrawObj* varButton = draw(*view, ShapeKind::Button, {200, 60}, {300, 110});
    ASSERT_EQ(varButton->Kind(), ShapeKind::Button);
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
    ASSERT_TRUE(run(cmd::HmiVariables));
    EXPECT_TRUE(listed.contains(QString::fromLatin1(kRegisterVar)));

    // Save, close and open again.
    view = saveAndReopen();
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
    std::vector<std::uint32_t> addresses;
    for (const Kept& k : kept) {
        const int row = blockReadI32(k.button.m_Params, 128);
        ASSERT_GE(row, 0);
        EXPECT_EQ(table.name.at(static_cast<std::size_t>(row)), k.name);
        EXPECT_EQ(k.button.m_strFiles.at(3), kOperateVariableAction);
        addresses.push_back(addressOf(row));
    }
    EXPECT_EQ(blockReadI32(a.m_Params, 228), 1);    // port 1
    EXPECT_EQ(blockReadI32(a.m_Params, 236), 1);    // station
    EXPECT_EQ(blockReadI32(a.m_Params, 240), 100);  // element

    // The compiled screen carries both buttons on their variables' addresses.
    std::string bytes;
    ReadImage image;
    ASSERT_TRUE(compileAndRead(bytes, image));
    std::vector<std::uint32_t> buttonAddresses;
    for (const ReadItem& item : image.windows[0].items)
        if (item.type == 2)
            buttonAddresses.push_back(fileU32(bytes, item.offset + 36));
    ASSERT_GE(buttonAddresses.size(), 2u);
    const std::vector<std::uint32_t> last(buttonAddresses.end() - 2, buttonAddresses.end());
    EXPECT_EQ(last, addresses);
}

} // namespace
} // namespace qv::test
