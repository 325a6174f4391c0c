// The edit commands on a real view: copy and paste through the desktop clipboard keep every
// stored byte of the objects, cut and undo bring them back, a hostile clipboard payload is
// refused without touching the document, references are renumbered by variable name, and
// clear and lock behave as a user expects.
#include "app/edit/edit_commands.h"
#include "app/edit/shape_clipboard.h"
#include "app/edit/shape_payload.h"
#include "model/params/block_bytes.h"
#include "platform/archive/archive.h"
#include "tests/app/view_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace qv::test {
namespace {

using EditCommands = ViewFixture;

std::string storedBytes(CDrawObj& obj)
{
    archive::ArchiveWriter ar;
    obj.Serialize(ar);
    return ar.TakeBytes();
}

std::vector<Rect> positions(const CDrawDoc& doc)
{
    std::vector<Rect> out;
    for (const auto& obj : doc.m_objects)
        out.push_back(obj->m_rcPosition);
    return out;
}

// A value reference of a button: the operated variable (index at 128).
constexpr int kButtonValueIndex = 128;

TEST_F(EditCommands, CopyThenPasteAddsExactCopiesOnTopSelected)
{
    CDrawObj* button = addObject({100, 100, 200, 140}, ShapeKind::Button);
    CDrawObj* rect = addObject({300, 200, 420, 260});
    view->SelectShape(button);
    view->SelectShape(rect, true);
    const std::string buttonBytes = storedBytes(*button);
    const std::string rectBytes = storedBytes(*rect);
    const int depth = doc->m_nUndoDepth;

    ASSERT_TRUE(edit::CopySelection(*view));
    ASSERT_TRUE(edit::clipboardHasShapes());
    EXPECT_FALSE(doc->IsModified()) << "copying changes nothing";

    for (int round = 1; round <= 2; ++round) {
        ASSERT_TRUE(edit::PasteFromClipboard(*view));
        ASSERT_EQ(doc->m_objects.size(), 2u + 2u * round);
        CDrawObj* pastedButton = doc->m_objects[2 * round].get();
        CDrawObj* pastedRect = doc->m_objects[2 * round + 1].get();
        EXPECT_EQ(storedBytes(*pastedButton), buttonBytes) << "round " << round;
        EXPECT_EQ(storedBytes(*pastedRect), rectBytes) << "round " << round;
        EXPECT_EQ(pastedButton->m_pOwnerDoc, doc);
        EXPECT_EQ(view->m_selList, (std::vector<CDrawObj*>{pastedButton, pastedRect})) << "the last paste is selected";
    }
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->m_nUndoDepth, depth + 2) << "one undo step per paste";
}

TEST_F(EditCommands, CutThenUndoRestoresAndRedoCutsAgain)
{
    addObject({100, 100, 150, 150});
    CDrawObj* b = addObject({200, 100, 250, 150});
    CDrawObj* c = addObject({300, 100, 350, 150});
    doc->SnapshotAndSetModified();
    doc->SetModifiedFlag(false);
    const std::vector<Rect> before = positions(*doc);
    view->SelectShape(b);
    view->SelectShape(c, true);

    ASSERT_TRUE(edit::CutSelection(*view));
    EXPECT_EQ(doc->m_objects.size(), 1u);
    EXPECT_TRUE(view->m_selList.empty());
    EXPECT_TRUE(edit::clipboardHasShapes()) << "cut puts the objects on the clipboard";

    ASSERT_TRUE(edit::UndoEdit(*view));
    EXPECT_EQ(positions(*doc), before);
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(edit::RedoEdit(*view));
    EXPECT_EQ(doc->m_objects.size(), 1u);
    EXPECT_FALSE(edit::RedoEdit(*view)) << "nothing left to redo";
}

TEST_F(EditCommands, CutWhileCompilingRemovesNothing)
{
    CDrawObj* a = addObject({100, 100, 150, 150});
    view->SelectShape(a);
    app->m_bCompiling = 1;   // the commands are closed while a compile runs
    EXPECT_FALSE(edit::CutSelection(*view));
    app->m_bCompiling = 0;
    EXPECT_EQ(doc->m_objects.size(), 1u);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(EditCommands, HostilePayloadsAreRefusedAndChangeNothing)
{
    CDrawObj* a = addObject({100, 100, 150, 150});
    view->SelectShape(a);
    const std::string good = edit::EncodeSelection(*view);

    archive::ArchiveWriter hugeCount;
    hugeCount.WriteCount(0x7FFFFFFF);
    archive::ArchiveWriter baseObject;   // a name entry, not a shape
    baseObject.WriteCount(1);
    CDrawObj entry(std::string("win0.drw"));
    baseObject.WriteObjectTag(&entry, {"CDrawObj", 0});
    entry.Serialize(baseObject);
    std::string badMagic = good;
    badMagic[good.size() - 14] ^= 0x55;   // the trailer's mark (a rectangle names no variables)

    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"count past the bytes", hugeCount.TakeBytes()},
        {"cut off in an object", good.substr(0, good.size() / 2)},
        {"a name entry instead of a shape", baseObject.TakeBytes()},
        {"bytes after the trailer", good + "xyz"},
        {"damaged trailer", badMagic},
    };
    for (const auto& c : cases) {
        prompts.messages.clear();
        EXPECT_FALSE(edit::PasteShapes(*view, c.bytes)) << c.name;
        EXPECT_EQ(doc->m_objects.size(), 1u) << c.name;
        EXPECT_EQ(view->m_selList, std::vector<CDrawObj*>{a}) << c.name << ": the selection stays";
        EXPECT_FALSE(doc->IsModified()) << c.name;
        EXPECT_EQ(prompts.messages.size(), 1u) << c.name << ": the user is told";
    }
}

