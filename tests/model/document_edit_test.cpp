// Undo ring, hit test, name lists, project defaults and the broadcasts of the document.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "model/document/document_environment.h"
#include "model/document/draw_doc.h"
#include "model/document/ui_prompts.h"
#include "platform/files/atomic_file.h"
#include "tests/fixtures/temp_dir.h"

using namespace qv;

namespace {

CDrawObj* addShape(CDrawDoc& doc, ShapeKind kind, Rect r, bool control = false)
{
    auto s = std::make_unique<CDrawRect>(r);
    s->SetKind(kind);
    s->m_bControl = control ? 1 : 0;
    return doc.AddObject(std::move(s));
}

TEST(DocumentUndo, RingWrapsAndCapsTheDepth)
{
    CDrawDoc doc;
    EXPECT_EQ(doc.m_nUndoDepth, -1);
    EXPECT_EQ(doc.m_nUndoSlot, -1);
    doc.TakeUndoSnapshot();
    EXPECT_EQ(doc.m_nUndoDepth, 0);
    EXPECT_EQ(doc.m_nUndoSlot, 0);
    for (int i = 1; i < 108; ++i)
        doc.TakeUndoSnapshot();
    EXPECT_EQ(doc.m_nUndoSlot, 107);
    EXPECT_EQ(doc.m_nUndoDepth, 107);
    doc.TakeUndoSnapshot();
    EXPECT_EQ(doc.m_nUndoSlot, 0);
    EXPECT_EQ(doc.m_nUndoDepth, 107);

    doc.m_nSnapshotLock = 1;
    doc.TakeUndoSnapshot();
    EXPECT_EQ(doc.m_nUndoSlot, 0);
}

TEST(DocumentUndo, UndoAndRedoStepTheRing)
{
    CDrawDoc doc;
    doc.SnapshotAndSetModified();                      // empty
    addShape(doc, ShapeKind::Rectangle, {0, 0, 10, 10});
    doc.SnapshotAndSetModified();                      // one shape
    addShape(doc, ShapeKind::Ellipse, {0, 0, 20, 20});
    doc.SnapshotAndSetModified();                      // two shapes

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.m_objects.size(), 1u);
    EXPECT_EQ(doc.m_nUndoDepth, 1);
    EXPECT_EQ(doc.m_nRedoCount, 1);
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.m_objects.empty());
    EXPECT_FALSE(doc.Undo());                          // depth 0: nothing happens
    EXPECT_EQ(doc.m_nUndoSlot, 0);

    ASSERT_TRUE(doc.Redo());
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.m_objects.size(), 2u);
    EXPECT_FALSE(doc.Redo());                          // redo count 0: nothing happens
    EXPECT_TRUE(doc.IsModified());

    ASSERT_TRUE(doc.Undo());
    doc.SnapshotAndSetModified();                      // a new edit ends the redo road
    EXPECT_EQ(doc.m_nRedoCount, 0);
}

TEST(DocumentUndo, UndoWrapsBelowSlotZero)
{
    CDrawDoc doc;
    for (int i = 0; i < 108; ++i) {
        doc.m_objects.clear();
        addShape(doc, ShapeKind::Rectangle, {i, 0, i + 1, 1});
        doc.TakeUndoSnapshot();
    }
    doc.m_objects.clear();
    addShape(doc, ShapeKind::Rectangle, {500, 0, 501, 1});
    doc.TakeUndoSnapshot();                            // slot 0 again
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.m_nUndoSlot, 107);
    EXPECT_EQ(doc.m_objects.front()->m_rcPosition.left, 107);
}

TEST(DocumentUndo, AFreshDocumentHasNothingToUndo)
{
    CDrawDoc doc;
    addShape(doc, ShapeKind::Rectangle, {0, 0, 10, 10});
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.Undo());
    EXPECT_EQ(doc.m_objects.size(), 1u);               // never replaced by an empty slot
}

