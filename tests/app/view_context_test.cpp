// What the view hands its painters and takes back from them: a bound number shows its value,
// a moved control is placed from the application's margins, the character control's conversion
// reaches both banks only while the system keyboard is idle, and the painters' reports land
// in the application's run-time state.
#include "app/view/view_paint_state.h"
#include "model/paint/controls/character_painters.h"
#include "model/paint/controls/control_support.h"
#include "model/paint/controls/number_painters.h"
#include "model/paint/paint_dispatch.h"
#include "model/paint/pinyin.h"
#include "model/project/system_windows.h"
#include "model/vars/hmi_var_table.h"
#include "model/vars/hmi_vars.h"
#include "tests/app/view_fixture.h"

#include <algorithm>

namespace qv::test {
namespace {

using ViewContext = ViewFixture;

QRgb px(const QImage& image, Point p) { return image.pixel(p.x, p.y) & 0xFFFFFF; }
QRgb qrgbOf(ColorRef c) { return static_cast<QRgb>((redOf(c) << 16) | (greenOf(c) << 8) | blueOf(c)); }

// Pixels of `r` in the grab that differ from `expected` (same coordinates).
int differingPixels(const QImage& image, const Surface& expected, const Rect& r)
{
    int differing = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            differing += px(image, {x, y}) != qrgbOf(expected.getPixel(x, y)) ? 1 : 0;
    return differing;
}

int pixelsOf(const QImage& image, QRgb colour, const Rect& r)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += px(image, {x, y}) == colour ? 1 : 0;
    return n;
}

void writeValue(VarBank& bank, const ControlVarRef& ref, std::uint32_t value, int bytes)
{
    ASSERT_GE(ref.address, 0);
    ASSERT_TRUE(bank.write(ref.address, bytes, value));
}

TEST_F(ViewContext, BoundNumberShowsItsVariablesValue)
{
    // A new number control is bound to a fresh variable of the project's table.
    CDrawObj* number = addObject({300, 200, 460, 240}, ShapeKind::RealTimeNumber);
    const ControlVarRef value = ReadControlRef(*number, "value");
    ASSERT_TRUE(value.bound());
    const Rect r = number->m_rcPosition.normalized();
    const QRgb ink = qrgbOf(ParamColor(*number, blocks::number::kFontColor));

    writeValue(app->m_VarMem, value, 0, 4);
    doc->UpdateAllViews(nullptr);
    const int inkAtZero = pixelsOf(shown(), ink, r);

    writeValue(app->m_VarMem, value, 8888888, 4);
    doc->UpdateAllViews(nullptr);
    const QImage image = shown();
    EXPECT_GT(pixelsOf(image, ink, r), inkAtZero) << "more digits show more ink";

    // The view shows what the painter draws of that value.
    Surface expected(1000, 640, rgb(0, 255, 255));
    PaintContext ctx;
    ctx.varMem = &app->m_VarMem;
    PaintObject(*number, {expected}, 1, ctx);
    EXPECT_EQ(differingPixels(image, expected, r), 0);
}

TEST_F(ViewContext, RunModeMovesControlsFromTheApplicationsMargins)
{
    CDrawObj* number = addObject({500, 400, 600, 430}, ShapeKind::RealTimeNumber);
    number->SetParam(blocks::number::kMoveOn, 1);
    const ControlVarRef move = ReadControlRef(*number, "move");
    // The run-mode paint shows the live bank (it is copied over the displayed one first).
    for (VarBank* bank : {&app->m_VarMem, &app->m_VarMemRun}) {
        writeValue(*bank, move, 100, 2);
        writeValue(*bank, {move.index, move.address + 2, 3}, 80, 2);
    }
    app->m_nMarginX = 60;
    app->m_nMarginY = 50;
    app->m_strSimScreen = "win0.drw";

    CDrawView runView(*app, app->FindDocByTitle(CEditorApp::kSimulatorTitle), true);
    runView.resize(1000, 640);
    runView.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&runView));
    runView.viewport()->repaint();
    const QImage image = runView.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);

    const QRgb back = qrgbOf(ParamColor(*number, blocks::number::kBackColor));
    const int w = number->m_rcPosition.width(), h = number->m_rcPosition.height();
    EXPECT_GT(pixelsOf(image, back, {160, 130, 160 + w, 130 + h}), w * h / 2) << "at the margins plus (100, 80)";
    EXPECT_EQ(pixelsOf(image, back, {98, 88, 98 + w, 88 + h}), 0) << "not from the default margins";
}

