#pragma once
// What a variable the user typed must be before it enters the table: a name of printing
// characters, one of the six types, a decimal initial value the type can hold, text GBK
// can hold, and an address aligned for the type.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The texts of one variable as the variable dialog gives them (GBK).
struct HmiVarInput {
    std::string address;     // decimal text; the manager places new variables itself
    std::string type = "unsigned char";
    std::string name = "m_AD";
    std::string initValue = "0";
    std::string description = "AD采样值";
    int count = 1;           // copies of a batch add, 1..30000
    bool addSeveral = false;
};

inline constexpr int kMaxBatchCount = 30000;

// Why the name cannot be used (without the add/modify prefix), or empty.
std::string NameFault(std::string_view name);
// Why the initial value does not suit the type, or empty. The type must be one of the six.
std::string InitValueFault(std::string_view type, std::string_view initValue);
// The alignment refusal for `address` and `type` (the system's own texts), or empty.
std::string AlignmentFault(std::string_view type, std::int64_t address);
// The first fault of type, name, initial value and GBK text with the field it concerns.
enum class InputField { Type, Name, InitialValue, Description };
struct InputRefusal {
    InputField field;
    std::string text;
};
std::optional<InputRefusal> FirstInputFault(const HmiVarInput& input);
// The text of FirstInputFault, or empty.
std::string InputFault(const HmiVarInput& input);

// The description as the table keeps it: line breaks become one blank each run, since the
// backup file holds one value a line and the headers one variable a line.
std::string OneLineText(std::string_view text);

// The initial value of a row as a number (nullopt for anything but a decimal integer).
std::optional<std::int64_t> InitialValueOf(std::string_view initValue);

} // namespace qv
