#pragma once
// The walk of the compile over the project's windows: the project document's own window,
// then every screen, then every sub-window, each compiled through the window compiler.
#include <string>

namespace qv {

class CDrawDoc;
class CEditorApp;
class DocumentView;

// What compiles one window (the window compiler installs itself here).
class WindowCompileSeam {
public:
    virtual ~WindowCompileSeam() = default;
    virtual void CompileScreen(CDrawDoc& doc) = 0;
};

struct CompileAllResult {
    int compiled = 0;
    bool aborted = false;          // m_bAbort was set before a window
    std::string missingWindowGbk;  // a listed window without an open document (the walk stopped)
};

// Checks the application's abort flag before each window and stops once it is set. A
// listed window whose document is not open stops the walk and is named in the result.
CompileAllResult CompileAllWindows(CEditorApp& app, WindowCompileSeam& seam);

// The first view of the first window document titled `title`, or nullptr.
DocumentView* FindViewByDocTitle(const std::string& title);

} // namespace qv
