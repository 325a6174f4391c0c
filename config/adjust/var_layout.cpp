#include "config/adjust/var_layout.h"

#include "model/vars/var_types.h"

#include <algorithm>

namespace qv {

namespace {

std::int64_t roundUp(std::int64_t a, std::int64_t step) { return (a + step - 1) / step * step; }

// Sizes come from files (sample counts, string lengths); holding them to the memory's
// size keeps every sum far from overflow and still past the memory's end.
std::int64_t heldSize(std::uint64_t size)
{
    return static_cast<std::int64_t>(std::min<std::uint64_t>(size, kVarMemoryBytes + 1));
}

} // namespace

VarLayout LayOutVarAddresses(std::span<const std::string> types, std::span<const std::uint64_t> sizes,
                             const std::function<void(int)>& progress)
{
    VarLayout out;
    const std::size_t n = types.size();
    out.addresses.reserve(n);
    std::int64_t a = 0;
    std::int64_t s = 0;
    for (std::size_t i = 0; i < n; ++i) {
        a += s;
        const std::int64_t need = i < sizes.size() ? heldSize(sizes[i]) : 1;
        const int width = hmiVarTypeWidth(types[i]);
        if (width == 0) {
            a = roundUp(a, 4); // unknown type: s stays the previous variable's
        } else {
            a = roundUp(a, width);
            s = std::max<std::int64_t>(need, width);
        }
        out.addresses.push_back(a);
        if (progress)
            progress(static_cast<int>(100 * (i + 1) / n));
    }
    out.end = a + s;
    return out;
}

} // namespace qv
