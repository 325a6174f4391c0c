#pragma once
// An editing view on a real application object with an open 800 x 480 project of one
// screen, shown offscreen and driven with real mouse events on its viewport. The view is
// not scrolled, so client points are document points; the window area starts at (38, 38).
#include "app/drawing_tools/edit_tool.h"
#include "app/view/draw_view.h"
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/params/kind_defaults.h"
#include "tests/app/mainframe_fixture.h"
#include "tests/app/scripted_prompts.h"
#include "tests/app/small_project.h"
#include "tests/fixtures/temp_dir.h"

#include <QImage>
#include <QTest>
#include <filesystem>
#include <memory>
#include <ostream>

namespace qv {
inline void PrintTo(const Rect& r, std::ostream* os) { *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}"; }
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }
inline void PrintTo(const Size& s, std::ostream* os) { *os << s.cx << "x" << s.cy; }
} // namespace qv

namespace qv::test {

class ViewFixture : public ::testing::Test {
protected:
    static constexpr Point kWindowTopLeft{38, 38};

    void SetUp() override
    {
        guiApp();
        namespace fs = std::filesystem;
        fs::create_directories(dir.path() / "images");
        app = std::make_unique<CEditorApp>(dir.path());
        app->SetPrompt(&prompts);
        app->InitDocTemplates();

        const fs::path hmi = writeOneScreenProject(dir.path());
        ASSERT_FALSE(HasFailure());
        ASSERT_TRUE(app->OpenProjectFile(hmi)) << (prompts.messages.empty() ? "" : prompts.messages[0]);
        doc = app->FindDocByTitle("win0.drw");
        ASSERT_NE(doc, nullptr);
        doc->SetModifiedFlag(false);

        CEditTool::s_nCurShape = 0;
        view = std::make_unique<CDrawView>(*app, doc, false);
        view->resize(1000, 640);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        ASSERT_TRUE(view->IsActive());
    }

    void TearDown() override
    {
        view.reset();
        CEditTool::s_nCurShape = 0;
        app->CloseAllDocuments();
        app->SetPrompt(nullptr);
    }

    QWidget* port() const { return view->viewport(); }

    // Real press, moves in a few steps, release.
    void drag(Point from, Point to, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mousePress(port(), Qt::LeftButton, mods, QPoint(from.x, from.y));
        constexpr int kSteps = 4;
        for (int i = 1; i <= kSteps; ++i) {
            const int x = from.x + (to.x - from.x) * i / kSteps;
            const int y = from.y + (to.y - from.y) * i / kSteps;
            QTest::mouseMove(port(), QPoint(x, y));
        }
        QTest::mouseRelease(port(), Qt::LeftButton, mods, QPoint(to.x, to.y));
    }

    void click(Point p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseClick(port(), Qt::LeftButton, mods, QPoint(p.x, p.y));
    }

    CDrawObj* addObject(Rect position, ShapeKind kind = ShapeKind::Rectangle)
    {
        auto obj = std::make_unique<CDrawRect>(position);
        obj->SetKind(kind);
        CDrawObj* added = doc->AddObject(std::move(obj));
        SetKindDefaults(*added, *app);   // what the tools give a new object
        return added;
    }

    // The view as shown on screen, after every pending paint.
    QImage shown()
    {
        QCoreApplication::processEvents();
        return port()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    TempDir dir;
    ScriptedPrompts prompts;
    std::unique_ptr<CEditorApp> app;
    CDrawDoc* doc = nullptr;
    std::unique_ptr<CDrawView> view;
};

} // namespace qv::test
