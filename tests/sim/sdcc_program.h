#pragma once
// Builds a C program for the emulator with sdcc, as a user builds it: against the project's
// generated "SysVar.h". That header is written for the panel's usual 8051 compiler, so its
// register lines are turned into sdcc's spelling ("sfr X = 0xC0;" -> "__sfr __at(0xC0) X;")
// and its memory keywords are defined to sdcc's; nothing else of it changes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "compiler/headers/var_header_files.h"
#include "compiler/hex/intel_hex.h"
#include "platform/files/atomic_file.h"
#include "sim/mc8051/mc8051_cpu.h"
#include "tests/fixtures/temp_dir.h"
#include "tests/config/var_table_fixture.h"

namespace qv::sim::test {

// The project's "SysVar.h" (system rows) in sdcc's spelling, as "sysvar_sdcc.h" in `dir`.
inline void writeSdccSysVarHeader(const std::filesystem::path& projectDir, const std::filesystem::path& dir)
{
    std::string error;
    ASSERT_TRUE(WriteSysVarHeaderFile(projectDir, qv::test::systemRowsTable(), 0x1000, &error)) << error;
    std::string text;
    ASSERT_TRUE(readWholeFile(projectDir / "SysVar.h", text));
    std::istringstream lines(text);
    std::string line, converted;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind, name, equals, address;
        if (words >> kind >> name >> equals >> address && (kind == "sfr" || kind == "sbit") && equals == "=" &&
            address.size() > 1 && address.back() == ';') {
            address.pop_back();
            line = "__" + kind + " __at(" + address + ") " + name + ";";
        }
        converted += line + "\n";
    }
    text = converted;
    std::ofstream(dir / "sysvar_sdcc.h", std::ios::binary) << text;
}

// Compiles `source` (128 bytes of internal RAM: the top half is the special registers) into
// Intel HEX text; with `projectDir` it includes that project's "SysVar.h" as "sysvar_sdcc.h".
inline void compileToIntelHex(const std::string& source, std::string& hexText, const std::filesystem::path* projectDir = nullptr)
{
    qv::test::TempDir dir;
    if (projectDir) {
        ASSERT_NO_FATAL_FAILURE(writeSdccSysVarHeader(*projectDir, dir.path()));
    }
    std::ofstream(dir / "prog.c") << source;
    const std::string command = "cd '" + dir.path().string() +
                                "' && sdcc -mmcs51 --iram-size 128 -Dxdata=__xdata -Dcode=__code prog.c > sdcc.log 2>&1";
    if (std::system(command.c_str()) != 0) {
        std::string log;
        readWholeFile(dir / "sdcc.log", log);
        FAIL() << "sdcc must be installed (scripts/setup-deps.sh)\n" << log;
    }
    ASSERT_TRUE(readWholeFile(dir / "prog.ihx", hexText));
}

// Compiles `source` as above and loads it into `cpu`.
inline void compileAndLoad(const std::string& source, Mc8051Cpu& cpu, const std::filesystem::path* projectDir = nullptr)
{
    std::string text;
    ASSERT_NO_FATAL_FAILURE(compileToIntelHex(source, text, projectDir));
    CodeImage image;
    std::string message;
    ASSERT_GE(hex::ReadIntelHex(text, image, &message), 4) << message;
    cpu.loadCode(image);
}

} // namespace qv::sim::test
