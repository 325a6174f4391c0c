#pragma once
// Page models of the controls that show data: character control, curve, dynamic picture,
// progress bar and area control. Plain members, each block field written once in the
// page's table; lists (curve records, frames) are the page's own copies that reach the
// object only on the sheet's OK.
#include "model/params/blocks/area_block.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/blocks/dynamic_picture_block.h"
#include "model/params/blocks/progress_bar_block.h"
#include "model/params/var_refs.h"
#include "props/control_pages.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// ---- Character control ----

struct CharacterShapePage {  // "外观"
    std::uint32_t fontColor = 0, backColor = 0, backTransparent = 0, charSpacing = 0, lineSpacing = 0;
    std::uint32_t maxChars = 0, showCursor = 0, cursorWidth = 0, cursorColor = 0;
    std::uint32_t allowDigits = 0, allowPoint = 0, allowMinus = 0, allowEnglish = 0, allowChinese = 0;
    std::uint32_t mouseSensing = 0, keyboardInput = 0, passwordStyle = 0, hashPassword = 0;
    std::uint32_t clickKeyboard = 0, doubleClickKeyboard = 0, keyboardX = 0, keyboardY = 0, verticalCentre = 0;
    TextSlot initialText;  // the object's text
    LogFont font;
};

inline constexpr BlockField<CharacterShapePage> kCharacterShapeFields[] = {
    {&CharacterShapePage::fontColor, blocks::character::kFontColor},
    {&CharacterShapePage::backColor, blocks::character::kBackColor},
    {&CharacterShapePage::backTransparent, blocks::character::kTransparent},
    {&CharacterShapePage::charSpacing, blocks::character::kCharSpacing},
    {&CharacterShapePage::lineSpacing, blocks::character::kLineSpacing},
    {&CharacterShapePage::maxChars, blocks::character::kStringLength},
    {&CharacterShapePage::showCursor, blocks::character::kShowCursor},
    {&CharacterShapePage::cursorWidth, blocks::character::kCursorWidth},
    {&CharacterShapePage::cursorColor, blocks::character::kCursorColor},
    {&CharacterShapePage::allowDigits, blocks::character::kDigits},
    {&CharacterShapePage::allowPoint, blocks::character::kDecimalPoint},
    {&CharacterShapePage::allowMinus, blocks::character::kMinus},
    {&CharacterShapePage::allowEnglish, blocks::character::kEnglish},
    {&CharacterShapePage::allowChinese, blocks::character::kChinese},
    {&CharacterShapePage::mouseSensing, blocks::character::kAutoSense},
    {&CharacterShapePage::keyboardInput, blocks::character::kKeyboardWrite},
    {&CharacterShapePage::passwordStyle, blocks::character::kPasswordStyle},
    {&CharacterShapePage::hashPassword, blocks::character::kHashPassword},
    {&CharacterShapePage::clickKeyboard, blocks::character::kClickKeyboard},
    {&CharacterShapePage::doubleClickKeyboard, blocks::character::kDoubleClickKeyboard},
    {&CharacterShapePage::keyboardX, blocks::character::kKeyboardX},
    {&CharacterShapePage::keyboardY, blocks::character::kKeyboardY},
    {&CharacterShapePage::verticalCentre, blocks::character::kVerticalCentre}};

inline constexpr std::uint32_t kMinCursorWidth = 1, kMaxCursorWidth = 255;
inline constexpr std::uint32_t kMinCharacters = 2, kMaxCharacters = 30000;
inline constexpr std::uint32_t kMaxClickValue = 255;

struct CharacterControlPage {  // "基本控制": plain HMI variables, no PLC link
    std::uint32_t stringStart = 0, password = 0, operateOnClick = 0, operatedVar = 0, clickValue = 0;
    std::uint32_t convert = 0, hex = 0, numberVar = 0, zeroFill = 0, minimum = 0, maximum = 0, letterCase = 0;
};

inline constexpr BlockField<CharacterControlPage> kCharacterControlFields[] = {
    {&CharacterControlPage::stringStart, blocks::character::kStringIndex},
    {&CharacterControlPage::password, blocks::character::kPasswordLevel},
    {&CharacterControlPage::operatedVar, blocks::character::kClickIndex},
    {&CharacterControlPage::operateOnClick, blocks::character::kClickOn},
    {&CharacterControlPage::clickValue, blocks::character::kClickValue},
    {&CharacterControlPage::convert, blocks::character::kConvertOn},
    {&CharacterControlPage::hex, blocks::character::kConvertHex},
    {&CharacterControlPage::numberVar, blocks::character::kConvertIndex},
    {&CharacterControlPage::zeroFill, blocks::character::kConvertZeroFill},
    {&CharacterControlPage::minimum, blocks::character::kConvertMin},
    {&CharacterControlPage::maximum, blocks::character::kConvertMax},
    {&CharacterControlPage::letterCase, blocks::character::kCase}};

