// Which window's objects get the run-mode mouse: modal and modeless sub-windows, and the
// character controls below an open text keyboard.
#include <gtest/gtest.h>

#include "model/params/block_bytes.h"
#include "sim/runtime/run_routing.h"
#include "tests/model/vars_fixture.h"

namespace qv::sim {
namespace {

class RunRoutingTest : public qv::test::ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        screen = addWindow("s0.drw");
        sub = addWindow("w0.dlg", true);
        keyboard = addWindow("系统键盘.dlg", true);
        for (CDrawDoc* w : {sub, keyboard}) {
            w->m_ptWindowOrigin = {0, 0};
            w->m_nWindowWidth = 100;
            w->m_nWindowHeight = 100;
            w->m_nMarginX = w->m_nMarginY = 38;
        }
        app->m_strSimScreen = "s0.drw";
        in = std::make_unique<RunInput>(*app);
        routing = std::make_unique<RunRouting>(*in);
        routing->onInput = [this] { ++inputs; };
    }
    // A bit switch at `r` writing bit `bit` of byte 500.
    CDrawObj& bitSwitch(CDrawDoc& doc, Rect r, int bit)
    {
        auto obj = std::make_unique<CDrawRect>(r);
        obj->SetKind(ShapeKind::BitSwitch);
        blockWriteI32(obj->m_Params, 20, 500);
        obj->m_Params[25] = static_cast<std::uint8_t>(bit);
        return *doc.AddObject(std::move(obj));
    }
    void click(Point p)
    {
        routing->ButtonDown(p);
        routing->ButtonUp(p);
    }
    int bits() { return app->m_VarMemRun.readByte(500).value(); }

    CDrawDoc *screen = nullptr, *sub = nullptr, *keyboard = nullptr;
    std::unique_ptr<RunInput> in;
    std::unique_ptr<RunRouting> routing;
    int inputs = 0;
};

TEST_F(RunRoutingTest, SubWindowsTakeTheClicks)
{
    bitSwitch(*screen, {200, 200, 300, 300}, 0);
    bitSwitch(*sub, {40, 40, 80, 80}, 1);
    click({250, 250});
    EXPECT_EQ(bits(), 1);

    app->m_strSimSubWindow = "w0.dlg"; // modal: a click outside goes to its own objects
    click({250, 250});
    EXPECT_EQ(bits(), 1);
    EXPECT_EQ(app->m_strSimSubWindow, "w0.dlg");
    click({50, 50});
    EXPECT_EQ(bits(), 3);

    sub->m_ProjectSettings[0] = 1; // modeless: a press outside only closes it
    routing->ButtonDown({250, 250});
    EXPECT_EQ(app->m_strSimSubWindow, "");
    EXPECT_EQ(bits(), 3);
    EXPECT_EQ(inputs, 7);
}

TEST_F(RunRoutingTest, CharacterControlBelowTheKeyboardIsPicked)
{
    auto field = std::make_unique<CDrawRect>(Rect{300, 300, 400, 340});
    field->SetKind(ShapeKind::Character);
    CDrawObj& text = *screen->AddObject(std::move(field));
    bitSwitch(*screen, {300, 350, 400, 400}, 2);
    app->m_strSimSysWindow = "系统键盘.dlg";
    routing->ButtonDown({350, 320});
    routing->ButtonUp({350, 320});
    EXPECT_EQ(app->m_pInputTarget, &text);
    EXPECT_EQ(app->m_strSimSysWindow, "系统键盘.dlg");
    click({350, 370}); // the release reaches the window below too
    EXPECT_EQ(bits(), 4);
    click({50, 50}); // inside the keyboard: nothing below hears it
    EXPECT_EQ(bits(), 4);
}

} // namespace
} // namespace qv::sim

namespace qv::sim {
namespace {

TEST_F(RunRoutingTest, AreaControlInModeTwoDragsItsSubWindow)
{
    app->m_nResWidth = 800;
    app->m_nResHeight = 480;
    struct Case {
        const char* what;
        std::uint8_t mode;
        Point press;
        std::vector<Point> moves; // the release is at the last one
        Point origin;             // the sub-window's origin afterwards
    };
    const Case cases[] = {
        {"follows the pointer", 2, {50, 50}, {{70, 60}, {90, 75}}, {40, 25}},
        {"held inside the screen", 2, {50, 50}, {{2050, -900}}, {700, 0}},
        {"press outside the area", 2, {90, 90}, {{120, 120}}, {0, 0}},
        {"other modes do not drag", 1, {50, 50}, {{70, 60}}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sub->m_ptWindowOrigin = {0, 0};
        sub->m_objects.clear();
        auto area = std::make_unique<CDrawRect>(Rect{40, 40, 80, 80});
        area->SetKind(ShapeKind::AreaControl);
        area->m_Params[0] = c.mode;
        CDrawObj& obj = *sub->AddObject(std::move(area));
        app->m_strSimSubWindow = "w0.dlg";

        routing->ButtonDown(c.press);
        for (Point p : c.moves)
            routing->MouseMove(p);
        routing->ButtonUp(c.moves.back());
        routing->MouseMove({c.moves.back().x + 30, c.moves.back().y + 30}); // released: nothing follows
        EXPECT_EQ(sub->m_ptWindowOrigin.x, c.origin.x);
        EXPECT_EQ(sub->m_ptWindowOrigin.y, c.origin.y);
        EXPECT_EQ(obj.m_rcPosition.left, 40 + c.origin.x);
        EXPECT_EQ(obj.m_rcPosition.top, 40 + c.origin.y);
    }
}

} // namespace
} // namespace qv::sim
