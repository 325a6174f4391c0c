#pragma once
// Page models of the controls' own pages (button, bit switch, indicator light, radio button,
// real-time number): plain members, each block field written once in the page's table, the
// address groups with their block layouts, and the string-list entries (pictures, texts,
// action, user code file) the pages carry. The Qt pages edit these and never the object.
#include "model/params/blocks/button_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/blocks/state_picture_block.h"
#include "platform/surface/gdi.h"
#include "props/address_group.h"
#include "props/block_fields.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qv {

// A picture of a string-list entry: shown as a host path, copied into the project only
// when the user chose another one.
struct PictureSlot {
    std::filesystem::path path;
    std::filesystem::path loadedPath;
    bool changed() const { return path != loadedPath; }
};

// A text of a string-list entry (GBK); written back only when changed.
struct TextSlot {
    std::string text;
    std::string loaded;
    bool changed() const { return text != loaded; }
};

inline constexpr const char8_t* kPasswordLevels[] = {u8"无口令", u8"初级口令", u8"高级口令", u8"超级口令"};

// ---- Bit switch and indicator light ----

struct SwitchShapePage {  // "外观" of the bit switch and the indicator light
    std::uint32_t transparentOn = 0, transparentOff = 0;
    std::uint32_t transparentColorOn = 0, transparentColorOff = 0;
    std::uint32_t textColorOn = 0, textColorOff = 0;
    std::array<PictureSlot, 2> pictures;  // entries 0 (on), 1 (off)
    std::array<TextSlot, 2> texts;        // entries 2 (on), 3 (off)
    LogFont font;                         // the object's font
};

// The lamp's shared fields and the kind's caption colours.
template <class Kind>
constexpr std::array<BlockField<SwitchShapePage>, 6> switchShapeFields(ParamField<std::int32_t, Kind> textColorOn,
                                                                       ParamField<std::int32_t, Kind> textColorOff)
{
    return {{{&SwitchShapePage::transparentOn, blocks::lamp::kOnTransparent},
             {&SwitchShapePage::transparentOff, blocks::lamp::kOffTransparent},
             {&SwitchShapePage::transparentColorOn, blocks::lamp::kOnKey},
             {&SwitchShapePage::transparentColorOff, blocks::lamp::kOffKey},
             {&SwitchShapePage::textColorOn, textColorOn},
             {&SwitchShapePage::textColorOff, textColorOff}}};
}
inline constexpr auto kBitSwitchShapeFields =
    switchShapeFields(blocks::bit_switch::kOnCaptionColor, blocks::bit_switch::kOffCaptionColor);
inline constexpr auto kIndicatorShapeFields =
    switchShapeFields(blocks::indicator::kOnCaptionColor, blocks::indicator::kOffCaptionColor);

struct SwitchControlPage {  // "基本控制" of the bit switch
    std::uint32_t function = 0;  // 0 set, 1 clear, 2 invert, 3 momentary
    std::uint32_t password = 0;
    std::uint32_t differentWrite = 0;
    AddressGroup read, write;
};

inline constexpr BlockField<SwitchControlPage> kSwitchControlFields[] = {
    {&SwitchControlPage::function, blocks::bit_switch::kFunction},
    {&SwitchControlPage::password, blocks::bit_switch::kUserLevel},
    {&SwitchControlPage::differentWrite, blocks::bit_switch::kDifferentWrite}};

inline constexpr GroupLayout kSwitchReadGroup =
    pageGroup(blocks::lamp::kBitIndex, blocks::bit_switch::kBitLink, blocks::lamp::kBitNumber);
inline constexpr GroupLayout kSwitchWriteGroup =
    pageGroup(blocks::bit_switch::kSecondIndex, blocks::bit_switch::kSecondLink, blocks::bit_switch::kSecondBit);

inline constexpr const char8_t* kSwitchFunctions[] = {u8"打开( 置 1 )", u8"关闭( 置 0 )", u8"位取反", u8"复归型"};

