#include "model/params/kind_defaults.h"

#include "model/params/block_bytes.h"
#include "model/params/blocks/area_block.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/blocks/numeric_input_block.h"
#include "model/params/blocks/table_block.h"
#include "model/document/draw_doc.h"

#include <algorithm>
#include <array>

namespace qv {

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kSilver = 0x00C0C0C0;

// The five variables that hide, move, write-enable and colour references share.
struct VarRow {
    std::string_view type, name, initial, description;
};
constexpr VarRow kDispHide{"unsigned char", "m_DispHide", "1", "控件隐藏/显示属性控制"};
constexpr VarRow kXyPosition{"signed int", "m_XY_Position", "0", "控件移动属性控制"};
constexpr VarRow kCellWrEn{"unsigned char", "m_CellWrEn", "1", "控件允许/禁止写入控制"};
constexpr VarRow kFontColor{"unsigned short", "m_FontColor", "0", "字体颜色"};
constexpr VarRow kBackColor{"unsigned short", "m_BackColor", "65535", "字体背景颜色"};

constexpr DefaultVar bind(int refIndex, const VarRow& v) { return {refIndex, v.type, v.name, v.initial, v.description}; }
template <class T, class Kind>
constexpr DefaultVar bind(ParamField<T, Kind> refIndex, const VarRow& v) { return bind(refIndex.offset, v); }
template <class T, class Kind>
constexpr BlockDefault put(ParamField<T, Kind> f, std::uint32_t value) { return {f.offset, f.width, value}; }

constexpr BlockDefault kRectangleValues[] = {{0, 4, 3}, {8, 1, 1}, {16, 4, kSilver}};

constexpr BlockDefault kButtonValues[] = {
    {28, 4, kWhite}, {32, 4, kWhite}, {36, 4, kWhite}, {40, 4, 0x00FFFF00}, {44, 4, 255}, {48, 4, kSilver},
    {56, 4, kWhite}, {60, 4, 255}, {68, 4, 3}, {72, 4, 3}, {76, 4, 3}, {84, 4, kWhite}, {88, 4, kWhite},
    {92, 1, 1}, {93, 1, 1}, {94, 1, 1}, {100, 4, 18}, {116, 4, 1}, {120, 1, 1}, {121, 1, 1}, {124, 1, 1},
    {132, 4, 1}, {136, 1, 1}};
constexpr DefaultVar kButtonVars[] = {
    {128, "unsigned char", "m_ButtonValue", "0", "按钮值"}, bind(172, kDispHide), bind(216, kCellWrEn)};
constexpr DefaultText kButtonTexts[] = {
    {"\\请选择图片"}, {"\\请选择图片"}, {"\\请选择图片"}, {"", true}, {"请先选择51单片机HEX格式文件"}};

constexpr BlockDefault kDynamicPictureValues[] = {
    {4, 4, kWhite}, {44, 1, 1}, {52, 4, 39}, {56, 4, 2}, {60, 4, 2}, {28, 4, 1}, {12, 4, 18}};
constexpr DefaultVar kDynamicPictureVars[] = {
    {64, "unsigned char", "m_DynamicImages", "2", "动态图片控制变量"}, bind(84, kDispHide), bind(80, kXyPosition)};
constexpr std::string_view kDynamicPicturePictures[] = {
    "images\\sys\\PICGROUP001.jpg", "images\\sys\\PICGROUP002.jpg", "images\\sys\\PICGROUP003.jpg",
    "images\\sys\\PICGROUP004.jpg", "images\\sys\\PICGROUP005.jpg", "images\\sys\\PICGROUP006.jpg"};

namespace nb = blocks::number;
constexpr BlockDefault kRealTimeNumberValues[] = {
    put(nb::kFontColor, 255), put(nb::kWritable, 1), put(nb::kBorderWidth, 2), put(lowByte(nb::kBorderType), 1),
    put(nb::kBackColor, kSilver), put(nb::kAlignment, 1), put(nb::kDigits, 12), put(nb::kDecimals, 2),
    put(nb::kCreated4, 18), put(nb::kCreated20, 1), put(nb::kPictureTransparent, 1), put(nb::kPictureKey, kWhite)};
constexpr DefaultVar kRealTimeNumberVars[] = {
    {nb::kValueIndex.offset, "unsigned int", "m_DataDisplay", "258", "数据显示变量"}, bind(nb::kHideIndex, kDispHide),
    bind(nb::kMoveIndex, kXyPosition), bind(nb::kFontVarIndex, kFontColor), bind(nb::kBackVarIndex, kBackColor),
    bind(nb::kWriteIndex, kCellWrEn)};
constexpr std::string_view kRealTimeNumberPictures[] = {
    "images\\sys\\0.bmp", "images\\sys\\1.bmp", "images\\sys\\2.bmp", "images\\sys\\3.bmp",
    "images\\sys\\4.bmp", "images\\sys\\5.bmp", "images\\sys\\6.bmp", "images\\sys\\7.bmp",
    "images\\sys\\8.bmp", "images\\sys\\9.bmp", "images\\sys\\Fu.bmp", "images\\sys\\Zheng.bmp",
    "images\\sys\\KongGe.bmp", "images\\sys\\Point.bmp"};

constexpr BlockDefault kNumericInputValues[] = {put(blocks::numeric_input::kBackColor, kWhite)};

constexpr BlockDefault kCurveValues[] = {
    {0, 4, kWhite}, {4, 4, kWhite}, {12, 4, 1}, {24, 4, 3}, {28, 4, 6}, {36, 4, 100}, {40, 4, 1},
    {44, 4, 3}, {52, 4, 8}, {56, 4, 8}, {kCurveSampleCountOffset, 4, 20}, {kCurveRecordCountOffset, 4, 1},
    {88, 4, 0x0000FF00}, {94, 2, 1}};
constexpr DefaultVar kCurveVars[] = {
    {kCurveRecordBase, "unsigned char", "m_CurveStartPoint", "30", "曲线图首地址"}, bind(860, kDispHide)};

constexpr BlockDefault kLampValues[] = {{0, 4, 1}, {4, 4, 1}, {8, 4, kWhite}, {12, 4, kWhite}};
constexpr DefaultVar kIndicatorVars[] = {
    {16, "unsigned char", "m_Indicator", "1", "信号灯控制变量"}, bind(32, kDispHide)};
constexpr std::string_view kIndicatorPictures[] = {"images\\sys\\IndicatorON.bmp", "images\\sys\\IndicatorOFF.bmp"};
constexpr DefaultText kIndicatorTexts[] = {{"亮"}, {"灭"}};

constexpr BlockDefault kPipeJointValues[] = {{4, 4, kWhite}, {8, 4, 1}};
constexpr BlockDefault kPipeValues[] = {{4, 4, kWhite}};
constexpr BlockDefault kScaleValues[] = {{8, 4, 1}, {12, 4, 5}, {16, 4, 2}, {20, 4, 2}, {24, 4, 2}, {28, 4, 2}};

constexpr BlockDefault kBitSwitchValues[] = {{0, 4, 1}, {4, 4, 1}, {8, 4, kWhite}, {12, 4, kWhite}, {26, 1, 2}};
constexpr DefaultVar kBitSwitchVars[] = {
    {16, "unsigned char", "m_Switch", "1", "位开关控制变量"}, bind(36, kDispHide), bind(56, kCellWrEn)};
constexpr std::string_view kBitSwitchPictures[] = {"images\\sys\\switchON.bmp", "images\\sys\\switchOFF.bmp"};
constexpr DefaultText kBitSwitchTexts[] = {{"已打开"}, {"已关闭"}};

constexpr BlockDefault kRadioValues[] = {{24, 4, 1}, {28, 4, 1}, {32, 4, kWhite}, {36, 4, kWhite}};
constexpr DefaultVar kRadioVars[] = {
    {0, "unsigned char", "m_Radio", "0", "单选按钮控制变量"}, bind(44, kDispHide), bind(68, kCellWrEn)};
constexpr std::string_view kRadioPictures[] = {"images\\sys\\Radio_ON.bmp", "images\\sys\\Radio_OFF.bmp"};

constexpr BlockDefault kProgressValues[] = {{12, 4, kWhite}, {16, 1, 1}, {20, 4, 255}, {40, 4, 100}};
constexpr DefaultVar kProgressVars[] = {
    {28, "unsigned char", "m_Progress", "30", "进度条控制变量"}, bind(56, kDispHide)};
constexpr DefaultText kProgressTexts[] = {{"请选择"}};

constexpr BlockDefault kTableValues[] = {
    put(blocks::table::kLineWidth, 2), put(blocks::table::kCreated8, kWhite), put(blocks::table::kRows, 3),
    put(blocks::table::kColumns, 3)};

namespace cb = blocks::character;
constexpr BlockDefault kCharacterValues[] = {
    put(cb::kBackColor, kWhite), put(cb::kStringLength, 16), put(cb::kShowCursor, 1), put(cb::kCursorWidth, 2),
    put(cb::kCreated92, 1), put(cb::kDigits, 1), put(cb::kDecimalPoint, 1), put(cb::kMinus, 1), put(cb::kEnglish, 1),
    put(cb::kAutoSense, 1), put(cb::kKeyboardWrite, 1), put(cb::kClickKeyboard, 1), put(cb::kConvertMin, 0x80000001)};
constexpr DefaultVar kCharacterVars[] = {
    {cb::kStringIndex.offset, "signed char", "m_String", "49", "字符首地址控制变量"}, bind(cb::kHideIndex, kDispHide),
    bind(cb::kMoveIndex, kXyPosition), bind(cb::kFontVarIndex, kFontColor), bind(cb::kBackVarIndex, kBackColor),
    bind(cb::kWriteIndex, kCellWrEn), {cb::kConvertIndex.offset, "signed int", "m_ZiFuStrToInt", "1", "字符和数值自动转换控制"}};

constexpr BlockDefault kAreaValues[] = {put(blocks::area::kBackColor, kWhite)};

void numericInputLook(CDrawObj& obj) { obj.m_bHasPen = 0; }
void curveLook(CDrawObj& obj)
{
    obj.m_logfont.lfHeight = 12;
    obj.m_logfont.lfWidth = 6;
}
void radioLook(CDrawObj& obj)
{
    obj.m_penInfo.widthX = 2;
    obj.m_penInfo.widthY = 2;
}
void areaLook(CDrawObj& obj)
{
    obj.m_penInfo.color = 255;
    obj.m_penInfo.widthX = 1;
    obj.m_penInfo.widthY = 1;
    obj.m_bHasBrush = 0;
}

const std::array<KindDefaults, 16> kDefaults{{
    {kKindRectangle, false, {}, kRectangleValues, {}, {}, {}},
    {kKindButton, true, "按钮", kButtonValues, kButtonVars, {}, kButtonTexts},
    {kKindDynamicPicture, true, {}, kDynamicPictureValues, kDynamicPictureVars, kDynamicPicturePictures, {}},
    {kKindRealTimeNumber, true, {}, kRealTimeNumberValues, kRealTimeNumberVars, kRealTimeNumberPictures, {}},
    {kKindNumericInput, true, "1234567890", kNumericInputValues, {}, {}, {}, numericInputLook},
    {kKindCurve, true, {}, kCurveValues, kCurveVars, {}, {}, curveLook},
    {kKindIndicator, true, {}, kLampValues, kIndicatorVars, kIndicatorPictures, kIndicatorTexts},
    {kKindPipeJoint, false, {}, kPipeJointValues, {}, {}, {}},
    {kKindPipe, false, {}, kPipeValues, {}, {}, {}},
    {kKindScale, false, {}, kScaleValues, {}, {}, {}},
    {kKindBitSwitch, true, {}, kBitSwitchValues, kBitSwitchVars, kBitSwitchPictures, kBitSwitchTexts},
    {kKindRadioButton, true, {}, kRadioValues, kRadioVars, kRadioPictures, {}, radioLook},
    {kKindProgressBar, true, {}, kProgressValues, kProgressVars, {}, kProgressTexts},
    {kKindTable, false, {}, kTableValues, {}, {}, {}},
    {kKindCharacter, true, "Hello World!", kCharacterValues, kCharacterVars, {}, {}},
    {kKindAreaControl, false, {}, kAreaValues, {}, {}, {}, areaLook},
}};

// The reference of `kind` whose index lies at `indexOffset`.
std::optional<VarRefField> refAt(int kind, std::span<const std::uint8_t> block, int indexOffset)
{
    for (const VarRefField& ref : varRefsOf(kind, block))
        if (ref.index == indexOffset)
            return ref;
    return std::nullopt;
}

} // namespace

