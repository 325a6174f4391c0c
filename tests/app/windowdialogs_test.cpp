// The screen and sub-window dialogs: what they show, and OK refusing names and placements
// that could not make a window file, with the reason, while the dialog stays open.
#include "app/windowdialogs/screen_dialog.h"
#include "app/windowdialogs/sub_window_dialog.h"
#include "platform/qt/qtext.h"
#include "tests/app/qt_app.h"
#include "tests/app/scripted_prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace qv;
using namespace qv::test;

namespace {

template <class T>
T* field(QWidget& dialog, const char* name)
{
    T* w = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

SubWindowDialogValues subValues()
{
    SubWindowDialogValues v;
    v.name = "DialogName";
    v.width = 400;
    v.height = 240;
    v.x = 200;
    v.y = 120;
    v.resWidth = 800;
    v.resHeight = 480;
    return v;
}

} // namespace

TEST(WindowDialogs, ScreenNameIsCheckedOnOk)
{
    qtApp();
    ScriptedPrompts prompts;
    struct Case {
        const char8_t* typed;
        bool accepted;
    };
    const Case cases[] = {
        {u8"", false}, {u8"a\\b", false}, {u8"a/b", false}, {u8"x:y", false}, {u8"..", false},
        {u8"😀", false},  // GBK cannot hold it
        {u8"淺色画面", true},
    };
    for (const Case& c : cases) {
        prompts.messages.clear();
        CScreenDlg dialog({"WindowName", 800, 480}, prompts);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(u8"画面"));
        EXPECT_TRUE(field<QLineEdit>(dialog, "width")->isReadOnly());
        EXPECT_EQ(field<QLineEdit>(dialog, "height")->text(), QStringLiteral("480"));
        EXPECT_EQ(dialog.nameEdit()->text(), QStringLiteral("WindowName"));
        dialog.show();
        const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(c.typed));
        dialog.nameEdit()->setText(typed);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << typed.toStdString();
        EXPECT_EQ(dialog.isVisible(), !c.accepted) << "a refused name keeps the dialog open";
        EXPECT_EQ(prompts.messages.size(), c.accepted ? 0u : 1u) << typed.toStdString();
        if (c.accepted)
            EXPECT_EQ(toQString(dialog.values().name), typed);
    }
}

TEST(WindowDialogs, SubWindowPlacementIsCheckedOnOk)
{
    qtApp();
    ScriptedPrompts prompts;
    struct Case {
        const char* what;
        int w, h, x, y;
        bool centred;
        const char* message;  // nullptr: accepted
    };
    const Case cases[] = {
        {"600 wide at 500", 600, 100, 500, 0, false, "子窗口宽度超出显示器显示范围"},
        {"too low", 100, 300, 0, 200, false, "子窗口高度超出显示器显示范围"},
        {"centred, too wide", 900, 100, 0, 0, true, "子窗口宽度超出显示器显示范围"},
        {"no height", 100, 0, 0, 0, false, "子窗口宽度和高度必须大于0"},
        {"fits", 300, 200, 500, 280, false, nullptr},
        {"centred ignores the corner", 300, 200, 700, 470, true, nullptr},
    };
    for (const Case& c : cases) {
        prompts.messages.clear();
        CSubWindowDlg dialog(subValues(), prompts);
        dialog.show();
        field<QSpinBox>(dialog, "width")->setValue(c.w);
        field<QSpinBox>(dialog, "height")->setValue(c.h);
        field<QSpinBox>(dialog, "x")->setValue(c.x);
        field<QSpinBox>(dialog, "y")->setValue(c.y);
        field<QCheckBox>(dialog, "centred")->setChecked(c.centred);
        dialog.accept();
        if (c.message) {
            EXPECT_EQ(prompts.messages, std::vector<std::string>{c.message}) << c.what;
            EXPECT_TRUE(dialog.isVisible()) << c.what;
        } else {
            EXPECT_TRUE(prompts.messages.empty()) << c.what;
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.what;
            EXPECT_EQ(dialog.values().width, static_cast<unsigned>(c.w));
            EXPECT_EQ(dialog.values().centred, c.centred ? 1 : 0);
        }
    }
}

TEST(WindowDialogs, SystemSubWindowKeepsItsThirdLayerAndTheTypeListIsHidden)
{
    qtApp();
    ScriptedPrompts prompts;
    SubWindowDialogValues v = subValues();
    v.name = "系统键盘";
    v.system = 1;
    CSubWindowDlg system(v, prompts);
    system.show();
    QCheckBox* third = field<QCheckBox>(system, "thirdLayer");
    EXPECT_TRUE(third->isChecked());
    EXPECT_FALSE(third->isEnabled());
    EXPECT_FALSE(field<QComboBox>(system, "type")->isVisible()) << "no caller shows the window-type list";
    system.accept();
    EXPECT_EQ(system.values().thirdLayer, 1);
    EXPECT_EQ(system.values().name, "系统键盘");

    // Shown on request, a keyboard type hides the ordinary window's fields.
    SubWindowDialogValues typed = subValues();
    typed.showType = 1;
    CSubWindowDlg withType(typed, prompts);
    withType.show();
    QComboBox* type = field<QComboBox>(withType, "type");
    EXPECT_TRUE(type->isVisible());
    EXPECT_EQ(type->count(), 3);
    type->setCurrentIndex(1);
    EXPECT_FALSE(field<QLineEdit>(withType, "name")->isVisible());
    EXPECT_FALSE(field<QCheckBox>(withType, "modeless")->isVisible());
    withType.accept();
    EXPECT_EQ(withType.values().typeIndex, 1);
    EXPECT_EQ(withType.values().typeText, "系统键盘.dlg");
}
