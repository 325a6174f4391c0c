#include "model/params/kind_defaults.h"

#include "model/params/block_bytes.h"
#include "model/params/blocks/area_block.h"
#include "model/params/blocks/button_block.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/blocks/dynamic_picture_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/blocks/numeric_input_block.h"
#include "model/params/blocks/progress_bar_block.h"
#include "model/params/blocks/shape_block.h"
#include "model/params/blocks/state_picture_block.h"
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

template <class T, class Kind>
constexpr DefaultVar bind(ParamField<T, Kind> refIndex, const VarRow& v)
{
    return {refIndex.offset, v.type, v.name, v.initial, v.description};
}

constexpr BlockDefault kRectangleValues[] = {
    {blocks::rectangle::kBorderWidth, 3}, {blocks::rectangle::kBorder3d, 1}, {blocks::rectangle::kFillColor, kSilver}};

namespace bb = blocks::button;
constexpr BlockDefault kButtonValues[] = {
    {bb::kStates[2].transparentColor, kWhite}, {bb::kStates[1].transparentColor, kWhite},
    {bb::kStates[0].transparentColor, kWhite}, {bb::kStates[2].gradientFrom, 0x00FFFF00},
    {bb::kStates[1].gradientFrom, 255},        {bb::kStates[0].gradientFrom, kSilver},
    {bb::kStates[1].gradientTo, kWhite},       {bb::kStates[0].gradientTo, 255},
    {bb::kStates[2].borderWidth, 3},           {bb::kStates[1].borderWidth, 3},
    {bb::kStates[0].borderWidth, 3},           {bb::kStates[1].borderColor, kWhite},
    {bb::kStates[0].borderColor, kWhite},      {bb::kStates[1].faceStyle, 1},
    {bb::kStates[2].faceStyle, 1},             {bb::kStates[0].faceStyle, 1},
    {bb::kCreatedA, 18},                       {bb::kCreatedB, 1},
    {bb::kLastPaintedState, 1},                {bb::kState, 1},
    {bb::kHandCursor, 1},                      {bb::kPress.on, 1},
    {bb::kPress.value, 1}};
constexpr DefaultVar kButtonVars[] = {{bb::kValueIndex.offset, "unsigned char", "m_ButtonValue", "0", "按钮值"},
                                      bind(bb::kHideIndex, kDispHide), bind(bb::kWriteIndex, kCellWrEn)};
constexpr DefaultText kButtonTexts[] = {
    {"\\请选择图片"}, {"\\请选择图片"}, {"\\请选择图片"}, {"", true}, {"请先选择51单片机HEX格式文件"}};

namespace dp = blocks::dynamic_picture;
constexpr BlockDefault kDynamicPictureValues[] = {{dp::kKey, kWhite},       {dp::kPlayMode, 1},  {dp::kCreatedC, 39},
                                                  {dp::kCreatedD, 2},       {dp::kInitialCountdown, 2},
                                                  {dp::kCreatedB, 1},       {dp::kCreatedA, 18}};
constexpr DefaultVar kDynamicPictureVars[] = {{dp::kFrameIndex.offset, "unsigned char", "m_DynamicImages", "2", "动态图片控制变量"},
                                              bind(dp::kHideIndex, kDispHide), bind(dp::kMoveIndex, kXyPosition)};
constexpr std::string_view kDynamicPicturePictures[] = {
    "images\\sys\\PICGROUP001.jpg", "images\\sys\\PICGROUP002.jpg", "images\\sys\\PICGROUP003.jpg",
    "images\\sys\\PICGROUP004.jpg", "images\\sys\\PICGROUP005.jpg", "images\\sys\\PICGROUP006.jpg"};

namespace nb = blocks::number;
constexpr BlockDefault kRealTimeNumberValues[] = {
    {nb::kFontColor, 255}, {nb::kWritable, 1}, {nb::kBorderWidth, 2}, {lowByte(nb::kBorderType), 1},
    {nb::kBackColor, kSilver}, {nb::kAlignment, 1}, {nb::kDigits, 12}, {nb::kDecimals, 2},
    {nb::kCreated4, 18}, {nb::kCreated20, 1}, {nb::kPictureTransparent, 1}, {nb::kPictureKey, kWhite}};
constexpr DefaultVar kRealTimeNumberVars[] = {
    {nb::kValueIndex.offset, "unsigned int", "m_DataDisplay", "258", "数据显示变量"}, bind(nb::kHideIndex, kDispHide),
    bind(nb::kMoveIndex, kXyPosition), bind(nb::kFontVarIndex, kFontColor), bind(nb::kBackVarIndex, kBackColor),
    bind(nb::kWriteIndex, kCellWrEn)};
