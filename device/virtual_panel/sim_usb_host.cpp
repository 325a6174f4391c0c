#include "device/virtual_panel/sim_usb_host.h"

#include "platform/usb/open_failure_text.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace qv::device::virtual_panel {
namespace {

std::string identityOf(const SimPanelSettings& s)
{
    return fmt::format("sim {} {:04x}:{:04x}", s.name, s.id.vendor, s.id.product);
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> out;
    while (true) {
        const auto at = text.find(separator);
        out.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return out;
        text.remove_prefix(at + 1);
    }
}

std::optional<unsigned long> number(std::string_view v, int base)
{
    unsigned long n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n, base);
    if (ec != std::errc{} || end != v.data() + v.size() || v.empty())
        return std::nullopt;
    return n;
}

} // namespace

std::shared_ptr<SimPanel> SimUsbHost::add(SimPanelSettings settings)
{
    auto panel = std::make_shared<SimPanel>(std::move(settings));
    std::lock_guard lock(mutex_);
    panels_.push_back(panel);
    return panel;
}

void SimUsbHost::refuseOpen(const std::string& name, usb::OpenFailure failure)
{
    std::lock_guard lock(mutex_);
    refused_[name] = failure;
}

std::vector<std::shared_ptr<SimPanel>> SimUsbHost::panels() const
{
    std::lock_guard lock(mutex_);
    return panels_;
}

std::vector<usb::UsbCandidate> SimUsbHost::matching(const std::function<bool(const SimPanelSettings&)>& keep) const
{
    std::vector<usb::UsbCandidate> out;
    for (const auto& p : panels())
        if (p->plugged() && keep(p->settings()))
            out.push_back({p->settings().kind, p->settings().name, identityOf(p->settings())});
    return out;
}

std::vector<usb::UsbCandidate> SimUsbHost::vendorDevices(std::span<const usb::UsbId> ids)
{
    return matching([&](const SimPanelSettings& s) {
        return s.kind == usb::UsbKind::EzUsb && (byName_ || std::find(ids.begin(), ids.end(), s.id) != ids.end());
    });
}

std::vector<usb::UsbCandidate> SimUsbHost::hidDevices(usb::UsbId id)
{
    return matching([&](const SimPanelSettings& s) { return s.kind == usb::UsbKind::Hid && s.id == id; });
}

std::vector<usb::UsbCandidate> SimUsbHost::usbDisks()
{
    return matching([](const SimPanelSettings& s) { return s.kind == usb::UsbKind::Disk; });
}

usb::OpenResult SimUsbHost::open(const usb::UsbCandidate& candidate)
{
    const auto fail = [](usb::OpenFailure f) { return usb::openFailed(f); };
    std::shared_ptr<SimPanel> panel;
    usb::OpenFailure refused = usb::OpenFailure::None;
    {
        std::lock_guard lock(mutex_);
        for (const auto& p : panels_)
            if (p->settings().name == candidate.node && p->plugged())
                panel = p;
        if (const auto it = refused_.find(candidate.node); it != refused_.end())
            refused = it->second;
    }
    if (!panel)
        return fail(usb::OpenFailure::Missing);
    if (identityOf(panel->settings()) != candidate.identity || panel->settings().kind != candidate.kind)
        return fail(usb::OpenFailure::Changed);
    if (refused != usb::OpenFailure::None)
        return fail(refused);
    // The vendor driver's interface is claimed by one client at a time.
    if (panel->settings().kind == usb::UsbKind::EzUsb && panel->claimed())
        return fail(usb::OpenFailure::Busy);
    usb::OpenResult r;
    r.connection = panel->connect();
    return r;
}

