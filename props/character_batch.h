#pragma once
// The batch edit of several character controls: the first selected is the model, and each
// option set copies its part of the model to every target (the selected character controls
// of the model's window, or of every open window of the project).
#include <cstdint>
#include <vector>

namespace qv {

class CDrawObj;
class CEditorApp;

struct CharacterBatchOptions {
    std::uint32_t sameFont = 0, sameForeColor = 0, sameBackColor = 0, wholeProject = 0;
    std::uint32_t sameHeight = 0, sameWidth = 0, sameMaxChars = 0;
    bool any() const { return sameFont || sameForeColor || sameBackColor || sameHeight || sameWidth || sameMaxChars; }
};

inline constexpr const char8_t* kCharacterBatchNote =
    u8"注意:有两个以上的控件被选中，本操作以第一个被选中的控件为参照物对所有被选中的进行编辑";

// The targets in order: per window (screens, then sub-windows, with the whole-project
// option; else the model's own window) the selected character controls of its first view.
std::vector<CDrawObj*> CharacterBatchTargets(CEditorApp& app, CDrawObj& model, bool wholeProject);

// Applies the options to every target: each target repainted, one undo step per window
// that holds targets, the simulation rebuilt once. Nothing without an option set.
void ApplyCharacterBatch(CEditorApp& app, CDrawObj& model, const CharacterBatchOptions& options);

} // namespace qv
