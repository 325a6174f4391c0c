#pragma once
// The compile's snapshot of the open project, taken from the application object on the
// user-interface thread right before the worker starts.
#include "compiler/compile/compile_input.h"

#include <optional>

namespace qv {
class CEditorApp;
}

namespace qv::compile {

// nullopt when no project is open. The PLC protocol block is the one the application's
// protocol drivers give; windows whose document is not open are marked so, and the compile
// then fails naming them.
std::optional<CompileInput> takeCompileInput(CEditorApp& app);

} // namespace qv::compile
