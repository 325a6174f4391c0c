#include "device/list/ezusb_ids.h"

#include "platform/process/user_dirs.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace qv::device {
namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool hex16(std::string_view s, std::uint16_t& out)
{
    unsigned v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
    if (ec != std::errc{} || end != s.data() + s.size() || s.empty() || v > 0xFFFF)
        return false;
    out = static_cast<std::uint16_t>(v);
    return true;
}

} // namespace

std::filesystem::path EzUsbIdsFilePath()
{
    return userConfigDir() / "quorvane" / "ezusb-ids.conf";
}

std::vector<usb::UsbId> ParseEzUsbIds(std::string_view text, char separator)
{
    std::vector<usb::UsbId> ids;
    while (!text.empty()) {
        const auto at = text.find(separator);
        std::string_view entry = text.substr(0, at);
        text = at == std::string_view::npos ? std::string_view{} : text.substr(at + 1);
        if (const auto hash = entry.find('#'); hash != std::string_view::npos)
            entry = entry.substr(0, hash);
        entry = trim(entry);
        const auto colon = entry.find(':');
        usb::UsbId id;
        if (colon != std::string_view::npos && hex16(entry.substr(0, colon), id.vendor) &&
            hex16(entry.substr(colon + 1), id.product))
            ids.push_back(id);
    }
    return ids;
}

std::vector<usb::UsbId> EzUsbPanelIds()
{
    if (const char* env = std::getenv(kEzUsbIdsEnv))
        return ParseEzUsbIds(env, ',');
    std::ifstream in(EzUsbIdsFilePath());
    if (!in)
        return {};
    std::stringstream text;
    text << in.rdbuf();
    return ParseEzUsbIds(text.str(), '\n');
}

} // namespace qv::device