TEST_F(EditCommands, ForeignClipboardContentIsNoShapePaste)
{
    auto* data = new QMimeData;
    data->setText(QStringLiteral("hello"));
    QGuiApplication::clipboard()->setMimeData(data);
    EXPECT_FALSE(edit::clipboardHasShapes());
    EXPECT_FALSE(edit::PasteFromClipboard(*view));
    EXPECT_TRUE(doc->m_objects.empty());
}

TEST_F(EditCommands, PastedReferencesFollowTheVariableNames)
{
    CDrawObj* button = addObject({100, 100, 200, 140}, ShapeKind::Button);
    const std::int32_t index = blockReadI32(button->m_Params, kButtonValueIndex);
    ASSERT_GE(index, 0);
    HmiVarTable& table = app->ProjectDoc()->m_varTable;
    const std::string name = table.name[static_cast<std::size_t>(index)];
    view->SelectShape(button);
    const std::string payload = edit::EncodeSelection(*view);
    auto decoded = edit::decodeShapePayload(payload, nullptr);
    ASSERT_TRUE(decoded && decoded->varNames);

    // Another project: the same variable sits one row later; another lacks it.
    HmiVarTable shifted = table;
    shifted.AppendRow("0", "unsigned char", "x", "0", "");
    std::rotate(shifted.name.begin() + index, shifted.name.end() - 1, shifted.name.end());
    std::rotate(shifted.address.begin() + index, shifted.address.end() - 1, shifted.address.end());
    std::rotate(shifted.type.begin() + index, shifted.type.end() - 1, shifted.type.end());
    HmiVarTable without = table;
    without.name[static_cast<std::size_t>(index)] = "other";

    const struct {
        const char* name;
        const HmiVarTable* table;
        const std::map<std::int32_t, std::string>* names;
        std::int32_t expected;
    } cases[] = {
        {"same project", &table, &*decoded->varNames, index},
        {"row moved", &shifted, &*decoded->varNames, index + 1},
        {"variable missing", &without, &*decoded->varNames, -1},
        {"no names, index inside", &table, nullptr, index},
    };
    for (const auto& c : cases) {
        CDrawRect copy(*static_cast<CDrawRect*>(decoded->objects.front().get()));
        edit::renumberPastedReferences(copy, c.names, *c.table);
        EXPECT_EQ(blockReadI32(copy.m_Params, kButtonValueIndex), c.expected) << c.name;
    }
    HmiVarTable tiny;
    CDrawRect copy(*static_cast<CDrawRect*>(decoded->objects.front().get()));
    edit::renumberPastedReferences(copy, nullptr, tiny);
    EXPECT_EQ(blockReadI32(copy.m_Params, kButtonValueIndex), -1) << "an index past the table is unbound";
}

TEST_F(EditCommands, PasteKeepsObjectsInsideTheWindowArea)
{
    CDrawObj* far = addObject({700, 400, 760, 440});
    view->SelectShape(far);
    const std::string payload = edit::EncodeSelection(*view);
    // Into a smaller window: the copy is pushed back inside, keeping its size.
    doc->m_nWindowWidth = 300;
    doc->m_nWindowHeight = 200;
    ASSERT_TRUE(edit::PasteShapes(*view, payload));
    const Rect pasted = doc->m_objects.back()->m_rcPosition;
    EXPECT_EQ(pasted, (Rect{38 + 300 - 60, 38 + 200 - 40, 38 + 300, 38 + 200}));
}

TEST_F(EditCommands, ClearLeavesEveryViewsSelection)
{
    CDrawObj* a = addObject({100, 100, 150, 150});
    CDrawObj* b = addObject({200, 100, 250, 150});
    CDrawView other(*app, doc, false);
    other.SelectShape(a);
    other.SelectShape(b, true);
    view->SelectShape(a);

    ASSERT_TRUE(edit::ClearSelection(*view));
    EXPECT_EQ(other.m_selList, std::vector<CDrawObj*>{b});
    EXPECT_EQ(doc->m_objects.size(), 1u);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_FALSE(edit::ClearSelection(*view)) << "nothing selected: no change, no undo step";
}

TEST_F(EditCommands, LockTakesAStepOnlyWhenAFlagChanges)
{
    CDrawObj* a = addObject({100, 100, 150, 150});
    view->SelectShape(a);
    ASSERT_TRUE(edit::SetSelectionLocked(*view, true));
    EXPECT_EQ(a->m_bLocked, 1);
    const int depth = doc->m_nUndoDepth;
    doc->SetModifiedFlag(false);
    EXPECT_FALSE(edit::SetSelectionLocked(*view, true));
    EXPECT_EQ(doc->m_nUndoDepth, depth);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(edit::SetSelectionLocked(*view, false));
    EXPECT_EQ(a->m_bLocked, 0);
}

TEST_F(EditCommands, SelectAllAndUndoRightAfterOpening)
{
    EXPECT_FALSE(edit::UndoEdit(*view)) << "nothing to go back to";
    CDrawObj* a = addObject({100, 100, 150, 150});
    CDrawObj* b = addObject({200, 100, 250, 150});
    ASSERT_TRUE(edit::SelectAll(*view));
    EXPECT_EQ(view->m_selList, (std::vector<CDrawObj*>{a, b}));
}

TEST_F(EditCommands, RunModeViewTakesNoEdits)
{
    CDrawObj* a = addObject({100, 100, 150, 150});
    CDrawView run(*app, doc, true);
    run.m_selList.push_back(a);
    EXPECT_FALSE(edit::ViewTakesEdits(run));
    EXPECT_FALSE(edit::ClearSelection(run));
    EXPECT_FALSE(edit::CopySelection(run));
    EXPECT_EQ(doc->m_objects.size(), 1u);
}

} // namespace
} // namespace qv::test
