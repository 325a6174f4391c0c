// A project with every control kind as the drawing tools make it, compiled through the real
// window compiler: the image reads clean item by item, its bytes stay the same from one
// build to the next (a hash pinned here, so a faster compile cannot change the image), and
// hostile parameter blocks either compile to an image that reads clean or are refused with
// a message, never a crash or an item that overruns the next.
#include "compiler/items/install_items.h"
#include "compiler/screen/window_compiler.h"
#include "model/document/draw_doc.h"
#include "model/paint/control_font_registry.h"
#include "model/params/kind_defaults.h"
#include "model/params/var_refs.h"
#include "model/shape/shape_kind.h"
#include "model/vars/hmi_var_table.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/compiler/image_reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>

namespace qv::test {
namespace {

constexpr int kMargin = 38;

// The tools' defaults: variables go into the project's table, pictures keep their names
// (the test's loader makes a picture for any name).
class TableDefaultsHost final : public KindDefaultsHost {
public:
    explicit TableDefaultsHost(HmiVarTable& table) : table_(table) {}
    AddVarOutcome FindOrAddHmiVar(std::string_view type, std::string_view name, std::string_view initial,
                                  std::string_view description) override
    {
        return findOrAddVarRow(table_, type, name, initial, description, 2 * varTableEnd(table_));
    }
    VarBinding ResolveVar(std::int32_t row) override { return varBindingOf(table_, row); }
    std::string CopyUserPicture(std::string_view stored) override { return std::string(stored); }
    void RebuildSimulation() override {}
    void WriteSysVarHeader() override {}
    void ShowError(std::string_view) override {}

private:
    HmiVarTable& table_;
};

// A picture for any file: its colours follow the name, so frames differ.
PicturePtr namedPicture(const std::filesystem::path& p)
{
    auto pic = std::make_shared<Picture>();
    const auto n = static_cast<ColorRef>(p.string().size());
    pic->pixels.reset(9, 7, (n * 0x00103070u) & 0x00FFFFFFu);
    pic->pixels.fillRect(Rect{2, 2, 6, 5}, 0x000000FF);
    return pic;
}

constexpr ShapeKind kControlKinds[] = {ShapeKind::Button, ShapeKind::DynamicPicture, ShapeKind::RealTimeNumber,
                                       ShapeKind::NumericInput, ShapeKind::Curve, ShapeKind::Indicator,
                                       ShapeKind::BitSwitch, ShapeKind::RadioButton, ShapeKind::ProgressBar,
                                       ShapeKind::Character, ShapeKind::AreaControl};

std::unique_ptr<CDrawRect> madeByTool(ShapeKind kind, Rect r, TableDefaultsHost& host)
{
    auto o = std::make_unique<CDrawRect>(r);
    o->SetKind(kind);
    applyKindDefaults(*o, host);
    o->m_bControl = 1;
    return o;
}

// Window `w`: two shapes under every control kind; in the second window the area control is
// the editing form, whose font tables the third window's shares.
std::string windowWithEveryKind(int w, int width, int height, TableDefaultsHost& host,
                                const std::function<void(CDrawRect&)>& change = nullptr)
{
    CDrawDoc doc;
    doc.m_nMarginX = doc.m_nMarginY = kMargin;
    doc.m_nWindowWidth = width;
    doc.m_nWindowHeight = height;
    doc.m_paperColor = 0x00E0D0C0u + static_cast<ColorRef>(w);
    auto rect = std::make_unique<CDrawRect>(Rect{kMargin + 4, kMargin + 4, kMargin + 300, kMargin + 200});
    rect->SetKind(ShapeKind::Rectangle);
    rect->m_brushInfo.color = 0x00336699;
    doc.AddObject(std::move(rect));
    auto ellipse = std::make_unique<CDrawRect>(Rect{kMargin + 200, kMargin + 100, kMargin + 520, kMargin + 300});
    ellipse->SetKind(ShapeKind::Ellipse);
    doc.AddObject(std::move(ellipse));
    int c = 0;
    for (const ShapeKind kind : kControlKinds) {
        const int x = kMargin + 8 + (c % 6) * 130, y = kMargin + 8 + (c / 6) * 110 + 10 * w;
        ++c;
        auto o = madeByTool(kind, Rect{x, y, x + 110, y + 80}, host);
        if (kind == ShapeKind::AreaControl && w > 0) {
            o->SetParamU8(0, 4);
            o->m_logfont.lfHeight = -12;
        }
        if (change)
            change(*o);
        doc.AddObject(std::move(o));
    }
    return doc.SerializeToBytes();
}

struct Compiled {
    bool ok = false;
    std::string log, image;
    bool imageExists = false;
};

Compiled compileProject(const std::function<void(CompileFixture&, TableDefaultsHost&)>& fill,
                        const std::function<void(compile::CompileInput&)>& adjust = nullptr)
{
    CompileFixture f;
    TableDefaultsHost host(f.input.variables);
    fill(f, host);
    if (adjust)
        adjust(f.input);
    ControlFontRegistry fonts;
    screen::WindowScreenCompiler compiler(screen::WindowRenderServices{namedPicture, f.dir.path(), 1},
                                          items::itemCompilerTable(&fonts));
    Compiled c;
    c.ok = f.compile(&compiler).ok;
    c.log = f.takeLog();
    c.imageExists = f.imageExists();
    if (c.ok)
        c.image = f.readImage();
    return c;
}

// One option group of a kind's block: its use flag (a byte or an int), its variable index
// and, for bit references, the bit number.
struct Group {
    ShapeKind kind;
    int use;
    bool byteUse;
    int index;
    int bit; // -1: a word reference
};
constexpr Group kGroups[] = {
    // hide
    {ShapeKind::Button, 126, true, 172, 272}, {ShapeKind::DynamicPicture, 77, true, 84, 168},
    {ShapeKind::RealTimeNumber, 107, true, 112, 360}, {ShapeKind::Curve, 853, true, 860, 916},
    {ShapeKind::Indicator, 27, true, 32, 100}, {ShapeKind::BitSwitch, 30, true, 36, 160},
    {ShapeKind::RadioButton, 15, true, 44, 160}, {ShapeKind::ProgressBar, 49, true, 56, 120},
    {ShapeKind::Character, 64, false, 68, 324},
    // write enable
    {ShapeKind::Button, 212, false, 216, 300}, {ShapeKind::RealTimeNumber, 176, false, 180, 388},
    {ShapeKind::BitSwitch, 52, false, 56, 188}, {ShapeKind::RadioButton, 64, false, 68, 188},
    {ShapeKind::Character, 188, false, 192, 352},
    // move
    {ShapeKind::DynamicPicture, 76, true, 80, -1}, {ShapeKind::RealTimeNumber, 106, true, 108, -1},
    {ShapeKind::Character, 48, false, 52, -1},
    // font and background colour
    {ShapeKind::RealTimeNumber, 144, false, 148, -1}, {ShapeKind::RealTimeNumber, 160, false, 164, -1},
    {ShapeKind::Character, 156, false, 160, -1}, {ShapeKind::Character, 172, false, 176, -1},
};

// Every group of the control switched on and bound to a variable, bit references to bits
// above 7 (a later byte of their variable); the number shown as a float in a turned byte order.
std::function<void(CDrawRect&)> everyBranch(TableDefaultsHost& host)
{
    const int row = host.FindOrAddHmiVar("unsigned int", "m_Branches", "0", "").row;
    return [row, &host](CDrawRect& o) {
        int n = 0;
        for (const Group& g : kGroups) {
            if (g.kind != o.Kind())
                continue;
            if (g.byteUse)
                o.SetParamU8(static_cast<std::size_t>(g.use), 1);
            else
                o.SetParamI32(static_cast<std::size_t>(g.use), 1);
            o.SetParamI32(static_cast<std::size_t>(g.index), row);
            if (g.bit >= 0)
                o.SetParamI32(static_cast<std::size_t>(g.bit), 9 + 2 * n++);
        }
        if (o.Kind() == ShapeKind::RealTimeNumber) {
            o.SetParamI32(396, 1); // shown as a float
            o.SetParamI32(392, 3); // its byte order
        }
        refreshVarRefs(o.Kind(), o.m_Params, [&host](std::int32_t r) { return host.ResolveVar(r); });
    };
}

void everyKindProject(CompileFixture& f, TableDefaultsHost& host)
{
    f.input.screens.push_back({"one.drw", true, 13, windowWithEveryKind(0, 800, 480, host)});
    f.input.screens.push_back({"two.drw", true, 13, windowWithEveryKind(1, 800, 480, host, everyBranch(host))});
    f.input.subWindows.push_back({"three.dlg", true, 13, windowWithEveryKind(2, 640, 400, host)});
}

std::uint64_t fnv1a(const std::string& s)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char ch : s) {
        h ^= static_cast<unsigned char>(ch);
        h *= 0x100000001b3ull;
    }
    return h;
}

