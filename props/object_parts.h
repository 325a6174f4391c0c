#pragma once
// The parts every kind's loader reads from the edited object and writes back: a page's block
// fields, a picture entry of the string list and an address group. One place for them, so
// each kind's sheet only says which table, entry or layout it uses.
#include "props/sheet_values.h"

#include <cstddef>
#include <filesystem>
#include <ranges>
#include <string>

namespace qv {

// A kind's field table (an array of BlockField<Page>) loaded into, or committed from, its page.
template <class Fields>
auto LoadPageFields(const Fields& fields, const CDrawObj& obj)
{
    using Page = typename std::ranges::range_value_t<Fields>::page_type;
    Page page;
    LoadBlockFields<Page>(fields, obj.m_Params, page);
    return page;
}

template <class Fields, class Page = typename std::ranges::range_value_t<Fields>::page_type>
void CommitPageFields(const Fields& fields, const Page& page, CDrawObj& obj)
{
    CommitBlockFields<Page>(fields, page, obj.m_Params);
}

// The full path of a stored picture name; empty for an empty name or one that does not resolve.
std::filesystem::path StoredPicturePath(const SheetContext& context, const std::string& stored);

// Entry `i` of the string list as a picture (empty when the list is shorter).
PictureSlot LoadPictureSlot(const CDrawObj& obj, std::size_t i, const SheetContext& context);
// A picture the user chose is copied into the project and stored as entry `i`; an unchanged
// slot, an empty one or a copy that fails leaves the entry as it was.
void CommitPictureSlot(const PictureSlot& slot, CDrawObj& obj, std::size_t i, const SheetContext& context);
// Sets entry `i`, growing a list too short for it.
void SetStoredEntry(CDrawObj& obj, std::size_t i, std::string value);

AddressGroup LoadPageGroup(const GroupLayout& layout, LinkKind link, bool isWrite, const CDrawObj& obj);

} // namespace qv
