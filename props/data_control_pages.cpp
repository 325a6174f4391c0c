#include "props/data_control_pages.h"

#include "model/project/system_windows.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace qv {

const char8_t* PictureReadCaption(std::uint32_t playMode, std::uint32_t location, std::uint32_t lookup)
{
    if (playMode == 1)
        return u8" 读取地址（时间间隔）";
    if (location == 1 && lookup == 1)
        return u8" 读取地址（图片文件名）";
    return u8" 读取地址（图片序号）";
}

bool PictureLookupVisible(std::uint32_t playMode, std::uint32_t location) { return location == 1 && playMode == 0; }

namespace {

bool endsWith(std::string_view name, std::string_view tail)
{
    return name.size() >= tail.size() && name.substr(name.size() - tail.size()) == tail;
}

// The endings a batch add takes, compared as they are written (no other mix of cases).
constexpr std::array<std::string_view, 8> kFrameEndings = {"bmp", "BMP", "jpg", "JPG", "gif", "GIF", "jpeg", "JPEG"};

} // namespace

std::vector<std::filesystem::path> BatchFramesOf(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError))
            continue;
        const std::string name = entry.path().filename().string();
        if (std::any_of(kFrameEndings.begin(), kFrameEndings.end(), [&](std::string_view e) { return endsWith(name, e); }))
            out.push_back(entry.path());
    }
    return out;
}

AreaChoices AreaChoicesFor(const std::string& title)
{
    AreaChoices c;
    c.textInputShown = title == syswin::SystemKeyboard;
    if (endsWith(title, ".drw"))
        c.enabled[1] = false;  // "子窗口移动" moves sub-windows only
    if (endsWith(title, ".dlg"))
        c.enabled[0] = c.enabled[2] = false;  // "右键菜单", "绘图区" belong to screens
    return c;
}

std::vector<std::string> AreaSubWindows(std::vector<std::string> names)
{
    std::erase_if(names, [](const std::string& n) { return isSystemSubWindow(n); });
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace qv
