// Walks over the project's windows: the simulator's sub-window moves, the rescale after a
// resolution change and the compile's order.
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

class RecordingCompiler : public WindowCompileSeam {
public:
    void CompileScreen(CDrawDoc& doc) override
    {
        titles.push_back(doc.GetTitle());
        if (onCompile)
            onCompile();
    }
    std::vector<std::string> titles;
    std::function<void()> onCompile;
};

TEST_F(Windows, CompileWalksProjectScreensThenSubWindowsAndStopsOnAbort)
{
    addWindow("second.drw");
    addWindow("pop.dlg", true);
    RecordingCompiler compiler;
    auto result = CompileAllWindows(*app, compiler);
    EXPECT_EQ(compiler.titles, (std::vector<std::string>{"p.hmi", "win0.drw", "second.drw", "pop.dlg"}));
    EXPECT_EQ(result.compiled, 4);
    EXPECT_FALSE(result.aborted);

    compiler.titles.clear();
    compiler.onCompile = [&] {
        if (compiler.titles.size() == 2)
            app->m_bAbort = 1;
    };
    result = CompileAllWindows(*app, compiler);
    EXPECT_EQ(compiler.titles.size(), 2u);
    EXPECT_TRUE(result.aborted);
    app->m_bAbort = 0;

    compiler.titles.clear();
    compiler.onCompile = nullptr;
    app->m_pWindowTemplate->CloseDocument(app->FindWindowDocByFileName("second.drw"));
    result = CompileAllWindows(*app, compiler);
    EXPECT_EQ(result.missingWindowGbk, "second.drw");
    EXPECT_EQ(compiler.titles, (std::vector<std::string>{"p.hmi", "win0.drw"}));
    EXPECT_EQ(FindViewByDocTitle("win0.drw"), nullptr) << "no view is attached headless";
}

} // namespace
} // namespace qv::test
