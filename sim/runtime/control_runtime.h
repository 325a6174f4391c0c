#pragma once
// The little state the controls keep while the simulation runs: start values (frames, move
// positions, sample curves, initial strings), frame stepping and timed curve sampling every
// 50 ms, and the caret blink of a character control.
#include <cstdint>
#include <functional>
#include <string>

#include "model/vars/var_bank.h"

namespace qv {
class CDrawObj;
}

namespace qv::sim {

// What the control routines need of the application.
struct ControlRunContext {
    VarBank* live = nullptr;
    VarBank* displayed = nullptr;
    // Address and type code of a variable-table row; address -1 for none.
    std::function<void(std::int32_t row, std::int32_t& address, std::uint8_t& type)> variable;
    // The project's variable table, whose initial values take the move positions (may be null).
    std::function<void(std::int32_t row, std::string text)> setInitialValue;
    int marginX = 0;
    int marginY = 0;
};

void PrepareRunTime(CDrawObj& obj, const ControlRunContext& ctx);
void FillDemoSamples(CDrawObj& obj, const ControlRunContext& ctx);
// One 50 ms tick with `elapsedMs` measured since the last one; true when the object changed
// and wants a redraw.
bool StepAnimation(CDrawObj& obj, const ControlRunContext& ctx, std::int64_t elapsedMs);
// True when the caret state changed.
bool ToggleCaret(CDrawObj& obj, int caretX, int caretY);

} // namespace qv::sim
