// The shape clipboard's payload, which any program on the desktop can put there.
#include "app/edit/shape_payload.h"
#include "fuzz/fuzz_target.h"

#include <vector>

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    auto payload = edit::decodeShapePayload(asText(data, size), &error);
    if (!payload) {
        require(!error.empty(), "a refused payload gives no reason");
        return;
    }
    std::vector<CDrawObj*> objects;
    for (auto& obj : payload->objects)
        objects.push_back(obj.get());
    const std::string again = edit::encodeShapePayload(objects, payload->margins.value_or(Point{}), nullptr);
    require(edit::decodeShapePayload(again, &error).has_value(), "an encoded payload does not decode");
}

} // namespace qv::fuzz
