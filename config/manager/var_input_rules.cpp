#include "config/manager/var_input_rules.h"

#include "model/vars/hmi_var_table.h"
#include "model/vars/var_types.h"
#include "platform/text/gbk.h"
#include "config/manager/var_manager_texts.h"

namespace qv {

namespace txt = vars::text;

namespace {

bool isBlankOrControl(unsigned char c) { return c <= 0x20 || c == 0x7F; }

} // namespace

std::string NameFault(std::string_view name)
{
    if (name.empty())
        return std::string(txt::kNameEmpty);
    if (!gbkToUtf8(name))
        return "变量名字" + std::string(txt::kNotGbk);
    // Walked by character: ASCII bytes can be second bytes of GBK characters.
    for (std::size_t i = 0; i < name.size(); i += gbkCharLength(name, i))
        if (gbkCharLength(name, i) == 1 && isBlankOrControl(static_cast<unsigned char>(name[i])))
            return std::string(txt::kNameBlank);
    return {};
}

std::optional<std::int64_t> InitialValueOf(std::string_view initValue) { return parseDecimal(initValue); }

std::string InitValueFault(std::string_view type, std::string_view initValue)
{
    const auto code = hmiVarTypeCode(type);
    if (!code)
        return std::string(txt::kTypeInvalid) + std::string(type);
    const auto value = InitialValueOf(initValue);
    if (!value)
        return std::string(txt::kInitNotNumber) + std::string(initValue);
    const HmiVarRange r = hmiVarTypeRange(*hmiVarTypeByCode(*code));
    if (*value < r.low || *value > r.high)
        return std::string(txt::kInitOutOfRange) + std::string(initValue);
    return {};
}

std::string AlignmentFault(std::string_view type, std::int64_t address)
{
    const int width = hmiVarTypeWidth(type);
    if (width == 2 && address % 2 != 0)
        return std::string(txt::kShortAlign);
    if (width == 4 && address % 4 != 0)
        return std::string(txt::kIntAlign);
    return {};
}

std::optional<InputRefusal> FirstInputFault(const HmiVarInput& input)
{
    if (!hmiVarTypeCode(input.type))
        return InputRefusal{InputField::Type, std::string(txt::kTypeInvalid) + input.type};
    if (std::string fault = NameFault(input.name); !fault.empty())
        return InputRefusal{InputField::Name, std::move(fault)};
    if (std::string fault = InitValueFault(input.type, input.initValue); !fault.empty())
        return InputRefusal{InputField::InitialValue, std::move(fault)};
    if (!gbkToUtf8(input.description))
        return InputRefusal{InputField::Description, "变量解释" + std::string(txt::kNotGbk)};
    return std::nullopt;
}

std::string InputFault(const HmiVarInput& input)
{
    auto refusal = FirstInputFault(input);
    return refusal ? std::move(refusal->text) : std::string();
}

std::string OneLineText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool inBreak = false;
    for (const char c : text) {
        // CR and LF are never second bytes of a GBK character.
        if (c == '\r' || c == '\n') {
            if (!inBreak)
                out += ' ';
            inBreak = true;
            continue;
        }
        inBreak = false;
        out += c;
    }
    return out;
}

} // namespace qv
