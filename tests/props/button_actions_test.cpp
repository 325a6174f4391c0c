// The button's action list by the window it lies on: screens and user sub-windows first,
// the system actions, "系统保存" only on the settings screen, the message windows' keys, the
// keypads' own short lists.
#include "props/button_actions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qv::test {
namespace {

const std::vector<std::string> kScreens = {"主画面.drw", "系统设置.drw"};
const std::vector<std::string> kSubWindows = {"弹出.dlg", "数字键盘.dlg", "保存确认.dlg"};

std::ptrdiff_t at(const std::vector<std::string>& list, const std::string& entry)
{
    const auto it = std::find(list.begin(), list.end(), entry);
    return it == list.end() ? -1 : it - list.begin();
}

TEST(ButtonActions, ScreenListsWindowsSystemActionsAndKeys)
{
    const auto list = ButtonActionsFor("主画面.drw", kScreens, kSubWindows);
    const std::vector<std::string> head = {"主画面.drw", "系统设置.drw", "弹出.dlg", "操作变量", "触摸屏校准", "系统登陆",
                                           "系统注销", "键盘\"Enter\"", "键盘\"Capslk\"", "键盘\"A\""};
    ASSERT_GE(list.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), list.begin()));
    EXPECT_EQ(at(list, "系统保存"), -1);
    EXPECT_EQ(at(list, "执行用户代码"), -1);
    EXPECT_EQ(list.back(), "键盘\"清除\"");
    EXPECT_EQ(at(list, "键盘\"'或\"\""), at(list, "键盘\";或:\"") + 1);
    EXPECT_EQ(at(list, "键盘\"0\""), at(list, "键盘\"空格\"") + 1);
}

TEST(ButtonActions, WindowDecidesTheExtras)
{
    struct Case {
        const char* window;
        std::vector<std::string> before;  // appear in this order
        std::string last;
        bool save;
    } const cases[] = {
        {"系统设置.drw", {"系统注销", "系统保存", "键盘\"Enter\""}, "键盘\"清除\"", true},
        {"保存确认.dlg", {"系统注销", "键盘\"确定\"", "键盘\"取消\"", "键盘\"Enter\""}, "键盘\"取消\"", false},
        {"权限警告.dlg", {"系统注销", "键盘\"取消\"", "键盘\"Enter\""}, "键盘\"取消\"", false},
        {"弹出.dlg", {"系统注销", "键盘\"Enter\""}, "键盘\"取消\"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window);
        const auto list = ButtonActionsFor(c.window, kScreens, kSubWindows);
        for (std::size_t i = 1; i < c.before.size(); ++i)
            EXPECT_EQ(at(list, c.before[i]), at(list, c.before[i - 1]) + 1) << c.before[i];
        EXPECT_EQ(list.back(), c.last);
        EXPECT_EQ(at(list, "系统保存") >= 0, c.save);
    }
    EXPECT_EQ(at(ButtonActionsFor("权限警告.dlg", kScreens, kSubWindows), "键盘\"确定\""), -1);
}

TEST(ButtonActions, KeypadsListOnlyKeys)
{
    const auto numeric = ButtonActionsFor("数字键盘.dlg", kScreens, kSubWindows);
    const std::vector<std::string> expected = {"键盘\"0\"", "键盘\"1\"", "键盘\"2\"", "键盘\"3\"", "键盘\"4\"",
                                               "键盘\"5\"", "键盘\"6\"", "键盘\"7\"", "键盘\"8\"", "键盘\"9\"",
                                               "键盘\".\"", "键盘\"-\"", "键盘\"确定\"", "键盘\"取消\"",
                                               "键盘\"后退\"", "键盘\"清除\""};
    EXPECT_EQ(numeric, expected);
    const auto keyboard = ButtonActionsFor("系统键盘.dlg", kScreens, kSubWindows);
    EXPECT_EQ(at(keyboard, "键盘\"确定\""), -1);
    EXPECT_EQ(keyboard.back(), "键盘\"PingYinSwitch\"");
    EXPECT_EQ(at(keyboard, "键盘\"Z\""), at(keyboard, "键盘\"A\"") + 25);
    EXPECT_EQ(keyboard.size(), 15u + 2 + 26 + 11 + 1);
}

} // namespace
} // namespace qv::test
