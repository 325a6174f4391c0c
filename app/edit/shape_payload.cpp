#include "app/edit/shape_payload.h"

#include "model/params/block_bytes.h"
#include "model/params/object_var_refs.h"
#include "model/params/var_refs.h"
#include "platform/archive/archive.h"

#include <algorithm>
#include <array>

namespace qv::edit {
namespace {

using archive::ArchiveError;
using archive::ArchiveReader;
using archive::ArchiveWriter;
using archive::ClassInfo;
using archive::ObjectTag;

constexpr ClassInfo kDrawRectClass{"CDrawRect", 0};
// Recognised so that they are refused by name: only shapes are ever copied.
constexpr std::array<ClassInfo, 4> kPayloadClasses{kDrawRectClass, ClassInfo{"CDrawObj", 0},
                                                   ClassInfo{"CDrawOleObj", 0}, ClassInfo{"CDrawItem", 0}};

constexpr std::uint32_t kTrailerMagic = 0x50535651;   // "QVSP"
constexpr std::size_t kMinObjectBytes = 2;             // a tag at least
constexpr std::size_t kMinNameEntryBytes = 5;          // index and an empty string

std::vector<std::int32_t> referencedIndexes(const CDrawObj& obj)
{
    std::vector<std::int32_t> indexes;
    for (const VarRefField& ref : varRefsOf(obj.Kind(), obj.m_Params)) {
        const std::int32_t index = blockReadI32(obj.m_Params, ref.index, -1);
        if (index >= 0)
            indexes.push_back(index);
    }
    return indexes;
}

void writeTrailer(ArchiveWriter& ar, std::span<CDrawObj* const> objects, Point margins, const HmiVarTable* table)
{
    std::map<std::int32_t, std::string> names;
    if (table != nullptr)
        for (const CDrawObj* obj : objects)
            for (std::int32_t index : referencedIndexes(*obj))
                if (static_cast<std::size_t>(index) < table->name.size())
                    names.emplace(index, table->name[static_cast<std::size_t>(index)]);
    ar.WriteU32(kTrailerMagic);
    ar.WriteI32(margins.x);
    ar.WriteI32(margins.y);
    ar.WriteCount(names.size());
    for (const auto& [index, name] : names) {
        ar.WriteI32(index);
        ar.WriteString(name);
    }
}

void readTrailer(ArchiveReader& ar, ShapePayload& payload)
{
    if (ar.ReadU32() != kTrailerMagic)
        ar.Fail("剪贴板数据的结尾不对");
    Point margins;
    margins.x = ar.ReadI32();
    margins.y = ar.ReadI32();
    payload.margins = margins;
    std::map<std::int32_t, std::string> names;
    const std::uint32_t count = ar.ReadCount(kMinNameEntryBytes);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::int32_t index = ar.ReadI32();
        std::string name = ar.ReadString();
        if (index < 0)
            ar.Fail("剪贴板数据含有错误的变量序号");
        names[index] = std::move(name);
    }
    payload.varNames = std::move(names);
    if (!ar.AtEnd())
        ar.Fail("剪贴板数据的结尾有多余的字节");
}

std::int32_t rowNamed(const HmiVarTable& table, std::int32_t hint, const std::string& name)
{
    const auto& column = table.name;
    if (hint >= 0 && static_cast<std::size_t>(hint) < column.size() && column[static_cast<std::size_t>(hint)] == name)
        return hint;
    const auto it = std::find(column.begin(), column.end(), name);
    return it == column.end() ? -1 : static_cast<std::int32_t>(it - column.begin());
}

} // namespace

std::string encodeShapePayload(std::span<CDrawObj* const> objects, Point margins, const HmiVarTable* table)
{
    ArchiveWriter ar;
    ar.WriteCount(objects.size());
    for (CDrawObj* obj : objects) {
        // Only shapes go onto the clipboard; each is written whole (its own stored record).
        auto* shape = dynamic_cast<CDrawRect*>(obj);
        if (shape != nullptr && ar.WriteObjectTag(shape, kDrawRectClass))
            shape->Serialize(ar);
    }
    writeTrailer(ar, objects, margins, table);
    return ar.TakeBytes();
}

std::optional<ShapePayload> decodeShapePayload(std::string_view bytes, std::string* errorGbk)
{
    ShapePayload payload;
    try {
        ArchiveReader ar(bytes, kPayloadClasses);
        const std::uint32_t count = ar.ReadCount(kMinObjectBytes);
        if (count > kMaxPayloadObjects)
            ar.Fail("剪贴板上的对象太多");
        for (std::uint32_t i = 0; i < count; ++i) {
            const ObjectTag tag = ar.ReadObjectTag();
            if (tag.kind != ObjectTag::Kind::NewObject || tag.cls->name != kDrawRectClass.name)
                ar.Fail("剪贴板数据含有不能粘贴的对象");
            auto obj = std::make_unique<CDrawRect>();
            ar.BindObject(tag.number, obj.get());
            obj->Serialize(ar);
            payload.objects.push_back(std::move(obj));
        }
        if (!ar.AtEnd())
            readTrailer(ar, payload);
    } catch (const ArchiveError& e) {
        if (errorGbk != nullptr)
            *errorGbk = e.what();
        return std::nullopt;
    }
    return payload;
}

void renumberPastedReferences(CDrawObj& obj, const std::map<std::int32_t, std::string>* names, const HmiVarTable& table)
{
    std::span<std::uint8_t> block = obj.m_Params;
    for (const VarRefField& ref : varRefsOf(obj.Kind(), block)) {
        const std::int32_t index = blockReadI32(block, ref.index, -1);
        if (index < 0)
            continue;
        std::int32_t renumbered = -1;
        if (names != nullptr) {
            if (const auto it = names->find(index); it != names->end())
                renumbered = rowNamed(table, index, it->second);
        } else if (static_cast<std::size_t>(index) < table.size()) {
            renumbered = index;
        }
        blockWriteI32(block, ref.index, renumbered);
    }
    refreshVarRefs(obj.Kind(), block, resolverFor(&table));
}

} // namespace qv::edit
