#pragma once
// The compile command (menu "硬件(H) > 编译工程"), on the user-interface thread: confirm the
// options, store them, prepare the project, then start the worker. The application attaches
// through CompileCommandHost, so the command runs without a display in tests.
#include "compiler/compile/compile_options.h"
#include "compiler/compile/compile_worker.h"

#include <cstdint>
#include <span>
#include <string>

namespace qv::compile {

class CompileCommandHost {
public:
    virtual ~CompileCommandHost() = default;
    // The project document's settings block; an empty span when no project is open.
    virtual std::span<std::uint8_t> projectSettings() = 0;
    // Runs the compile-confirm dialog on `options`; false on Cancel.
    virtual bool confirmOptions(CompileOptions& options) = 0;
    // After OK: the rotate option goes to the pixel writers too; the project is marked modified.
    virtual void optionsAccepted(const CompileOptions& options) = 0;
    virtual void resetControlFonts() = 0;
    virtual void saveModifiedDocuments() = 0;
    // Asks the 8051 emulator to stop and closes the simulator's sound device.
    virtual void stopEmulator() = 0;
    // Activates the project's frame and titles it "<folder>\<name>.hmi".
    virtual void activateProject() = 0;
    virtual void rebuildSimulation() = 0;
    // What the worker reads of the project, taken now (after the rebuild).
    virtual CompileInput takeCompileInput() = 0;
};

// "- - - ...  Quorvane:    V3.2    Release  - - - ..." with its "\r\n".
std::string compileBanner();

enum class CompileStart { Started, Cancelled, Busy, NoProject, NoThread };

// Runs the command. `services` names the report queue, the flags and the screen compiler;
// its start time is set here. While a compile runs a second one is refused (Busy), since
// the compiling flag is set before the worker starts.
CompileStart runCompileCommand(CompileCommandHost& host, CompileThread& thread, CompileServices services);

} // namespace qv::compile
