#include "model/app/usb_device_list.h"

#include <algorithm>

namespace qv {

usb::UsbKind UsbDeviceList::Snapshot::kindAt(int index) const
{
    if (index < ezUsbCount)
        return usb::UsbKind::EzUsb;
    return index < hidEnd ? usb::UsbKind::Hid : usb::UsbKind::Disk;
}

void UsbDeviceList::Rebuild(std::vector<usb::UsbCandidate> ezUsb, std::vector<usb::UsbCandidate> hid,
                            std::vector<usb::UsbCandidate> disks)
{
    Snapshot s;
    s.ezUsbCount = static_cast<int>(ezUsb.size());
    s.hidEnd = s.ezUsbCount + static_cast<int>(hid.size());
    s.devices = std::move(ezUsb);
    s.devices.insert(s.devices.end(), hid.begin(), hid.end());
    s.devices.insert(s.devices.end(), disks.begin(), disks.end());
    std::lock_guard lock(mutex_);
    list_ = std::move(s);
}

UsbDeviceList::Snapshot UsbDeviceList::Get() const
{
    std::lock_guard lock(mutex_);
    return list_;
}

int UsbDeviceList::Count() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(list_.devices.size());
}

void UsbDeviceList::Select(int index)
{
    std::lock_guard lock(mutex_);
    if (index >= 0 && index < static_cast<int>(list_.devices.size()))
        list_.selected = index;
}

std::optional<usb::UsbCandidate> UsbDeviceList::Selected() const
{
    std::lock_guard lock(mutex_);
    if (list_.selected < 0 || list_.selected >= static_cast<int>(list_.devices.size()))
        return std::nullopt;
    return list_.devices[static_cast<std::size_t>(list_.selected)];
}

bool UsbDeviceList::Hold(const usb::UsbCandidate& device)
{
    std::lock_guard lock(mutex_);
    if (std::find(held_.begin(), held_.end(), device) != held_.end())
        return false;
    held_.push_back(device);
    return true;
}

void UsbDeviceList::Release(const usb::UsbCandidate& device)
{
    std::lock_guard lock(mutex_);
    const auto it = std::find(held_.begin(), held_.end(), device);
    if (it != held_.end())
        held_.erase(it);
}

bool UsbDeviceList::IsHeld(const usb::UsbCandidate& device) const
{
    std::lock_guard lock(mutex_);
    return std::find(held_.begin(), held_.end(), device) != held_.end();
}

} // namespace qv
