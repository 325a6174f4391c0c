#include "model/paint/controls/character_painters.h"

#include "model/paint/controls/control_run_rules.h"
#include "model/paint/number_format.h"
#include "model/paint/paint_rules.h"
#include "model/paint/pinyin.h"
#include "model/vars/var_bank.h"
#include "model/vars/var_types.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace qv {
namespace {

using namespace blocks::character;

bool on(const CDrawObj& obj, Field<std::int32_t> f) { return obj.Param(f) != 0; }

// A colour kept in a variable as RGB565; nullopt when the variable cannot be read.
std::optional<ColorRef> rgb565Var(const PaintContext& ctx, const ControlVarRef& ref)
{
    const auto v = ctx.readVar(ref.address, ref.type);
    if (!v)
        return std::nullopt;
    const auto c = Rgb565ToRgb(static_cast<std::uint16_t>(*v));
    return rgb(c[0], c[1], c[2]);
}

// --- text of a number ----------------------------------------------------------------------

struct TypeShape {
    int width;
    bool isSigned;
    std::uint32_t mask() const { return width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1; }
};

TypeShape typeShape(int code)
{
    const HmiVarType* t = hmiVarTypeByCode(code);
    return t ? TypeShape{t->width, t->isSigned} : TypeShape{4, true};
}

std::int32_t widen(std::uint32_t raw, TypeShape t)
{
    raw &= t.mask();
    if (t.isSigned && t.width < 4 && (raw >> (8 * t.width - 1)) != 0)
        raw |= ~t.mask();
    return static_cast<std::int32_t>(raw);
}

int hexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return 0;
}