const KindDefaults* kindDefaults(int kind)
{
    const auto it = std::find_if(kDefaults.begin(), kDefaults.end(), [&](const KindDefaults& d) { return d.kind == kind; });
    return it == kDefaults.end() ? nullptr : &*it;
}

KindDefaultsOutcome applyKindDefaults(CDrawObj& obj, KindDefaultsHost& host)
{
    KindDefaultsOutcome outcome;
    const KindDefaults* defaults = kindDefaults(obj.m_nKind);
    if (!defaults)
        return outcome;
    std::span<std::uint8_t> block(obj.m_Params);
    if (defaults->control)
        obj.m_bControl = 1;
    if (!defaults->name.empty())
        obj.m_strName = std::string(defaults->name);
    for (const BlockDefault& v : defaults->values)
        blockWriteU(block, v.offset, v.width, v.value);
    if (defaults->look)
        defaults->look(obj);

    for (const DefaultVar& var : defaults->vars) {
        const AddVarOutcome added = host.FindOrAddHmiVar(var.type, var.name, var.initial, var.description);
        if (added.created)
            ++outcome.varsCreated;
        if (added.row < 0)
            outcome.refused.push_back(added.errorGbk);
        const auto ref = refAt(obj.m_nKind, block, var.refIndex);
        if (!ref)
            continue;
        blockWriteI32(block, ref->index, added.row);
        const VarBinding binding = host.ResolveVar(added.row);
        if (ref->address != kNoField)
            blockWriteI32(block, ref->address, binding.address);
        if (ref->type != kNoField && binding.type)
            blockWriteU(block, ref->type, 1, *binding.type);
    }

    if (!outcome.refused.empty()) {
        std::string message;
        for (const std::string& line : outcome.refused)
            message.append(message.empty() ? "" : "\r\n").append(line);
        host.ShowError(message);
    }

    for (std::string_view picture : defaults->pictures)
        obj.m_strFiles.push_back(host.CopyUserPicture(picture));
    for (const DefaultText& text : defaults->texts) {
        const std::string title = text.ownerTitle && obj.m_pOwnerDoc ? obj.m_pOwnerDoc->GetTitle() : std::string();
        obj.m_strFiles.push_back(text.ownerTitle ? title : std::string(text.text));
    }

    if (!defaults->vars.empty())
        host.RebuildSimulation();
    if (outcome.varsCreated > 0)
        host.WriteSysVarHeader();
    return outcome;
}

} // namespace qv