TEST(EveryKindImage, ReadsCleanItemByItemOnEveryPageSizeAndTurnedPanel)
{
    struct Case {
        const char* name;
        std::function<void(compile::CompileInput&)> adjust;
    };
    const Case cases[] = {
        {"512-byte pages", nullptr},
        {"2048-byte pages", [](compile::CompileInput& in) { in.settings[70] = 1; }},
        {"turned panel", [](compile::CompileInput& in) { in.settings[264] = 1; }},
    };
    const std::vector<std::uint8_t> window{2, 4, 3, 5, 6, 8, 9, 10, 7, 13, 12};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const Compiled c = compileProject(everyKindProject, k.adjust);
        ASSERT_TRUE(c.ok) << c.log;
        const ReadImage read = readImage(c.image);
        ASSERT_EQ(read.error, "");
        ASSERT_EQ(read.windows.size(), 3u);
        for (std::size_t w = 0; w < 3; ++w) {
            std::vector<std::uint8_t> types;
            for (const ReadItem& i : read.windows[w].items)
                if (i.type != 0 && i.type != 1 && i.type != 11)
                    types.push_back(i.type);
            EXPECT_EQ(types, window) << "window " << w;
        }
        // The third window's editing form names the second one's tables.
        const ReadItem& area = read.windows[2].items.back();
        ASSERT_EQ(area.type, 12);
        EXPECT_EQ(std::uint8_t(c.image[area.offset + 3]) & 0xC0, 0xC0);
        EXPECT_TRUE(area.pictures.size() <= 4u);
    }

    // The reader is strict: a curve that claims one curve more overruns its record.
    Compiled c = compileProject(everyKindProject);
    ASSERT_TRUE(c.ok);
    ReadItem curve;
    const ReadImage clean = readImage(c.image);
    ASSERT_EQ(clean.error, "");
    for (const ReadItem& i : clean.windows.at(0).items)
        if (i.type == 6)
            curve = i;
    ASSERT_EQ(curve.type, 6);
    ++c.image[curve.offset + 2];
    EXPECT_NE(readImage(c.image).error, "");
}