std::string hexText(std::uint32_t raw, TypeShape t, bool zeroFill, bool upper)
{
    static constexpr std::array<char, 16> kUpper{'0', '1', '2', '3', '4', '5', '6', '7',
                                                 '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
    std::string out;
    for (int nibble = 2 * t.width - 1; nibble >= 0; --nibble) {
        const unsigned d = (raw >> (4 * nibble)) & 0xF;
        if (d == 0 && out.empty() && !zeroFill && nibble > 0)
            continue;
        const char ch = kUpper[d];
        out.push_back(upper || d < 10 ? ch : static_cast<char>(ch - 'A' + 'a'));
    }
    return out;
}

// --- the string of a character control ------------------------------------------------------

// The control's text as the memory holds it: up to `length` bytes from `address`, ending at
// the first zero or at the memory's end.
std::string readText(const VarBank* bank, std::int64_t address, std::int64_t length)
{
    std::string text;
    if (!bank)
        return text;
    for (std::int64_t i = 0; i < length; ++i) {
        const auto b = bank->readByte(address + i);
        if (!b || *b == 0)
            break;
        text.push_back(static_cast<char>(*b));
    }
    return text;
}

// The text with its zero into the bank, when it fits there whole.
void writeText(VarBank& bank, std::int64_t address, const std::string& text)
{
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    bank.writeBytes(address, bytes);
}

// Clamps the conversion variable of one bank into [min, max] by its type (max wins when the
// range is empty, as the lower bound is applied first).
void clampConversion(VarBank& bank, const ControlVarRef& ref, std::int32_t min, std::int32_t max)
{
    const auto v = bank.readTyped(ref.address, ref.type);
    if (!v)
        return;
    const TypeShape t = typeShape(ref.type);
    std::int64_t lo = min, hi = max;
    if (!t.isSigned) {
        lo = static_cast<std::uint32_t>(min);
        hi = static_cast<std::uint32_t>(max);
    }
    std::int64_t clamped = *v;
    if (clamped < lo)
        clamped = lo;
    if (clamped > hi)
        clamped = hi;
    if (clamped != *v)
        bank.writeTyped(ref.address, ref.type, clamped);
}

// Clamp and text refresh of the string/number conversion; returns the text to show.
std::string applyConversion(const CDrawObj& obj, const PaintContext& ctx, const ControlVarRef& str, std::int64_t length,
                            std::string shown)
{
    const ControlVarRef conv = ReadControlRef(obj, "conversion");
    const bool clampActive = on(obj, kKeyboardWrite);
    PaintFeedback* fb = ctx.feedback;
    if (fb)
        fb->convertClamp = clampActive;
    VarBank* banks[] = {fb ? fb->liveBank : nullptr, fb ? fb->runBank : nullptr};
    if (clampActive && ctx.keyboardIdle)
        for (VarBank* bank : banks)
            if (bank)
                clampConversion(*bank, conv, obj.Param(kConvertMin), obj.Param(kConvertMax));
    const auto value = ctx.readVar(conv.address, conv.type);
    if (!value)
        return shown;
    InputTextFormat f;
    f.typeCode = conv.type;
    f.hex = on(obj, kConvertHex);
    f.zeroFill = on(obj, kConvertZeroFill);
    f.letterCase = obj.Param(kCase);
    f.capsOrShift = ctx.capsLock || ctx.shiftLatch;
    const auto size = static_cast<std::int32_t>(std::min<std::int64_t>(length, INT32_MAX));
    if (auto fresh = FormatInputValue(*value, shown, f, size))
        shown = *fresh;
    for (VarBank* bank : banks) {
        if (!bank)
            continue;
        if (auto fresh = FormatInputValue(*value, readText(bank, str.address, length), f, size))
            writeText(*bank, str.address, *fresh);
    }
    return shown;
}

// Lays the string out cell by cell and draws the characters its options show; tracks the
// caret point through the cells.
class CharacterLayout {
public:
    CharacterLayout(const CDrawObj& obj, Surface& dc, const Rect& r, std::int64_t h, std::int64_t top, Point caret)
        : obj_(obj), dc_(dc), left_(r.left), right_(r.right), bottom_(r.bottom), h_(h), cell_(h + (h & 1)),
          charSpacing_(obj.Param(kCharSpacing)), lineSpacing_(obj.Param(kLineSpacing)),
          length_(std::max(0, obj.Param(kStringLength))), x_(r.left), y_(top), caret_(caret)
    {
    }

    void walk(std::string_view text)
    {
        std::size_t i = 0;
        while (i < text.size()) {
            const auto b = static_cast<unsigned char>(text[i]);
            if (b == 13 && i + 1 < text.size() && text[i + 1] == 10) {
                hitTest(right_);
                if (!take(2) || !newLine())
                    return;
                i += 2;
                continue;
            }
            const bool twoByte = b >= 0x80;
            if (twoByte && i + 1 >= text.size())
                return; // a lead byte without its second byte ends the text
            const std::int64_t width = twoByte ? cell_ : cell_ / 2;
            if (x_ + width >= right_) {
                // A cell wider than the whole line would wrap forever: the text ends there.
                if (x_ == left_ || !newLine())
                    return;
                continue;
            }
            hitTest(x_ + width + charSpacing_);
            if (!take(twoByte ? 2 : 1))
                return;
            if (shows(b, twoByte))
                draw(twoByte ? text.substr(i, 2) : text.substr(i, 1));
            x_ += width + charSpacing_;
            i += twoByte ? 2 : 1;
        }
    }

    bool hit() const { return hit_; }
    // The byte count before the character the caret was placed on, else after the last one.
    std::int64_t caretIndex() const { return hit_ ? caretIndex_ : count_; }
    Point caret() const { return caret_; }
    Point end() const { return {saturateToInt(x_), saturateToInt(y_)}; }

private:
    // Counts the character's bytes; false when they would pass the string length.
    bool take(int bytes)
    {
        if (count_ + bytes > length_)
            return false;
        count_ += bytes;
        return true;
    }

    bool newLine()
    {
        if (bottom_ < y_ + 2 * h_ + lineSpacing_)
            return false;
        x_ = left_;
        y_ += lineSpacing_ + h_;
        return true;
    }

    void hitTest(std::int64_t cellRight)
    {
        const std::int64_t cellBottom = y_ + lineSpacing_ + h_;
        if (caret_.x >= x_ && caret_.x < cellRight && caret_.y >= y_ && caret_.y < cellBottom) {
            caret_ = end();
            hit_ = true;
            caretIndex_ = count_;
        }
    }

    bool shows(unsigned char b, bool twoByte) const
    {
        if (twoByte)
            return on(obj_, kChinese);
        return on(obj_, kEnglish) || (b >= '0' && b <= '9' && on(obj_, kDigits))
            || (b == '.' && on(obj_, kDecimalPoint)) || (b == '-' && on(obj_, kMinus));
    }

    void draw(std::string_view ch)
    {
        if (on(obj_, kPasswordStyle))
            ch = "*";
        else if (on(obj_, kHashPassword))
            ch = "#";
        dc_.textOut(saturateToInt(x_), saturateToInt(y_), ch);
    }

    const CDrawObj& obj_;
    Surface& dc_;
    std::int64_t left_, right_, bottom_, h_, cell_, charSpacing_, lineSpacing_, length_;
    std::int64_t x_, y_;
    std::int64_t count_ = 0;
    Point caret_;
    bool hit_ = false;
    std::int64_t caretIndex_ = 0;
};

// Required references of the character control, in the order they are tested.
bool characterUnbound(const CDrawObj& obj)
{
    static constexpr RequiredRef kRequired[] = {
        {"write enable", kWriteOn}, {"conversion", kConvertOn},   {"further", kClickOn},
        {"string"},                 {"hide", kHideOn},            {"move", lowByte(kMoveOn)},
        {"font colour", kFontVarOn}, {"background colour", kBackVarOn},
    };
    return AnyRequiredUnbound(kRequired, obj);
}

} // namespace

