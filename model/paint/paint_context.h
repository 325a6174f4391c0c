#pragma once
// Everything a painter reads besides its object: the surfaces, the mode (run, compile),
// the variable memory, the simulator's input state and where pictures come from. Painters
// never look at the active window or any global; the caller fills this in.
#include "model/params/var_refs.h"
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

// What a paint hands back to the simulator's run-mode input; the caller owns it and copies
// it into its own state after the paint.
struct PaintFeedback {
    VarBank* liveBank = nullptr;        // m_VarMem: the character control's conversion rewrites
    VarBank* runBank = nullptr;         // m_VarMemRun: ... and this bank after it
    std::optional<Point> caret;         // the caret point, snapped to a character cell
    std::optional<int> caretIndex;      // the input target's caret (byte count into its text)
    std::optional<bool> convertClamp;   // the last painted character control's clamp option
    bool clearPinyinLatch = false;      // the edited control takes no two-byte characters
    std::string_view pinyinCandidates;  // GBK candidates the bar shows (static storage)
    int pinyinPitch = 0;                // pixels from one candidate to the next
    std::optional<int> pinyinPage;      // the page index, cut to the last page
};

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
    std::string pinyinLetters;          // typed on the system keyboard so far
    int pinyinPage = 0;
    bool keyboardIdle = false;          // "系统键盘.dlg" is open and not the shown system window
    Point margins{38, 38};              // moved controls place their stored x, y from here
    const Surface* runBackground = nullptr;  // the shown screen's background (run mode only)
    std::filesystem::path baseDir;      // holds "images\sys"; empty: the current directory
    VarResolver lookupVar;              // a variable's address and type by row; nullptr: cached
    PaintFeedback* feedback = nullptr;  // nullptr: the paint keeps nothing

    // A variable's value by type code (0..5), widened to 32 bits (signed types sign-extended);
    // nullopt when no memory is attached, the code is unknown or the value would leave the
    // bank: such a reference counts as unbound.
    std::optional<std::int32_t> readVar(std::int64_t address, int typeCode) const;
    // Bit (bit mod 8) of the byte at address + bit / 8; nullopt as above.
    std::optional<bool> readBit(std::int64_t address, std::int32_t bit) const;
};

} // namespace qv
