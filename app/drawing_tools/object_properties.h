#pragma once
// Where a double click and the properties command open an object's property sheet. The
// property sheets install their handler at start-up; until then opening does nothing.
#include <functional>

namespace qv {

class CDrawObj;
class CDrawView;

using ObjectPropertiesHandler = std::function<void(CDrawView& view, CDrawObj& obj, int selectedCount)>;

// Replaces the handler (an empty one removes it); returns the one it replaces.
ObjectPropertiesHandler SetObjectPropertiesHandler(ObjectPropertiesHandler handler);

// Opens the sheet of `obj` for a selection of `selectedCount` objects.
void EditObjectProperties(CDrawView& view, CDrawObj& obj, int selectedCount);

} // namespace qv