inline constexpr const char8_t* kLetterCases[] = {u8"大写", u8"小写", u8"自动"};

// ---- Curve ----

inline constexpr int kMaxCurves = blocks::curve::kMaxRecords;

struct CurveRecord {
    std::int32_t varIndex = 0;
    std::uint32_t color = 0x0000FF00;
    std::uint8_t style = 0;     // "折线", "点", "柱线条"
    std::uint8_t typeCode = 0;  // cached type of the first variable, not edited here
    std::uint16_t lineWidth = 1;
    bool operator==(const CurveRecord&) const = default;
};

inline constexpr const char8_t* kCurveStyles[] = {u8"折线", u8"点", u8"柱线条"};

struct CurveShapePage {  // "外观"
    std::uint32_t labelColor = 0, gridColor = 0, backColor = 0, gridWidth = 0, backTransparent = 0, noGrid = 0;
    std::uint32_t hGrid = 0, vGrid = 0, noLabels = 0, maximum = 0, decimals = 0, labelCount = 0, minimum = 0;
    std::uint32_t bottomOffset = 0, leftOffset = 0, shift = 0, curveType = 0, interval = 0, stopOutOfRange = 0;
    std::uint32_t loadedInterval = 0;
    LogFont font;
};

inline constexpr BlockField<CurveShapePage> kCurveShapeFields[] = {
    {&CurveShapePage::labelColor, blocks::curve::kLabelColor},
    {&CurveShapePage::gridColor, blocks::curve::kGridColor},
    {&CurveShapePage::backColor, blocks::curve::kBackColor},
    {&CurveShapePage::gridWidth, blocks::curve::kGridWidth},
    {&CurveShapePage::backTransparent, blocks::curve::kTransparent},
    {&CurveShapePage::noGrid, blocks::curve::kNoGrid},
    {&CurveShapePage::hGrid, blocks::curve::kVerticalDivisions},
    {&CurveShapePage::vGrid, blocks::curve::kHorizontalDivisions},
    {&CurveShapePage::noLabels, blocks::curve::kNoLabels},
    {&CurveShapePage::maximum, blocks::curve::kTopValue},
    {&CurveShapePage::decimals, blocks::curve::kLabelDecimals},
    {&CurveShapePage::labelCount, blocks::curve::kLabelCount},
    {&CurveShapePage::minimum, blocks::curve::kBottomValue},
    {&CurveShapePage::bottomOffset, blocks::curve::kBottomMargin},
    {&CurveShapePage::leftOffset, blocks::curve::kLeftMargin},
    {&CurveShapePage::shift, blocks::curve::kShiftDirection},
    {&CurveShapePage::curveType, blocks::curve::kCurveType},
    {&CurveShapePage::stopOutOfRange, blocks::curve::kStopOutOfRange}};
inline constexpr std::uint32_t kMaxCurveInterval = 10000;

inline constexpr const char8_t* kCurveShifts[] = {u8"曲线左移一个点", u8"曲线右移一个点"};
inline constexpr const char8_t* kCurveTypes[] = {u8"实时曲线", u8"历史曲线"};

struct CurveControlPage {  // "基本控制"
    std::uint32_t samples = 0;
    int count = 0;
    std::array<CurveRecord, kMaxCurves> records{};
    int loadedCount = 0;
    std::array<CurveRecord, kMaxCurves> loadedRecords{};
    bool curvesChanged() const { return count != loadedCount || records != loadedRecords; }
};

inline constexpr BlockField<CurveControlPage> kCurveControlFields[] = {{&CurveControlPage::samples, blocks::curve::kPointCount}};

// ---- Dynamic picture ----

// One frame of the frame list: a stored entry kept as it is, or a picture chosen here that
// is copied into the project on OK.
struct FrameRow {
    std::filesystem::path path;  // shown full path
    std::string stored;          // the stored name; empty for a new row until copied
};

struct PictureGroupPage {  // "外观": the frame list
    std::uint32_t transparent = 0, transparentColor = 0, effect = 0, timeStep = 0, areaStep = 0;
    std::vector<FrameRow> frames;
    std::vector<std::string> loadedNames;  // the object's list as it was
    int pictureWidth = 0, pictureHeight = 0;  // of the previewed picture, for the original size
    bool framesChanged() const;
};

inline constexpr BlockField<PictureGroupPage> kPictureGroupFields[] = {
    {&PictureGroupPage::transparent, blocks::dynamic_picture::kTransparent},
    {&PictureGroupPage::transparentColor, blocks::dynamic_picture::kKey},
    {&PictureGroupPage::effect, blocks::dynamic_picture::kEffect},
    {&PictureGroupPage::timeStep, blocks::dynamic_picture::kTimeStep},
    {&PictureGroupPage::areaStep, blocks::dynamic_picture::kAreaStep}};

