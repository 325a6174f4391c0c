#include "gen/special_windows/special_windows.h"

#include "model/document/document_environment.h"
#include "model/params/blocks/area_block.h"
#include "model/params/blocks/button_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/kind_defaults.h"
#include "model/params/var_refs.h"
#include "model/vars/hmi_var_table.h"
#include "platform/files/atomic_file.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

#include <vector>

namespace qv::gen {

namespace {

using enum ElementType;

// A dialog's face covers it; the note and its buttons sit below.
constexpr Rect kNote{10, 20, 230, 50};
constexpr Rect kSingleButton{80, 70, 160, 104};
constexpr Rect kLeftButton{30, 70, 110, 104};
constexpr Rect kRightButton{130, 70, 210, 104};

// The keyboards: one row of key names per line; a key spans `units` cells.
struct KeyCell {
    std::string_view key;   // the key name of its function text
    std::string_view face;  // empty: the key name
    int units = 1;
};

constexpr int kKeyPitch = 42;
constexpr int kKeySize = 40;

constexpr KeyCell kKeyboardRows[][14] = {
    {{"`或~", "`~"}, {"1"}, {"2"}, {"3"}, {"4"}, {"5"}, {"6"}, {"7"}, {"8"}, {"9"}, {"0"}, {"-"}, {"=或+", "=+"}, {"后退"}},
    {{"Q"}, {"W"}, {"E"}, {"R"}, {"T"}, {"Y"}, {"U"}, {"I"}, {"O"}, {"P"}, {"[或{", "[{"}, {"]或}", "]}"}, {"\\或|", "\\|"}, {"清除"}},
    {{"Capslk", "Caps"}, {"A"}, {"S"}, {"D"}, {"F"}, {"G"}, {"H"}, {"J"}, {"K"}, {"L"}, {";或:", ";:"}, {"'或\"", "'\""}, {"Enter", "Enter", 2}},
    {{"Shift", "Shift", 2}, {"Z"}, {"X"}, {"C"}, {"V"}, {"B"}, {"N"}, {"M"}, {",或<", ",<"}, {"."}, {"/或?", "/?"}, {"取消", "取消", 2}},
    {{"PingYinSwitch", "拼音", 3}, {"空格", "空格", 11}},
};

constexpr KeyCell kKeypadRows[][4] = {
    {{"7"}, {"8"}, {"9"}, {"后退"}},
    {{"4"}, {"5"}, {"6"}, {"清除"}},
    {{"1"}, {"2"}, {"3"}, {"取消"}},
    {{"0"}, {"."}, {"-"}, {"确定"}},
};

template <std::size_t R, std::size_t N>
void addKeyRows(std::vector<Element>& out, const KeyCell (&rows)[R][N], int left, int top)
{
    for (std::size_t r = 0; r < R; ++r) {
        int x = left;
        const int y = top + static_cast<int>(r) * kKeyPitch;
        for (const KeyCell& cell : rows[r]) {
            if (cell.key.empty())
                break;
            const int width = cell.units * kKeyPitch - (kKeyPitch - kKeySize);
            out.push_back({Key, {x, y, x + width, y + kKeySize}, cell.face.empty() ? cell.key : cell.face, cell.key});
            x += cell.units * kKeyPitch;
        }
    }
}

std::vector<Element> keyboard()
{
    std::vector<Element> e{{Candidates, {6, 6, 594, 40}, {}, {}}};
    addKeyRows(e, kKeyboardRows, 6, 48);
    return e;
}

std::vector<Element> keypad(std::string_view prompt)
{
    std::vector<Element> e;
    int top = 8;
    if (!prompt.empty()) {
        e.push_back({Text, {8, 8, 184, 32}, prompt, {}});
        top = 36;
    }
    e.push_back({Entry, {8, top, 184, top + 32}, {}, {}});
    addKeyRows(e, kKeypadRows, 8, top + 40);
    return e;
}

// A note with one button that closes it.
std::vector<Element> note(std::string_view text)
{
    return {{Text, kNote, text, {}}, {Key, kSingleButton, "确定", "取消"}};
}

// A question whose OK runs the action the run time ties to the window.
std::vector<Element> question(std::string_view text)
{
    return {{Text, kNote, text, {}}, {Key, kLeftButton, "确定", "确定"}, {Key, kRightButton, "取消", "取消"}};
}

std::vector<Element> settingsScreen()
{
    return {
        {Text, {20, 10, 380, 40}, "系统设置", {}},
        {Text, {20, 60, 140, 90}, "背光亮度", {}},
        {Value, {150, 60, 250, 90}, {}, {}, 9},
        {Text, {20, 100, 140, 130}, "背光延时", {}},
        {Value, {150, 100, 250, 130}, {}, {}, 10},
        {Text, {20, 140, 140, 170}, "按键声音", {}},
        {Value, {150, 140, 250, 170}, {}, {}, 11},
        {Function, {20, 190, 110, 225}, "触摸屏校准", "触摸屏校准"},
        {Function, {115, 190, 205, 225}, "系统登陆", "系统登陆"},
        {Function, {210, 190, 300, 225}, "系统注销", "系统注销"},
        {Function, {305, 190, 395, 225}, "系统保存", "系统保存"},
    };
}

struct StoredLayout {
    std::string_view fileName;
    int width;
    int height;
    std::vector<Element> elements;
};

const std::vector<StoredLayout>& storedLayouts()
{
    static const std::vector<StoredLayout> layouts{
        {"系统键盘.dlg", 600, 264, keyboard()},
        {"数字键盘.dlg", 192, 216, keypad({})},
        {"系统登陆.dlg", 192, 244, keypad("请输入密码")},
        {"权限警告.dlg", 240, 120, note("权限不够,请先登陆!")},
        {"密码错误.dlg", 240, 120, note("密码错误!")},
        {"串口1无响应.dlg", 240, 120, note("串口1无响应!")},
        {"串口2无响应.dlg", 240, 120, note("串口2无响应!")},
        {"注销确认.dlg", 240, 120, question("确定要注销吗?")},
        {"已经注销.dlg", 240, 120, note("已经注销!")},
        {"保存确认.dlg", 240, 120, question("确定保存系统设置吗?")},
        {"系统设置.drw", 800, 480, settingsScreen()},
    };
    return layouts;
}

ShapeKind kindOf(ElementType type)
{
    switch (type) {
    case Text: return ShapeKind::Text;
    case Key:
    case Function: return ShapeKind::Button;
    case Entry: return ShapeKind::NumericInput;
    case Value: return ShapeKind::RealTimeNumber;
    case Candidates: return ShapeKind::AreaControl;
    }
    return ShapeKind::Rectangle;
}

class GeneratorHost : public KindDefaultsHost {
public:
    GeneratorHost(const HmiVarTable& table, const std::filesystem::path& baseDir, const std::filesystem::path& pictureDir)
        : table_(table), baseDir_(baseDir), pictureDir_(pictureDir)
    {
    }
    AddVarOutcome FindOrAddHmiVar(std::string_view, std::string_view, std::string_view, std::string_view) override
    {
        return {};
    }
    VarBinding ResolveVar(std::int32_t row) override { return varBindingOf(table_, row); }
    std::string CopyUserPicture(std::string_view stored) override
    {
        const auto parts = splitGbk(stored, '\\');
        const std::string name = parts.empty() ? std::string() : parts.back();
        const auto source = resolveStoredPath(baseDir_, stored);
        const auto dest = resolveStoredPath(pictureDir_, name);
        std::string bytes;
        std::error_code ec;
        if (source && dest && readWholeFile(*source, bytes)) {
            std::filesystem::create_directories(pictureDir_, ec);
            writeFileAtomically(*dest, bytes);
        }
        return "\\UserPicture\\" + name;
    }
    void RebuildSimulation() override {}
    void WriteSysVarHeader() override {}
    void ShowError(std::string_view) override {}

private:
    const HmiVarTable& table_;
    std::filesystem::path baseDir_;
    std::filesystem::path pictureDir_;
};

} // namespace

std::span<const WindowLayout> specialWindowLayouts()
{
    static const std::vector<WindowLayout> views = [] {
        std::vector<WindowLayout> v;
        for (const StoredLayout& s : storedLayouts())
            v.push_back({s.fileName, s.width, s.height, s.elements});
        return v;
    }();
    return views;
}

SpecialWindowBuilder::SpecialWindowBuilder(std::filesystem::path baseDir, std::filesystem::path pictureDir)
    : baseDir_(std::move(baseDir)), pictureDir_(std::move(pictureDir))
{
}

std::unique_ptr<CDrawDoc> SpecialWindowBuilder::Build(const WindowLayout& layout)
{
    auto doc = std::make_unique<CDrawDoc>();
    // The 16 system rows are the same in every project, so the settings screen binds them.
    doc->InitSystemVariables();
    doc->SetTitle(std::string(layout.fileName));
    doc->m_ptWindowOrigin = {0, 0};
    doc->m_nWindowWidth = layout.width;
    doc->m_nWindowHeight = layout.height;
    GeneratorHost host(doc->m_varTable, baseDir_, pictureDir_);
    const Point margins = documentEnvironment().PageMargins();
    const auto place = [&](const Rect& r) {
        return Rect{margins.x + r.left, margins.y + r.top, margins.x + r.right, margins.y + r.bottom};
    };

    const bool dialog = layout.fileName.ends_with(".dlg");
    if (dialog) {
        CDrawObj* face = doc->AddObject(std::make_unique<CDrawRect>(place({0, 0, layout.width, layout.height})));
        face->SetKind(ShapeKind::Rectangle);
        applyKindDefaults(*face, host);
    }
    for (const Element& e : layout.elements) {
        CDrawObj* obj = doc->AddObject(std::make_unique<CDrawRect>(place(e.box)));
        obj->SetKind(kindOf(e.type));
        applyKindDefaults(*obj, host);
        // No reference points into a table the importing project does not have.
        const VarResolver resolve = [&](std::int32_t row) { return varBindingOf(doc->m_varTable, row); };
        clearVarRefs(obj->Kind(), obj->m_Params, resolve);
        switch (e.type) {
        case Text: obj->m_strName = std::string(e.label); break;
        case Key:
        case Function:
            obj->m_strName = std::string(e.label);
            obj->m_strFiles.resize(std::max<std::size_t>(obj->m_strFiles.size(), blocks::button::kFunctionEntry + 1));
            obj->m_strFiles[blocks::button::kFunctionEntry] =
                e.type == Key ? blocks::button::keyFunctionText(e.action) : std::string(e.action);
            break;
        case Value:
            obj->SetParam(blocks::number::kValueIndex, e.row);
            refreshVarRefs(obj->Kind(), obj->m_Params, resolve);
            break;
        case Candidates: obj->SetParam(blocks::area::kBehaviour, blocks::area::kCandidateBar); break;
        case Entry: break;
        }
    }
    return doc;
}

} // namespace qv::gen
