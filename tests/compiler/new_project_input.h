#pragma once
// The compile input of a newly created, empty project in `folder`; shared by the compiler's
// tests and the window-compile fuzz target (no test framework here).
#include "compiler/compile/compile_input.h"

#include <filesystem>

namespace qv::test {

// The settings, serial parameters and system variables of a newly created project.
compile::CompileInput newProjectInput(const std::filesystem::path& folder);

} // namespace qv::test
