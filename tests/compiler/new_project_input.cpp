#include "tests/compiler/new_project_input.h"

namespace qv::test {
namespace {

void putI32(std::array<std::uint8_t, 1024>& s, std::size_t at, std::int32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = std::uint8_t(std::uint32_t(v) >> (8 * i));
}

} // namespace

compile::CompileInput newProjectInput(const std::filesystem::path& folder)
{
    compile::CompileInput in;
    in.projectFolder = folder;
    // System variable indices of a new project (m_HuaMian .. m_SuperUser).
    const std::int32_t indices[16] = {0, 1, 2, 3, 4, 6, 7, 8, 5, 9, 10, 11, 12, 13, 14, 15};
    for (int i = 0; i < 16; ++i)
        putI32(in.settings, 4 + 4 * i, indices[i]);
    in.settings[71] = 1;            // 16-bit colour
    putI32(in.settings, 112, 1);    // port 1: the panel's own protocol
    putI32(in.settings, 116, 128);
    putI32(in.settings, 120, 8);    // port 2: Modbus RTU slave
    putI32(in.settings, 124, 128);
    in.serialParameters = {1, 19200, 2, 2, 19200, 2, 2, 2, 9600, 9600};
    in.runBlock[0] = 0x88;
    in.width = 800;
    in.height = 480;
    in.variableMemory.assign(0x10000, 0);
    for (std::size_t i = 0; i < 40; ++i)
        in.variableMemory[i] = std::uint8_t(0xA0 + i);
    in.variableExtent = 40;
    for (int i = 0; i < 16; ++i)
        in.systemVariableAddresses[i] = 2 * i;
    return in;
}

} // namespace qv::test
