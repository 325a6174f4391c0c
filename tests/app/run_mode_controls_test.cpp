// Run-mode controls driven by real mouse events on the simulator's view of a project with the
// special sub-windows: button operations on press, release, enter and leave, a clear
// write-enable bit, radio buttons, permission refusal, modal and modeless sub-windows and a
// character control picked below the open keyboard.
#include "model/params/block_bytes.h"
#include "tests/app/run_view_fixture.h"

namespace qv::test {
namespace {

class RunModeControls : public RunViewFixture {
protected:
    void SetUp() override
    {
        RunViewFixture::SetUp();
        ASSERT_FALSE(HasFailure());
        for (const char* name : {"w0.dlg", "系统键盘.dlg", "系统登陆.dlg"}) {
            CDrawDoc* sub = app->m_pWindowTemplate->OpenNewDocument(name);
            sub->m_nWindowWidth = 200;
            sub->m_nWindowHeight = 100;
            sub->m_nMarginX = sub->m_nMarginY = 38;
            app->ProjectDoc()->m_subWindowNames.push_back(std::make_unique<CDrawObj>(std::string(name)));
        }
        ASSERT_NO_FATAL_FAILURE(showSimulator());
    }
    CDrawObj& add(CDrawDoc& d, ShapeKind kind, Rect r)
    {
        auto obj = std::make_unique<CDrawRect>(r);
        obj->SetKind(kind);
        return *d.AddObject(std::move(obj));
    }
    CDrawObj& operateButton(int enable, int value, std::uint8_t op)
    {
        CDrawObj& b = add(*doc, ShapeKind::Button, {300, 300, 400, 340});
        b.m_strFiles = {"", "", "", "操作变量"};
        b.m_Params[120] = b.m_Params[121] = 1;
        blockWriteI32(b.m_Params, 164, 900);
        b.m_Params[161] = 1;
        b.m_Params[127] = op;
        blockWriteI32(b.m_Params, enable, 1);
        b.m_Params[static_cast<std::size_t>(value)] = 5;
        return b;
    }
public: // the case table's actions call these
    QWidget* port() { return simView->viewport(); }
    void press(Point p) { QTest::mousePress(port(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y)); }
    void release(Point p) { QTest::mouseRelease(port(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y)); }
    void move(Point p) { QTest::mouseMove(port(), QPoint(p.x, p.y)); }
    int byte(int address) { return app->m_VarMemRun.readByte(address).value(); }

};

TEST_F(RunModeControls, ButtonOperationsFollowTheMouse)
{
    struct Case {
        const char* what;
        int enable, value;
        std::uint8_t op;
        std::function<void(RunModeControls&)> act;
        int expected;
    };
    const Case cases[] = {
        {"press sets", 132, 136, 0, [](RunModeControls& t) { t.press({350, 320}); }, 5},
        {"release adds", 140, 144, 1, [](RunModeControls& t) { t.press({350, 320}), t.release({350, 320}); }, 15},
        {"enter subtracts", 148, 152, 2, [](RunModeControls& t) { t.move({350, 320}); }, 5},
        {"leave sets after the hover was painted", 156, 160, 0,
         [](RunModeControls& t) {
             t.move({350, 320});
             QCoreApplication::processEvents(); // the painter draws the hovered state
             t.port()->repaint();
             t.move({600, 500});
         },
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc->m_objects.clear();
        move({700, 600});
        app->m_VarMemRun.writeByte(900, 10);
        operateButton(c.enable, c.value, c.op);
        c.act(*this);
        EXPECT_EQ(byte(900), c.expected);
    }
}

TEST_F(RunModeControls, ClearWriteEnableAndRadio)
{
    CDrawObj& b = operateButton(132, 136, 0);
    blockWriteI32(b.m_Params, 212, 1);
    blockWriteI32(b.m_Params, 220, 901);
    app->m_VarMemRun.writeByte(900, 10);
    press({350, 320});
    EXPECT_EQ(byte(900), 10);
    EXPECT_EQ(b.ParamU8(121), 3); // the drawn state still follows the press
    release({350, 320});

    CDrawObj& r = add(*doc, ShapeKind::RadioButton, {100, 100, 200, 140});
    blockWriteI32(r.m_Params, 4, 7);
    blockWriteI32(r.m_Params, 8, 902);
    r.m_Params[12] = 1;
    QTest::mouseClick(port(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 120));
    EXPECT_EQ(byte(902), 7);
    r.m_Params[13] = 3; // super users only: the login window opens (no warning window here)
    app->m_VarMemRun.writeByte(902, 0);
    QTest::mouseClick(port(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 120));
    EXPECT_EQ(byte(902), 0);
    EXPECT_EQ(app->m_strSimSysWindow, "系统登陆.dlg");
}

TEST_F(RunModeControls, ModelessSubWindowAndKeyboardBelow)
{
    CDrawDoc* sub = app->FindDocByTitle("w0.dlg");
    CDrawObj& s = add(*doc, ShapeKind::BitSwitch, {300, 300, 400, 340});
    blockWriteI32(s.m_Params, 20, 903);
    app->m_strSimSubWindow = "w0.dlg";
    QTest::mouseClick(port(), Qt::LeftButton, Qt::NoModifier, QPoint(350, 320)); // modal: to its own objects
    EXPECT_EQ(byte(903), 0);
    EXPECT_EQ(app->m_strSimSubWindow, "w0.dlg");
    sub->m_ProjectSettings[0] = 1; // modeless: the press only closes it
    QTest::mouseClick(port(), Qt::LeftButton, Qt::NoModifier, QPoint(350, 320));
    EXPECT_EQ(app->m_strSimSubWindow, "");
    EXPECT_EQ(byte(903), 0);

    CDrawObj& text = add(*doc, ShapeKind::Character, {500, 400, 700, 440});
    app->m_strSimSysWindow = "系统键盘.dlg";
    QTest::mouseClick(port(), Qt::LeftButton, Qt::NoModifier, QPoint(600, 420));
    EXPECT_EQ(app->m_pInputTarget, &text);
    EXPECT_EQ(app->m_strSimSysWindow, "系统键盘.dlg");
}

} // namespace
} // namespace qv::test