struct IndicatorControlPage {  // "基本控制" of the indicator light
    AddressGroup read;
};

inline constexpr GroupLayout kIndicatorReadGroup =
    pageGroup(blocks::lamp::kBitIndex, blocks::indicator::kBitLink, blocks::lamp::kBitNumber);

// ---- Radio button ----

struct RadioShapePage {  // "外观"
    std::uint32_t mode = 0;  // "系统自绘外观", "使用图片外观"
    std::uint32_t transparentOn = 0, transparentOff = 0;
    std::uint32_t transparentColorOn = 0, transparentColorOff = 0;
    std::array<PictureSlot, 2> pictures;  // entries 0 (selected), 1 (unselected)
    bool startsFromDefaults = false;      // the radio had no pictures: the page shows the system's
};

inline constexpr BlockField<RadioShapePage> kRadioShapeFields[] = {
    {&RadioShapePage::transparentOn, blocks::radio::kSelectedTransparent},
    {&RadioShapePage::transparentOff, blocks::radio::kUnselectedTransparent},
    {&RadioShapePage::transparentColorOn, blocks::radio::kSelectedKey},
    {&RadioShapePage::transparentColorOff, blocks::radio::kUnselectedKey},
    {&RadioShapePage::mode, blocks::radio::kPictureMode}};

inline constexpr const char8_t* kRadioModes[] = {u8"系统自绘外观", u8"使用图片外观"};

// What a radio with no pictures yet starts with (in the page only: Cancel keeps nothing).
inline constexpr const char* kRadioDefaultPictures[] = {"images\\sys\\Radio_ON.bmp", "images\\sys\\Radio_OFF.bmp"};
inline constexpr std::uint32_t kRadioDefaultTransparentColor = 0xFFFFFF;

struct RadioControlPage {  // "基本控制" of the radio button
    std::uint32_t value = 0;  // signed, shown as decimal text
    std::uint32_t password = 0;
    std::uint32_t differentWrite = 0;
    AddressGroup read, write;
};

inline constexpr BlockField<RadioControlPage> kRadioControlFields[] = {
    {&RadioControlPage::value, blocks::radio::kOwnValue},
    {&RadioControlPage::password, blocks::radio::kUserLevel},
    {&RadioControlPage::differentWrite, blocks::radio::kDifferentWrite}};

inline constexpr GroupLayout kRadioReadGroup = pageGroup(blocks::radio::kValueIndex, blocks::radio::kValueLink);
inline constexpr GroupLayout kRadioWriteGroup = pageGroup(blocks::radio::kSecondIndex, blocks::radio::kSecondLink);

// ---- Button ----

struct ButtonStateLook {  // one of the three states' look
    std::uint32_t borderType = 0, borderWidth = 0, borderColor = 0, fillColor = 0, highlightColor = 0;
    std::uint32_t fillStyle = 0, usePicture = 0, transparent = 0, transparentColor = 0, noFill = 0, noBorder = 0;
};

struct ButtonShapePage {  // "外观"
    std::array<ButtonStateLook, 3> states;  // normal, over, pressed
    std::uint32_t textColor = 0;
    std::array<PictureSlot, 3> pictures;    // entries 0..2
    TextSlot text;                          // the object's text
    LogFont font;
};

inline constexpr const char8_t* kButtonStates[] = {u8"鼠标离开时外观", u8"鼠标停留时外观", u8"鼠标按下时外观"};

