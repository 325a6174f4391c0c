// The voice library ".YYK": its index read and waves taken out of whatever it holds. Every
// wave given back must be the bytes its entry names inside the file, shorter than the cap.
#include "fuzz/fuzz_target.h"
#include "platform/files/confined_folder.h"
#include "sim/voice/yyk_library.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    // A file in memory: the reader takes an open regular file.
    UniqueFd fd(::memfd_create("voice-library", MFD_CLOEXEC));
    if (!fd || ::write(fd.get(), data, size) != static_cast<ssize_t>(size))
        return;
    // Characters spoken from the input's first bytes, as a program's text would be.
    std::vector<int> entries = {0, 1, 93, 94, sim::kYykHanziEntries - 1, sim::kYykHanziEntries, sim::kYykEntries - 1};
    for (std::size_t i = 0; i + 1 < std::min<std::size_t>(size, 32); i += 2) {
        const std::string_view two = asText(data + i, 2);
        for (std::string_view c : {two, two.substr(0, 1)})
            if (const auto entry = sim::YykEntryOfChar(c)) {
                require(*entry >= 0 && *entry < sim::kYykEntries, "entry of a character outside the index");
                entries.push_back(*entry);
            }
    }
    const auto reader = sim::YykReader::FromDescriptor(std::move(fd));
    if (!reader)
        return;
    for (int n : entries) {
        const auto wave = reader->Wave(n);
        if (!wave)
            continue;
        const sim::YykEntry e = reader->Entry(n);
        require(!wave->empty() && wave->size() < sim::kYykMaxWave, "a wave of a refused length");
        require(std::uint64_t{e.offset} + wave->size() <= size, "a wave past the file's end");
        require(std::memcmp(wave->data(), data + e.offset, wave->size()) == 0, "a wave other than its bytes");
    }
    require(!reader->Wave(-1) && !reader->Wave(sim::kYykEntries), "a wave outside the index");
}

} // namespace qv::fuzz