TEST(DocumentUndo, SnapshotsKeepClassControlFlagAndRunState)
{
    CDrawDoc doc;
    CDrawObj* button = addShape(doc, ShapeKind::Button, {0, 0, 10, 10}, true);
    button->m_nRunState = 1;
    button->m_bLocked = 1;
    doc.AddObject(std::make_unique<CDrawObj>(Rect{5, 5, 6, 6}));
    doc.TakeUndoSnapshot();
    doc.m_objects.clear();
    doc.TakeUndoSnapshot();
    ASSERT_TRUE(doc.Undo());
    ASSERT_EQ(doc.m_objects.size(), 2u);
    const CDrawObj& restored = *doc.m_objects[0];
    EXPECT_EQ(restored.ClassName(), "CDrawRect");
    EXPECT_EQ(restored.m_bControl, 1);
    EXPECT_EQ(restored.m_nRunState, 1);
    EXPECT_EQ(restored.m_bLocked, 1);
    EXPECT_EQ(restored.m_pOwnerDoc, &doc);
    EXPECT_EQ(doc.m_objects[1]->ClassName(), "CDrawObj");
    // The restored objects are copies: the ring still holds its own.
    EXPECT_NE(doc.m_objects[0].get(), doc.m_undoRing[0][0].get());
}

struct SelectingView : DocumentView {
    void OnUpdate(DocumentView*, int, CDrawObj*) override { ++updates; }
    void Deselect(CDrawObj* obj) override { std::erase(selection, obj); }
    void SetScrollExtent(Size s) override { extent = s; }
    bool IsRunMode() const override { return runMode; }
    std::vector<CDrawObj*> selection;
    Size extent;
    int updates = 0;
    bool runMode = false;
};

TEST(DocumentUndo, RestoreClearsSelectionsOfReplacedObjects)
{
    CDrawDoc doc;
    SelectingView view;
    doc.AddView(&view);
    CDrawObj* s = addShape(doc, ShapeKind::Rectangle, {0, 0, 10, 10});
    doc.TakeUndoSnapshot();
    doc.TakeUndoSnapshot();
    view.selection = {s};
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(view.selection.empty());
    EXPECT_GT(view.updates, 0);
}

TEST(DocumentObjects, FindObjectAtPrefersControlsThenTopmost)
{
    CDrawDoc doc;
    CDrawObj* control = addShape(doc, ShapeKind::Button, {0, 0, 100, 100}, true);
    CDrawObj* shapeAbove = addShape(doc, ShapeKind::Rectangle, {0, 0, 100, 100});
    CDrawObj* topShape = addShape(doc, ShapeKind::Rectangle, {150, 0, 200, 50});
    addShape(doc, ShapeKind::Rectangle, {150, 0, 200, 50});
    CDrawObj* topmost = doc.m_objects.back().get();
    EXPECT_EQ(doc.FindObjectAt({50, 50}), control);
    EXPECT_EQ(doc.FindObjectAt({2, 2}), shapeAbove);   // outside the button's rounded corner
    EXPECT_EQ(doc.FindObjectAt({160, 10}), topmost);
    EXPECT_NE(doc.FindObjectAt({160, 10}), topShape);
    EXPECT_EQ(doc.FindObjectAt({300, 300}), nullptr);
    EXPECT_EQ(doc.FindObjectAt({INT32_MAX, INT32_MAX}), nullptr);
}

TEST(DocumentObjects, RemoveObjectLeavesEverySelection)
{
    CDrawDoc doc;
    SelectingView a, b;
    doc.AddView(&a);
    doc.AddView(&b);
    CDrawObj* s = addShape(doc, ShapeKind::Rectangle, {0, 0, 1, 1});
    a.selection = b.selection = {s};
    auto taken = doc.RemoveObject(s);
    EXPECT_EQ(taken.get(), s);
    EXPECT_TRUE(doc.m_objects.empty());
    EXPECT_TRUE(a.selection.empty() && b.selection.empty());
    EXPECT_EQ(doc.RemoveObject(s), nullptr);
}

// An environment with a project folder, scripted prompts and recorded calls.
struct FakeEnvironment : DocumentEnvironment, UiPrompts, ObjectVarReferenceOps {
    FakeEnvironment() { setDocumentEnvironment(this); }
    ~FakeEnvironment() override { setDocumentEnvironment(nullptr); }