constexpr std::string_view kRealTimeNumberPictures[] = {
    "images\\sys\\0.bmp", "images\\sys\\1.bmp", "images\\sys\\2.bmp", "images\\sys\\3.bmp",
    "images\\sys\\4.bmp", "images\\sys\\5.bmp", "images\\sys\\6.bmp", "images\\sys\\7.bmp",
    "images\\sys\\8.bmp", "images\\sys\\9.bmp", "images\\sys\\Fu.bmp", "images\\sys\\Zheng.bmp",
    "images\\sys\\KongGe.bmp", "images\\sys\\Point.bmp"};

constexpr BlockDefault kNumericInputValues[] = {{blocks::numeric_input::kBackColor, kWhite}};

namespace cv = blocks::curve;
constexpr BlockDefault kCurveValues[] = {
    {cv::kLabelColor, kWhite},          {cv::kGridColor, kWhite},        {cv::kGridWidth, 1},
    {cv::kVerticalDivisions, 3},        {cv::kHorizontalDivisions, 6},   {cv::kTopValue, 100},
    {cv::kLabelDecimals, 1},            {cv::kLabelCount, 3},            {cv::kBottomMargin, 8},
    {cv::kLeftMargin, 8},               {cv::kPointCount, 20},           {cv::kCurveCount, 1},
    {cv::record(0).color, 0x0000FF00},  {cv::record(0).lineWidth, 1}};
constexpr DefaultVar kCurveVars[] = {{cv::record(0).index.offset, "unsigned char", "m_CurveStartPoint", "30", "曲线图首地址"},
                                     bind(cv::kHideIndex, kDispHide)};

namespace lamp = blocks::lamp;
constexpr BlockDefault kLampValues[] = {
    {lamp::kOnTransparent, 1}, {lamp::kOffTransparent, 1}, {lamp::kOnKey, kWhite}, {lamp::kOffKey, kWhite}};
constexpr DefaultVar kIndicatorVars[] = {{lamp::kBitIndex.offset, "unsigned char", "m_Indicator", "1", "信号灯控制变量"},
                                         bind(blocks::indicator::kHideIndex, kDispHide)};
constexpr std::string_view kIndicatorPictures[] = {"images\\sys\\IndicatorON.bmp", "images\\sys\\IndicatorOFF.bmp"};
constexpr DefaultText kIndicatorTexts[] = {{"亮"}, {"灭"}};

constexpr BlockDefault kPipeJointValues[] = {{blocks::pipe::kCentreColor, kWhite}, {blocks::pipe::kOrientation, 1}};
constexpr BlockDefault kPipeValues[] = {{blocks::pipe::kCentreColor, kWhite}};
namespace sc = blocks::scale;
constexpr BlockDefault kScaleValues[] = {{sc::kBaseLine, 1},        {sc::kMajorCount, 5},      {sc::kMinorCount, 2},
                                         {sc::kMajorThickness, 2},  {sc::kMinorThickness, 2}, {sc::kBaseWidth, 2}};

constexpr BlockDefault kBitSwitchValues[] = {{lamp::kOnTransparent, 1}, {lamp::kOffTransparent, 1}, {lamp::kOnKey, kWhite},
                                             {lamp::kOffKey, kWhite}, {blocks::bit_switch::kFunction, 2}};
constexpr DefaultVar kBitSwitchVars[] = {{lamp::kBitIndex.offset, "unsigned char", "m_Switch", "1", "位开关控制变量"},
                                         bind(blocks::bit_switch::kHideIndex, kDispHide),
                                         bind(blocks::bit_switch::kWriteIndex, kCellWrEn)};
constexpr std::string_view kBitSwitchPictures[] = {"images\\sys\\switchON.bmp", "images\\sys\\switchOFF.bmp"};
constexpr DefaultText kBitSwitchTexts[] = {{"已打开"}, {"已关闭"}};

namespace radio = blocks::radio;
constexpr BlockDefault kRadioValues[] = {{radio::kSelectedTransparent, 1}, {radio::kUnselectedTransparent, 1},
                                         {radio::kSelectedKey, kWhite}, {radio::kUnselectedKey, kWhite}};
constexpr DefaultVar kRadioVars[] = {{radio::kValueIndex.offset, "unsigned char", "m_Radio", "0", "单选按钮控制变量"},
                                     bind(radio::kHideIndex, kDispHide), bind(radio::kWriteIndex, kCellWrEn)};
constexpr std::string_view kRadioPictures[] = {"images\\sys\\Radio_ON.bmp", "images\\sys\\Radio_OFF.bmp"};

namespace pb = blocks::progress_bar;
constexpr BlockDefault kProgressValues[] = {
    {pb::kGradientTo, kWhite}, {pb::kGradientDirection, 1}, {pb::kBarColor, 255}, {pb::kMaximum, 100}};
