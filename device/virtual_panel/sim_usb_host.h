#pragma once
// The host of simulated panels: a scan finds them by kind and ids as it finds real ones,
// and an open connects the framing to the panel.
#include "device/virtual_panel/sim_panel.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace qv::device::virtual_panel {

inline constexpr const char* kSimPanelsEnv = "QV_SIM_PANELS";

class SimUsbHost final : public usb::UsbHost {
public:
    // Adds a panel (plugged in) and returns it.
    std::shared_ptr<SimPanel> add(SimPanelSettings settings);
    // Marks a panel as one that cannot be opened for this reason (None: opens again).
    void refuseOpen(const std::string& name, usb::OpenFailure failure);
    std::vector<std::shared_ptr<SimPanel>> panels() const;
    // On: a vendor-driver panel is found whatever ids the scan asks for (the panels of
    // QV_SIM_PANELS are panels by being named there, with no list of ids to keep).
    void findVendorPanelsByName(bool on) { byName_ = on; }

    std::vector<usb::UsbCandidate> vendorDevices(std::span<const usb::UsbId> ids) override;
    std::vector<usb::UsbCandidate> hidDevices(usb::UsbId id) override;
    std::vector<usb::UsbCandidate> usbDisks() override;
    usb::OpenResult open(const usb::UsbCandidate& candidate) override;

private:
    std::vector<usb::UsbCandidate> matching(const std::function<bool(const SimPanelSettings&)>& keep) const;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<SimPanel>> panels_;
    std::map<std::string, usb::OpenFailure> refused_;
    bool byName_ = false;
};

// Panels from a settings text: entries separated by ';', each a kind ("ezusb", "hid",
// "disk") followed by ",key=value" pairs: name, vid, pid (hex), width, height, sram,
// major, minor and depth (the hardware version and colour depth code it reports),
// flashtest, busy, bad (block numbers joined by '+'), signature (0/1), refuse ("busy",
// "permission"). nullopt (with the reason) for text that does not parse.
std::optional<std::vector<std::pair<SimPanelSettings, usb::OpenFailure>>>
parseSimPanels(std::string_view text, std::string* why = nullptr);

// A host with the panels of QV_SIM_PANELS, or nullptr when it is not set.
std::unique_ptr<SimUsbHost> simHostFromEnvironment(std::string* why = nullptr);

} // namespace qv::device::virtual_panel