    Size ProjectResolution() const override { return {640, 480}; }
    Point PageMargins() const override { return margins; }
    void SetPageMargins(Point m) override { margins = m; }
    Size DesktopSize() const override { return desktop; }
    std::filesystem::path ProjectFolder() const override { return folder; }
    bool OpenWindowDocument(const std::filesystem::path& f) override { opened.push_back(f); return true; }
    void SetProgress(int p) override { progress.push_back(p); }
    void ResetCurrentTool() override { ++toolResets; }
    void WriteSysVarHeader() override { ++headerWrites; }
    UiPrompts* Prompts() override { return this; }
    ObjectVarReferenceOps* VarReferenceOps() override { return this; }

    void ShowMessage(std::string_view text, Icon) override { messages.emplace_back(text); }
    bool AskYesNo(std::string_view) override { return true; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return chosenColor; }

    void RenumberAfterVarDelete(CDrawObj& o, int row) override { calls.push_back("delete " + std::to_string(row)); }
    void ClearVarReferences(CDrawObj&) override { calls.push_back("clear"); }
    void RefreshVarReferences(CDrawObj&, std::string_view) override { calls.push_back("refresh"); }
    void RenumberAfterVarSwap(CDrawObj&, int row) override { calls.push_back("swap " + std::to_string(row)); }
    void RenumberAfterVarMove(CDrawObj&, int t) override { calls.push_back("move " + std::to_string(t)); }
    void UpdateCurveAddressMax(CDrawObj&) override { calls.push_back("curve"); }
    void UpdateStringAddressMax(CDrawObj&) override { calls.push_back("string"); }
    void RescaleRect(CDrawObj&, int, int, int, int, int, int) override { calls.push_back("rescale"); }

    Point margins{38, 38};
    Size desktop{1024, 768};
    std::filesystem::path folder;
    std::vector<std::filesystem::path> opened;
    std::vector<int> progress;
    int toolResets = 0;
    int headerWrites = 0;
    std::vector<std::string> messages;
    std::optional<std::uint32_t> chosenColor;
    std::vector<std::string> calls;
};

TEST(DocumentNames, ListsAreEditedAndSavedAtOnce)
{
    test::TempDir dir;
    FakeEnvironment env;
    CDrawDoc doc;
    DocumentError error;
    ASSERT_TRUE(doc.OnSaveDocument(dir / "工程.hmi", &error));
    doc.AddScreenName("主画面.drw");
    doc.AddScreenName("画面2.drw");
    doc.AddSubWindowName("主画面.drw");
    doc.AddSubWindowName("键盘.dlg");

    EXPECT_EQ(doc.GetWindowIndex("画面2.drw"), 1);
    EXPECT_EQ(doc.GetWindowIndex("主画面.drw"), 0);     // the screen list is asked first
    EXPECT_EQ(doc.GetWindowIndex("键盘.dlg"), 1);       // counted within the sub-window list
    EXPECT_EQ(doc.GetWindowIndex("无.drw"), -1);

    doc.RenameWindow("主画面.drw", "首页.drw");          // first match in each list
    EXPECT_EQ(doc.m_screenNames[0]->m_strName, "首页.drw");
    EXPECT_EQ(doc.m_subWindowNames[0]->m_strName, "首页.drw");
    doc.RemoveScreenName("画面2.drw");
    doc.RemoveSubWindowName("不存在.dlg");              // nothing removed, still saved

    CDrawDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(dir / "工程.hmi", &error)) << error.messageGbk;
    ASSERT_EQ(reopened.m_screenNames.size(), 1u);
    EXPECT_EQ(reopened.m_screenNames[0]->m_strName, "首页.drw");
    EXPECT_EQ(reopened.m_subWindowNames.size(), 2u);
    EXPECT_FALSE(doc.IsModified());
}

