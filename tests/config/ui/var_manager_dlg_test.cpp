// The variable manager dialog driven by real clicks, with the small dialogs scripted; the
// variable dialog's range text; the progress dialog running a real adjustment.
#include "tests/app/qt_app.h"
#include "tests/config/manager_fixture.h"
#include "config/ui/hmi_var_manager_dlg.h"
#include "config/ui/var_adjust_progress.h"
#include "config/ui/var_small_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest/QtTest>

#include <deque>

namespace qv::test {
namespace {

struct ScriptedAsk : VarManagerAsk {
    std::deque<std::optional<HmiVarInput>> inputs;
    std::deque<std::optional<std::string>> passwords;
    std::vector<std::string> messages;
    int* adjustCalls;
    explicit ScriptedAsk(int* calls) : adjustCalls(calls) {}
    std::optional<HmiVarInput> EditVar(QWidget*, const HmiVarInput&, bool) override
    {
        auto v = inputs.empty() ? std::nullopt : inputs.front();
        if (!inputs.empty())
            inputs.pop_front();
        return v;
    }
    std::optional<std::string> Password(QWidget*) override
    {
        auto v = passwords.empty() ? std::nullopt : passwords.front();
        if (!passwords.empty())
            passwords.pop_front();
        return v;
    }
    std::optional<std::string> VarName(QWidget*) override { return std::string("u17"); }
    std::optional<std::filesystem::path> BackupFile(QWidget*, bool) override { return std::nullopt; }
    void Message(QWidget*, const std::string& text, bool) override { messages.push_back(text); }
    bool AdjustAddresses(QWidget*, CEditorApp&) override { return ++*adjustCalls > 0; }
};

class VarManagerDlgTest : public VarProjectTest {
protected:
    VarManagerDlgTest()
    {
        qtApp();
        auto scripted = std::make_unique<ScriptedAsk>(&adjustCalls);
        ask = scripted.get();
        dlg = std::make_unique<CDlgHmiVarManager>(*app, nullptr, std::move(scripted));
    }
    void click(CDlgHmiVarManager::Button b) { QTest::mouseClick(dlg->button(b), Qt::LeftButton); }
    QString cell(int row, int column) const { return dlg->list()->item(row, column)->text(); }

    int adjustCalls = 0;
    ScriptedAsk* ask = nullptr;
    std::unique_ptr<CDlgHmiVarManager> dlg;
};

TEST_F(VarManagerDlgTest, AddCutPasteAndCloseThroughTheButtons)
{
    dlg->show();
    EXPECT_EQ(dlg->list()->rowCount(), 16);
    EXPECT_EQ(dlg->SelectedRow(), 0);
    EXPECT_FALSE(dlg->button(CDlgHmiVarManager::Button::Delete)->isEnabled());

    HmiVarInput in = dlg->manager().NewVarInput();
    in.name = "u16";
    in.addSeveral = true;
    in.count = 3;
    ask->inputs.push_back(in);
    click(CDlgHmiVarManager::Button::Add);
    ASSERT_EQ(dlg->list()->rowCount(), 19);
    EXPECT_EQ(dlg->SelectedRow(), 18);
    EXPECT_EQ(cell(17, 2), QStringLiteral("u16_1"));
    EXPECT_TRUE(dlg->button(CDlgHmiVarManager::Button::Delete)->isEnabled());
    EXPECT_FALSE(dlg->button(CDlgHmiVarManager::Button::MoveDown)->isEnabled());

    click(CDlgHmiVarManager::Button::Cut);
    dlg->SelectRow(15);
    EXPECT_TRUE(dlg->button(CDlgHmiVarManager::Button::Paste)->isEnabled());
    click(CDlgHmiVarManager::Button::Paste);
    EXPECT_EQ(cell(16, 2), QStringLiteral("u16_2"));
    EXPECT_EQ(dlg->SelectedRow(), 16);

    ask->passwords.push_back(std::string("1"));
    click(CDlgHmiVarManager::Button::Clear);
    ASSERT_EQ(ask->messages.size(), 1u);
    EXPECT_EQ(ask->messages.back(), "密码错误!!!");
    EXPECT_EQ(dlg->list()->rowCount(), 19);

    dlg->reject();
    EXPECT_EQ(adjustCalls, 1); // closing lays the addresses out
    EXPECT_EQ(load(hmi())->m_varTable.name[16], "u16_2");
}

TEST_F(VarManagerDlgTest, TheProgressDialogAppliesTheLayout)
{
    dlg.reset();
    table().AppendRow("64", "unsigned short", "m_A", "0", "");
    table().AppendRow("64", "unsigned char", "m_B", "0", "");
    ASSERT_TRUE(app->ProjectDoc()->DoFileSave());
    EXPECT_TRUE(RunVarAdjustDialog(*app, nullptr));
    EXPECT_EQ(table().address[16], "28");
    EXPECT_EQ(table().address[17], "30");
    EXPECT_EQ(load(hmi())->m_varTable.address[17], "30");
}

TEST(HmiVarDialog, RangeTextFollowsTheType)
{
    qtApp();
    HmiVarInput in;
    CHmiVarDlg dlg(in, true);
    EXPECT_EQ(dlg.rangeLabel()->text(), QString::fromUtf8(u8"(8位无符号数0～+255)"));
    dlg.typeCombo()->setCurrentIndex(4);
    EXPECT_EQ(dlg.rangeLabel()->text(), QString::fromUtf8(u8"(32位有符号数-2147483648～+2147483647)"));
    const auto out = dlg.Input();
    ASSERT_TRUE(out);
    EXPECT_EQ(out->type, "signed int");
    EXPECT_EQ(out->description, "AD采样值");
}

} // namespace
} // namespace qv::test