std::int32_t ParseInputText(std::string_view text, const InputTextFormat& f)
{
    const TypeShape t = typeShape(f.typeCode);
    if (text.empty())
        return widen(t.mask(), t);
    if (f.hex) {
        std::uint32_t v = 0;
        const std::size_t first = text.size() > 8 ? text.size() - 8 : 0;
        for (std::size_t i = first; i < text.size(); ++i)
            v = (v << 4) | static_cast<std::uint32_t>(hexDigit(text[i]));
        return static_cast<std::int32_t>(v);
    }
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::int64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = std::min<std::int64_t>(v * 10 + (text[i] - '0'), std::int64_t{1} << 40);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(negative ? -v : v));
}

std::optional<std::string> FormatInputValue(std::int32_t value, std::string_view current, const InputTextFormat& f,
                                            std::int32_t size)
{
    if (size <= 0 || ParseInputText(current, f) == value)
        return std::nullopt;
    const TypeShape t = typeShape(f.typeCode);
    const std::uint32_t raw = static_cast<std::uint32_t>(value) & t.mask();
    std::string text;
    if (raw == t.mask()) {
        text.clear();
    } else if (f.hex) {
        const bool upper = f.letterCase == 0 || (f.letterCase != 1 && f.capsOrShift);
        text = hexText(raw, t, f.zeroFill, upper);
    } else if (t.isSigned) {
        text = FormatSignedDecimal(widen(raw, t), 0, 16, kFillNone, false);
    } else {
        text = FormatUnsignedDecimal(raw, 0, 16, kFillNone, false);
    }
    if (text.size() > static_cast<std::size_t>(size - 1))
        text.resize(static_cast<std::size_t>(size - 1));
    if (text == current)
        return std::nullopt;
    return text;
}

void PaintCharacter(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    Surface& dc = dcs.target;
    Rect r = obj.m_rcPosition.normalized();
    if (characterUnbound(obj)) {
        DrawInvalid(obj, dc);
        return;
    }
    if (HideEndsPaint(obj, dc, ctx, on(obj, kHideOn), ReadControlRef(obj, "hide"), obj.Param(kHideBit)))
        return;
    r = MovedByVariable(ctx, obj.Param(lowByte(kMoveOn)) != 0, ReadControlRef(obj, "move"), r);

    const std::int64_t h = GlyphHeight(obj.m_logfont);
    const std::int64_t cell = h + (h & 1);
    obj.SetParam(kCellHeight, static_cast<std::int32_t>(h));
    obj.SetParam(kCellWidth, static_cast<std::int32_t>(cell));
    if (IsLivePaint(ctx) && r.height64() < h)
        return;
    const std::int64_t top = on(obj, kVerticalCentre) ? r.top + (r.height64() - h) / 2 : r.top;

    SurfaceStateGuard guard(dc);
    const ControlVarRef backVar = ReadControlRef(obj, "background colour");
    std::optional<ColorRef> back;
    if (on(obj, kBackVarOn) && backVar.address >= 0)
        back = rgb565Var(ctx, backVar);
    if (!back && !on(obj, kTransparent))
        back = ParamColor(obj, kBackColor);
    if (back)
        dc.fillRect(r, *back);

    const ControlVarRef str = ReadControlRef(obj, "string");
    const std::int64_t length = std::max(0, obj.Param(kStringLength));
    std::string text = readText(ctx.varMem, str.address, length);
    if (on(obj, kConvertOn))
        text = applyConversion(obj, ctx, str, length, std::move(text));

    const ControlVarRef fontVar = ReadControlRef(obj, "font colour");
    std::optional<ColorRef> ink;
    if (on(obj, kFontVarOn) && fontVar.address >= 0)
        ink = rgb565Var(ctx, fontVar);
    dc.setTextColor(ink.value_or(ParamColor(obj, kFontColor)));
    dc.setBkMode(TRANSPARENT);
    dc.selectFont(obj.m_logfont);

    PaintFeedback* fb = ctx.feedback;
    const Point caretIn = fb && fb->caret ? *fb->caret : ctx.caret;
    CharacterLayout layout(obj, dc, r, h, top, caretIn);
    layout.walk(text);
    Point caret = layout.caret();
    const std::int64_t caretIndex = layout.caretIndex();

    if (on(obj, kShowCursor) && IsLivePaint(ctx) && obj.m_nRunState != 0 && r.contains(caret.x, caret.y)) {
        if (!layout.hit())
            caret = layout.end();
        const std::int64_t width = std::max(0, obj.Param(kCursorWidth));
        dc.fillRect(Rect::saturated(caret.x, caret.y, caret.x + width, caret.y + h), ParamColor(obj, kCursorColor));
    }
    if (fb) {
        if (caret != caretIn)
            fb->caret = caret;
        if (&obj == ctx.inputTarget)
            fb->caretIndex = static_cast<int>(caretIndex);
    }
}

