#include "platform/usb/usb_sysfs.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace qv::usb {
namespace {

std::optional<std::string> readLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line))
        return std::nullopt;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::optional<unsigned> parseNumber(const std::string& text, int base)
{
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc{} || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<unsigned> readNumber(const fs::path& file, int base)
{
    const auto line = readLine(file);
    return line ? parseNumber(*line, base) : std::nullopt;
}

// "HID_ID=0003:00005345:00001256" -> bus 3 and the ids.
std::optional<std::pair<unsigned, UsbId>> hidIdOf(const fs::path& uevent)
{
    std::ifstream in(uevent);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("HID_ID=", 0) != 0)
            continue;
        const std::string v = line.substr(7);
        const auto c1 = v.find(':');
        const auto c2 = v.find(':', c1 == std::string::npos ? c1 : c1 + 1);
        if (c1 == std::string::npos || c2 == std::string::npos)
            return std::nullopt;
        const auto bus = parseNumber(v.substr(0, c1), 16);
        const auto vid = parseNumber(v.substr(c1 + 1, c2 - c1 - 1), 16);
        const auto pid = parseNumber(v.substr(c2 + 1), 16);
        if (!bus || !vid || !pid || *vid > 0xFFFF || *pid > 0xFFFF)
            return std::nullopt;
        return std::pair{*bus, UsbId{static_cast<std::uint16_t>(*vid), static_cast<std::uint16_t>(*pid)}};
    }
    return std::nullopt;
}

std::vector<fs::path> listDir(const fs::path& dir)
{
    std::vector<fs::path> out;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

fs::path usbHostRoot()
{
    const char* root = std::getenv(kUsbRootEnv);
    return root != nullptr && *root != '\0' ? fs::path(root) : fs::path("/");
}

std::string SysfsUsbDevice::identity() const
{
    return fmt::format("{}-{} {:04x}:{:04x} {}", busnum, devpath, id.vendor, id.product, serial);
}

std::vector<int> SysfsUsbDevice::orderKey() const
{
    std::vector<int> key{busnum};
    std::string part;
    for (const char c : devpath + ".") {
        if (c == '.') {
            key.push_back(parseNumber(part, 10).value_or(0));
            part.clear();
        } else {
            part += c;
        }
    }
    return key;
}

std::optional<SysfsUsbDevice> UsbSysfs::readUsbDevice(const fs::path& dir) const
{
    const auto vid = readNumber(dir / "idVendor", 16);
    const auto pid = readNumber(dir / "idProduct", 16);
    const auto bus = readNumber(dir / "busnum", 10);
    const auto dev = readNumber(dir / "devnum", 10);
    if (!vid || !pid || !bus || !dev || *vid > 0xFFFF || *pid > 0xFFFF)
        return std::nullopt;
    SysfsUsbDevice d;
    d.sysDir = dir;
    d.id = {static_cast<std::uint16_t>(*vid), static_cast<std::uint16_t>(*pid)};
    d.busnum = static_cast<int>(*bus);
    d.devnum = static_cast<int>(*dev);
    d.devpath = readLine(dir / "devpath").value_or("0");
    d.serial = readLine(dir / "serial").value_or("");
    return d;
}

std::vector<SysfsUsbDevice> UsbSysfs::usbDevices() const
{
    std::vector<SysfsUsbDevice> out;
    for (const fs::path& entry : listDir(root_ / "sys/bus/usb/devices")) {
        if (entry.filename().string().find(':') != std::string::npos)
            continue; // an interface, not a device
        if (auto d = readUsbDevice(entry))
            out.push_back(std::move(*d));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const SysfsUsbDevice& a, const SysfsUsbDevice& b) { return a.orderKey() < b.orderKey(); });
    return out;
}

std::optional<SysfsUsbDevice> UsbSysfs::usbAncestor(const fs::path& sysDir) const
{
    std::error_code ec;
    fs::path dir = fs::canonical(sysDir, ec);
    if (ec)
        return std::nullopt;
    const fs::path top = fs::weakly_canonical(root_ / "sys", ec);
    while (!dir.empty() && dir != top && dir != dir.root_path()) {
        if (auto d = readUsbDevice(dir))
            return d;
        dir = dir.parent_path();
    }
    return std::nullopt;
}

std::vector<UsbSysfs::Node> UsbSysfs::hidrawNodes(UsbId id) const
{
    std::vector<Node> out;
    for (const fs::path& entry : listDir(root_ / "sys/class/hidraw")) {
        const auto hid = hidIdOf(entry / "device/uevent");
        constexpr unsigned kBusUsb = 3;
        if (!hid || hid->first != kBusUsb || !(hid->second == id))
            continue;
        auto usb = usbAncestor(entry / "device");
        if (!usb)
            continue;
        out.push_back({root_ / "dev" / entry.filename(), std::move(*usb)});
    }
    sortByPort(out);
    return out;
}

std::vector<UsbSysfs::Node> UsbSysfs::usbDisks() const
{
    std::vector<Node> out;
    for (const fs::path& entry : listDir(root_ / "sys/block")) {
        const std::string name = entry.filename().string();
        if (name.rfind("sd", 0) != 0)
            continue;
        auto usb = usbAncestor(entry);
        if (!usb)
            continue; // not attached through USB: an internal disk is never a candidate
        out.push_back({root_ / "dev" / name, std::move(*usb)});
    }
    sortByPort(out);
    return out;
}

std::optional<std::string> UsbSysfs::identityOfNode(UsbKind kind, const fs::path& devNode) const
{
    const std::string name = devNode.filename().string();
    switch (kind) {
    case UsbKind::Hid:
        if (auto usb = usbAncestor(root_ / "sys/class/hidraw" / name / "device"))
            return usb->identity();
        return std::nullopt;
    case UsbKind::Disk:
        if (auto usb = usbAncestor(root_ / "sys/block" / name))
            return usb->identity();
        return std::nullopt;
    case UsbKind::EzUsb:
        for (const SysfsUsbDevice& d : usbDevices())
            if (devBusNode(d) == devNode)
                return d.identity();
        return std::nullopt;
    }
    return std::nullopt;
}

fs::path UsbSysfs::devBusNode(const SysfsUsbDevice& d) const
{
    return root_ / fmt::format("dev/bus/usb/{:03}/{:03}", d.busnum, d.devnum);
}

void sortByPort(std::vector<UsbSysfs::Node>& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const UsbSysfs::Node& a, const UsbSysfs::Node& b) { return a.usb.orderKey() < b.usb.orderKey(); });
}

} // namespace qv::usb
