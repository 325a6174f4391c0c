// The shipped special windows (base/images/SpecialWindow, made by gen/special_windows):
// each loads and saves back to the same bytes, points at no variable a project may lack,
// and carries the keys and functions the run time looks for.
#include "model/params/var_refs.h"
#include "model/tree/system_windows.h"
#include "tests/model/tree_fixture.h"

#include "model/tree/tree_menus.h"

#include <cstring>
#include <set>

using namespace qv;
using namespace qv::test;

namespace {

std::set<std::string> functionTexts(const CDrawDoc& doc)
{
    std::set<std::string> out;
    for (const auto& obj : doc.m_objects)
        if (obj->Kind() == ShapeKind::Button && obj->m_strFiles.size() > 3)
            out.insert(obj->m_strFiles[3]);
    return out;
}

std::string key(std::string_view name) { return "键盘\"" + std::string(name) + "\""; }

} // namespace

TEST(SpecialWindows, ShippedFilesLoadSaveBackAndBindOnlySystemRows)
{
    const fs::path folder = sourceDir() / "base" / "images" / "SpecialWindow";
    std::vector<std::string> names(kUndeletableSubWindows.begin(), kUndeletableSubWindows.end());
    names.insert(names.end(), {"注销确认.dlg", "已经注销.dlg", "保存确认.dlg", std::string(kSystemScreen)});
    for (const std::string& name : names) {
        SCOPED_TRACE(gbkToUtf8Lossy(name));
        std::string bytes;
        ASSERT_TRUE(readWholeFile(folder / hostName(name), bytes));
        CDrawDoc doc;
        DocumentError error;
        ASSERT_TRUE(doc.LoadFromBytes(bytes, name, &error)) << gbkToUtf8Lossy(error.messageGbk);
        EXPECT_EQ(doc.SerializeToBytes(), bytes);
        EXPECT_FALSE(doc.m_objects.empty());
        EXPECT_FALSE(CheckSubWindowPlacement(doc.m_ptWindowOrigin.x, doc.m_ptWindowOrigin.y, doc.m_nWindowWidth,
                                             doc.m_nWindowHeight, 800, 480))
            << "fits the default 800 x 480 screen";
        for (const auto& obj : doc.m_objects)
            for (const VarRefField& ref : varRefsOf(obj->Kind(), obj->m_Params)) {
                std::int32_t index = 0;
                std::memcpy(&index, obj->m_Params.data() + ref.index, 4);
                EXPECT_LT(index, 16) << "only the 16 system rows are the same in every project";
            }
    }
}

TEST(SpecialWindows, KeysAndFunctionsAreThoseTheRunTimeLooksFor)
{
    const fs::path folder = sourceDir() / "base" / "images" / "SpecialWindow";
    auto load = [&](std::string_view name) {
        CDrawDoc doc;
        DocumentError error;
        EXPECT_TRUE(doc.OnOpenDocument(folder / hostName(name), &error)) << gbkToUtf8Lossy(name);
        return functionTexts(doc);
    };
    std::set<std::string> keypad;
    for (char c = '0'; c <= '9'; ++c)
        keypad.insert(key(std::string(1, c)));
    for (const char* k : {".", "-", "确定", "取消", "后退", "清除"})
        keypad.insert(key(k));
    EXPECT_EQ(load("数字键盘.dlg"), keypad);
    EXPECT_EQ(load("系统登陆.dlg"), keypad);

    const auto keyboard = load("系统键盘.dlg");
    for (char c = 'A'; c <= 'Z'; ++c)
        EXPECT_TRUE(keyboard.count(key(std::string(1, c)))) << c;
    for (const char* k : {"Enter", "Capslk", "Shift", "空格", "PingYinSwitch", "\\或|", "'或\"", "取消", "后退"})
        EXPECT_TRUE(keyboard.count(key(k))) << k;
    EXPECT_FALSE(keyboard.count(key("确定"))) << "the keyboard has no OK key";

    EXPECT_EQ(load("权限警告.dlg"), std::set<std::string>{key("取消")});
    EXPECT_EQ(load("保存确认.dlg"), (std::set<std::string>{key("确定"), key("取消")}));
    EXPECT_EQ(load("系统设置.drw"), (std::set<std::string>{"触摸屏校准", "系统登陆", "系统注销", "系统保存"}));
}

TEST_F(TreeFixture, ShippedSpecialWindowsImportIntoAProject)
{
    fs::copy(sourceDir() / "base" / "images" / "SpecialWindow", base() / "images" / "SpecialWindow",
             fs::copy_options::recursive);
    openWith({"win0.drw"});
    commands->Run(tree_cmd::ImportSpecialSubWindows);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(model->Windows(WindowKind::SubWindow),
              std::vector<std::string>(kUndeletableSubWindows.begin(), kUndeletableSubWindows.end()));
    expectInStep();
}
