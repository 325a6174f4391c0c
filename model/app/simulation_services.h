#pragma once
// What the application needs of the simulator run time. The model knows the simulator only
// through this interface, which the program installs at start (SetSimulationServices); without
// one the rebuild covers the variable memory and the shown windows only.
#include <cstdint>
#include <vector>

namespace qv {

class SimulationServices {
public:
    virtual ~SimulationServices() = default;
    // Both request tables emptied and filled again from every object of every window.
    virtual void CollectButtonRequests() = 0;
    // Every object of every window prepared for run time, then the sample curves filled.
    virtual void PrepareObjects() = 0;
    // The saved slot 0 of the saved-variables file into both banks.
    virtual void LoadSavedVars() = 0;
    // The PLC protocol block from the driver files and the request tables.
    virtual void LoadProtocolDrivers() = 0;
    // The block as the device image takes it (48-byte head and the records).
    virtual std::vector<std::uint8_t> ProtocolBlockImage() const = 0;
    // Stops the user code's emulator (its thread is joined) and starts it again from the
    // project's "\MC8051\MC8051.hex" when that holds code.
    virtual void RestartUserCode() = 0;
    virtual void StopUserCode() = 0;
    // The 50 ms and 400 ms work of the run-mode view on the shown window.
    virtual void AnimateObjects() = 0;
    virtual void BlinkInputCaret() = 0;
    // A byte received on COM `com` (a port's monitor thread).
    virtual void OnSerialByte(std::uint8_t byte, int com) {}
    // The communication tick of the PLC links (the view's timers).
    virtual void PollPlcPorts() {}
    // The project's documents, and so its ports, are about to go: nothing may write to them.
    virtual void ReleaseProjectPorts() {}
};

} // namespace qv
