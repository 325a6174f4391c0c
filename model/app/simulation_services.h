#pragma once
// What the application needs of the simulator run time. The model knows the simulator only
// through this interface, which the program installs at start (SetSimulationServices); without
// one the rebuild covers the variable memory and the shown windows only.
#include <cstdint>
#include <vector>

namespace qv {

class CDrawObj;

class SimulationServices {
public:
    virtual ~SimulationServices() = default;
    // The rebuild's one walk over every object of every window (a large project's objects
    // do not stay in the caches from one walk to the next): BeginObjects empties both request
    // tables; each object then has its PLC requests registered (RegisterObjectRequests, before
    // its variable references are re-derived) and its run-time start state set (PrepareObject,
    // after); FinishObjects, once every object is prepared, fills the sample curves and
    // strings, which write the variable memory after every start state, and reports what the
    // registration refused.
    virtual void BeginObjects() = 0;
    virtual void RegisterObjectRequests(CDrawObj& obj) = 0;
    virtual void PrepareObject(CDrawObj& obj) = 0;
    virtual void FinishObjects() = 0;
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
