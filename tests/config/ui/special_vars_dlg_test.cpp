// The special-variables page on screen: bindings shown read-only, fields handed back.
#include "tests/app/qt_app.h"
#include "config/ui/special_vars_dlg.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SpecialVarsDlg, ShowsBindingsDisabledAndReturnsTheEditedFields)
{
    test::qtApp();
    HmiVarTable t;
    for (const char* name : {"m_HuaMian", "m_ChildWindow", "m_Other"})
        t.AppendRow("0", "unsigned char", name, "0", "");
    special_vars::SpecialVarsPage page;
    page.roles.fill(special_vars::kNoVariable);
    page.roles[0] = 0;
    page.roles[1] = 2;
    page.roles[2] = 40; // not in the table: shown as nothing, kept as stored
    page.promStart = 100;
    page.promLength = 10;
    page.outputPortAddress = 5;

    CDlgSysVarGuanLianSet dlg(t, page);
    EXPECT_TRUE(dlg.manageButton()->isHidden());
    for (std::size_t i = 0; i < special_vars::kRoleCount; ++i) {
        EXPECT_FALSE(dlg.roleCombo(i)->isEnabled());
        EXPECT_EQ(dlg.roleCombo(i)->count(), 4);
    }
    EXPECT_EQ(dlg.roleCombo(0)->currentText(), QStringLiteral("m_HuaMian"));
    EXPECT_EQ(dlg.roleCombo(1)->currentText(), QStringLiteral("m_Other"));
    EXPECT_EQ(dlg.roleCombo(2)->currentIndex(), -1);
    EXPECT_EQ(dlg.roleCombo(3)->currentText(), QString::fromUtf8(u8"不使用"));

    // Typed values beyond a field's range are held at its limit.
    dlg.promLengthSpin()->clear();
    QTest::keyClicks(dlg.promLengthSpin(), QStringLiteral("99999"));
    dlg.promStartSpin()->setValue(28);
    dlg.outputPortSpin()->setValue(65535);
    const special_vars::SpecialVarsPage out = dlg.Page();
    EXPECT_EQ(out.roles, page.roles);
    EXPECT_EQ(out.promStart, 28);
    EXPECT_LE(out.promLength, special_vars::kPromRamLengthMax);
    EXPECT_EQ(out.outputPortAddress, 65535);
}

} // namespace
} // namespace qv
