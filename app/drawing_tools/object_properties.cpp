#include "app/drawing_tools/object_properties.h"

#include <utility>

namespace qv {
namespace {

ObjectPropertiesHandler& handler()
{
    static ObjectPropertiesHandler installed;
    return installed;
}

} // namespace

ObjectPropertiesHandler SetObjectPropertiesHandler(ObjectPropertiesHandler next)
{
    return std::exchange(handler(), std::move(next));
}

void EditObjectProperties(CDrawView& view, CDrawObj& obj, int selectedCount)
{
    // A copy: the sheet may install another handler while it is open.
    if (ObjectPropertiesHandler open = handler())
        open(view, obj, selectedCount);
}

} // namespace qv
