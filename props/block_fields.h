#pragma once
// A page's block fields written once as data: which page member holds which little-endian
// field of the parameter block. The same table fills the page and copies it back, so a
// page opened and closed with OK leaves every byte as it was (an 8-bit field writes one
// byte, a 32-bit one four; nothing is normalised on the way).
#include "model/params/block_bytes.h"
#include "model/params/param_field.h"

#include <cstdint>
#include <span>

namespace qv {

template <class Page>
struct BlockField {
    using page_type = Page;
    std::uint32_t Page::*member;
    int offset;
    int width; // 1, 2 or 4 bytes

    constexpr BlockField(std::uint32_t Page::*m, int o, int w) : member(m), offset(o), width(w) {}
    // A kind's named field (model/params/blocks/): where it lies and how wide it is.
    template <class T, class Kind>
    constexpr BlockField(std::uint32_t Page::*m, ParamField<T, Kind> f) : member(m), offset(f.offset), width(f.width)
    {
    }
};

template <class Page>
void LoadBlockFields(std::span<const BlockField<Page>> fields, std::span<const std::uint8_t> block, Page& page)
{
    for (const BlockField<Page>& f : fields)
        page.*f.member = blockReadU(block, f.offset, f.width);
}

template <class Page>
void CommitBlockFields(std::span<const BlockField<Page>> fields, const Page& page, std::span<std::uint8_t> block)
{
    for (const BlockField<Page>& f : fields)
        blockWriteU(block, f.offset, f.width, page.*f.member);
}

} // namespace qv
