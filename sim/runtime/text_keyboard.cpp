#include "sim/runtime/text_keyboard.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "model/app/editor_app.h"
#include "model/paint/controls/character_painters.h"
#include "model/params/block_bytes.h"
#include "model/params/blocks/character_block.h"
#include "model/project/system_windows.h"
#include "model/shape/draw_obj.h"
#include "model/vars/hmi_vars.h"
#include "platform/text/gbk.h"

namespace qv::sim {
namespace {

// The character control as a text target.
using namespace blocks::character;

constexpr std::size_t kMaxPinyinLetters = 7;
constexpr std::string_view kTextKeyboard = syswin::SystemKeyboard;

// Digit and symbol keys: the character without and with shift.
struct SymbolKey {
    std::string_view name;
    char plain, shifted;
};
constexpr std::array<SymbolKey, 22> kSymbolKeys{{
    {"0", '0', ')'}, {"1", '1', '!'}, {"2", '2', '@'}, {"3", '3', '#'}, {"4", '4', '$'},
    {"5", '5', '%'}, {"6", '6', '^'}, {"7", '7', '&'}, {"8", '8', '*'}, {"9", '9', '('},
    {"-", '-', '_'}, {".", '.', '>'}, {"`或~", '`', '~'}, {"=或+", '=', '+'}, {"[或{", '[', '{'},
    {"]或}", ']', '}'}, {"\\或|", '\\', '|'}, {";或:", ';', ':'}, {"'或\"", '\'', '"'}, {",或<", ',', '<'},
    {"/或?", '/', '?'}, {"空格", ' ', ' '},
}};

bool on(const CDrawObj& obj, Field<std::int32_t> f) { return obj.Param(f) != 0; }

// The control's string as it stands in the live bank (up to its NUL, never past the capacity).
struct StringArea {
    std::int64_t address = -1;
    std::int64_t capacity = 0;
    std::string text;
    bool valid() const { return capacity > 0 && isValidVarRange(address, capacity); }
};

StringArea readString(const CEditorApp& app, const CDrawObj& obj)
{
    StringArea s;
    s.address = obj.Param(kStringAddress);
    s.capacity = obj.Param(kStringLength);
    if (!s.valid())
        return s;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(s.capacity));
    app.m_VarMemRun.readBytes(s.address, bytes);
    const auto nul = std::find(bytes.begin(), bytes.end(), 0);
    s.text.assign(bytes.begin(), nul);
    if (static_cast<std::int64_t>(s.text.size()) > s.capacity - 1)
        s.text.resize(static_cast<std::size_t>(s.capacity - 1)); // no NUL inside: the last byte is its place
    return s;
}

void writeString(CEditorApp& app, const StringArea& s)
{
    std::vector<std::uint8_t> bytes(s.text.begin(), s.text.end());
    bytes.push_back(0);
    app.m_VarMemRun.writeBytes(s.address, bytes);
    app.m_VarMem.writeBytes(s.address, bytes);
}

// The caret index held on a character start inside the text.
std::size_t caretIndex(const CEditorApp& app, const std::string& text)
{
    const std::size_t wanted = static_cast<std::size_t>(std::max(0, app.m_nInputCaretIndex));
    std::size_t i = 0;
    while (i < text.size() && i < wanted)
        i += gbkCharLength(text, i);
    return std::min(i, text.size());
}

void convert(CEditorApp& app, const CDrawObj& obj, const std::string& text)
{
    // The first row (index 0) is passed over like no variable (-1).
    if (!on(obj, kConvertOn) || obj.Param(kConvertIndex) <= 0)
        return;
    InputTextFormat f;
    f.typeCode = obj.Param(kConvertType);
    f.hex = on(obj, kConvertHex);
    std::int64_t value = ParseInputText(text, f);
    const bool clamp = app.m_bConvertClamp.load() != 0 && FindWindowIndex(app, kTextKeyboard) != 0xFF &&
                       app.m_strSimSysWindow != kTextKeyboard;
    if (clamp)
        value = std::clamp<std::int64_t>(value, obj.Param(kConvertMin), obj.Param(kConvertMax));
    const std::int64_t address = obj.Param(kConvertAddress);
    app.m_VarMemRun.writeTyped(address, f.typeCode, value);
    OnClockVariableWritten(app, app.m_PanelClock, address);
}

// The focus point moves with the caret: one cell right, wrapping at the right edge.
void advanceFocus(CEditorApp& app, const CDrawObj& obj, bool doubleByte)
{
    const Rect r = obj.m_rcPosition.normalized();
    const int width = obj.Param(kCellWidth);
    const std::int64_t x = std::int64_t{app.m_ptCaret.x} + obj.Param(kCharSpacing) + width / 2;
    const std::int64_t reach = x + (doubleByte ? width : width / 2);
    if (reach > r.right) {
        app.m_ptCaret.x = r.left;
        app.m_ptCaret.y = saturateToInt(std::int64_t{app.m_ptCaret.y} + obj.Param(kLineSpacing) + obj.Param(kCellHeight));
    } else {
        app.m_ptCaret.x = saturateToInt(x);
    }
}

// Inserts `bytes` at the caret when the whole run and the NUL fit; false otherwise.
bool insertAtCaret(CEditorApp& app, CDrawObj& obj, std::string_view bytes)
{
    StringArea s = readString(app, obj);
    if (!s.valid() || static_cast<std::int64_t>(s.text.size() + bytes.size()) > s.capacity - 1)
        return false; // a full string refuses the key and keeps its tail
    const std::size_t at = caretIndex(app, s.text);
    s.text.insert(at, bytes);
    writeString(app, s);
    app.m_nInputCaretIndex = static_cast<int>(at + bytes.size());
    const bool doubleByte = bytes.size() == 2 && isGbkLeadByte(static_cast<unsigned char>(bytes[0]));
    if (bytes == "\r\n") {
        const Rect r = obj.m_rcPosition.normalized();
        const std::int64_t down = std::int64_t{obj.Param(kLineSpacing)} + obj.Param(kCellHeight);
        if (app.m_ptCaret.y + down + obj.Param(kCellHeight) < r.bottom) {
            app.m_ptCaret.x = r.left;
            app.m_ptCaret.y = saturateToInt(app.m_ptCaret.y + down);
        }
    } else {
        advanceFocus(app, obj, doubleByte);
    }
    convert(app, obj, s.text);
    return true;
}

void backspace(CEditorApp& app, CDrawObj& obj)
{
    StringArea s = readString(app, obj);
    if (!s.valid())
        return;
    const std::size_t at = caretIndex(app, s.text);
    // The character before the caret, found by walking from the start (a trail byte may look
    // like ASCII); a CR LF pair goes as one.
    std::size_t prev = 0, i = 0;
    while (i < at) {
        prev = i;
        i += (s.text.compare(i, 2, "\r\n") == 0) ? 2 : gbkCharLength(s.text, i);
    }
    if (at == 0)
        return;
    s.text.erase(prev, at - prev);
    writeString(app, s);
    app.m_nInputCaretIndex = static_cast<int>(prev);
    const int cell = obj.Param(kCharSpacing) + obj.Param(kCellWidth) / 2;
    const Rect r = obj.m_rcPosition.normalized();
    app.m_ptCaret.x = std::max(r.left, saturateToInt(std::int64_t{app.m_ptCaret.x} - cell));
    convert(app, obj, s.text);
}

void clearString(CEditorApp& app, CDrawObj& obj)
{
    StringArea s = readString(app, obj);
    if (!s.valid())
        return;
    s.text.clear();
    writeString(app, s);
    app.m_nInputCaretIndex = 0;
    const Rect r = obj.m_rcPosition.normalized();
    app.m_ptCaret = {r.left, r.top};
    convert(app, obj, s.text);
}

std::string pinyinLetters(const CEditorApp& app)
{
    return std::string(app.m_szPinyin.data(), strnlen(app.m_szPinyin.data(), app.m_szPinyin.size()));
}

void setPinyinLetters(CEditorApp& app, const std::string& letters)
{
    app.m_szPinyin.fill(0);
    std::memcpy(app.m_szPinyin.data(), letters.data(), std::min(letters.size(), app.m_szPinyin.size() - 1));
}

// The character a key gives the target, or nothing.
std::optional<std::string> characterOf(const CEditorApp& app, const CDrawObj& obj, std::string_view key)
{
    const bool shift = app.m_bShiftLatch.load() != 0;
    const bool caps = app.m_bCapsLock.load() != 0;
    if (key.size() == 1 && key[0] >= '0' && key[0] <= '9' && on(obj, kDigits) && !shift)
        return std::string(1, key[0]);
    if ((key == "-" && on(obj, kMinus) && !shift) || (key == "." && on(obj, kDecimalPoint) && !shift))
        return std::string(key);
    if (key == "Enter")
        return std::string("\r\n");
    if (!on(obj, kEnglish) && !on(obj, kChinese))
        return std::nullopt;
    if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z')
        return std::string(1, (caps || shift) ? key[0] : static_cast<char>(key[0] - 'A' + 'a'));
    for (const SymbolKey& k : kSymbolKeys)
        if (k.name == key)
            return std::string(1, shift ? k.shifted : k.plain);
    return std::nullopt;
}

// The conversion lets only number characters through, hexadecimal letters in their case.
std::optional<std::string> convertFilter(const CDrawObj& obj, std::string c)
{
    if (!on(obj, kConvertOn) || obj.Param(kConvertIndex) <= 0)
        return c;
    if (c.size() != 1)
        return std::nullopt;
    char ch = c[0];
    const bool digit = ch >= '0' && ch <= '9';
    if (!on(obj, kConvertHex))
        return (digit || ch == '-') ? std::optional<std::string>(c) : std::nullopt;
    const bool lower = ch >= 'a' && ch <= 'f';
    const bool upper = ch >= 'A' && ch <= 'F';
    if (!digit && !lower && !upper)
        return std::nullopt;
    const int mode = obj.Param(kCase);
    if (upper && mode == 1)
        ch = static_cast<char>(ch - 'A' + 'a');
    else if (lower && mode == 0)
        ch = static_cast<char>(ch - 'a' + 'A');
    return std::string(1, ch);
}

} // namespace

