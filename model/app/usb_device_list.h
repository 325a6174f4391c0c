#pragma once
// The panels found on USB, in the application object: the vendor-driver devices first, then
// the HID devices, then the panel disks; the position of an entry tells its kind. Scans on
// the GUI thread and workers that run operations share it, so it is behind a mutex, and an
// operation (download, upgrade) holds the device it started with: a rescan changes the
// list and the selection, never the device an operation talks to, and the device commands
// refuse a held device.
#include "platform/usb/usb_host.h"

#include <mutex>
#include <optional>
#include <vector>

namespace qv {

class UsbDeviceList {
public:
    struct Snapshot {
        std::vector<usb::UsbCandidate> devices;
        int ezUsbCount = 0; // entries 0 .. ezUsbCount - 1 are vendor-driver devices
        int hidEnd = 0;     // entries ezUsbCount .. hidEnd - 1 are HID devices, later ones disks
        int selected = 0;
        usb::UsbKind kindAt(int index) const;
    };

    // A scan's result; the selection goes back to entry 0.
    void Rebuild(std::vector<usb::UsbCandidate> ezUsb, std::vector<usb::UsbCandidate> hid,
                 std::vector<usb::UsbCandidate> disks);
    Snapshot Get() const;
    int Count() const;
    // Out-of-range indexes are ignored.
    void Select(int index);
    // The selected device, or nullopt when the list is empty.
    std::optional<usb::UsbCandidate> Selected() const;

    // An operation's claim on a device. False when another operation holds it.
    bool Hold(const usb::UsbCandidate& device);
    void Release(const usb::UsbCandidate& device);
    bool IsHeld(const usb::UsbCandidate& device) const;

private:
    mutable std::mutex mutex_;
    Snapshot list_;
    std::vector<usb::UsbCandidate> held_;
};

// Holds a device for the lifetime of an operation.
class UsbDeviceHold {
public:
    UsbDeviceHold(UsbDeviceList& list, usb::UsbCandidate device)
        : list_(list), device_(std::move(device)), held_(list.Hold(device_)) {}
    ~UsbDeviceHold()
    {
        if (held_)
            list_.Release(device_);
    }
    UsbDeviceHold(const UsbDeviceHold&) = delete;
    UsbDeviceHold& operator=(const UsbDeviceHold&) = delete;
    bool held() const { return held_; }
    const usb::UsbCandidate& device() const { return device_; }

private:
    UsbDeviceList& list_;
    usb::UsbCandidate device_;
    bool held_;
};

} // namespace qv
