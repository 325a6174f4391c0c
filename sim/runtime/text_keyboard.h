#pragma once
// The system keyboard on a character control: keys edit the control's string in place in
// both banks at the caret (lead-byte aware), with caps, shift, insert and pinyin latches; an
// optional conversion turns the string into a number at another address after every change.
#include <string_view>

namespace qv {
class CEditorApp;
class CDrawObj;
}

namespace qv::sim {

// One key name for a character target (kind 25 with its input option); others are ignored.
void CharacterKey(CEditorApp& app, CDrawObj& target, std::string_view key);

// Inserts a byte run (a candidate character or the typed letters) at the caret when the whole
// run fits; then the pinyin state is reset.
void InsertText(CEditorApp& app, CDrawObj& target, std::string_view bytes);

// A click on the pinyin candidate bar `bar` (area control in mode 4): the typed letters, a
// page cell or a candidate. The page never leaves the candidate list.
void CandidateBarClick(CEditorApp& app, const CDrawObj& bar, int x, int y);

// Empties the pinyin letters and the candidate page.
void ResetPinyinState(CEditorApp& app);

} // namespace qv::sim
