// The system keyboard on a character control: letters and symbols with caps and shift, a full
// string keeping its tail, backspace over a two-byte character whose trail byte is '\', pinyin
// letters, the number conversion, and blocks that leave no room.
#include <gtest/gtest.h>

#include <cstring>

#include "model/params/block_bytes.h"
#include "sim/runtime/run_input.h"
#include "sim/runtime/text_keyboard.h"
#include "tests/model/vars_fixture.h"

namespace qv::sim {
namespace {

constexpr int kText = 600;

class TextKeyboard : public qv::test::ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        screen = addWindow("s0.drw");
        auto obj = std::make_unique<CDrawRect>(Rect{100, 100, 400, 200});
        obj->SetKind(ShapeKind::Character);
        target = screen->AddObject(std::move(obj));
        blockWriteI32(target->m_Params, 16, 8);   // font width
        blockWriteI32(target->m_Params, 20, 16);  // font height
        blockWriteI32(target->m_Params, 32, 8);   // capacity
        blockWriteI32(target->m_Params, 40, kText);
        for (int option : {100, 104, 108, 112, 120, 132})
            blockWriteI32(target->m_Params, option, 1);
    }
    void setText(const std::string& text, int caret)
    {
        std::vector<std::uint8_t> bytes(text.begin(), text.end());
        bytes.push_back(0);
        app->m_VarMemRun.writeBytes(kText, bytes);
        app->m_VarMem.writeBytes(kText, bytes);
        app->m_nInputCaretIndex = caret;
    }
    std::string text(int n = 8)
    {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
        app->m_VarMemRun.readBytes(kText, bytes);
        return std::string(reinterpret_cast<const char*>(bytes.data()), strnlen(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    void keys(std::initializer_list<const char*> names)
    {
        for (const char* k : names)
            CharacterKey(*app, *target, k);
    }

    CDrawDoc* screen = nullptr;
    CDrawObj* target = nullptr;
};

TEST_F(TextKeyboard, KeysEditTheStringAtTheCaret)
{
    const std::string qian = qv::test::gbkText(u8"淺"); // 9C 5C: the trail byte is '\'
    struct Case {
        const char* what;
        std::string start;
        int caret;
        std::vector<const char*> keys;
        std::string expected;
        int capacity = 8;
    };
    const std::vector<Case> cases{
        {"lower letters", "", 0, {"A", "B"}, "ab"},
        {"caps", "", 0, {"Capslk", "A", "Capslk", "B"}, "Ab"},
        {"caps and shift still upper", "", 0, {"Capslk", "Shift", "Q"}, "Q"},
        {"shifted symbols", "", 0, {"Shift", "1", "=或+", "/或?", "Shift", "[或{"}, "!+?["},
        {"space and digits", "", 0, {"1", "空格", "2"}, "1 2"},
        {"insert at the caret", "ac", 1, {"B"}, "abc"},
        {"full string keeps its tail", "abcdefg", 3, {"X"}, "abcdefg"},
        {"Enter needs two bytes", "abcdef", 6, {"Enter"}, "abcdef"},
        {"Enter", "ab", 2, {"Enter"}, "ab\r\n"},
        {"backspace over a two-byte character", "a" + qian, 3, {"后退"}, "a"},
        {"backspace over CR LF", "a\r\n", 3, {"后退"}, "a"},
        {"clear", "abc", 2, {"清除", "Z"}, "z"},
        {"no room at all", "", 0, {"A"}, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app->m_bCapsLock = 0, app->m_bShiftLatch = 0, app->m_bPinyinMode = 0;
        blockWriteI32(target->m_Params, 32, c.capacity);
        setText(c.start, c.caret);
        for (const char* k : c.keys)
            CharacterKey(*app, *target, k);
        EXPECT_EQ(text(), c.expected);
        EXPECT_EQ(app->m_VarMem.readByte(kText), app->m_VarMemRun.readByte(kText)); // both banks
    }
}

TEST_F(TextKeyboard, PinyinLettersAndInsertText)
{
    setText("", 0);
    keys({"PingYinSwitch", "N", "I", "1", "H", "A", "O", "X", "Y"});
    EXPECT_EQ(std::string(app->m_szPinyin.data()), "ni1haox"); // the eighth letter is ignored
    EXPECT_EQ(text(), "");
    keys({"后退"});
    EXPECT_EQ(std::string(app->m_szPinyin.data()), "ni1hao");
    const std::string hao = qv::test::gbkText(u8"好");
    InsertText(*app, *target, hao);
    EXPECT_EQ(text(), hao);
    EXPECT_EQ(std::string(app->m_szPinyin.data()), "");
    InsertText(*app, *target, "abcdef"); // 2 + 6 > capacity - 1: nothing
    EXPECT_EQ(text(), hao);

    blockWriteI32(target->m_Params, 120, 0); // no Chinese: the switch stays off
    app->m_bPinyinMode = 0;
    keys({"PingYinSwitch"});
    EXPECT_EQ(app->m_bPinyinMode.load(), 0);
}

TEST_F(TextKeyboard, ConversionAcceptsNumberCharactersOnly)
{
    blockWriteI32(target->m_Params, 356, 1);
    blockWriteI32(target->m_Params, 364, 4);
    blockWriteI32(target->m_Params, 368, 700);
    target->m_Params[372] = 3; // unsigned short
    setText("", 0);
    keys({"1", "A", "2", "Enter"});
    EXPECT_EQ(text(), "12");
    EXPECT_EQ(app->m_VarMemRun.read(700, 2), 12u);

    blockWriteI32(target->m_Params, 360, 1); // hexadecimal, upper case
    blockWriteI32(target->m_Params, 388, 0);
    setText("", 0);
    keys({"Capslk", "F", "Capslk", "F", "G"});
    EXPECT_EQ(text(), "FF");
    EXPECT_EQ(app->m_VarMemRun.read(700, 2), 0xFFu);
}

TEST_F(TextKeyboard, ClickPicksTheTargetAndOpensTheKeyboard)
{
    blockWriteI32(target->m_Params, 148, 1);
    blockWriteI32(target->m_Params, 220, -1);
    RunInput in{*app};
    OnRunLButtonUp(*target, {150, 120}, in);
    EXPECT_EQ(app->m_strSimSysWindow, "系统键盘.dlg");
    EXPECT_EQ(app->m_pInputTarget, target);
    EXPECT_EQ(app->m_ptCaret.x, 150);
    CDrawObj& key = *screen->AddObject(std::make_unique<CDrawRect>(Rect{0, 0, 10, 10}));
    key.SetKind(ShapeKind::Button);
    key.m_strFiles = {"", "", "", "键盘\"K\""};
    setText("", 0);
    ExecuteButtonFunction(key, in);
    EXPECT_EQ(text(), "k");
}

} // namespace
} // namespace qv::sim

namespace qv::sim {
namespace {

TEST_F(TextKeyboard, CandidateBarPagesStayInTheList)
{
    // Five cells of 28 pixels (pitch 20) ending at the bar's right edge 340.
    auto obj = std::make_unique<CDrawRect>(Rect{100, 300, 340, 330});
    obj->SetKind(ShapeKind::AreaControl);
    CDrawObj& bar = *screen->AddObject(std::move(obj));
    static const std::string candidates = qv::test::gbkText(u8"好号豪浩毫郝昊") + std::string(1, '\0');
    app->m_pPinyinCandidates = candidates.data();
    app->m_nPinyinPitch = 20;
    app->m_bPinyinMode = 1;
    app->m_pInputTarget = target;
    const int cell = 28, right = 340;
    auto cellX = [&](int k) { return right - (5 - k) * cell + 2; };
    for (int i = 0; i < 5; ++i)
        CandidateBarClick(*app, bar, cellX(4), 310); // next page, pressed past the end
    EXPECT_EQ(app->m_nPinyinPage, 2);                // seven candidates, three a page
    setText("", 0);
    CandidateBarClick(*app, bar, cellX(1), 310);      // the first candidate of the last page
    EXPECT_EQ(text(), qv::test::gbkText(u8"昊"));
    CandidateBarClick(*app, bar, cellX(0), 310);      // pages back (the insert reset it to 0)
    EXPECT_EQ(app->m_nPinyinPage, 0);
    CandidateBarClick(*app, bar, cellX(2), 310);
    EXPECT_EQ(text(), qv::test::gbkText(u8"昊号"));
}

} // namespace
} // namespace qv::sim
