// The layout commands on a real view: align and same size against the first selected
// object, the push back into the window, stacking order, placing in table cells, the arrow
// keys through real key events, and the selection saved as a 24-bit bitmap.
#include "app/commands/command_table.h"
#include "app/commands/menu_layout.h"
#include "app/layout/layout_commands.h"
#include "model/params/block_bytes.h"
#include "platform/files/atomic_file.h"
#include "tests/app/view_fixture.h"

namespace qv::test {
namespace {

using LayoutCommands = ViewFixture;
using layout::AlignMode;

TEST_F(LayoutCommands, AlignAndSameSizeFollowTheFirstSelected)
{
    const Rect refAt{200, 100, 260, 140};
    const Rect bAt{300, 150, 340, 230};
    const Rect cAt{120, 300, 220, 310};
    const struct {
        AlignMode mode;
        Rect b, c;
    } cases[] = {
        {AlignMode::Left, {200, 150, 240, 230}, {200, 300, 300, 310}},
        {AlignMode::Right, {220, 150, 260, 230}, {160, 300, 260, 310}},
        {AlignMode::Top, {300, 100, 340, 180}, {120, 100, 220, 110}},
        {AlignMode::Bottom, {300, 60, 340, 140}, {120, 130, 220, 140}},
        {AlignMode::CentreOnVerticalLine, {210, 150, 250, 230}, {180, 300, 280, 310}},
        {AlignMode::CentreOnHorizontalLine, {300, 80, 340, 160}, {120, 115, 220, 125}},
        {AlignMode::SameWidth, {300, 150, 360, 230}, {120, 300, 180, 310}},
        {AlignMode::SameHeight, {300, 150, 340, 190}, {120, 300, 220, 340}},
        {AlignMode::SameSize, {300, 150, 360, 190}, {120, 300, 180, 340}},
    };
    for (const auto& c : cases) {
        view->SelectShape(nullptr);
        doc->m_objects.clear();
        CDrawObj* b = addObject(bAt);
        CDrawObj* cObj = addObject(cAt);
        CDrawObj* ref = addObject(refAt);   // last in the list, first in the selection
        view->SelectShape(ref);
        view->SelectShape(b, true);
        view->SelectShape(cObj, true);
        doc->SetModifiedFlag(false);
        ASSERT_TRUE(layout::AlignSelection(*view, c.mode));
        EXPECT_EQ(ref->m_rcPosition, refAt) << static_cast<int>(c.mode);
        EXPECT_EQ(b->m_rcPosition, c.b) << static_cast<int>(c.mode);
        EXPECT_EQ(cObj->m_rcPosition, c.c) << static_cast<int>(c.mode);
        EXPECT_TRUE(doc->IsModified());
    }
}

TEST_F(LayoutCommands, AlignedObjectsStayInsideTheWindow)
{
    CDrawObj* ref = addObject({800, 100, 830, 120});   // right edge near the window's (838)
    CDrawObj* wide = addObject({100, 200, 300, 220});
    view->SelectShape(ref);
    view->SelectShape(wide, true);
    ASSERT_TRUE(layout::AlignSelection(*view, AlignMode::Left));
    EXPECT_EQ(wide->m_rcPosition, (Rect{638, 200, 838, 220})) << "pushed back, size kept";
}

TEST_F(LayoutCommands, StackingMovesTheOneSelectedObject)
{
    const struct {
        layout::StackMove move;
        int selected;
        std::vector<int> order;
    } cases[] = {
        {layout::StackMove::Forward, 1, {0, 2, 1, 3}},
        {layout::StackMove::Backward, 1, {1, 0, 2, 3}},
        {layout::StackMove::ToFront, 0, {1, 2, 3, 0}},
        {layout::StackMove::ToBack, 3, {3, 0, 1, 2}},
        {layout::StackMove::Forward, 3, {0, 1, 2, 3}},   // already on top
        {layout::StackMove::Backward, 0, {0, 1, 2, 3}},  // already at the bottom
    };
    for (const auto& c : cases) {
        view->SelectShape(nullptr);
        doc->m_objects.clear();
        std::vector<CDrawObj*> objs;
        for (int i = 0; i < 4; ++i)
            objs.push_back(addObject({100 + 10 * i, 100, 150 + 10 * i, 150}));
        view->SelectShape(objs[static_cast<std::size_t>(c.selected)]);
        doc->SetModifiedFlag(false);
        const bool moved = layout::StackSelection(*view, c.move);
        std::vector<int> order;
        for (const auto& obj : doc->m_objects)
            order.push_back(static_cast<int>(std::find(objs.begin(), objs.end(), obj.get()) - objs.begin()));
        EXPECT_EQ(order, c.order) << static_cast<int>(c.move) << " on " << c.selected;
        // The new order is saved with the window: it must not be lost on closing.
        EXPECT_EQ(doc->IsModified(), moved);
    }
    view->SelectShape(doc->m_objects[1].get(), true);
    EXPECT_FALSE(layout::StackSelection(*view, layout::StackMove::ToFront)) << "two selected";
}

TEST_F(LayoutCommands, InCellPlacementMovesOnlyObjectsInsideACell)
{
    CDrawObj* table = addObject({100, 100, 201, 151}, ShapeKind::Table);
    blockWriteI32(table->m_Params, 4, 1);    // line width
    blockWriteI32(table->m_Params, 16, 1);   // rows
    blockWriteI32(table->m_Params, 20, 3);   // columns
    CDrawObj* inSecond = addObject({140, 110, 150, 120});
    CDrawObj* across = addObject({130, 110, 140, 120});
    view->SelectShape(table);
    ASSERT_TRUE(layout::PlaceInTableCells(*view, layout::CellMode::Left));
    EXPECT_EQ(inSecond->m_rcPosition, (Rect{135, 110, 145, 120}));
    EXPECT_EQ(across->m_rcPosition, (Rect{130, 110, 140, 120}));
    EXPECT_EQ(table->m_rcPosition, (Rect{100, 100, 201, 151}));

    blockWriteI32(table->m_Params, 20, 0);
    doc->SetModifiedFlag(false);
    EXPECT_FALSE(layout::PlaceInTableCells(*view, layout::CellMode::Right)) << "no columns: no cells";
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(LayoutCommands, ArrowKeysMoveAndCtrlGrows)
{
    const Rect start{200, 200, 250, 240};
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        Rect expected;
    } cases[] = {
        {Qt::Key_Left, Qt::NoModifier, {199, 200, 249, 240}},
        {Qt::Key_Up, Qt::NoModifier, {200, 199, 250, 239}},
        {Qt::Key_Right, Qt::NoModifier, {201, 200, 251, 240}},
        {Qt::Key_Down, Qt::NoModifier, {200, 201, 250, 241}},
        {Qt::Key_Right, Qt::ShiftModifier, {201, 200, 251, 240}},   // Shift: a plain move
        {Qt::Key_Left, Qt::ControlModifier, {199, 200, 250, 240}},
        {Qt::Key_Up, Qt::ControlModifier, {200, 199, 250, 240}},
        {Qt::Key_Right, Qt::ControlModifier, {200, 200, 251, 240}},
        {Qt::Key_Down, Qt::ControlModifier, {200, 200, 250, 241}},
    };
    CDrawObj* obj = addObject(start);
    obj->m_bLocked = 1;   // the keys do not consult the lock
    view->SelectShape(obj);
    for (const auto& c : cases) {
        obj->m_rcPosition = start;
        const int depth = doc->m_nUndoDepth;
        QTest::keyClick(view.get(), c.key, c.mods);
        EXPECT_EQ(obj->m_rcPosition, c.expected) << c.key << " " << c.mods;
        EXPECT_EQ(doc->m_nUndoDepth, std::min(depth + 1, 107));
    }
    // At the window's edge, and with nothing selected, a key is no step.
    obj->m_rcPosition = {38, 38, 60, 60};
    doc->SetModifiedFlag(false);
    QTest::keyClick(view.get(), Qt::Key_Left);
    EXPECT_EQ(obj->m_rcPosition, (Rect{38, 38, 60, 60}));
    view->SelectShape(nullptr);
    QTest::keyClick(view.get(), Qt::Key_Down);
    EXPECT_FALSE(doc->IsModified());

    view->SelectShape(obj);
    QTest::keyClick(view.get(), Qt::Key_Delete);
    EXPECT_TRUE(doc->m_objects.empty()) << "Delete clears the selection";
}

TEST_F(LayoutCommands, SelectionSavedAsA24BitBitmap)
{
    CDrawObj* a = addObject({100, 100, 140, 130});
    CDrawObj* b = addObject({200, 150, 260, 170});
    for (CDrawObj* o : {a, b}) {
        o->m_bHasPen = 0;
        blockWriteI32(o->m_Params, 0, 0);       // no border
        blockWriteI32(o->m_Params, 8, 0);       // flat
        blockWriteI32(o->m_Params, 16, 0x0000FF);   // red fill
    }
    const auto file = dir.path() / "sel.bmp";
    int asked = 0;
    layout::LayoutServices services;
    services.chooseBitmapFile = [&] { ++asked; return std::optional(file); };

    layout::SaveSelectionAsBitmapCommand(*view, services);
    EXPECT_EQ(asked, 0) << "nothing selected: no dialog";
    EXPECT_FALSE(std::filesystem::exists(file));

    view->SelectShape(a);
    view->SelectShape(b, true);
    layout::SaveSelectionAsBitmapCommand(*view, services);
    ASSERT_EQ(asked, 1);
    std::string stored;
    ASSERT_TRUE(readWholeFile(file, stored));
    const std::string* bytes = &stored;
    const auto u8 = [&](std::size_t i) { return static_cast<unsigned char>((*bytes)[i]); };
    const auto le32 = [&](std::size_t i) { return u8(i) | u8(i + 1) << 8 | u8(i + 2) << 16 | u8(i + 3) << 24; };
    ASSERT_GE(bytes->size(), 54u);
    EXPECT_EQ(bytes->substr(0, 2), "BM");
    EXPECT_EQ(le32(18), 160u) << "width of the bounding box";
    EXPECT_EQ(le32(22), 70u) << "height of the bounding box";
    EXPECT_EQ(u8(28), 24) << "24 bits per pixel";
    const std::size_t stride = (160 * 3 + 3) & ~3u;
    // Rows are bottom-up: the box's top row is the last one, and object a fills its left end.
    const std::size_t topLeft = 54 + stride * 69;
    EXPECT_EQ(u8(topLeft + 2), 0xFF) << "red of object a at the box's top-left";
    EXPECT_EQ(u8(topLeft), 0x00);

    // A name typed without an extension gets ".bmp"; one with an extension is kept.
    const std::pair<const char*, const char*> names[] = {{"sel", "sel.bmp"}, {"pic.BMP", "pic.BMP"}, {"a.b/c", "a.b/c.bmp"}};
    for (const auto& [typed, written] : names) {
        SCOPED_TRACE(typed);
        std::filesystem::create_directories(dir.path() / "a.b");
        services.chooseBitmapFile = [&] { return std::optional(dir.path() / typed); };
        layout::SaveSelectionAsBitmapCommand(*view, services);
        EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() / written));
        if (std::string(typed) != written)
            EXPECT_FALSE(std::filesystem::exists(dir.path() / typed));
    }
}