constexpr DefaultVar kProgressVars[] = {
    {pb::kValueIndex.offset, "unsigned char", "m_Progress", "30", "进度条控制变量"}, bind(pb::kHideIndex, kDispHide)};
constexpr DefaultText kProgressTexts[] = {{"请选择"}};

constexpr BlockDefault kTableValues[] = {
    {blocks::table::kLineWidth, 2}, {blocks::table::kCreated8, kWhite}, {blocks::table::kRows, 3},
    {blocks::table::kColumns, 3}};

namespace cb = blocks::character;
constexpr BlockDefault kCharacterValues[] = {
    {cb::kBackColor, kWhite}, {cb::kStringLength, 16}, {cb::kShowCursor, 1}, {cb::kCursorWidth, 2},
    {cb::kCreated92, 1}, {cb::kDigits, 1}, {cb::kDecimalPoint, 1}, {cb::kMinus, 1}, {cb::kEnglish, 1},
    {cb::kAutoSense, 1}, {cb::kKeyboardWrite, 1}, {cb::kClickKeyboard, 1}, {cb::kConvertMin, 0x80000001}};
constexpr DefaultVar kCharacterVars[] = {
    {cb::kStringIndex.offset, "signed char", "m_String", "49", "字符首地址控制变量"}, bind(cb::kHideIndex, kDispHide),
    bind(cb::kMoveIndex, kXyPosition), bind(cb::kFontVarIndex, kFontColor), bind(cb::kBackVarIndex, kBackColor),
    bind(cb::kWriteIndex, kCellWrEn), {cb::kConvertIndex.offset, "signed int", "m_ZiFuStrToInt", "1", "字符和数值自动转换控制"}};

constexpr BlockDefault kAreaValues[] = {{blocks::area::kBackColor, kWhite}};

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
    {ShapeKind::Rectangle, false, {}, kRectangleValues, {}, {}, {}},
    {ShapeKind::Button, true, "按钮", kButtonValues, kButtonVars, {}, kButtonTexts},
    {ShapeKind::DynamicPicture, true, {}, kDynamicPictureValues, kDynamicPictureVars, kDynamicPicturePictures, {}},
    {ShapeKind::RealTimeNumber, true, {}, kRealTimeNumberValues, kRealTimeNumberVars, kRealTimeNumberPictures, {}},
    {ShapeKind::NumericInput, true, "1234567890", kNumericInputValues, {}, {}, {}, numericInputLook},
    {ShapeKind::Curve, true, {}, kCurveValues, kCurveVars, {}, {}, curveLook},
    {ShapeKind::Indicator, true, {}, kLampValues, kIndicatorVars, kIndicatorPictures, kIndicatorTexts},
    {ShapeKind::PipeJoint, false, {}, kPipeJointValues, {}, {}, {}},
    {ShapeKind::Pipe, false, {}, kPipeValues, {}, {}, {}},
    {ShapeKind::Scale, false, {}, kScaleValues, {}, {}, {}},
    {ShapeKind::BitSwitch, true, {}, kBitSwitchValues, kBitSwitchVars, kBitSwitchPictures, kBitSwitchTexts},
    {ShapeKind::RadioButton, true, {}, kRadioValues, kRadioVars, kRadioPictures, {}, radioLook},
    {ShapeKind::ProgressBar, true, {}, kProgressValues, kProgressVars, {}, kProgressTexts},
    {ShapeKind::Table, false, {}, kTableValues, {}, {}, {}},
    {ShapeKind::Character, true, "Hello World!", kCharacterValues, kCharacterVars, {}, {}},
    {ShapeKind::AreaControl, false, {}, kAreaValues, {}, {}, {}, areaLook},
}};

// The reference of `kind` whose index lies at `indexOffset`.
std::optional<VarRefField> refAt(ShapeKind kind, std::span<const std::uint8_t> block, int indexOffset)
{
    for (const VarRefField& ref : varRefsOf(kind, block))
        if (ref.index == indexOffset)
            return ref;
    return std::nullopt;
}

} // namespace

const KindDefaults* kindDefaults(ShapeKind kind)
{
    const auto it = std::find_if(kDefaults.begin(), kDefaults.end(), [&](const KindDefaults& d) { return d.kind == kind; });
    return it == kDefaults.end() ? nullptr : &*it;
}

KindDefaultsOutcome applyKindDefaults(CDrawObj& obj, KindDefaultsHost& host)
{
    KindDefaultsOutcome outcome;
    const KindDefaults* defaults = kindDefaults(obj.Kind());
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
        const auto ref = refAt(obj.Kind(), block, var.refIndex);
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
