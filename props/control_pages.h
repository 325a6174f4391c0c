#pragma once
// Page models of the controls' own pages (button, bit switch, indicator light, radio button,
// real-time number): plain members, each block field written once in the page's table, the
// address groups with their block layouts, and the string-list entries (pictures, texts,
// action, user code file) the pages carry. The Qt pages edit these and never the object.
#include "model/params/blocks/number_block.h"
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

inline constexpr BlockField<SwitchShapePage> kBitSwitchShapeFields[] = {
    {&SwitchShapePage::transparentOn, 0, 4},       {&SwitchShapePage::transparentOff, 4, 4},
    {&SwitchShapePage::transparentColorOn, 8, 4},  {&SwitchShapePage::transparentColorOff, 12, 4},
    {&SwitchShapePage::textColorOn, 68, 4},        {&SwitchShapePage::textColorOff, 72, 4}};

inline constexpr BlockField<SwitchShapePage> kIndicatorShapeFields[] = {
    {&SwitchShapePage::transparentOn, 0, 4},       {&SwitchShapePage::transparentOff, 4, 4},
    {&SwitchShapePage::transparentColorOn, 8, 4},  {&SwitchShapePage::transparentColorOff, 12, 4},
    {&SwitchShapePage::textColorOn, 48, 4},        {&SwitchShapePage::textColorOff, 52, 4}};

struct SwitchControlPage {  // "基本控制" of the bit switch
    std::uint32_t function = 0;  // 0 set, 1 clear, 2 invert, 3 momentary
    std::uint32_t password = 0;
    std::uint32_t differentWrite = 0;
    AddressGroup read, write;
};

inline constexpr BlockField<SwitchControlPage> kSwitchControlFields[] = {
    {&SwitchControlPage::function, 26, 1}, {&SwitchControlPage::password, 27, 1},
    {&SwitchControlPage::differentWrite, 96, 4}};

inline constexpr GroupLayout kSwitchReadGroup = {-1, 4, 16, 76, 80, 84, 88, 92, -1, 25, 1};
inline constexpr GroupLayout kSwitchWriteGroup = {-1, 4, 120, 100, 104, 108, 112, 116, -1, 132, 4};

inline constexpr const char8_t* kSwitchFunctions[] = {u8"打开( 置 1 )", u8"关闭( 置 0 )", u8"位取反", u8"复归型"};

struct IndicatorControlPage {  // "基本控制" of the indicator light
    AddressGroup read;
};

inline constexpr GroupLayout kIndicatorReadGroup = {-1, 4, 16, 56, 60, 64, 68, 72, -1, 25, 1};

// ---- Radio button ----

struct RadioShapePage {  // "外观"
    std::uint32_t mode = 0;  // "系统自绘外观", "使用图片外观"
    std::uint32_t transparentOn = 0, transparentOff = 0;
    std::uint32_t transparentColorOn = 0, transparentColorOff = 0;
    std::array<PictureSlot, 2> pictures;  // entries 0 (selected), 1 (unselected)
    bool startsFromDefaults = false;      // the radio had no pictures: the page shows the system's
};

inline constexpr BlockField<RadioShapePage> kRadioShapeFields[] = {
    {&RadioShapePage::transparentOn, 24, 4},      {&RadioShapePage::transparentOff, 28, 4},
    {&RadioShapePage::transparentColorOn, 32, 4}, {&RadioShapePage::transparentColorOff, 36, 4},
    {&RadioShapePage::mode, 60, 4}};

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
    {&RadioControlPage::value, 4, 4}, {&RadioControlPage::password, 13, 1}, {&RadioControlPage::differentWrite, 100, 4}};

inline constexpr GroupLayout kRadioReadGroup = {-1, 4, 0, 80, 84, 88, 92, 96, -1, -1, 4};
inline constexpr GroupLayout kRadioWriteGroup = {-1, 4, 124, 104, 108, 112, 116, 120, -1, -1, 4};

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

// The states' fields: normal, over, pressed.
inline constexpr BlockField<ButtonStateLook> kButtonStateFields[3][11] = {
    {{&ButtonStateLook::usePicture, 4, 4}, {&ButtonStateLook::transparent, 16, 4},
     {&ButtonStateLook::transparentColor, 36, 4}, {&ButtonStateLook::fillColor, 48, 4},
     {&ButtonStateLook::highlightColor, 60, 4}, {&ButtonStateLook::fillStyle, 66, 1},
     {&ButtonStateLook::borderWidth, 76, 4}, {&ButtonStateLook::borderColor, 88, 4},
     {&ButtonStateLook::borderType, 94, 1}, {&ButtonStateLook::noBorder, 188, 4}, {&ButtonStateLook::noFill, 200, 4}},
    {{&ButtonStateLook::usePicture, 8, 4}, {&ButtonStateLook::transparent, 20, 4},
     {&ButtonStateLook::transparentColor, 32, 4}, {&ButtonStateLook::fillColor, 44, 4},
     {&ButtonStateLook::highlightColor, 56, 4}, {&ButtonStateLook::fillStyle, 64, 1},
     {&ButtonStateLook::borderWidth, 72, 4}, {&ButtonStateLook::borderColor, 84, 4},
     {&ButtonStateLook::borderType, 92, 1}, {&ButtonStateLook::noBorder, 192, 4}, {&ButtonStateLook::noFill, 204, 4}},
    {{&ButtonStateLook::usePicture, 12, 4}, {&ButtonStateLook::transparent, 24, 4},
     {&ButtonStateLook::transparentColor, 28, 4}, {&ButtonStateLook::fillColor, 40, 4},
     {&ButtonStateLook::highlightColor, 52, 4}, {&ButtonStateLook::fillStyle, 65, 1},
     {&ButtonStateLook::borderWidth, 68, 4}, {&ButtonStateLook::borderColor, 80, 4},
     {&ButtonStateLook::borderType, 93, 1}, {&ButtonStateLook::noBorder, 196, 4}, {&ButtonStateLook::noFill, 208, 4}},
};

inline constexpr BlockField<ButtonShapePage> kButtonShapeFields[] = {{&ButtonShapePage::textColor, 0, 4}};

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
    {&ButtonControlPage::doubleClick, 122, 1}, {&ButtonControlPage::password, 123, 1},
    {&ButtonControlPage::handCursor, 124, 1},  {&ButtonControlPage::operation, 127, 1},
    {&ButtonControlPage::pressFlag, 132, 4},   {&ButtonControlPage::pressValue, 136, 1},
    {&ButtonControlPage::releaseFlag, 140, 4}, {&ButtonControlPage::releaseValue, 144, 1},
    {&ButtonControlPage::enterFlag, 148, 4},   {&ButtonControlPage::enterValue, 152, 1},
    {&ButtonControlPage::leaveFlag, 156, 4},   {&ButtonControlPage::leaveValue, 160, 1}};

inline constexpr GroupLayout kButtonOperatedGroup = {-1, 4, 128, 228, 232, 236, 240, 244, -1, -1, 4};

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

inline constexpr GroupLayout kNumberReadGroup = PageWordGroup(blocks::number::kValueIndex, blocks::number::kReadLink);
inline constexpr GroupLayout kNumberWriteGroup = PageWordGroup(blocks::number::kOtherIndex, blocks::number::kOtherWriteLink);

inline constexpr const char* kDecimalsTooMany = "“小数位”不能大于“总位数”";

// The common pages' groups of one sheet; a kind without the page leaves the group unused.
struct CommonPages {
    std::optional<AddressGroup> hide, writeEnable, move, fontColor, backColor;
};

} // namespace qv