struct PictureDisplayControlPage {  // "基本控制"
    std::uint32_t playMode = 0, location = 0, lookup = 0;  // location: state of the open sheet
    AddressGroup read;
};

inline constexpr BlockField<PictureDisplayControlPage> kPictureDisplayFields[] = {
    {&PictureDisplayControlPage::playMode, blocks::dynamic_picture::kPlayMode},
    {&PictureDisplayControlPage::location, blocks::dynamic_picture::kUserArea},
    {&PictureDisplayControlPage::lookup, blocks::dynamic_picture::kByFileName}};

inline constexpr GroupLayout kPictureReadGroup =
    pageGroup(blocks::dynamic_picture::kFrameIndex, blocks::dynamic_picture::kFrameLink);

inline constexpr const char8_t* kPlayModes[] = {u8"条件显示", u8"循环播放"};
inline constexpr const char8_t* kPictureLocations[] = {u8"图片位于系统区", u8"图片位于用户区"};
inline constexpr const char8_t* kPictureLookups[] = {u8"按照索引号", u8"按照文件名"};

// The read group's caption for the play mode, location and lookup.
const char8_t* PictureReadCaption(std::uint32_t playMode, std::uint32_t location, std::uint32_t lookup);
// The lookup radios show only for pictures of the user area looked up on condition.
bool PictureLookupVisible(std::uint32_t playMode, std::uint32_t location);

// The frames a batch add takes from `folder`: its picture files (".bmp", ".jpg", ".gif" in
// either case, ".jpeg"), in the order the folder lists them; subfolders are skipped.
std::vector<std::filesystem::path> BatchFramesOf(const std::filesystem::path& folder);

// ---- Progress bar ----

struct ProgressShapePage {  // "外观"
    std::uint32_t usePicture = 0, noBackground = 0, fillColor = 0, highlightColor = 0, style = 0, foreColor = 0;
    std::uint32_t direction = 0, inverted = 0;
    PictureSlot picture;  // entry 0
};

inline constexpr BlockField<ProgressShapePage> kProgressShapeFields[] = {
    {&ProgressShapePage::usePicture, blocks::progress_bar::kPictureBack},
    {&ProgressShapePage::noBackground, blocks::progress_bar::kNoBack},
    {&ProgressShapePage::fillColor, blocks::progress_bar::kGradientFrom},
    {&ProgressShapePage::highlightColor, blocks::progress_bar::kGradientTo},
    {&ProgressShapePage::style, blocks::progress_bar::kGradientDirection},
    {&ProgressShapePage::foreColor, blocks::progress_bar::kBarColor},
    {&ProgressShapePage::direction, blocks::progress_bar::kBarDirection},
    {&ProgressShapePage::inverted, blocks::progress_bar::kReverse}};

inline constexpr const char8_t* kProgressDirections[] = {u8"向上", u8"向下", u8"向右", u8"向左"};

struct ProgressControlPage {  // "基本控制"
    std::uint32_t maximum = 0, minimum = 0;
    AddressGroup read;
};

inline constexpr BlockField<ProgressControlPage> kProgressControlFields[] = {
    {&ProgressControlPage::maximum, blocks::progress_bar::kMaximum},
    {&ProgressControlPage::minimum, blocks::progress_bar::kMinimum}};

inline constexpr GroupLayout kProgressReadGroup = pageGroup(blocks::progress_bar::kValueIndex, blocks::progress_bar::kValueLink);

// ---- Area control ----

struct AreaControlPage {  // "基本控制"
    std::uint32_t behaviour = 0, mouseDetect = 0, textColor = 0, backColor = 0;
    TextSlot subWindow;  // the object's text
    LogFont font;
    std::string windowTitle;               // the edited object's own window (GBK)
    std::vector<std::string> subWindows;   // the combo's entries, sorted, system sub-windows left out
};

inline constexpr BlockField<AreaControlPage> kAreaControlFields[] = {
    {&AreaControlPage::behaviour, blocks::area::kBehaviour}, {&AreaControlPage::mouseDetect, blocks::area::kMouseDetect},
    {&AreaControlPage::textColor, blocks::area::kTextColor}, {&AreaControlPage::backColor, blocks::area::kBackColor}};

inline constexpr const char8_t* kAreaBehaviours[] = {u8"右键菜单", u8"子窗口移动", u8"绘图区", u8"文字输入区"};

// What the area page offers on its window: which behaviours (1..4) can be chosen, and
// whether the text input area's controls show.
struct AreaChoices {
    std::array<bool, 4> enabled{true, true, true, true};
    bool textInputShown = false;
};
AreaChoices AreaChoicesFor(const std::string& windowTitleGbk);

// The sub-windows the right-button menu may open: sorted, the system sub-windows left out.
std::vector<std::string> AreaSubWindows(std::vector<std::string> subWindowsGbk);

} // namespace qv
