// Walks over the project's windows: the simulator's sub-window moves, the rescale after a
// resolution change, and the look-up of a window's view.
#include "model/document/document_view.h"
#include "model/project/compile_all.h"
#include "tests/model/project_fixture.h"

namespace qv::test {
namespace {

class Windows : public ProjectTest {
protected:
    void SetUp() override { folder = newProject("p", 800, 480); }

    CDrawDoc* subWindow(const std::string& name, Point origin, int w, int h)
    {
        CDrawDoc* doc = addWindow(name, true);
        doc->m_ptWindowOrigin = origin;
        doc->m_nWindowWidth = w;
        doc->m_nWindowHeight = h;
        const int mx = app->m_nMarginX;
        const int my = app->m_nMarginY;
        // One object 10 px inside the window's corner, 20 x 10.
        doc->AddObject(std::make_unique<CDrawRect>(
            Rect{mx + origin.x + 10, my + origin.y + 10, mx + origin.x + 30, my + origin.y + 20}));
        EXPECT_TRUE(doc->DoFileSave());
        return doc;
    }

    fs::path folder;
};

TEST_F(Windows, MovingASubWindowKeepsItOnTheScreenAndItsObjectsWithIt)
{
    CDrawDoc* pop = subWindow("pop.dlg", {100, 100}, 200, 100);
    const int m = 38;
    struct Case {
        Point asked;
        Point origin;
    };
    const Case cases[] = {
        {{m + 150, m + 60}, {150, 60}},  // inside
        {{0, -50}, {0, 0}},              // left and above: the margins
        {{5000, 5000}, {600, 380}},      // right and below: the screen's edge
    };
    for (const Case& c : cases) {
        const Point before = pop->m_ptWindowOrigin;
        const int dragX = app->m_nSimDragX;
        app->MoveSubWindowDoc("pop.dlg", c.asked.x, c.asked.y);
        EXPECT_EQ(pop->m_ptWindowOrigin, c.origin);
        EXPECT_EQ(app->m_nSimDragX - dragX, c.origin.x - before.x);
        const Rect r = pop->m_objects.front()->m_rcPosition;
        EXPECT_EQ(r, (Rect{m + c.origin.x + 10, m + c.origin.y + 10, m + c.origin.x + 30, m + c.origin.y + 20}));
    }
    EXPECT_TRUE(pop->IsModified());
    EXPECT_TRUE(pop->CanUndo());
    app->MoveSubWindowDoc("none.dlg", 0, 0); // no such window: nothing happens
}

TEST_F(Windows, ResolutionChangeScalesScreensShrinksOrCentresSubWindowsAndSavesAll)
{
    CDrawDoc* screen = app->FindWindowDocByFileName("win0.drw");
    screen->AddObject(std::make_unique<CDrawRect>(Rect{38 + 400, 38 + 240, 38 + 480, 38 + 280}));
    ASSERT_TRUE(screen->DoFileSave());
    subWindow("big.dlg", {100, 40}, 600, 400);  // does not fit 400 x 240 any more
    subWindow("small.dlg", {0, 0}, 100, 60);    // fits: centred
    app->m_pWindowTemplate->CloseDocument(app->FindWindowDocByFileName("small.dlg"));

    ASSERT_TRUE(app->RescaleWindowsToResolution(800, 480, 400, 240));
    EXPECT_TRUE(prompts.messages.empty());

    const auto s = load(folder / "window" / "win0.drw");
    EXPECT_EQ(s->m_nWindowWidth, 400);
    EXPECT_EQ(s->m_objects.front()->m_rcPosition, (Rect{38 + 200, 38 + 120, 38 + 240, 38 + 140}));

    const auto big = load(folder / "window" / "big.dlg");
    EXPECT_EQ(big->m_ptWindowOrigin, (Point{50, 20}));
    EXPECT_EQ(big->m_nWindowWidth, 300);
    EXPECT_EQ(big->m_nWindowHeight, 200);
    EXPECT_EQ(big->m_objects.front()->m_rcPosition, (Rect{38 + 50 + 5, 38 + 20 + 5, 38 + 50 + 15, 38 + 20 + 10}));

    const auto small = load(folder / "window" / "small.dlg");
    EXPECT_EQ(small->m_ptWindowOrigin, (Point{150, 90}));
    EXPECT_EQ(small->m_nWindowWidth, 100);
    EXPECT_EQ(small->m_objects.front()->m_rcPosition, (Rect{38 + 160, 38 + 100, 38 + 180, 38 + 110}));

    EXPECT_FALSE(app->RescaleWindowsToResolution(0, 480, 400, 240)) << "no division by a zero size";
}

class NullView : public DocumentView {
public:
    void OnUpdate(DocumentView*, int, CDrawObj* obj) override { updated.push_back(obj); }
    void SelectShape(CDrawObj* obj, bool add) override { selected.push_back({obj, add}); }
    std::vector<CDrawObj*> updated;
    std::vector<std::pair<CDrawObj*, bool>> selected;
};

TEST_F(Windows, AWindowsViewIsFoundByItsDocumentTitle)
{
    addWindow("pop.dlg", true);
    EXPECT_EQ(FindViewByDocTitle("win0.drw"), nullptr) << "no view is attached headless";
    NullView first;
    NullView second;
    CDrawDoc* pop = app->FindWindowDocByFileName("pop.dlg");
    pop->AddView(&first);
    pop->AddView(&second);
    EXPECT_EQ(FindViewByDocTitle("pop.dlg"), &first);
    EXPECT_EQ(FindViewByDocTitle("none.dlg"), nullptr);
    pop->RemoveView(&second);
    pop->RemoveView(&first);
}

// After a compile: the editor's controls take what the item compilers changed in the copies,
// unless the user changed them meanwhile, and the refused control is selected in its view.
TEST_F(Windows, CompiledControlChangesAndTheRefusedControlReachTheDocuments)
{
    CDrawDoc* doc = addWindow("pop.dlg", true);
    for (int i = 0; i < 3; ++i)
        doc->AddObject(std::make_unique<CDrawRect>(Rect{10 * i, 0, 10 * i + 8, 8}));
    NullView view;
    doc->AddView(&view);
    doc->SetModifiedFlag(false);

    const auto changed = [&](std::size_t index, std::uint8_t value) {
        CompiledControlChange c{"pop.dlg", index, doc->m_objects[index]->m_Params, doc->m_objects[index]->m_Params};
        c.after[4] = value;
        return c;
    };
    std::vector<CompiledControlChange> changes{changed(0, 7), changed(2, 9)};
    changes.push_back({"gone.dlg", 0, {}, {}});
    changes.push_back({"pop.dlg", 99, {}, {}});
    doc->m_objects[2]->m_Params[5] = 1;   // the user edited this control during the compile
    EXPECT_EQ(ApplyCompiledControlChanges(*app, changes), 1);
    EXPECT_EQ(doc->m_objects[0]->m_Params[4], 7);
    EXPECT_EQ(doc->m_objects[2]->m_Params[4], 0) << "the user's edit wins";
    EXPECT_FALSE(doc->IsModified()) << "a compile alone asks for no save";
    EXPECT_EQ(view.updated, std::vector<CDrawObj*>{doc->m_objects[0].get()});

    SelectRefusedControl(*app, "pop.dlg", 1);
    SelectRefusedControl(*app, "pop.dlg", 3);
    SelectRefusedControl(*app, "gone.dlg", 0);
    ASSERT_EQ(view.selected.size(), 1u);
    EXPECT_EQ(view.selected[0], std::make_pair(doc->m_objects[1].get(), false));
    doc->RemoveView(&view);
}

} // namespace
} // namespace qv::test
