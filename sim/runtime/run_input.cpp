#include "sim/runtime/run_input.h"

#include <algorithm>
#include <limits>

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/params/block_bytes.h"
#include "model/params/blocks/area_block.h"
#include "model/params/blocks/button_block.h"
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/number_block.h"
#include "model/params/blocks/state_picture_block.h"
#include "model/project/system_windows.h"
#include "model/shape/draw_obj.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "model/vars/var_types.h"
#include "sim/runtime/keypad_entry.h"
#include "sim/runtime/text_keyboard.h"
#include "sim/runtime/var_write.h"

namespace qv::sim {
namespace {

namespace bb = blocks::button;
namespace lamp = blocks::lamp;
namespace bs = blocks::bit_switch;
namespace radio = blocks::radio;
namespace ab = blocks::area;
namespace nb = blocks::number;
namespace cb = blocks::character;


constexpr std::string_view kWarning = syswin::AccessWarning;
constexpr std::string_view kLogin = syswin::Login;
constexpr std::string_view kWrongPassword = syswin::WrongPassword;
constexpr std::string_view kLoggedOut = syswin::LoggedOut;
constexpr std::string_view kLogoutConfirm = syswin::LogoutConfirm;
constexpr std::string_view kSaveConfirm = syswin::SaveConfirm;
constexpr std::string_view kNumericKeypad = syswin::NumericKeypad;
constexpr std::string_view kTextKeyboard = syswin::SystemKeyboard;

// Per writing kind: the write-enable reference (flag, address, bit) and the required level.
struct WriteRule {
    ShapeKind kind;
    int enableFlag, enableAddress, enableBit, level;
};
constexpr WriteRule kWriteRules[] = {
    {ShapeKind::Button, bb::kWriteEnableOption.offset, bb::kWriteAddress.offset, bb::kWriteBit.offset, bb::kUserLevel.offset},
    {ShapeKind::RealTimeNumber, nb::kWriteOn.offset, nb::kWriteAddress.offset, nb::kWriteBit.offset, nb::kPasswordLevel.offset},
    {ShapeKind::BitSwitch, bs::kWriteEnableOption.offset, bs::kWriteAddress.offset, bs::kWriteBit.offset, bs::kUserLevel.offset},
    {ShapeKind::RadioButton, radio::kWriteEnableOption.offset, radio::kWriteAddress.offset, radio::kWriteBit.offset,
     radio::kUserLevel.offset},
    {ShapeKind::Character, cb::kWriteOn.offset, cb::kWriteAddress.offset, cb::kWriteBit.offset, cb::kPasswordLevel.offset},
};

const WriteRule* writeRule(ShapeKind kind)
{
    for (const WriteRule& r : kWriteRules)
        if (r.kind == kind)
            return &r;
    return nullptr;
}

// Writing is allowed unless the enable bit is bound and clear.
bool writeAllowed(const CEditorApp& app, const CDrawObj& obj)
{
    const WriteRule* r = writeRule(obj.Kind());
    if (!r || obj.ParamI32(static_cast<std::size_t>(r->enableFlag)) == 0)
        return true;
    const std::int64_t address = obj.ParamI32(static_cast<std::size_t>(r->enableAddress));
    const std::int64_t bit = obj.ParamI32(static_cast<std::size_t>(r->enableBit));
    if (address < 0 || address > 0xFFFF)
        return true;
    const auto byte = app.m_VarMemRun.readByte(address + bit / 8);
    return !byte || ((*byte >> (bit & 7)) & 1) != 0;
}

int userLevel(const CEditorApp& app) { return app.ProjectDoc() ? app.ProjectDoc()->m_nUserLevel : 0; }

bool levelTooLow(const CEditorApp& app, const CDrawObj& obj)
{
    const WriteRule* r = writeRule(obj.Kind());
    return r && userLevel(app) < obj.ParamU8(static_cast<std::size_t>(r->level));
}

void clearKeypad(CEditorApp& app)
{
    app.m_szKeypadText.fill(0);
    app.m_nKeypadLength = 0;
}

void resetPinyin(CEditorApp& app) { ResetPinyinState(app); }

bool hasWindow(const CEditorApp& app, std::string_view name) { return FindWindowIndex(app, name) != 0xFF; }

// The warning (or, without one, the login window) instead of the input; only while no system
// sub-window is open. The object becomes the input target.
void refusePermission(CEditorApp& app, CDrawObj& obj)
{
    if (!app.m_strSimSysWindow.empty())
        return;
    OpenSystemWindow(app, hasWindow(app, kWarning) ? kWarning : kLogin);
    app.m_pInputTarget = &obj;
    clearKeypad(app);
}

// A character control's refusal leaves the input target as it is.
void refuseCharacterInput(CEditorApp& app)
{
    OpenSystemWindow(app, hasWindow(app, kWarning) ? kWarning : kLogin);
    app.m_bSimRepaint = 1;
}

// The text keyboard opened at the control's keyboard offset (unless it is already open).
void openTextKeyboard(CEditorApp& app, const CDrawObj& obj)
{
    if (app.m_strSimSysWindow == kTextKeyboard)
        return;
    OpenSystemWindow(app, kTextKeyboard);
    app.MoveSubWindowDoc(std::string(kTextKeyboard), app.m_nMarginX + obj.Param(cb::kKeyboardX), app.m_nMarginY + obj.Param(cb::kKeyboardY));
    ResetPinyinState(app);
    app.m_bSimRepaint = 1;
}

void takeFocus(CEditorApp& app, CDrawObj& obj, Point p)
{
    app.m_ptCaret = {p.x, p.y};
    app.m_pInputTarget = &obj;
}

bool inside(const CDrawObj& obj, Point p) { return obj.m_rcPosition.normalized().contains(p.x, p.y); }

void redraw(CEditorApp& app) { app.m_bSimRepaint = 1; }

// A button's variable operation with the event's operand (set, add or subtract).
void operate(CDrawObj& obj, RunInput& in, const bb::Event& event)
{
    const std::int64_t address = obj.Param(bb::kValueAddress);
    const int width = hmiVarTypeWidth(obj.Param(bb::kValueType));
    if (address == -1 || width == 0)
        return;
    const std::uint64_t operand = obj.Param(event.value);
    const std::uint8_t op = obj.Param(bb::kOperation);
    std::uint64_t value = operand;
    if (op != 0) {
        const auto old = in.app.m_VarMemRun.read(address, width);
        if (!old)
            return;
        value = op == 1 ? *old + operand : *old - operand;
    }
    WriteRunValue(in.app, in.writer, address, width, value);
}

bool operatesVariable(const CDrawObj& obj)
{
    return bb::functionText(obj.m_strFiles) == bb::kOperateVariable;
}

void setButtonState(CDrawObj& obj, RunInput& in, int state)
{
    obj.SetParam(bb::kState, static_cast<std::uint8_t>(state));
    if (obj.Param(bb::kLastPaintedState) != state)
        redraw(in.app);
}

void cursor(RunInput& in, RunCursor shape)
{
    if (in.setCursor)
        in.setCursor(shape);
}

// The cursor a control asks for under the pointer: the hand over a button with its option,
// the I-beam over a character control with its option, the move cross over a dragging area.
void controlCursor(const CDrawObj& obj, RunInput& in)
{
    if (obj.Kind() == ShapeKind::Button && obj.Param(bb::kHandCursor) != 0)
        cursor(in, RunCursor::Hand);
    else if (obj.Kind() == ShapeKind::Character && obj.Param(lowByte(cb::kAutoSense)) != 0 && in.runMode)
        cursor(in, RunCursor::IBeam);
    else if (obj.Kind() == ShapeKind::AreaControl && obj.Param(ab::kMouseDetect) != 0 && obj.Param(ab::kBehaviour) == ab::kDragsWindow && in.runMode)
        cursor(in, RunCursor::SizeAll);
}

void keyClick(const CDrawObj&, RunInput& in)
{
    const auto address = SystemVarAddress(in.app, SystemVar::KeySound, 1);
    if (!address || *address < 1 || *address > 0xFFFE || !in.runMode)
        return;
    if (in.app.m_VarMem.readByte(*address).value_or(0) != 0 && in.keyClick)
        in.keyClick();
}

// While a drag runs, the sub-window holding a dragging area control follows the pointer.
void dragWindow(CDrawObj& obj, Point p, RunInput& in)
{
    CDrawDoc* doc = obj.m_pOwnerDoc;
    if (!in.dragging || !doc)
        return;
    CEditorApp& app = in.app;
    const auto clampInt = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    };
    const std::int64_t dx = std::int64_t{p.x} - in.dragLast.x;
    const std::int64_t dy = std::int64_t{p.y} - in.dragLast.y;
    in.dragLast = p;
    if (dx == 0 && dy == 0)
        return;
    app.MoveSubWindowDoc(doc->GetTitle(), clampInt(std::int64_t{app.m_nMarginX.load()} + doc->m_ptWindowOrigin.x + dx),
                         clampInt(std::int64_t{app.m_nMarginY.load()} + doc->m_ptWindowOrigin.y + dy));
    redraw(app);
}

} // namespace

