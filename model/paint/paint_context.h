#pragma once
// Everything a painter reads besides its object: the surfaces, the mode (run, compile),
// the variable memory, the simulator's input state and where pictures come from. Painters
// never look at the active window or any global; the caller fills this in.
#include "platform/surface/picture_image.h"
#include "platform/surface/surface.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace qv {

class CDrawObj;
class VarBank;

// The three surfaces of a paint: the target and two work surfaces of at least the
// target's size (either work surface may be missing: the compiler passes no second one).
struct PaintSurfaces {
    Surface& target;
    Surface* work1 = nullptr;
    Surface* work2 = nullptr;
};

using PictureLoader = std::function<PicturePtr(const std::filesystem::path&)>;

struct PaintContext {
    bool runMode = false;               // the view shows the simulation
    bool compiling = false;             // the compiler renders: no run-mode hide or latches
    bool showControlNumbers = false;
    const VarBank* varMem = nullptr;    // the memory painting reads (m_VarMem)
    std::filesystem::path projectDir;   // host folder the stored picture names are under
    PictureLoader loadPicture;          // nullptr: pictures draw nothing

    // Run-mode input state of the simulator.
    bool capsLock = false;
    bool insertMode = false;
    bool shiftLatch = false;
    bool pinyinMode = false;
    Point caret{-1, -1};
    const CDrawObj* inputTarget = nullptr;
    std::string keypadText;             // GBK

    // A variable's value by type code (0..5), widened to 32 bits (signed types sign-extended);
    // nullopt when no memory is attached, the code is unknown or the value would leave the
    // bank: such a reference counts as unbound.
    std::optional<std::int32_t> readVar(std::int64_t address, int typeCode) const;
    // Bit (bit mod 8) of the byte at address + bit / 8; nullopt as above.
    std::optional<bool> readBit(std::int64_t address, std::int32_t bit) const;
};

} // namespace qv
