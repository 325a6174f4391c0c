#pragma once
// The device commands of the application object. The device layer sits above the model, so
// it installs an implementation (CEditorApp::SetDeviceCommands); with none installed the
// commands do nothing and the FLASH test fails.
namespace qv {

class DeviceCommands {
public:
    virtual ~DeviceCommands() = default;
    virtual void SyncPanelClock() = 0;
    virtual int TestFlash() = 0;
    virtual void ClearFlashProject() = 0;
};

} // namespace qv
