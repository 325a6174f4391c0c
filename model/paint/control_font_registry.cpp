#include "model/paint/control_font_registry.h"

#include "model/shape/draw_obj.h"

namespace qv {

int ControlFontRegistry::FindOrAddControlFont(const CDrawObj& obj)
{
    ++calls_;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].key == obj.m_nFontKey && entries_[i].font == obj.m_logfont)
            return static_cast<int>(i);
    entries_.push_back({obj.m_nFontKey, obj.m_logfont, &obj});
    return -1;
}

void ControlFontRegistry::Clear()
{
    entries_.clear();
    calls_ = 0;
}

const CDrawObj* ControlFontRegistry::RegisteredObject(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return entries_[static_cast<std::size_t>(index)].object;
}

} // namespace qv