TEST(DocumentNames, FailedSavesAreReportedAndARenameIsTakenBack)
{
    test::TempDir dir;
    FakeEnvironment env;
    CDrawDoc doc;
    DocumentError error;
    ASSERT_TRUE(doc.OnSaveDocument(dir / "工程.hmi", &error));
    ASSERT_TRUE(doc.AddScreenName("主画面.drw"));
    ASSERT_TRUE(doc.AddSubWindowName("主画面.drw"));
    // A folder in the file's place: every save fails.
    std::filesystem::remove(dir / "工程.hmi");
    std::filesystem::create_directory(dir / "工程.hmi");

    EXPECT_FALSE(doc.RenameWindow("主画面.drw", "首页.drw"));
    EXPECT_EQ(doc.m_screenNames[0]->m_strName, "主画面.drw");
    EXPECT_EQ(doc.m_subWindowNames[0]->m_strName, "主画面.drw");
    EXPECT_FALSE(doc.IsModified()) << "nothing changed";

    EXPECT_FALSE(doc.AddScreenName("画面2.drw"));
    EXPECT_EQ(doc.m_screenNames.size(), 2u) << "kept in memory";
    EXPECT_TRUE(doc.IsModified()) << "so closing asks to save it";
    EXPECT_EQ(env.messages.size(), 2u);
}

struct RecordingTree : ProjectTreeSink {
    void AddScreenItem(std::string_view t) override { screens.emplace_back(t); }
    void AddSubWindowItem(std::string_view t) override { subWindows.emplace_back(t); }
    std::vector<std::string> screens, subWindows;
};

TEST(DocumentNames, ProjectTreeListsAndOpensEveryWindow)
{
    test::TempDir dir;
    FakeEnvironment env;
    env.folder = dir.path();
    CDrawDoc doc;
    for (const char* n : {"主画面.drw", "画面2.drw"})
        doc.m_screenNames.push_back(std::make_unique<CDrawObj>(std::string(n)));
    for (const char* n : {"键盘.dlg", "..\\..\\逃逸.dlg"})
        doc.m_subWindowNames.push_back(std::make_unique<CDrawObj>(std::string(n)));
    RecordingTree tree;
    doc.FillProjectTree(tree);
    EXPECT_EQ(tree.screens, (std::vector<std::string>{"0:主画面.drw", "1:画面2.drw"}));
    EXPECT_EQ(tree.subWindows, (std::vector<std::string>{"0:键盘.dlg", "1:..\\..\\逃逸.dlg"}));
    // A name that would leave the window folder is never opened.
    ASSERT_EQ(env.opened.size(), 3u);
    EXPECT_EQ(env.opened[0], dir.path() / "window" / u8"主画面.drw");
    EXPECT_EQ(env.progress, (std::vector<int>{25, 50, 75, 100, 0}));
}

TEST(DocumentProject, NewDocumentAndNewProjectDefaults)
{
    FakeEnvironment env;
    CDrawDoc doc;
    EXPECT_EQ(doc.m_nWindowWidth, 640);
    EXPECT_EQ(doc.m_sizeDoc, (Size{1280, 960}));
    EXPECT_EQ(doc.m_paperColor, 0x00FFFF00u);
    EXPECT_EQ(doc.m_TouchCalibration[0], 0x88);
    EXPECT_EQ(doc.m_serial, SerialParams{});
    EXPECT_EQ(doc.m_serial[0], 1);
    EXPECT_EQ(doc.m_serial[9], 9600);
    EXPECT_EQ(doc.SettingI32(168), 6);
    EXPECT_EQ(doc.SettingI32(196), 200);
    EXPECT_EQ(doc.SettingI32(112), 0);

    doc.InitSystemVariables();
    EXPECT_EQ(doc.m_varTable.size(), 16u);
    EXPECT_TRUE(doc.m_varTable.IsParallel());
    EXPECT_EQ(doc.m_nFormatWord, 19u);
    struct Slot {
        std::size_t offset;
        std::int32_t value;
    };
    const Slot slots[] = {{4, 0}, {8, 1}, {12, 2}, {24, 6}, {36, 5}, {64, 15}, {112, 1}, {116, 128}, {120, 8}, {124, 128}};
    for (const auto& s : slots)
        EXPECT_EQ(doc.SettingI32(s.offset), s.value) << s.offset;
    EXPECT_EQ(doc.m_ProjectSettings[71], 1);
    EXPECT_EQ(env.headerWrites, 1);
}

