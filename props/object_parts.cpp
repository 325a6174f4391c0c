#include "props/object_parts.h"

#include "platform/files/stored_path.h"

namespace qv {

std::filesystem::path StoredPicturePath(const SheetContext& context, const std::string& stored)
{
    return stored.empty() ? std::filesystem::path{}
                          : resolveStoredPath(context.projectDir, stored).value_or(std::filesystem::path{});
}

PictureSlot LoadPictureSlot(const CDrawObj& obj, std::size_t i, const SheetContext& context)
{
    PictureSlot slot;
    if (i < obj.m_strFiles.size())
        slot.path = StoredPicturePath(context, obj.m_strFiles[i]);
    slot.loadedPath = slot.path;
    return slot;
}

void SetStoredEntry(CDrawObj& obj, std::size_t i, std::string value)
{
    if (obj.m_strFiles.size() <= i)
        obj.m_strFiles.resize(i + 1);
    obj.m_strFiles[i] = std::move(value);
}

void CommitPictureSlot(const PictureSlot& slot, CDrawObj& obj, std::size_t i, const SheetContext& context)
{
    if (!slot.changed() || slot.path.empty() || !context.copyPicture)
        return;
    if (std::optional<std::string> stored = context.copyPicture(slot.path))
        SetStoredEntry(obj, i, std::move(*stored));
}

AddressGroup LoadPageGroup(const GroupLayout& layout, LinkKind link, bool isWrite, const CDrawObj& obj)
{
    return LoadGroup(layout, link, HiddenVarType::ByWidth, isWrite, false, obj.m_Params);
}

} // namespace qv