// One state's fields (normal, over, pressed).
constexpr std::array<BlockField<ButtonStateLook>, 11> buttonStateFields(const blocks::button::StateFields& f)
{
    return {{{&ButtonStateLook::usePicture, f.usePicture},
             {&ButtonStateLook::transparent, f.pictureTransparent},
             {&ButtonStateLook::transparentColor, f.transparentColor},
             {&ButtonStateLook::fillColor, f.gradientFrom},
             {&ButtonStateLook::highlightColor, f.gradientTo},
             {&ButtonStateLook::fillStyle, f.gradientDirection},
             {&ButtonStateLook::borderWidth, f.borderWidth},
             {&ButtonStateLook::borderColor, f.borderColor},
             {&ButtonStateLook::borderType, f.faceStyle},
             {&ButtonStateLook::noBorder, f.noBorder},
             {&ButtonStateLook::noFill, f.noFace}}};
}
inline constexpr std::array<BlockField<ButtonStateLook>, 11> kButtonStateFields[3] = {
    buttonStateFields(blocks::button::kStates[0]), buttonStateFields(blocks::button::kStates[1]),
    buttonStateFields(blocks::button::kStates[2])};

inline constexpr BlockField<ButtonShapePage> kButtonShapeFields[] = {{&ButtonShapePage::textColor, blocks::button::kTextColor}};

struct ButtonEvent {
    std::uint32_t flag = 0;
    std::uint32_t value = 0;  // 0..255: the block holds one byte
};

struct ButtonControlPage {  // "基本控制" of the button
    TextSlot action;          // entry 3
    TextSlot userCodeFile;    // entry 4, "\..." relative to the project folder
    std::uint32_t password = 0, operation = 0, doubleClick = 0, handCursor = 0;
    std::uint32_t pressFlag = 0, pressValue = 0, releaseFlag = 0, releaseValue = 0;
    std::uint32_t enterFlag = 0, enterValue = 0, leaveFlag = 0, leaveValue = 0;
    AddressGroup operated;
    std::vector<std::string> actions;  // the action list of the edited object's window
};

inline constexpr BlockField<ButtonControlPage> kButtonControlFields[] = {
    {&ButtonControlPage::doubleClick, blocks::button::kDoubleClick},
    {&ButtonControlPage::password, blocks::button::kUserLevel},
    {&ButtonControlPage::handCursor, blocks::button::kHandCursor},
    {&ButtonControlPage::operation, blocks::button::kOperation},
    {&ButtonControlPage::pressFlag, blocks::button::kPress.on},
    {&ButtonControlPage::pressValue, blocks::button::kPress.value},
    {&ButtonControlPage::releaseFlag, blocks::button::kRelease.on},
    {&ButtonControlPage::releaseValue, blocks::button::kRelease.value},
    {&ButtonControlPage::enterFlag, blocks::button::kEnter.on},
    {&ButtonControlPage::enterValue, blocks::button::kEnter.value},
    {&ButtonControlPage::leaveFlag, blocks::button::kLeave.on},
    {&ButtonControlPage::leaveValue, blocks::button::kLeave.value}};

inline constexpr GroupLayout kButtonOperatedGroup = pageGroup(blocks::button::kValueIndex, blocks::button::kValueLink);

inline constexpr const char8_t* kButtonOperations[] = {u8"=(设置为目标数)", u8"+(加上目标数)", u8"-(减去目标数)"};
inline constexpr const char* kOperateVariableAction = "操作变量";
inline constexpr const char* kUserCodeAction = "执行用户代码";
inline constexpr const char* kUserCodeTemplateLine = "MOV m_HuaMian #0;  //本句功能：跳转到画面0 \r\n";
inline constexpr const char* kUserCodeChooseFirst = "请先选择51单片机HEX格式文件";

// ---- Real-time number ----

inline constexpr int kPictureFontSymbols = 14;  // "0".."9", "-", "+", "空格", "."

struct NumberShapePage {  // "外观" of the real-time number
    std::uint32_t fontColor = 0, writeAllowed = 0, plusSign = 0, borderWidth = 0, borderColor = 0, borderType = 0;
    std::uint32_t backTransparent = 0, backColor = 0, alignment = 0, leadingFill = 0, digits = 0, decimals = 0;
    std::uint32_t rotated = 0, pictureFont = 0, keyboardX = 0, keyboardY = 0, minimum = 0, maximum = 0;
    std::uint32_t byteOrder = 0, toFloat = 0, noLimit = 0;  // the block holds "no limit"; the page shows "限值"
    LogFont font;
    // The picture font dialog's values, held here until the sheet's OK.
    std::uint32_t pictureFontTransparent = 0, pictureFontTransparentColor = 0;
    std::array<PictureSlot, kPictureFontSymbols> symbols;
};