TEST_F(ViewContext, RunModeConversionClampsBothBanksOnlyWhileTheKeyboardIsIdle)
{
    using namespace blocks::character;
    CDrawObj* text = addObject({300, 200, 460, 260}, ShapeKind::Character);
    const ControlVarRef str = ReadControlRef(*text, "string");
    ASSERT_GE(str.address, 0);
    const int conversionRow = FindOrAddHmiVar(*app, "signed int", "m_Converted", "0", "");
    ASSERT_GE(conversionRow, 0);
    const std::int32_t address = varBindingOf(app->ProjectDoc()->m_varTable, conversionRow).address;
    ASSERT_GE(address, 0);
    text->SetParam(kConvertOn, 1);
    text->SetParamI32(364, conversionRow);
    text->SetParamI32(368, address);
    text->SetParamU8(372, 4);
    text->SetParam(kKeyboardWrite, 1);
    text->SetParam(kConvertMin, 0);
    text->SetParam(kConvertMax, 1000);
    app->m_strSimScreen = "win0.drw";
    app->m_bConvertClamp = 0;

    CDrawView runView(*app, app->FindDocByTitle(CEditorApp::kSimulatorTitle), true);
    runView.resize(1000, 640);
    runView.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&runView));

    struct Case {
        const char* what;
        bool keyboardOpen;
        const char* shownSysWindow;
        std::int32_t stored;
    };
    const std::string keyboard(syswin::SystemKeyboard);
    const Case cases[] = {
        {"no keyboard in the project", false, "", 5000},
        {"keyboard open, not in use", true, "", 1000},
        {"keyboard in use", true, keyboard.c_str(), 5000},
    };
    for (const Case& c : cases) {
        if (c.keyboardOpen && app->FindDocByTitle(keyboard) == nullptr)
            app->m_pWindowTemplate->OpenNewDocument(keyboard);
        app->m_strSimSysWindow = c.shownSysWindow;
        ASSERT_TRUE(app->m_VarMem.write(address, 4, 5000));
        ASSERT_TRUE(app->m_VarMemRun.write(address, 4, 5000));
        runView.viewport()->repaint();
        EXPECT_EQ(static_cast<std::int32_t>(*app->m_VarMem.read(address, 4)), c.stored) << c.what;
        EXPECT_EQ(static_cast<std::int32_t>(*app->m_VarMemRun.read(address, 4)), c.stored) << c.what;
        EXPECT_EQ(app->m_bConvertClamp.load(), 1) << c.what;
        // The text in the run bank follows the value.
        const auto first = app->m_VarMemRun.readByte(str.address);
        ASSERT_TRUE(first);
        EXPECT_EQ(*first, static_cast<std::uint8_t>(c.stored == 1000 ? '1' : '5')) << c.what;
    }
}

TEST_F(ViewContext, FillsTheRunInputStateAndTheProjectsLookUp)
{
    const int row = FindOrAddHmiVar(*app, "unsigned short", "m_Probe", "0", "");
    ASSERT_GE(row, 0);
    std::copy_n("zh", 3, app->m_szPinyin.begin());
    app->m_nPinyinPage = 3;
    app->m_ptCaret = {70, 90};
    Surface background(10, 10, 0);
    app->m_pRunBackDC = &background;

    PaintFeedback feedback;
    PaintContext run;
    FillPaintContext(*app, true, {60, 50}, run, &feedback);
    EXPECT_TRUE(run.runMode);
    EXPECT_EQ(run.margins, (Point{60, 50}));
    EXPECT_EQ(run.baseDir, app->BaseDir());
    EXPECT_EQ(run.pinyinLetters, "zh");
    EXPECT_EQ(run.pinyinPage, 3);
    EXPECT_EQ(run.caret, (Point{70, 90}));
    EXPECT_EQ(run.runBackground, &background);
    ASSERT_TRUE(run.lookupVar);
    EXPECT_EQ(run.lookupVar(row).address, varBindingOf(app->ProjectDoc()->m_varTable, row).address);
    EXPECT_EQ(run.feedback, &feedback);
    EXPECT_EQ(feedback.liveBank, &app->m_VarMem);
    EXPECT_EQ(feedback.runBank, &app->m_VarMemRun);

    // Editing shows none of the simulator's state.
    PaintContext edit;
    FillPaintContext(*app, false, {38, 38}, edit, nullptr);
    EXPECT_FALSE(edit.runMode);
    EXPECT_EQ(edit.runBackground, nullptr);
    EXPECT_TRUE(edit.pinyinLetters.empty());
    EXPECT_EQ(edit.feedback, nullptr);
    app->m_pRunBackDC = nullptr;
}

TEST_F(ViewContext, PaintReportsLandInTheApplicationAndUnsetOnesChangeNothing)
{
    app->m_ptCaret = {1, 2};
    app->m_nInputCaretIndex = 4;
    app->m_bConvertClamp = 1;
    app->m_bPinyinMode = 1;
    app->m_pPinyinCandidates = "x";
    app->m_nPinyinPitch = 9;
    app->m_nPinyinPage = 2;

    ApplyPaintFeedback(*app, PaintFeedback{});
    EXPECT_EQ(app->m_ptCaret.x, 1);
    EXPECT_EQ(app->m_nInputCaretIndex, 4);
    EXPECT_EQ(app->m_bConvertClamp.load(), 1);
    EXPECT_EQ(app->m_bPinyinMode.load(), 1);
    EXPECT_EQ(app->m_nPinyinPitch, 9);
    EXPECT_EQ(app->m_nPinyinPage, 2);

    std::string letters = "a";
    PaintFeedback reported;
    reported.caret = Point{30, 40};
    reported.caretIndex = 6;
    reported.convertClamp = false;
    reported.clearPinyinLatch = true;
    reported.pinyinCandidates = LookupPinyin(letters);
    reported.pinyinPitch = 24;
    reported.pinyinPage = 0;
    ApplyPaintFeedback(*app, reported);
    EXPECT_EQ(app->m_ptCaret.x, 30);
    EXPECT_EQ(app->m_ptCaret.y, 40);
    EXPECT_EQ(app->m_nInputCaretIndex, 6);
    EXPECT_EQ(app->m_bConvertClamp.load(), 0);
    EXPECT_EQ(app->m_bPinyinMode.load(), 0);
    ASSERT_NE(app->m_pPinyinCandidates, nullptr);
    EXPECT_EQ(std::string_view(app->m_pPinyinCandidates), reported.pinyinCandidates);
    EXPECT_EQ(app->m_nPinyinPitch, 24);
    EXPECT_EQ(app->m_nPinyinPage, 0);

    // A syllable without candidates leaves none shown.
    std::string unknown = "v";
    reported.pinyinCandidates = LookupPinyin(unknown);
    ApplyPaintFeedback(*app, reported);
    EXPECT_EQ(app->m_pPinyinCandidates, nullptr);
}

} // namespace
} // namespace qv::test
