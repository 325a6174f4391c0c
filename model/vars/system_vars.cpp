#include "model/vars/system_vars.h"

#include <array>

namespace qv {

namespace {
using enum SystemVar;
constexpr std::array<SystemVarRow, kSystemVarCount> kRows{{
    {HuaMian, "0", "unsigned char", "m_HuaMian", "0", "活动画面编号", 4},
    {ChildWindow, "1", "unsigned char", "m_ChildWindow", "255", "活动子窗口", 8},
    {ClockYear, "2", "unsigned short", "m_ClockYear", "2012", "日期‘年’", 12},
    {ClockMonth, "4", "unsigned char", "m_ClockMonth", "1", "日期‘月’", 16},
    {ClockDay, "5", "unsigned char", "m_ClockDay", "1", "日期‘日’", 20},
    {ClockWeek, "6", "unsigned char", "m_ClockWeek", "7", "日期‘星期’", 36},
    {ClockHour, "7", "unsigned char", "m_ClockHour", "12", "时间‘时’", 24},
    {ClockMinute, "8", "unsigned char", "m_ClockMinute", "12", "时间‘分’", 28},
    {ClockSecond, "9", "unsigned char", "m_ClockSecond", "12", "时间‘秒’", 32},
    {BackLight, "10", "unsigned char", "m_BackLight", "255", "背光亮度", 40},
    {BackLightDly, "11", "unsigned char", "m_BackLightDly", "254", "背光延时", 44},
    {KeySound, "12", "unsigned char", "m_KeySound", "1", "按键音控制", 48},
    {CurrentUser, "13", "unsigned char", "m_CurrentUser", "0",
     "当前登陆用户,\"0=未登陆，1=初级用户，2=高级用户，3=超级用户\"", 52},
    {JuniorUser, "16", "unsigned int", "m_JuniorUser", "40719382", "初级用户口令", 56},
    {AdvancedUser, "20", "unsigned int", "m_AdvancedUser", "58260417", "高级用户口令", 60},
    {SuperUser, "24", "unsigned int", "m_SuperUser", "96103725", "超级用户口令", 64},
}};
} // namespace

std::span<const SystemVarRow> systemVarRows() { return kRows; }

const SystemVarRow& systemVarRow(SystemVar id) { return kRows[static_cast<std::size_t>(id)]; }

} // namespace qv