void OpenSystemWindow(CEditorApp& app, std::string_view name) { app.m_strSimSysWindow = std::string(name); }

void OnRunLButtonDown(CDrawObj& obj, Point p, RunInput& in)
{
    keyClick(obj, in);
    if (inside(obj, p))
        controlCursor(obj, in);
    if (obj.Kind() == ShapeKind::AreaControl && in.runMode && inside(obj, p)) {
        in.dragging = true;
        in.dragLast = p;
    }
    if (obj.Kind() != ShapeKind::Button || !inside(obj, p))
        return;
    setButtonState(obj, in, 3);
    if (operatesVariable(obj) && in.runMode && obj.Param(bb::kPress.on) != 0 && writeAllowed(in.app, obj))
        operate(obj, in, bb::kPress);
}

void OnRunLButtonUp(CDrawObj& obj, Point p, RunInput& in)
{
    CEditorApp& app = in.app;
    const bool hit = inside(obj, p);
    if (hit)
        controlCursor(obj, in);
    switch (obj.Kind()) {
    case ShapeKind::Button: {
        if (!hit) {
            setButtonState(obj, in, 1);
            return;
        }
        const bool allowed = writeAllowed(app, obj);
        obj.SetParam(bb::kState, 3);
        if (obj.Param(bb::kDoubleClick) == 0) {
            if (in.runMode && allowed)
                ExecuteButtonFunction(obj, in);
            obj.SetParam(bb::kState, 2);
        }
        if (operatesVariable(obj) && in.runMode && obj.Param(bb::kRelease.on) != 0 && allowed)
            operate(obj, in, bb::kRelease);
        setButtonState(obj, in, obj.Param(bb::kState));
        return;
    }
    case ShapeKind::RealTimeNumber:
        if (!hit || !writeAllowed(app, obj) || obj.Param(nb::kWritable) == 0 || !app.m_strSimSysWindow.empty())
            return;
        if (levelTooLow(app, obj)) {
            refusePermission(app, obj);
        } else {
            OpenSystemWindow(app, kNumericKeypad);
            app.m_pInputTarget = &obj;
            app.MoveSubWindowDoc(std::string(kNumericKeypad), app.m_nMarginX + obj.Param(nb::kKeypadX),
                                 app.m_nMarginY + obj.Param(nb::kKeypadY));
        }
        clearKeypad(app);
        redraw(app);
        return;
    case ShapeKind::BitSwitch: {
        if (!in.runMode || !hit || !writeAllowed(app, obj) || obj.Param(lamp::kBitAddress) < 0)
            return;
        if (levelTooLow(app, obj)) {
            refusePermission(app, obj);
            return;
        }
        std::int64_t byte = 0;
        int bit = 0;
        if (obj.Param(bs::kDifferentWrite) != 0) {
            const std::int64_t offset = obj.Param(bs::kSecondBit);
            byte = std::int64_t{obj.Param(bs::kSecondAddress)} + (offset >> 3);
            bit = static_cast<int>(offset & 7);
        } else {
            const int n = obj.Param(lamp::kBitNumber);
            byte = std::int64_t{obj.Param(lamp::kBitAddress)} + n / 8;
            bit = n & 7;
        }
        const auto old = app.m_VarMemRun.readByte(byte);
        if (!old)
            return;
        const bool set = ((*old >> bit) & 1) != 0;
        switch (obj.Param(bs::kFunction)) {
        case 0: WriteRunBit(app, in.writer, byte, bit, true); break;
        case 1:
        case 3: WriteRunBit(app, in.writer, byte, bit, false); break;
        case 2: WriteRunBit(app, in.writer, byte, bit, !set); break;
        default: break;
        }
        redraw(app);
        return;
    }
    case ShapeKind::Character: {
        if (!hit)
            return;
        const bool allowed = writeAllowed(app, obj);
        if (obj.Param(cb::kClickOn) != 0 && obj.Param(cb::kClickAddress) != -1 && allowed)
            WriteRunValue(app, in.writer, obj.Param(cb::kClickAddress), 1, obj.Param(cb::kClickValue));
        if (obj.Param(cb::kClickKeyboard) != 0 && app.m_strSimSysWindow.empty() && allowed) {
            if (levelTooLow(app, obj))
                return refuseCharacterInput(app);
            openTextKeyboard(app, obj);
        }
        takeFocus(app, obj, p);
        return;
    }
    case ShapeKind::AreaControl:
        if (in.runMode && obj.Param(ab::kBehaviour) == ab::kCandidateBar)
            CandidateBarClick(app, obj, p.x, p.y);
        return;
    case ShapeKind::RadioButton: {
        if (!in.runMode || !hit || !writeAllowed(app, obj))
            return;
        if (levelTooLow(app, obj)) {
            refusePermission(app, obj);
            return;
        }
        const bool separate = obj.Param(radio::kDifferentWrite) != 0;
        const std::int64_t address = separate ? obj.Param(radio::kSecondAddress) : obj.Param(radio::kValueAddress);
        const int width = hmiVarTypeWidth(separate ? obj.Param(radio::kSecondType) : obj.Param(radio::kValueType));
        const auto value = static_cast<std::uint32_t>(obj.Param(radio::kOwnValue));
        const auto old = app.m_VarMemRun.read(address, width == 0 ? 1 : width);
        if (width == 0 || !old || *old == (width == 4 ? value : value & ((1u << (8 * width)) - 1)))
            return;
        WriteRunValue(app, in.writer, address, width, value);
        redraw(app);
        return;
    }
    default:
        return;
    }
}

