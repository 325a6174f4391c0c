// The driver of every fuzz target: each argument is an input file or a folder of them. The
// fuzzer hands one file per run (its "@@"); the replay tests hand the corpus and the
// regression folders. A finding ends the run through the sanitizers or a trap.
#include "fuzz/fuzz_target.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string fileBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg = argv[i];
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(arg))
                if (e.is_regular_file())
                    inputs.push_back(e.path());
        } else {
            inputs.push_back(arg);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const auto& p : inputs) {
        const std::string bytes = fileBytes(p);
        qv::fuzz::RunOne(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    if (argc > 2 || inputs.size() > 1)
        std::printf("%zu inputs ran clean\n", inputs.size());
    return 0;
}
