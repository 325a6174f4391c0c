#include "model/tree/window_names.h"

#include "platform/text/gbk.h"

namespace qv {

namespace {

// Walks the GBK text character by character; true when a single-byte character satisfies `bad`.
template <class Pred>
bool anySingleByte(std::string_view text, Pred bad)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = gbkCharLength(text, i);
        if (n == 1 && bad(static_cast<unsigned char>(text[i])))
            return true;
        i += n;
    }
    return false;
}

} // namespace

std::string CapNameForMessage(std::string_view nameGbk, std::size_t maxChars)
{
    std::size_t i = 0;
    for (std::size_t chars = 0; i < nameGbk.size() && chars < maxChars; ++chars)
        i += gbkCharLength(nameGbk, i);
    if (i >= nameGbk.size())
        return std::string(nameGbk);
    return std::string(nameGbk.substr(0, i)) + "…";
}

std::string_view ExtensionOf(WindowKind kind) { return kind == WindowKind::Screen ? kScreenExtension : kSubWindowExtension; }

std::string_view KindWord(WindowKind kind) { return kind == WindowKind::Screen ? "画面" : "子窗口"; }

std::string WindowItemText(int number, std::string_view fileNameGbk)
{
    return std::to_string(number) + ":" + std::string(fileNameGbk);
}

std::string WindowNameOfItemText(std::string_view itemTextGbk)
{
    const auto colon = itemTextGbk.find(':');
    return std::string(colon == std::string_view::npos ? itemTextGbk : itemTextGbk.substr(colon + 1));
}

std::string StemOfWindowName(std::string_view fileNameGbk, WindowKind kind)
{
    const std::string_view ext = ExtensionOf(kind);
    if (fileNameGbk.size() >= ext.size() && fileNameGbk.substr(fileNameGbk.size() - ext.size()) == ext)
        fileNameGbk.remove_suffix(ext.size());
    return std::string(fileNameGbk);
}

std::optional<std::string> CheckWindowName(std::string_view nameGbk)
{
    if (nameGbk.empty())
        return std::string("名字不能为空!");
    if (anySingleByte(nameGbk, [](unsigned char c) { return c == '\\' || c == '/' || c == ':'; }))
        return std::string("名字中不能含有“\\”、“/”或“:”!");
    if (nameGbk.find("..") != std::string_view::npos)
        return std::string("名字中不能含有“..”!");
    if (anySingleByte(nameGbk, [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
        return std::string("名字中不能含有控制字符!");
    // The window file carries the name: it must fit the host's file-name limit with its
    // extension, or the save would fail with the system's own words.
    const auto utf8 = gbkToUtf8(nameGbk);
    if (!utf8 || utf8->size() > kMaxWindowNameUtf8Bytes)
        return std::string("名字太长!最多可用83个汉字或250个字母、数字");
    return std::nullopt;
}

std::optional<std::string> CheckSubWindowPlacement(std::int64_t x, std::int64_t y, std::int64_t width,
                                                   std::int64_t height, int resWidth, int resHeight)
{
    if (width <= 0 || height <= 0)
        return std::string("子窗口宽度和高度必须大于0");
    if (x < 0 || x + width > resWidth)
        return std::string("子窗口宽度超出显示器显示范围");
    if (y < 0 || y + height > resHeight)
        return std::string("子窗口高度超出显示器显示范围");
    return std::nullopt;
}

std::int64_t CentredOrigin(int screenSize, std::int64_t windowSize) { return (screenSize - windowSize) >> 1; }

} // namespace qv