void OnRunLButtonDblClk(CDrawObj& obj, Point p, RunInput& in)
{
    if (obj.Kind() == ShapeKind::Character) {
        if (!inside(obj, p) || obj.Param(cb::kDoubleClickKeyboard) == 0)
            return;
        const bool allowed = writeAllowed(in.app, obj);
        if (levelTooLow(in.app, obj) && allowed)
            return refuseCharacterInput(in.app);
        if (allowed)
            openTextKeyboard(in.app, obj);
        takeFocus(in.app, obj, p);
        return;
    }
    if (obj.Kind() != ShapeKind::Button)
        return;
    if (!inside(obj, p)) {
        setButtonState(obj, in, 1);
        return;
    }
    if (obj.Param(bb::kDoubleClick) == 1 && writeAllowed(in.app, obj)) {
        setButtonState(obj, in, 1);
        ExecuteButtonFunction(obj, in);
    }
}

void OnRunMouseMove(CDrawObj& obj, Point p, RunInput& in)
{
    if (inside(obj, p))
        controlCursor(obj, in);
    if (obj.Kind() == ShapeKind::AreaControl && in.runMode && obj.Param(ab::kBehaviour) == ab::kDragsWindow)
        dragWindow(obj, p, in);
    if (obj.Kind() != ShapeKind::Button)
        return;
    const bool allowed = writeAllowed(in.app, obj);
    const bool doubleClick = obj.Param(bb::kDoubleClick) == 1;
    const int state = obj.Param(bb::kState);
    const int drawn = obj.Param(bb::kLastPaintedState);
    if (inside(obj, p)) {
        if (state != 3 && !doubleClick)
            setButtonState(obj, in, 2);
    } else if (!doubleClick) {
        setButtonState(obj, in, 1);
    }
    if (!operatesVariable(obj) || !in.runMode || !allowed)
        return;
    const int now = obj.Param(bb::kState);
    if (obj.Param(bb::kEnter.on) != 0 && drawn == 1 && now != 1)
        operate(obj, in, bb::kEnter), redraw(in.app);
    else if (obj.Param(bb::kLeave.on) != 0 && drawn != 1 && now == 1)
        operate(obj, in, bb::kLeave), redraw(in.app);
}

