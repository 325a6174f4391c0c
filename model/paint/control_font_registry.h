#pragma once
// The compile-time font registry: each distinct (font key, LOGFONT) pair a compile meets is
// numbered in registration order. Held in a vector, so any number of fonts fits.
#include "platform/surface/gdi.h"

#include <cstdint>
#include <vector>

namespace qv {

class CDrawObj;

class ControlFontRegistry {
public:
    // The index of the first registered entry with the object's font key (m_nFontKey) and an
    // identical LOGFONT; otherwise the object is registered and -1 returned.
    int FindOrAddControlFont(const CDrawObj& obj);
    // Emptied by the compile command before each compile.
    void Clear();

    int Count() const { return static_cast<int>(entries_.size()); }
    int Calls() const { return calls_; }
    const CDrawObj* RegisteredObject(int index) const;

private:
    struct Entry {
        std::int32_t key;
        LogFont font;
        const CDrawObj* object;
    };
    std::vector<Entry> entries_;
    int calls_ = 0;
};

} // namespace qv
