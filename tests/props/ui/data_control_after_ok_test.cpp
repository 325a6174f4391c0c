// What the user sees and what the panel gets after OK on the sheets of the character
// control, curve, dynamic picture, progress bar and area control: the editing view paints
// the new look, and the open project compiled as the compile command does carries items
// with the new values at the offsets of their records (written out here, read back with
// the image reader).
#include "model/params/blocks/curve_block.h"
#include "compiler/compile/compile_worker.h"
#include "compiler/items/install_items.h"
#include "compiler/project/app_compile_input.h"
#include "compiler/screen/window_compiler.h"
#include "model/paint/control_font_registry.h"
#include "model/params/object_var_refs.h"
#include "model/vars/hmi_var_table.h"
#include "model/vars/hmi_vars.h"
#include "platform/files/atomic_file.h"
#include "platform/picture/picture.h"
#include "platform/report/report_queue.h"
#include "props/curve_records.h"
#include "props/ui/data_control_page_widgets.h"
#include "props/ui/shape_page_widgets.h"
#include "tests/compiler/image_reader.h"
#include "tests/compiler/image_walker.h"
#include "tests/props/ui/control_sheet_fixture.h"

#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <variant>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

constexpr ColorRef kRed = 0x000000FF, kGreen = 0x0000FF00;
constexpr std::uint16_t kRed565 = 0xF800, kGreen565 = 0x07E0;

struct AfterOkCase {
    const char* name;
    ShapeKind kind;
    std::function<void(CDrawObj&)> stored;            // what the control holds before the sheet opens
    std::vector<FieldRow> rows;                       // widgets set on the sheet
    std::function<void(CMyPropertySheet&)> more;      // lists, pictures, position
    Rect look;                                        // document points red after OK and not before
    std::uint8_t itemType;
    std::vector<ItemField> item;
    int redPicture = -1;                              // the item's picture that shows the red look
};

class DataControlAfterOk : public ControlSheetDialogTest {
protected:
    // A variable at `address`; its row.
    int addVar(const char* name, const char* type, int address)
    {
        project->m_varTable.AppendRow(std::to_string(address), type, name, "0", "");
        return static_cast<int>(project->m_varTable.size()) - 1;
    }

    std::uint32_t addressOf(int row) const
    {
        std::int32_t address = -1;
        std::uint8_t type = 0;
        GetVariableAddress(*app, row, address, type);
        return static_cast<std::uint32_t>(address);
    }
    std::uint8_t typeOf(int row) const
    {
        std::int32_t address = -1;
        std::uint8_t type = 0;
        GetVariableAddress(*app, row, address, type);
        return type;
    }

    static void writePicture(const fs::path& file, Qt::GlobalColor color)
    {
        fs::create_directories(file.parent_path());
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(QString::fromStdU16String(file.u16string()), "BMP"));
    }

    // The open project compiled on this thread with the program's item compilers; the
    // image's bytes ("" when the compile failed, its log in `log`).
    std::string compileOpenProject(std::string& log)
    {
        std::optional<compile::CompileInput> input = compile::takeCompileInput(*app);
        if (!input)
            return {};
        ControlFontRegistry fonts;
        screen::WindowScreenCompiler screens(
            {[](const fs::path& file) { return loadPictureFile(file); }, app->BaseDir(), 1},
            items::itemCompilerTable(&fonts));
        ReportQueue reports;
        compile::CompileFlags flags;
        compile::CompileServices services;
        services.reports = &reports;
        services.flags = &flags;
        services.screens = &screens;
        const compile::CompileOutcome outcome = compile::runCompile(*input, services);
        reports.drain([&](Report& r) {
            if (auto* text = std::get_if<ReportText>(&r))
                log += text->gbk;
        });
        std::string bytes;
        if (!outcome.ok || !readWholeFile(outcome.image, bytes))
            return {};
        return bytes;
    }

    // The share of `area` (document points) the view paints red.
    static double redShare(const QImage& image, const Rect& area)
    {
        int red = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                red += image.pixelColor(x, y) == QColor(255, 0, 0);
        return double(red) / std::max(1, area.width() * area.height());
    }
};

