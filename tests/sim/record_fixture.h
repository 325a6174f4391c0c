#pragma once
// A project folder with record files on its USB disk, one byte of the variable memory as the
// record each append writes and each read fills.
#include <cstdint>
#include <filesystem>
#include <memory>

#include "model/vars/var_bank.h"
#include "sim/disk/record_file.h"
#include "tests/fixtures/temp_dir.h"

namespace qv::sim::test {

struct RecordFixture {
    qv::test::TempDir project;
    std::unique_ptr<VarBank> memory = std::make_unique<VarBank>();
    RecordFiles files;

    std::filesystem::path path(const char* name) { return project / "UsbDisk" / name; }
    int open(const char* name, std::uint16_t size, std::uint32_t capacity)
    {
        return files.open(project.path(), path(name), size, capacity);
    }
    bool append(int h, char value, bool overwrite)
    {
        memory->writeByte(0x100, static_cast<std::uint8_t>(value));
        return files.append(h, *memory, 0x100, overwrite);
    }
    char record(int h, std::uint32_t n)
    {
        memory->writeByte(0x200, 0);
        return files.read(h, *memory, 0x200, n) ? static_cast<char>(*memory->readByte(0x200)) : '?';
    }
};

} // namespace qv::sim::test