std::optional<std::vector<std::pair<SimPanelSettings, usb::OpenFailure>>> parseSimPanels(std::string_view text,
                                                                                         std::string* why)
{
    const auto bad = [why](std::string reason) {
        if (why != nullptr)
            *why = std::move(reason);
        return std::nullopt;
    };
    std::vector<std::pair<SimPanelSettings, usb::OpenFailure>> out;
    int n = 0;
    for (std::string_view entry : split(text, ';')) {
        if (entry.empty())
            continue;
        const auto fields = split(entry, ',');
        SimPanelSettings s;
        usb::OpenFailure refuse = usb::OpenFailure::None;
        if (fields[0] == "ezusb") {
            s.kind = usb::UsbKind::EzUsb;
            s.id = {0x04B4, 0x8613};
        } else if (fields[0] == "hid") {
            s.kind = usb::UsbKind::Hid;
        } else if (fields[0] == "disk") {
            s.kind = usb::UsbKind::Disk;
            s.id = {0, 0};
        } else {
            return bad(fmt::format("unknown panel kind '{}'", fields[0]));
        }
        s.name = fmt::format("sim{}", n++);
        for (std::size_t i = 1; i < fields.size(); ++i) {
            const auto eq = fields[i].find('=');
            if (eq == std::string_view::npos)
                return bad(fmt::format("'{}' is not key=value", fields[i]));
            const std::string_view key = fields[i].substr(0, eq);
            const std::string_view value = fields[i].substr(eq + 1);
            const bool hex = key == "vid" || key == "pid";
            const auto num = number(value, hex ? 16 : 10);
            if (key == "name") {
                s.name = std::string(value);
            } else if (key == "refuse") {
                if (value == "busy")
                    refuse = usb::OpenFailure::Busy;
                else if (value == "permission")
                    refuse = usb::OpenFailure::NoPermission;
                else
                    return bad(fmt::format("unknown refusal '{}'", value));
            } else if (key == "bad") {
                for (std::string_view b : split(value, '+')) {
                    const auto block = number(b, 10);
                    if (!block)
                        return bad(fmt::format("bad block '{}' is no number", b));
                    s.badBlocks.insert(static_cast<std::uint32_t>(*block));
                }
            } else if (!num) {
                return bad(fmt::format("value of '{}' is no number", key));
            } else if (key == "vid" || key == "pid") {
                if (*num > 0xFFFF)
                    return bad(fmt::format("'{}' is above ffff", key));
                (key == "vid" ? s.id.vendor : s.id.product) = static_cast<std::uint16_t>(*num);
            } else if (key == "width") {
                s.info.width = static_cast<std::uint16_t>(*num);
            } else if (key == "height") {
                s.info.height = static_cast<std::uint16_t>(*num);
            } else if (key == "sram") {
                s.info.sramBytes = static_cast<std::uint32_t>(*num);
            } else if (key == "major" || key == "minor" || key == "depth") {
                if (*num > 0xFF)
                    return bad(fmt::format("'{}' is above 255", key));
                (key == "major" ? s.info.hardwareMajor : key == "minor" ? s.info.hardwareMinor : s.info.colourDepthCode) =
                    static_cast<std::uint8_t>(*num);
            } else if (key == "flashtest") {
                s.flashTestReply = static_cast<std::uint8_t>(*num);
            } else if (key == "busy") {
                s.busyReplies = static_cast<int>(*num);
            } else if (key == "signature") {
                s.signature = *num != 0;
            } else {
                return bad(fmt::format("unknown key '{}'", key));
            }
        }
        out.emplace_back(std::move(s), refuse);
    }
    return out;
}

std::unique_ptr<SimUsbHost> simHostFromEnvironment(std::string* why)
{
    const char* text = std::getenv(kSimPanelsEnv);
    if (text == nullptr)
        return nullptr;
    auto host = std::make_unique<SimUsbHost>();
    host->findVendorPanelsByName(true);
    if (const auto panels = parseSimPanels(text, why)) {
        for (const auto& [settings, refuse] : *panels) {
            host->add(settings);
            if (refuse != usb::OpenFailure::None)
                host->refuseOpen(settings.name, refuse);
        }
    }
    return host; // a text that does not parse gives a host without panels, never real USB
}

} // namespace qv::device::virtual_panel
