#pragma once
// The project's 8051 user code ("MC8051\MC8051.hex") and the block the image carries.
#include "compiler/hex/intel_hex.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace qv::compile {

struct UserCode {
    enum class Status { Absent, Present, Invalid };
    Status status = Status::Absent;
    int length = 0;                                   // E, a multiple of 4; 0 unless Present
    std::unique_ptr<hex::CodeImage> image;            // set when Present
    std::string message;                              // GBK, when Invalid
};

// Absent when the file is missing or holds fewer than 4 bytes of code.
UserCode loadUserCode(const std::filesystem::path& projectFolder);

// The 12-byte head {1, 12, (E + 4) & ~3} (the length field the download's chain carries
// too) followed by all E code bytes.
std::vector<std::uint8_t> userCodeBlock(const hex::CodeImage& image, int length);

} // namespace qv::compile
