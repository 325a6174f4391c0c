#include "props/button_actions.h"

#include <algorithm>
#include <span>

namespace qv {
namespace {

constexpr std::string_view kKeypadWindows[] = {"数字键盘.dlg", "系统登陆.dlg", "系统键盘.dlg"};
constexpr std::string_view kSystemSubWindows[] = {"数字键盘.dlg", "系统登陆.dlg", "权限警告.dlg", "密码错误.dlg",
                                                  "串口1无响应.dlg", "串口2无响应.dlg", "注销确认.dlg", "已经注销.dlg",
                                                  "保存确认.dlg", "系统键盘.dlg"};
constexpr std::string_view kMessageWindows[] = {"权限警告.dlg", "已经注销.dlg", "密码错误.dlg", "注销确认.dlg",
                                                "保存确认.dlg", "串口1无响应.dlg", "串口2无响应.dlg"};
constexpr std::string_view kConfirmWindows[] = {"注销确认.dlg", "保存确认.dlg"};
constexpr std::string_view kSystemActions[] = {"操作变量", "触摸屏校准", "系统登陆", "系统注销"};
// The punctuation keys of the full keyboard, "`或~" to "空格".
constexpr std::string_view kPunctuationKeys[] = {"`或~", "=或+", "[或{", "]或}", "\\或|", ";或:", "'或\"",
                                                 "Shift", ",或<", "/或?", "空格"};
constexpr std::string_view kDigitTailKeys[] = {".", "-"};

bool isOneOf(std::string_view name, std::span<const std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

class ActionList {
public:
    void add(std::string_view text) { list.emplace_back(text); }
    void key(std::string_view name) { list.push_back(std::string("键盘\"").append(name).append("\"")); }
    void letters()
    {
        for (char c = 'A'; c <= 'Z'; ++c)
            key(std::string_view(&c, 1));
    }
    void digits()
    {
        for (char c = '0'; c <= '9'; ++c)
            key(std::string_view(&c, 1));
    }
    std::vector<std::string> list;
};

} // namespace

std::vector<std::string> ButtonActionsFor(std::string_view windowTitle, const std::vector<std::string>& screens,
                                          const std::vector<std::string>& subWindows)
{
    ActionList a;
    if (isOneOf(windowTitle, kKeypadWindows)) {
        const bool fullKeyboard = windowTitle == "系统键盘.dlg";
        a.digits();
        for (std::string_view k : kDigitTailKeys)
            a.key(k);
        if (!fullKeyboard)
            a.key("确定");
        for (std::string_view k : {"取消", "后退", "清除"})
            a.key(k);
        if (fullKeyboard) {
            a.key("Enter");
            a.key("Capslk");
            a.letters();
            for (std::string_view k : kPunctuationKeys)
                a.key(k);
            a.key("PingYinSwitch");
        }
        return a.list;
    }
    for (const std::string& s : screens)
        a.add(s);
    for (const std::string& s : subWindows)
        if (!isOneOf(s, kSystemSubWindows))
            a.add(s);
    for (std::string_view s : kSystemActions)
        a.add(s);
    if (windowTitle == "系统设置.drw")
        a.add("系统保存");
    if (isOneOf(windowTitle, kMessageWindows)) {
        if (isOneOf(windowTitle, kConfirmWindows))
            a.key("确定");
        a.key("取消");
    }
    a.key("Enter");
    a.key("Capslk");
    a.letters();
    for (std::string_view k : kPunctuationKeys)
        a.key(k);
    a.digits();
    for (std::string_view k : kDigitTailKeys)
        a.key(k);
    a.key("后退");
    a.key("清除");
    if (windowTitle.size() >= 4 && windowTitle.substr(windowTitle.size() - 4) == ".dlg")
        a.key("取消");
    return a.list;
}

} // namespace qv