TEST_F(LayoutCommands, EnableRulesFollowTheSelection)
{
    cmd::ShellState s;
    s.hasActiveDocument = true;
    const auto enabled = [&](cmd::CommandKey key) { return cmd::isEnabled(*cmd::findCommand(key), s); };
    const struct {
        int selected;
        bool table;
        bool stacking, align, centre, inCell;
    } cases[] = {
        {0, false, false, false, false, false},
        {1, false, true, false, true, false},
        {1, true, true, false, true, true},
        {2, false, false, true, true, false},
    };
    for (const auto& c : cases) {
        s.selectionCount = c.selected;
        s.singleTableSelected = c.table;
        EXPECT_EQ(enabled(cmd::StackToFront), c.stacking) << c.selected;
        EXPECT_EQ(enabled(cmd::AlignLeft), c.align) << c.selected;
        EXPECT_EQ(enabled(cmd::CentreInWindowH), c.centre) << c.selected;
        EXPECT_EQ(enabled(cmd::CellLeft), c.inCell) << c.selected;
    }
    s.compiling = true;
    EXPECT_FALSE(enabled(cmd::CentreInWindowH));
    EXPECT_TRUE(enabled(cmd::Calculator)) << "the calculator is always there";
}

// While compiling, every command of the layout menu and the view's tools is grey but the
// calculator; each of them is enabled in one of the selections when no compile runs.
TEST_F(LayoutCommands, EverythingButTheCalculatorIsGreyWhileCompiling)
{
    std::vector<int> ids{cmd::SaveAsBitmap.key.id, cmd::VoiceAssistant.key.id, cmd::Calculator.key.id,
                         cmd::RecipeManager.key.id};
    std::vector<std::span<const cmd::MenuEntry>> menus;
    for (const cmd::MenuDef& menu : cmd::menuBar(cmd::MenuBarId::Document))
        if (std::u8string(menu.title) == u8"布局(&L)")
            menus.push_back(menu.entries);
    ASSERT_EQ(menus.size(), 1u);
    for (std::size_t i = 0; i < menus.size(); ++i)
        for (const cmd::MenuEntry& e : menus[i]) {
            if (e.submenu != nullptr)
                menus.push_back(e.submenu->entries);
            else if (e.id != 0)
                ids.push_back(e.id);
        }
    for (int id : ids) {
        bool somewhere = false;
        for (const auto& [selected, table] : {std::pair{1, true}, std::pair{2, false}}) {
            cmd::ShellState s;
            s.hasActiveDocument = true;
            s.selectionCount = selected;
            s.singleTableSelected = table;
            const cmd::CommandDef& def = *cmd::findCommand({cmd::Owner::View, id});
            somewhere = somewhere || cmd::isEnabled(def, s);
            s.compiling = true;
            EXPECT_EQ(cmd::isEnabled(def, s), id == cmd::Calculator.key.id) << id;
        }
        EXPECT_TRUE(somewhere) << id;
    }
}

} // namespace
} // namespace qv::test
