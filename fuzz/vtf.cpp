// The saved-variables file "VarToFlash.vtf": load, save and clear on whatever it holds.
#include "fuzz/fuzz_folder.h"
#include "fuzz/fuzz_target.h"
#include "model/vars/var_bank.h"
#include "sim/vtf/saved_vars.h"

#include <fstream>
#include <memory>

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    static ScratchCleanup cleanup;
    const auto project = scratchFolder();
    std::filesystem::create_directories(project / "NandFlash");
    std::ofstream(project / "NandFlash" / "VarToFlash.vtf", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    auto shown = std::make_unique<VarBank>(), live = std::make_unique<VarBank>();
    const int slot = size > 0 ? data[0] % 32 : 0;
    LoadVarToFlash(project, slot, *shown, *live);
    SaveVarToFlash(project, slot, 100, 40, *live);
    ClearVarToFlashSlot(project, (slot + 1) % 31);
}

} // namespace qv::fuzz
