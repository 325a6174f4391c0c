#pragma once
// Pinyin to candidate characters for the on-screen input of the area control.
#include <string>
#include <string_view>

namespace qv {

// Lower-cases `text` in place (it must be Latin letters only) and returns the GBK candidates
// of that syllable, or the empty text: for an empty text, a non-letter, an unknown syllable,
// or a syllable starting with i, u or v.
std::string_view LookupPinyin(std::string& text);

// Entries of the syllable table (for tests).
int PinyinEntryCount();

} // namespace qv
