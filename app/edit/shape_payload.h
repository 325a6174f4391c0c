#pragma once
// The bytes the shape clipboard carries: the selection as an archive object list (count,
// then each object with its class record and its stored fields, in selection order), then
// a trailer of our own: the page margins the positions were taken under and the names of
// the variables the objects refer to, so a paste can find the same variables by name.
// A payload comes from outside the program: every count and length is checked, and a bad
// one is refused whole.
#include "model/document/draw_doc.h"

#include <map>
#include <optional>
#include <span>
#include <string>

namespace qv::edit {

// More objects than this in one payload is no selection anyone made.
inline constexpr std::uint32_t kMaxPayloadObjects = 100000;

struct ShapePayload {
    ObjectList objects;
    std::optional<Point> margins;                  // nullopt: a payload without the trailer
    std::optional<std::map<std::int32_t, std::string>> varNames;   // index -> name (GBK)
};

// `table` gives the names of the referenced rows (nullptr: none are written).
std::string encodeShapePayload(std::span<CDrawObj* const> objects, Point margins, const HmiVarTable* table);

// nullopt with `errorGbk` set when the bytes are no payload this program wrote.
std::optional<ShapePayload> decodeShapePayload(std::string_view bytes, std::string* errorGbk);

// Points each variable reference of a pasted object at the row of the same name in `table`
// (the row it had when that row still bears the name); a reference whose variable is not
// in `table` becomes unbound. Without names (a payload without the trailer) an index past
// the table's end becomes unbound. Addresses and types are then taken from `table`.
void renumberPastedReferences(CDrawObj& obj, const std::map<std::int32_t, std::string>* names,
                              const HmiVarTable& table);

} // namespace qv::edit
