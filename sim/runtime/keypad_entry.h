#pragma once
// The numeric keypad of a real-time number field: keys build the text in the application's
// keypad buffer, and OK stores it into the field's variable (as a scaled integer, or as a
// float or double in the byte order the field asks for).
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {
class CEditorApp;
class CDrawObj;
}

namespace qv::sim {

class PortWriter;

// One key name ("0".."9", "-", ".", "后退", "清除") for a numeric target; others are ignored.
void NumericKeypadKey(CEditorApp& app, const CDrawObj& target, std::string_view key);

// The keypad text stored into the target's variable when it is in range; false (nothing
// written) when it is out of range, unreadable or has nowhere to go.
bool StoreKeypadEntry(CEditorApp& app, PortWriter* writer, const CDrawObj& target);

// The scaled integer of `text` with exactly `decimals` fraction digits; false when it does
// not fit 64 bits.
bool ScaledInteger(std::string_view text, std::int64_t decimals, std::int64_t& value);

// The bytes of a float (layout 0..3) or double (4..7) in the layout's byte order.
std::string FloatBytes(double value, int layout);

} // namespace qv::sim
