#pragma once
// The display instructions a host controller sends the panel: 0x81, the code, parameters,
// 0x84. Numbers go as n / 100 and n % 100, colours as blue, green, red, texts as GBK bytes.
// Values the two-byte form cannot carry and texts past the 512-byte write buffer are refused.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::picture_tool {

inline constexpr int kInstructionCount = 15;
inline constexpr std::size_t kMaxInstructionBytes = 512;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

struct InstructionForm {
    Rgb background{255, 255, 255};
    Rgb foreground{0, 0, 0};
    std::array<int, 8> values{};
    std::string text; // GBK
};

struct InstructionKind {
    const char* name;            // GBK list text
    std::uint8_t code;
    std::array<const char*, 5> labels;
    int valueCount;
    bool background;
    bool foreground;
    bool text;
};

const std::array<InstructionKind, kInstructionCount>& instructionKinds();

// The form an entry shows when it is chosen.
InstructionForm defaultForm(int entry);

// The instruction bytes; nullopt with `error` (GBK) for a value or text that cannot be sent.
std::optional<std::vector<std::uint8_t>> buildInstruction(int entry, const InstructionForm& form, std::string* error = nullptr);

// "81cc" then "%02X " for each parameter byte and "84".
std::string instructionHex(const std::vector<std::uint8_t>& bytes);

// Pairs of hex digits, spaces before a pair skipped; stops at anything else.
std::vector<std::uint8_t> hexTextToBytes(const std::string& text);

// What the panel sends back: sound codes and touch reports.
class PanelReplyReader {
public:
    struct Event {
        std::optional<std::string> sound; // wave file name to play (GBK)
        std::optional<std::pair<int, int>> touch;
    };
    Event feed(std::uint8_t b);

private:
    int step_ = 1;
    std::array<int, 4> bytes_{};
};

} // namespace qv::picture_tool