void ResetPinyinState(CEditorApp& app)
{
    app.m_szPinyin.fill(0);
    app.m_nPinyinPage = 0;
}

void CharacterKey(CEditorApp& app, CDrawObj& obj, std::string_view key)
{
    if (obj.Kind() != ShapeKind::Character || !on(obj, kKeyboardWrite))
        return;
    auto toggle = [](std::atomic<int>& latch) { latch = latch.load() ? 0 : 1; };
    if (key == "Capslk")
        return toggle(app.m_bCapsLock);
    if (key == "Ins")
        return toggle(app.m_bInsertMode);
    if (key == "Shift")
        return toggle(app.m_bShiftLatch);
    if (key == "PingYinSwitch") {
        app.m_bPinyinMode = (app.m_bPinyinMode.load() == 0 && on(obj, kChinese)) ? 1 : 0;
        return;
    }
    const bool pinyin = app.m_bPinyinMode.load() != 0;
    std::string letters = pinyinLetters(app);
    if (key == "清除") {
        if (pinyin && !letters.empty())
            setPinyinLetters(app, "");
        else
            clearString(app, obj);
        app.m_bSimRepaint = 1;
        return;
    }
    if (key == "后退") {
        if (!letters.empty()) {
            letters.pop_back();
            setPinyinLetters(app, letters);
        } else {
            backspace(app, obj);
        }
        app.m_bSimRepaint = 1;
        return;
    }
    auto c = characterOf(app, obj, key);
    if (!c)
        return;
    if (pinyin) {
        if (*c != "\r\n" && letters.size() < kMaxPinyinLetters)
            setPinyinLetters(app, letters + *c);
        app.m_bSimRepaint = 1;
        return;
    }
    c = convertFilter(obj, *c);
    if (!c)
        return;
    insertAtCaret(app, obj, *c);
    app.m_bSimRepaint = 1;
}