void OnRunRButtonDown(CDrawObj& obj, Point p, RunInput& in)
{
    if (obj.Kind() != ShapeKind::AreaControl || obj.Param(ab::kBehaviour) != ab::kRightClickMenu || !inside(obj, p))
        return;
    CEditorApp& app = in.app;
    const std::string name = obj.m_strName;
    CDrawDoc* doc = app.FindWindowDocByFileName(name);
    if (!doc)
        return;
    app.MoveSubWindowDoc(doc->GetTitle(), p.x, p.y);
    if (doc->SettingI32(settings::kNoChildSwitch) != 0) {
        app.m_strSimSysWindow = name;
    } else {
        app.m_strSimSubWindow = name;
        SetWindowSystemVars(app, in.writer, name);
    }
    redraw(app);
}

void ExecuteButtonFunction(CDrawObj& obj, RunInput& in)
{
    CEditorApp& app = in.app;
    CDrawDoc* project = app.ProjectDoc();
    const std::string text(bb::functionText(obj.m_strFiles));
    const std::optional<std::string_view> key = bb::keyOfFunctionText(text);
    if (!project)
        return;
    if (userLevel(app) < obj.Param(bb::kUserLevel)) {
        refusePermission(app, obj);
        redraw(app);
        return;
    }
    const auto& screens = project->m_screenNames;
    if (std::any_of(screens.begin(), screens.end(), [&](const auto& entry) { return entry->m_strName == text; })) {
        app.m_strSimSubWindow.clear();
        app.m_strSimSysWindow.clear();
        app.m_strSimScreen = text;
        SetWindowSystemVars(app, in.writer, text);
        clearKeypad(app);
        redraw(app);
        return;
    }
    for (const auto& entry : project->m_subWindowNames) {
        if (entry->m_strName != text)
            continue;
        CDrawDoc* doc = app.FindWindowDocByFileName(text);
        if (!doc)
            return;
        if (doc->SettingI32(settings::kNoChildSwitch) != 0) {
            app.m_strSimSysWindow = text;
        } else {
            app.m_strSimSubWindow = text;
            SetWindowSystemVars(app, in.writer, text);
            app.m_strSimSysWindow.clear();
        }
        clearKeypad(app);
        redraw(app);
        return;
    }
    if (text == "触摸屏校准") {
        project->m_TouchCalibration[41] = 1;
    } else if (text == "系统登陆") {
        OpenSystemWindow(app, kLogin);
    } else if (text == "系统注销") {
        if (userLevel(app) == 0)
            OpenSystemWindow(app, kLoggedOut);
        else if (hasWindow(app, kLogoutConfirm))
            OpenSystemWindow(app, kLogoutConfirm);
        else
            project->m_nUserLevel = 0;
    } else if (text == "系统保存") {
        if (hasWindow(app, kSaveConfirm))
            OpenSystemWindow(app, kSaveConfirm);
        else
            SaveSystemVariablesAsInitial(app);
    } else if (text == "执行用户代码") {
        // The user code sees the button through the variable memory.
    } else if (key) {
        if (app.m_pInputTarget && app.m_pInputTarget->Kind() == ShapeKind::Character)
            CharacterKey(app, *app.m_pInputTarget, *key);
        else if (app.m_pInputTarget)
            NumericKeypadKey(app, *app.m_pInputTarget, *key);
    }

    if (key == "确定") {
        const std::string typed(app.m_szKeypadText.data());
        clearKeypad(app);
        resetPinyin(app);
        const std::string sys = app.m_strSimSysWindow;
        if (sys == kLogin) {
            std::int64_t password = 0;
            if (!ScaledInteger(typed, 0, password) || CheckUserPassword(app, password) != 0)
                OpenSystemWindow(app, kWrongPassword);
            else
                OpenSystemWindow(app, "");
        } else if (sys == kLogoutConfirm) {
            OpenSystemWindow(app, "");
            project->m_nUserLevel = 0;
        } else if (sys == kSaveConfirm) {
            OpenSystemWindow(app, "");
            SaveSystemVariablesAsInitial(app);
        } else if (sys == kNumericKeypad) {
            OpenSystemWindow(app, "");
            if (app.m_pInputTarget) {
                // The typed text goes back for the store, which reads the keypad buffer.
                std::copy_n(typed.begin(), std::min(typed.size(), app.m_szKeypadText.size() - 1), app.m_szKeypadText.begin());
                StoreKeypadEntry(app, in.writer, *app.m_pInputTarget);
                clearKeypad(app);
            }
        }
    } else if (key == "取消") {
        if (!app.m_strSimSysWindow.empty()) {
            OpenSystemWindow(app, "");
        } else {
            app.m_strSimSubWindow.clear();
            if (const auto address = SystemVarAddress(app, SystemVar::ChildWindow, 1)) {
                WriteRunValue(app, in.writer, *address, 1, 255, true);
            }
        }
        clearKeypad(app);
        resetPinyin(app);
        app.m_bPinyinMode = 0;
    }
    redraw(app);
}

} // namespace qv::sim