void PaintArea(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx)
{
    const Rect r = obj.m_rcPosition.normalized();
    if (!IsLivePaint(ctx)) {
        dcs.target.rectangle(r);
        return;
    }
    switch (obj.Param(blocks::area::kBehaviour)) {
    case blocks::area::kBackgroundCopy:
        if (ctx.runBackground)
            dcs.target.bitBlt(r.left, r.top, r.width(), r.height(), *ctx.runBackground,
                              saturateToInt(std::int64_t{r.left} - ctx.margins.x),
                              saturateToInt(std::int64_t{r.top} - ctx.margins.y));
        break;
    case blocks::area::kCandidateBar: PaintAreaControl(obj, dcs, ctx, r); break;
    default: break;
    }
}

void PaintAreaControl(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, const Rect& r)
{
    const CDrawObj* edited = ctx.inputTarget;
    if (!ctx.pinyinMode || !edited || edited->Kind() != ShapeKind::Character || !ctx.runMode)
        return;
    if (edited->Param(kChinese) == 0) {
        if (ctx.feedback)
            ctx.feedback->clearPinyinLatch = true;
        return;
    }
    const std::int64_t h = GlyphHeight(obj.m_logfont);
    if (r.height64() < h)
        return;
    const std::int64_t y = r.top + (r.height64() - h) / 2;
    const std::int64_t pitch = h + (h & 1) + 8;

    Surface& dc = dcs.target;
    SurfaceStateGuard guard(dc);
    dc.fillRect(r, ParamColor(obj, blocks::area::kBackColor));
    dc.setBkMode(TRANSPARENT);
    dc.setTextColor(ParamColor(obj, blocks::area::kTextColor));
    dc.selectFont(obj.m_logfont);

    const std::int64_t letterCell = (h + 1) / 2;
    for (std::size_t i = 0; i < std::min<std::size_t>(ctx.pinyinLetters.size(), 6); ++i) {
        const std::int64_t x = r.left + 1 + static_cast<std::int64_t>(i) * letterCell;
        if (x + letterCell > r.right)
            break;
        dc.textOut(saturateToInt(x), saturateToInt(y), std::string_view(ctx.pinyinLetters).substr(i, 1));
    }

    const std::int64_t fit = (r.width64() - 6 * letterCell - 13) / pitch;
    if (fit <= 2)
        return;
    std::string letters = ctx.pinyinLetters.empty() ? std::string("a") : ctx.pinyinLetters.substr(0, 8);
    const std::string_view candidates = LookupPinyin(letters);
    const std::int64_t count = static_cast<std::int64_t>(candidates.size() / 2);
    if (ctx.feedback) {
        ctx.feedback->pinyinCandidates = candidates;
        ctx.feedback->pinyinPitch = static_cast<int>(pitch);
    }
    const std::int64_t x0 = r.right - fit * pitch + 4;
    const auto drawCandidate = [&](std::int64_t k, std::int64_t x) {
        dc.textOut(saturateToInt(x), saturateToInt(y), candidates.substr(static_cast<std::size_t>(2 * k), 2));
    };
    if (count <= fit) {
        for (std::int64_t k = 0; k < count; ++k)
            drawCandidate(k, x0 + k * pitch);
        return;
    }
    const std::int64_t perPage = fit - 2;
    const std::int64_t pages = (fit + count - 3) / perPage;
    const std::int64_t page = std::clamp<std::int64_t>(ctx.pinyinPage, 0, pages - 1);
    if (ctx.feedback)
        ctx.feedback->pinyinPage = static_cast<int>(page);

    PaintContext sys = ctx;
    sys.projectDir = ctx.baseDir.empty() ? std::filesystem::path(".") : ctx.baseDir;
    const auto arrow = [&](std::string_view name, std::int64_t x) {
        PaintPictureByRule(sys, dcs, name, Rect::saturated(x, y, x + pitch, y + h), false, 0);
    };
    arrow(page == 0 ? "images\\sys\\up0.bmp" : "images\\sys\\up1.bmp", x0);
    for (std::int64_t j = 0, k = page * perPage; j < perPage && k < count; ++j, ++k)
        drawCandidate(k, x0 + pitch + 8 + j * pitch);
    arrow(page == pages - 1 ? "images\\sys\\down0.bmp" : "images\\sys\\down1.bmp", x0 + (fit - 1) * pitch);
}

} // namespace qv