void CandidateBarClick(CEditorApp& app, const CDrawObj& bar, int x, int y)
{
    const Rect r = bar.m_rcPosition.normalized();
    CDrawObj* target = app.m_pInputTarget;
    if (!r.contains(x, y) || app.m_bPinyinMode.load() == 0 || !target)
        return;
    const std::int64_t s = app.m_nPinyinPitch;
    if (s <= 0)
        return;
    if (x < r.left + 3 * s) {
        InsertText(app, *target, pinyinLetters(app));
        return;
    }
    const std::int64_t cell = s + 8;
    const std::int64_t cells = (std::int64_t{r.right} - (s / 2) * 6 - r.left - 13) / cell;
    if (cells < 3)
        return;
    // Two bytes per candidate up to the zero byte.
    std::vector<std::string> candidates;
    for (const char* c = app.m_pPinyinCandidates; c && c[0] != 0 && c[1] != 0; c += 2)
        candidates.emplace_back(c, 2);
    const std::int64_t count = static_cast<std::int64_t>(candidates.size());
    const std::int64_t index = cells - 1 - (std::int64_t{r.right} - 1 - x) / cell; // cells end at the right edge
    if (index < 0)
        return;
    std::int64_t candidate = index;
    if (count > cells) {
        const std::int64_t perPage = cells - 2;
        const std::int64_t lastPage = (count - 1) / perPage;
        if (index == 0) {
            app.m_nPinyinPage = static_cast<int>(std::max<std::int64_t>(0, app.m_nPinyinPage - 1));
            app.m_bSimRepaint = 1;
            return;
        }
        if (index == cells - 1) {
            app.m_nPinyinPage = static_cast<int>(std::min<std::int64_t>(lastPage, app.m_nPinyinPage + 1));
            app.m_bSimRepaint = 1;
            return;
        }
        candidate = std::min<std::int64_t>(app.m_nPinyinPage, lastPage) * perPage + index - 1;
    }
    if (candidate >= count)
        return;
    InsertText(app, *target, candidates[static_cast<std::size_t>(candidate)]);
}

void InsertText(CEditorApp& app, CDrawObj& obj, std::string_view bytes)
{
    if (obj.Kind() != ShapeKind::Character || !on(obj, kKeyboardWrite) || bytes.empty())
        return;
    insertAtCaret(app, obj, bytes);
    ResetPinyinState(app);
    app.m_bSimRepaint = 1;
}

} // namespace qv::sim