TEST(EveryKindImage, BytesArePinned)
{
    const Compiled c = compileProject(everyKindProject);
    ASSERT_TRUE(c.ok) << c.log;
    // Changing this value means the image the panel reads has changed: only with a reason.
    EXPECT_EQ(fnv1a(c.image), 0x3f30bae5f2fa3b90ull) << std::hex << fnv1a(c.image) << " of " << std::dec << c.image.size() << " bytes";
}

// A parameter block a damaged or hostile window file can hold.
struct HostileCase {
    const char* name;
    ShapeKind kind;
    std::function<void(CDrawRect&)> spoil;
};

void setI32(CDrawRect& o, std::initializer_list<std::pair<int, std::int32_t>> fields)
{
    for (const auto& [at, v] : fields)
        o.SetParamI32(at, v);
}

TEST(EveryKindImage, HostileBlocksCompileCleanOrAreRefused)
{
    const HostileCase cases[] = {
        {"curve count above the block's records", ShapeKind::Curve, [](CDrawRect& o) { setI32(o, {{80, 65}}); }},
        {"curve count negative", ShapeKind::Curve, [](CDrawRect& o) { setI32(o, {{80, -1}}); }},
        {"curve count the largest int", ShapeKind::Curve, [](CDrawRect& o) { setI32(o, {{80, INT_MAX}}); }},
        {"curve variable beyond the table", ShapeKind::Curve, [](CDrawRect& o) { setI32(o, {{80, 1}, {84, INT_MAX}}); }},
        {"curve interval and hide bit at the int's ends", ShapeKind::Curve,
         [](CDrawRect& o) { setI32(o, {{884, INT_MIN}, {916, INT_MIN}, {76, INT_MAX}}); }},
        {"curve grid counts huge", ShapeKind::Curve, [](CDrawRect& o) { setI32(o, {{24, INT_MAX}, {28, INT_MAX}, {44, INT_MAX}}); }},
        {"numeric input cell the largest int", ShapeKind::NumericInput, [](CDrawRect& o) { setI32(o, {{16, INT_MAX}, {20, INT_MAX}}); }},
        {"numeric input cell negative", ShapeKind::NumericInput, [](CDrawRect& o) { setI32(o, {{16, -8}, {20, -16}}); }},
        {"numeric input cell of a megabit", ShapeKind::NumericInput, [](CDrawRect& o) { setI32(o, {{16, 1024}, {20, 1024}}); }},
        {"character cell the largest int", ShapeKind::Character, [](CDrawRect& o) { setI32(o, {{16, INT_MAX}, {20, INT_MAX}, {120, 0}}); }},
        {"character cell negative", ShapeKind::Character, [](CDrawRect& o) { setI32(o, {{16, -1}, {20, -1}, {120, 0}}); }},
        {"character lengths and bits at the int's ends", ShapeKind::Character,
         [](CDrawRect& o) { setI32(o, {{32, -1}, {84, INT_MAX}, {324, INT_MIN}, {352, INT_MIN}, {120, 0}}); }},
        {"real-time number cells huge", ShapeKind::RealTimeNumber, [](CDrawRect& o) { setI32(o, {{96, INT_MAX}, {100, INT_MAX}}); }},
        {"real-time number cells negative", ShapeKind::RealTimeNumber, [](CDrawRect& o) { setI32(o, {{96, -4}, {100, -4}, {140, -4}}); }},
        {"real-time number border and digits huge", ShapeKind::RealTimeNumber,
         [](CDrawRect& o) { setI32(o, {{40, INT_MAX}, {48, 1}, {68, INT_MAX}, {72, INT_MAX}}); }},
        {"area editing form with the smallest font height", ShapeKind::AreaControl,
         [](CDrawRect& o) { o.SetParamU8(0, 4); o.m_logfont.lfHeight = INT_MIN; }},
        {"area opening a window whose name is not there", ShapeKind::AreaControl,
         [](CDrawRect& o) { o.SetParamU8(0, 1); o.m_strName = std::string(300, 'x'); }},
        {"area function code unknown", ShapeKind::AreaControl, [](CDrawRect& o) { o.SetParamU8(0, 200); }},
        {"dynamic picture frame variable beyond the table", ShapeKind::DynamicPicture, [](CDrawRect& o) { setI32(o, {{64, INT_MAX}}); }},
        {"dynamic picture hide bit and mode at the ends", ShapeKind::DynamicPicture,
         [](CDrawRect& o) { setI32(o, {{168, INT_MIN}}); o.SetParamU8(44, 255); }},
        {"dynamic picture without frames", ShapeKind::DynamicPicture, [](CDrawRect& o) { o.m_strFiles.clear(); }},
        {"button hide bit and state at the ends", ShapeKind::Button,
         [](CDrawRect& o) { setI32(o, {{272, INT_MIN}, {300, INT_MIN}}); o.SetParamU8(121, 255); }},
        {"bit switch bit number and function out of range", ShapeKind::BitSwitch,
         [](CDrawRect& o) { o.SetParamU8(25, 255); o.SetParamU8(26, 200); setI32(o, {{160, INT_MIN}, {188, INT_MAX}}); }},
        {"indicator bit number out of range", ShapeKind::Indicator, [](CDrawRect& o) { o.SetParamU8(25, 255); setI32(o, {{100, INT_MIN}}); }},
        {"radio value and bits at the ends", ShapeKind::RadioButton, [](CDrawRect& o) { setI32(o, {{4, INT_MIN}, {160, INT_MAX}}); }},
        {"progress bar with an empty range", ShapeKind::ProgressBar, [](CDrawRect& o) { setI32(o, {{40, 5}, {44, 5}, {24, 200}}); }},
        {"progress bar range across the whole int", ShapeKind::ProgressBar, [](CDrawRect& o) { setI32(o, {{40, INT_MIN}, {44, INT_MAX}}); }},
        {"a control placed beyond any canvas", ShapeKind::Button,
         [](CDrawRect& o) { o.m_rcPosition = Rect{INT_MAX - 10, INT_MAX - 10, INT_MAX, INT_MAX}; }},
        {"a hidden control reaching to the int's end (its region would be billions of pixels)", ShapeKind::Button,
         [](CDrawRect& o) { o.m_rcPosition.right = o.m_rcPosition.bottom = INT_MAX; o.SetParamU8(126, 1); }},
    };
    for (const HostileCase& k : cases) {
        SCOPED_TRACE(k.name);
        const Compiled c = compileProject([&](CompileFixture& f, TableDefaultsHost& host) {
            CDrawDoc doc;
            doc.m_nMarginX = doc.m_nMarginY = kMargin;
            doc.m_nWindowWidth = 240;
            doc.m_nWindowHeight = 160;
            auto o = madeByTool(k.kind, Rect{kMargin + 20, kMargin + 20, kMargin + 150, kMargin + 110}, host);
            k.spoil(*o);
            doc.AddObject(std::move(o));
            f.input.screens.push_back({"h.drw", true, 1, doc.SerializeToBytes()});
        });
        if (c.ok) {
            EXPECT_EQ(readImage(c.image).error, "");
        } else {
            EXPECT_NE(c.log.find("编译出错!!"), std::string::npos) << c.log;
            EXPECT_FALSE(c.imageExists);
        }
    }
}

} // namespace
} // namespace qv::test