inline constexpr BlockField<NumberShapePage> kNumberShapeFields[] = {
    {&NumberShapePage::fontColor, blocks::number::kFontColor},
    {&NumberShapePage::writeAllowed, blocks::number::kWritable},
    {&NumberShapePage::plusSign, blocks::number::kPlusSign},
    {&NumberShapePage::borderWidth, blocks::number::kBorderWidth},
    {&NumberShapePage::borderColor, blocks::number::kBorderColor},
    {&NumberShapePage::borderType, lowByte(blocks::number::kBorderType)},
    {&NumberShapePage::backTransparent, blocks::number::kTransparent},
    {&NumberShapePage::backColor, blocks::number::kBackColor},
    {&NumberShapePage::alignment, blocks::number::kAlignment},
    {&NumberShapePage::leadingFill, blocks::number::kFill},
    {&NumberShapePage::digits, blocks::number::kDigits},
    {&NumberShapePage::decimals, blocks::number::kDecimals},
    {&NumberShapePage::rotated, blocks::number::kTurned},
    {&NumberShapePage::pictureFontTransparent, blocks::number::kPictureTransparent},
    {&NumberShapePage::pictureFontTransparentColor, blocks::number::kPictureKey},
    {&NumberShapePage::pictureFont, blocks::number::kPictureFont},
    {&NumberShapePage::keyboardX, blocks::number::kKeypadX},
    {&NumberShapePage::keyboardY, blocks::number::kKeypadY},
    {&NumberShapePage::minimum, blocks::number::kMinimum},
    {&NumberShapePage::maximum, blocks::number::kMaximum},
    {&NumberShapePage::byteOrder, blocks::number::kFloatOrder},
    {&NumberShapePage::toFloat, blocks::number::kToFloat},
    {&NumberShapePage::noLimit, blocks::number::kNoLimit}};

inline constexpr const char8_t* kNumberBorderTypes[] = {u8"普通", u8"3D", u8"无边框"};
inline constexpr const char8_t* kByteOrders[] = {u8"1234(单精度4字节)",     u8"2143(单精度4字节)",
                                                 u8"4321(单精度4字节)",     u8"3412(单精度4字节)",
                                                 u8"12345678(双精度8字节)", u8"21436587(双精度8字节)",
                                                 u8"87654321(双精度8字节)", u8"78563412(双精度8字节)"};
inline constexpr const char8_t* kPictureFontSymbolNames[kPictureFontSymbols] = {
    u8"0", u8"1", u8"2", u8"3", u8"4", u8"5", u8"6", u8"7", u8"8", u8"9", u8"-", u8"+", u8"空格", u8"."};

struct NumberControlPage {  // "基本控制" of the real-time number
    std::uint32_t password = 0;
    std::uint32_t differentWrite = 0;
    AddressGroup read, write;
};

inline constexpr BlockField<NumberControlPage> kNumberControlFields[] = {
    {&NumberControlPage::password, blocks::number::kPasswordLevel},
    {&NumberControlPage::differentWrite, blocks::number::kOtherWriteOn}};

inline constexpr GroupLayout kNumberReadGroup = pageGroup(blocks::number::kValueIndex, blocks::number::kReadLink);
inline constexpr GroupLayout kNumberWriteGroup = pageGroup(blocks::number::kOtherIndex, blocks::number::kOtherWriteLink);

inline constexpr const char* kDecimalsTooMany = "“小数位”不能大于“总位数”";

// The common pages' groups of one sheet; a kind without the page leaves the group unused.
struct CommonPages {
    std::optional<AddressGroup> hide, writeEnable, move, fontColor, backColor;
};

} // namespace qv
