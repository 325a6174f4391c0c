// The sheet opened from the real editing view: a double click on a rectangle opens it, the
// line page's changes reach the object on OK as one undo step, Cancel leaves everything.
#include "app/mainframe/property_sheet.h"
#include "app/bindings/properties/props_commands.h"
#include "app/drawing_tools/object_properties.h"
#include "props/ui/shape_page_widgets.h"
#include "platform/archive/archive.h"
#include "tests/props/ui/sheet_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <functional>

namespace qv::test {
namespace {

TEST_F(SheetDialogTest, DoubleClickOpensTheSheetAndOkChangesLineColourAndWidth)
{
    CDrawObj* rect = addObject({100, 100, 200, 160});
    doc->TakeUndoSnapshot();
    const std::int32_t widthBefore = rect->ParamI32(0);
    QString caption;
    QStringList tabs;
    whenSheetOpens([&](CMyPropertySheet& sheet) {
        caption = sheet.windowTitle();
        for (int i = 0; i < sheet.tabs()->count(); ++i)
            tabs << sheet.tabs()->tabText(i);
        auto* page = qobject_cast<RectPageWidget*>(sheet.tabs()->widget(0));
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(page->lineType()->isVisibleTo(page));
        page->lineWidth()->setValue(widthBefore + 3);
        page->lineColor()->setColor(0x0000FF);
        press(sheet, QDialogButtonBox::Ok);
    });
    doubleClick({150, 130});

    EXPECT_EQ(caption, QString::fromUtf8(u8"属性"));
    EXPECT_EQ(tabs, (QStringList{QString::fromUtf8(u8"外观"), QString::fromUtf8(u8"位置")}));
    ASSERT_EQ(doc->m_objects.size(), 1u);
    EXPECT_EQ(rect->ParamI32(0), widthBefore + 3);
    EXPECT_EQ(rect->ParamI32(4), 0x0000FF);
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->CanUndo());
    ASSERT_TRUE(doc->Undo());
    EXPECT_EQ(doc->m_objects.front()->ParamI32(0), widthBefore);
}

TEST_F(SheetDialogTest, CancelChangesNothing)
{
    CDrawObj* rect = addObject({100, 100, 200, 160});
    doc->TakeUndoSnapshot();
    archive::ArchiveWriter before;
    rect->Serialize(before);
    bool opened = false;
    whenSheetOpens([&](CMyPropertySheet& sheet) {
        opened = true;
        auto* page = qobject_cast<RectPageWidget*>(sheet.tabs()->widget(0));
        ASSERT_NE(page, nullptr);
        page->lineWidth()->setValue(9);
        page->lineColor()->setColor(0x00FF00);
        press(sheet, QDialogButtonBox::Cancel);
    });
    doubleClick({150, 130});

    EXPECT_TRUE(opened);
    archive::ArchiveWriter after;
    rect->Serialize(after);
    EXPECT_EQ(after.Bytes(), before.Bytes());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(SheetDialogTest, LinePageHidesFillAndPositionEditMovesTheObject)
{
    CDrawObj* line = addObject({300, 300, 200, 250}, ShapeKind::Line);
    doc->TakeUndoSnapshot();
    view->SelectShape(line);
    whenSheetOpens([&](CMyPropertySheet& sheet) {
        auto* page = qobject_cast<RectPageWidget*>(sheet.tabs()->widget(0));
        ASSERT_NE(page, nullptr);
        EXPECT_FALSE(page->noFill()->isVisibleTo(page));
        EXPECT_FALSE(page->lineType()->isVisibleTo(page));
        auto* position = qobject_cast<PositionPageWidget*>(sheet.tabs()->widget(1));
        ASSERT_NE(position, nullptr);
        EXPECT_EQ(position->edge(0)->value(), 300 - kWindowTopLeft.x);  // direction kept
        EXPECT_FALSE(position->originalSize()->isVisibleTo(position));
        position->edge(0)->setValue(5000);  // past the window: held at its right edge
        press(sheet, QDialogButtonBox::Ok);
    });
    EditObjectProperties(*view, *line, 1);
    EXPECT_EQ(line->m_rcPosition.left, kWindowTopLeft.x + 800);
    EXPECT_EQ(line->m_rcPosition.right, 200);
}

} // namespace
} // namespace qv::test
