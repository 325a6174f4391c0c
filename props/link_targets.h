#pragma once
// What an address group's combos show and which hidden variable it names: the link targets
// the project's two serial protocols offer, the element types of the chosen PLC family, the
// variable list, and for a PLC element the hidden variable "m_PlcCom%dSlaveAdr%d%s%d" with
// its width and bit. Headless; the Qt combos only show the result. Texts are GBK.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qv {

// One group's members as the page holds them.
struct LinkGroupState {
    std::int32_t linkTarget = 0;   // 0 = "HMI变量"
    std::int32_t elementType = 0;
    std::uint32_t station = 0;
    std::uint32_t elementNumber = 0;
    std::uint32_t allowOther = 0;
    std::int32_t varIndex = -1;
    std::uint32_t bit = 0;
    std::uint32_t widthCode = 0;
};

struct LinkFillContext {
    std::int32_t protocol1 = 0;  // the project's protocol numbers of serial ports 1 and 2
    std::int32_t protocol2 = 0;
    std::span<const std::string> varNames;
};

struct LinkFill {
    std::vector<std::string> targets;
    int targetSelection = -1;          // -1: the stored target is past the list
    std::vector<std::string> elementTypes;
    int elementTypeSelection = -1;
    std::vector<std::string> variables;
    int variableSelection = -1;
    bool variableEnabled = true;
    int port = 0;                      // 1 or 2 for a PLC target
    std::string hiddenName;            // empty: no hidden variable named
    bool bitInWord = false;            // the bit operation's result: a bit inside a word register
    bool bitDerived = false;           // the bit came from the element number
    std::string refusal;               // an element number the family cannot address (reset to 0)
};

inline constexpr const char* kPlcAddressRefused = "PLC地址大小错误!!请注意PLC输入点和输出点的编号规则";

// The fill operations. They update the state as the page would (the width code, a derived
// bit, an element number reset after a refusal, an element type reset to 0 when the new
// family's list is shorter) and tell the combos what to show. A link target past the list
// shows no target and names nothing; the state's group stays as stored.
LinkFill FillBitLinkCombos(bool isWrite, const LinkFillContext& context, LinkGroupState& state);
LinkFill FillWordLinkCombos(bool isWrite, const LinkFillContext& context, LinkGroupState& state);

// The target list alone (the first entry "HMI变量").
std::vector<std::string> LinkTargetsOf(std::int32_t protocol1, std::int32_t protocol2);

} // namespace qv
