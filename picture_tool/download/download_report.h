#pragma once
// What a download tells the dialog. Workers call these from their own thread; the dialog's
// implementation passes each on to the interface thread by a queued call.
#include <filesystem>
#include <string>

namespace qv::picture_tool {

class DownloadReport {
public:
    virtual ~DownloadReport() = default;
    virtual void status(int position) = 0;            // list position or font slot
    virtual void progress(int percent) = 0;           // 0..100
    virtual void message(const std::string& gbk) = 0; // a message box
    virtual void openFile(const std::filesystem::path&) {}
    // The flash type the panel reported ('X'), taken: the dialog's capacity choice follows it.
    virtual void flashType(int) {}
};

} // namespace qv::picture_tool