TEST(DocumentProject, ExtentsFollowResolutionAndDesktop)
{
    FakeEnvironment env;
    CDrawDoc doc;
    SelectingView view;
    doc.AddView(&view);
    doc.FitViewsToDesktop();                    // 640x480 is not the desktop
    EXPECT_EQ(view.extent, (Size{1280, 960}));
    EXPECT_EQ(env.margins, (Point{38, 38}));
    env.desktop = {640, 480};
    doc.FitViewsToDesktop();
    EXPECT_EQ(view.extent, (Size{0, 0}));
    EXPECT_EQ(env.margins, (Point{0, 0}));
    doc.RestoreViewMargins();
    EXPECT_EQ(view.extent, (Size{1280, 960}));
    EXPECT_EQ(env.margins, (Point{38, 38}));
}

TEST(DocumentProject, BackgroundColourCommand)
{
    FakeEnvironment env;
    CDrawDoc doc;
    SelectingView view;
    doc.AddView(&view);
    env.chosenColor = std::nullopt;              // cancelled
    doc.OnBackgroundColor();
    EXPECT_EQ(doc.m_paperColor, CDrawDoc::kDefaultPaperColor);
    EXPECT_FALSE(doc.IsModified());
    env.chosenColor = 0x00112233;
    doc.OnBackgroundColor();
    EXPECT_EQ(doc.m_paperColor, 0x00112233u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_nUndoDepth, 0);
    EXPECT_EQ(env.toolResets, 2);

    // Not for the project document, nor in run mode.
    for (auto setUp : {+[](CDrawDoc& d, SelectingView&) { d.m_bIsProjectDoc = 1; },
                       +[](CDrawDoc&, SelectingView& v) { v.runMode = true; }}) {
        CDrawDoc other;
        SelectingView v;
        other.AddView(&v);
        setUp(other, v);
        env.chosenColor = 0x00445566;
        other.OnBackgroundColor();
        EXPECT_FALSE(other.CanChangeBackground());
        EXPECT_EQ(other.m_paperColor, CDrawDoc::kDefaultPaperColor);
    }
}

TEST(DocumentProject, BroadcastsReachEveryObject)
{
    FakeEnvironment env;
    CDrawDoc doc;
    addShape(doc, ShapeKind::Button, {0, 0, 1, 1}, true);
    addShape(doc, ShapeKind::Curve, {0, 0, 1, 1}, true);
    doc.RenumberAfterVarDelete(3);
    doc.RenumberAfterVarSwap(4);
    doc.RenumberAfterVarMove(5);
    doc.ClearVarReferences();
    doc.RefreshVarReferences("");
    doc.UpdateCurveAddressMax();
    doc.UpdateStringAddressMax();
    doc.RescaleObjects(800, 480, 1024, 600, 0, 0);
    const std::vector<std::string> expected{"delete 3", "delete 3", "swap 4", "swap 4", "move 5", "move 5",
                                            "clear", "clear", "refresh", "refresh", "curve", "curve",
                                            "string", "string", "rescale", "rescale"};
    EXPECT_EQ(env.calls, expected);
}

TEST(DocumentProject, SaveToWindowFolderUsesTheTitle)
{
    test::TempDir dir;
    FakeEnvironment env;
    env.folder = dir.path();
    std::filesystem::create_directories(dir.path() / "window");
    CDrawDoc doc;
    doc.SetTitle("画面1.drw");
    ASSERT_TRUE(doc.SaveToWindowFolder());
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "window" / u8"画面1.drw"));
    EXPECT_EQ(doc.GetTitle(), "画面1.drw");

    // No window folder: the failure is shown, nothing is created.
    std::filesystem::remove_all(dir.path() / "window");
    EXPECT_FALSE(doc.SaveToWindowFolder());
    EXPECT_EQ(env.messages.size(), 1u);
}

} // namespace