TEST_F(DataControlAfterOk, ViewShowsTheNewLookAndTheCompiledItemTheNewValues)
{
    const int textVar = addVar("textVar", "unsigned char", 3000);
    const int curveVar = addVar("curveVar", "unsigned short", 3100);
    const int frameVar = addVar("frameVar", "unsigned short", 3200);
    const int barVar = addVar("barVar", "unsigned short", 3300);
    const fs::path projectPictures = app->m_strProjectDir / "UserPicture";
    writePicture(projectPictures / "green.bmp", Qt::green);
    writePicture(dir.path() / "outside" / "red.bmp", Qt::red);

    const Rect box{100, 100, 220, 160};
    const Rect inside{108, 108, 212, 152};  // clear of the selection handles
    const auto asU32 = [](int v) { return static_cast<std::uint32_t>(v); };
    const AfterOkCase cases[] = {
        {"character", ShapeKind::Character, nullptr,
         {{0, "backColor", Set::Color, int(kRed), 4, 4, kRed}, {0, "backTransparent", Set::Uncheck, 0, 8, 4, 0},
          {0, "allowChinese", Set::Uncheck, 0, 120, 4, 0}, {0, "charSpacing", Set::Text, 3, 24, 4, 3},
          {0, "lineSpacing", Set::Text, 2, 28, 4, 2}, {0, "maxChars", Set::Text, 40, 32, 4, 40},
          {0, "cursorWidth", Set::Text, 2, 84, 4, 2}, {1, "stringStart", Set::Combo, textVar, 36, 4, asU32(textVar)}},
         nullptr, inside, 13,
         {{3, 1, 0, 0x42}, {32, 4, kRed565}, {36, 4, addressOf(textVar)}, {48, 2, 40}, {50, 1, 3}, {51, 1, 2},
          {52, 2, 2}}},
        {"curve", ShapeKind::Curve, [](CDrawObj& obj) { blockWriteI32(obj.m_Params, blocks::curve::kCurveCount.offset, 0); },
         {{0, "backColor", Set::Color, int(kRed), 8, 4, kRed}, {0, "maximum", Set::Text, 1000, 36, 4, 1000},
          {0, "minimum", Set::Text, -20, 48, 4, asU32(-20)}, {0, "curveType", Set::Combo, 1, 880, 4, 1},
          {0, "interval", Set::Text, 51, 884, 4, 100}, {0, "shift", Set::Combo, 1, 876, 4, 1},
          {1, "samples", Set::Text, 20, 76, 4, 20}},
         [&](CMyPropertySheet& sheet) {
             dialogScript = [&](QDialog& d) {
                 auto* prop = dynamic_cast<CDlgCurveProp*>(&d);
                 if (!prop)
                     return false;
                 prop->variable()->setCurrentIndex(curveVar);
                 prop->findChild<ColorButton*>(QStringLiteral("color"))->setColor(kGreen);
                 return true;
             };
             QTest::mouseClick(sheet.tabs()->widget(1)->findChild<QPushButton*>(QStringLiteral("add")), Qt::LeftButton);
         },
         inside, 6,
         {{2, 1, 1}, {3, 1, 1}, {24, 4, 1000}, {28, 4, asU32(-20)}, {32, 4, 20}, {41, 1, 1}, {44, 2, 2}, {46, 2, 2},
          {52, 2, kRed565}, {56, 4, addressOf(curveVar)}, {60, 4, kGreen565}, {65, 1, typeOf(curveVar)}}},
        {"dynamic picture", ShapeKind::DynamicPicture,
         [&](CDrawObj& obj) {
             obj.m_strFiles = {"\\UserPicture\\green.bmp"};
             blockWriteI32(obj.m_Params, 64, frameVar);
             blockWriteU(obj.m_Params, 200, 4, 0);  // pictures in the system area
         },
         {{1, "playMode", Set::Radio, 1, 44, 1, 1}},
         [&](CMyPropertySheet& sheet) {
             // The red frame from outside the project replaces the green one.
             QWidget* frames = sheet.tabs()->widget(0);
             chosenFile = QString::fromStdU16String((dir.path() / "outside" / "red.bmp").u16string());
             QTest::mouseClick(frames->findChild<QPushButton*>(QStringLiteral("add")), Qt::LeftButton);
             frames->findChild<QTableWidget*>(QStringLiteral("frames"))->selectRow(0);
             QTest::mouseClick(frames->findChild<QPushButton*>(QStringLiteral("delete")), Qt::LeftButton);
         },
         inside, 4, {{2, 1, 1}, {16, 2, 1}, {20, 4, addressOf(frameVar)}}, 0},
        {"progress bar", ShapeKind::ProgressBar,
         [&](CDrawObj& obj) { blockWriteI32(obj.m_Params, 28, barVar); },
         {{0, "fillColor", Set::Color, int(kRed), 8, 4, kRed}, {0, "highlightColor", Set::Color, int(kRed), 12, 4, kRed},
          {0, "foreColor", Set::Color, int(kGreen), 20, 4, kGreen}, {0, "direction", Set::Combo, 2, 24, 1, 2},
          {0, "usePicture", Set::Uncheck, 0, 0, 4, 0}, {0, "noBackground", Set::Uncheck, 0, 4, 4, 0},
          {1, "maximum", Set::Text, 500, 40, 4, 500}, {1, "minimum", Set::Text, -100, 44, 4, asU32(-100)}},
         nullptr, inside, 7,
         {{2, 1, typeOf(barVar)}, {3, 1, 2}, {12, 4, kGreen565}, {16, 4, addressOf(barVar)}, {24, 4, 500},
          {28, 4, asU32(-100)}},
         0},
        {"area control", ShapeKind::AreaControl, nullptr, {},
         [](CMyPropertySheet& sheet) {
             sheet.tabs()->widget(0)->findChild<QRadioButton*>(QStringLiteral("behaviour3"))->click();
             auto* position = qobject_cast<PositionPageWidget*>(sheet.tabs()->widget(1));
             ASSERT_NE(position, nullptr);
             const int edges[] = {262, 262, 362, 302};  // window points
             for (int i = 0; i < 4; ++i)
                 position->edge(i)->setValue(edges[i]);
         },
         {306, 300, 344, 301}, 12, {{2, 1, 3}, {3, 1, 0}, {4, 2, 262}, {6, 2, 262}, {8, 2, 100}, {10, 2, 40}}},
    };
    for (const AfterOkCase& c : cases) {
        SCOPED_TRACE(c.name);
        CDrawObj* obj = addObject(box, c.kind);
        if (c.stored)
            c.stored(*obj);
        refreshVarRefs(c.kind, obj->m_Params, resolverFor(&project->m_varTable));
        view->SelectShape(obj);
        const double before = redShare(shown(), c.look);
        openSheet(*obj, [&](CMyPropertySheet& sheet) {
            for (const FieldRow& row : c.rows)
                clickRadios(sheet.tabs()->widget(row.tab), row);
            if (c.more)
                c.more(sheet);
            closeSheet(sheet, QDialogButtonBox::Ok);
        });
        dialogScript = nullptr;
        for (const FieldRow& row : c.rows)
            EXPECT_EQ(blockReadU(obj->m_Params, row.offset, row.width), row.expected) << row.widget;

        // The view shows the new look.
        const double after = redShare(shown(), c.look);
        EXPECT_LT(before, 0.25);
        EXPECT_GT(after, 0.5);

        // The compiled screen's item of the kind carries the new values.
        std::string log;
        const std::string bytes = compileOpenProject(log);
        ASSERT_FALSE(bytes.empty()) << log;
        const ReadImage image = readImage(bytes);
        ASSERT_EQ(image.error, "");
        ASSERT_FALSE(image.windows.empty());
        const ReadItem* item = nullptr;
        for (const ReadItem& i : image.windows[0].items)
            if (i.type == c.itemType)
                item = &i;
        ASSERT_NE(item, nullptr);
        for (const ItemField& f : c.item)
            EXPECT_EQ(readItemField(bytes, item->offset, f), f.value) << "item offset " << f.offset;
        if (c.redPicture >= 0) {
            ASSERT_GT(item->pictures.size(), static_cast<std::size_t>(c.redPicture));
            const Rect r = obj->m_rcPosition.normalized();
            const std::vector<std::uint16_t> pixels =
                readRunPixels(bytes, item->pictures[static_cast<std::size_t>(c.redPicture)],
                              static_cast<std::size_t>(r.width() * r.height()));
            ASSERT_EQ(pixels.size(), static_cast<std::size_t>(r.width() * r.height()));
            const auto red = std::count(pixels.begin(), pixels.end(), kRed565);
            EXPECT_GT(red, static_cast<std::ptrdiff_t>(pixels.size() / 2));
        }
        clearObjects();
    }
}

} // namespace
} // namespace qv::test
