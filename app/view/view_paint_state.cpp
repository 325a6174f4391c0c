#include "app/view/view_paint_state.h"

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/params/object_var_refs.h"
#include "model/project/system_windows.h"
#include "platform/picture/picture.h"

#include <algorithm>

namespace qv {
namespace {

// Text of a fixed zero-terminated buffer (the whole buffer when it holds no terminator).
template <std::size_t N>
std::string terminatedText(const std::array<char, N>& buffer)
{
    return std::string(buffer.data(), std::find(buffer.begin(), buffer.end(), '\0'));
}

// The conversion clamp runs only while the system keyboard is open but not in use.
bool keyboardIdle(const CEditorApp& app)
{
    const std::string keyboard(syswin::SystemKeyboard);
    return app.FindDocByTitle(keyboard) != nullptr && app.m_strSimSysWindow != keyboard;
}

} // namespace

void FillPaintContext(CEditorApp& app, bool runMode, Point margins, PaintContext& ctx, PaintFeedback* feedback)
{
    ctx.runMode = runMode;
    ctx.showControlNumbers = app.m_bShowCtrlNumbers.load() != 0;
    ctx.varMem = &app.m_VarMem;
    ctx.projectDir = app.m_strProjectDir;
    ctx.baseDir = app.BaseDir();
    ctx.margins = margins;
    ctx.loadPicture = [](const std::filesystem::path& file) { return loadPictureFile(file); };
    // Without a project the painters keep to the addresses cached in the objects.
    if (const CDrawDoc* project = app.ProjectDoc())
        ctx.lookupVar = resolverFor(&project->m_varTable);
    if (runMode) {
        ctx.capsLock = app.m_bCapsLock.load() != 0;
        ctx.insertMode = app.m_bInsertMode.load() != 0;
        ctx.shiftLatch = app.m_bShiftLatch.load() != 0;
        ctx.pinyinMode = app.m_bPinyinMode.load() != 0;
        ctx.caret = {app.m_ptCaret.x, app.m_ptCaret.y};
        ctx.inputTarget = app.m_pInputTarget;
        ctx.keypadText = terminatedText(app.m_szKeypadText);
        ctx.pinyinLetters = terminatedText(app.m_szPinyin);
        ctx.pinyinPage = app.m_nPinyinPage;
        ctx.keyboardIdle = keyboardIdle(app);
        ctx.runBackground = app.m_pRunBackDC;
    }
    if (feedback != nullptr) {
        feedback->liveBank = &app.m_VarMem;
        feedback->runBank = &app.m_VarMemRun;
    }
    ctx.feedback = feedback;
}

void ApplyPaintFeedback(CEditorApp& app, const PaintFeedback& feedback)
{
    if (feedback.caret)
        app.m_ptCaret = {feedback.caret->x, feedback.caret->y};
    if (feedback.caretIndex)
        app.m_nInputCaretIndex = *feedback.caretIndex;
    if (feedback.convertClamp)
        app.m_bConvertClamp.store(*feedback.convertClamp ? 1 : 0);
    if (feedback.clearPinyinLatch)
        app.m_bPinyinMode.store(0);
    // The bar reports its candidates and pitch together, and its pitch is never 0; the
    // candidates are whole entries of the syllable table (static, zero-terminated) or none.
    if (feedback.pinyinPitch != 0) {
        app.m_pPinyinCandidates = feedback.pinyinCandidates.empty() ? nullptr : feedback.pinyinCandidates.data();
        app.m_nPinyinPitch = feedback.pinyinPitch;
    }
    if (feedback.pinyinPage)
        app.m_nPinyinPage = *feedback.pinyinPage;
}

} // namespace qv
