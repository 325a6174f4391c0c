#include "props/ui/form_page.h"

namespace qv {
namespace {

using C = FormControl;

const FormRow<TablePage> kTableRows[] = {
    {C::Color, u8"颜色...", &TablePage::lineColor},
    {C::Unsigned, u8"线宽:", &TablePage::lineWidth, {}, TablePage::kMinLineWidth, TablePage::kMaxLineWidth},
    {C::Unsigned, u8"行数:", &TablePage::rows},
    {C::Unsigned, u8"列数:", &TablePage::columns},
};

const FormRow<PipePage> kPipeRows[] = {
    {C::Color, u8"外边色", &PipePage::outerColor},
    {C::Color, u8"填充色", &PipePage::fillColor},
    {C::Check, u8"纵向", &PipePage::vertical},
};

const FormRow<PipeJointPage> kPipeJointRows[] = {
    {C::Color, u8"外边色", &PipeJointPage::outerColor},
    {C::Color, u8"填充色", &PipeJointPage::fillColor},
    {C::Combo, u8"方向:", &PipeJointPage::direction, kPipeJointDirections},
};

const FormRow<ScalePage> kScaleRows[] = {
    {C::Color, u8"颜色...", &ScalePage::color},
    {C::Combo, u8"方向:", &ScalePage::direction, kScaleDirections},
    {C::Check, u8"显示坐标", &ScalePage::showAxis},
    {C::Unsigned, u8"主要刻度:", &ScalePage::mainTicks},
    {C::Unsigned, u8"次要刻度:", &ScalePage::minorTicks},
    {C::Unsigned, u8"主刻度线宽:", &ScalePage::mainTickWidth},
    {C::Unsigned, u8"次刻度线宽:", &ScalePage::minorTickWidth},
    {C::Unsigned, u8"坐标线宽:", &ScalePage::axisWidth},
};

const FormRow<NumericInputPage> kNumericInputRows[] = {
    {C::Font, u8"字体...", &NumericInputPage::textColor, {}, 0, 0xFFFFFFFFu, &NumericInputPage::font},
    {C::Check, u8"显示为密码样式", &NumericInputPage::password},
    {C::Color, u8"背景色...", &NumericInputPage::backColor},
    {C::Check, u8"左对齐", &NumericInputPage::leftAligned},
    {C::Combo, u8"功能:", &NumericInputPage::function, kNumericInputFunctions},
};

} // namespace

std::span<const FormRow<TablePage>> TablePageRows() { return kTableRows; }
std::span<const FormRow<PipePage>> PipePageRows() { return kPipeRows; }
std::span<const FormRow<PipeJointPage>> PipeJointPageRows() { return kPipeJointRows; }
std::span<const FormRow<ScalePage>> ScalePageRows() { return kScaleRows; }
std::span<const FormRow<NumericInputPage>> NumericInputPageRows() { return kNumericInputRows; }

} // namespace qv
