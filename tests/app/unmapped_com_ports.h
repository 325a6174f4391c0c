#pragma once
// Unless a test maps its serial ports itself, no COM number is mapped while this lives: a
// project the test opens connects its ports through the COM map, and nothing reaches a real
// serial device.
#include "platform/serial/com_resolver.h"

#include <cstdlib>

namespace qv::test {

class UnmappedComPorts {
public:
    UnmappedComPorts()
    {
        if (std::getenv(kComMapEnv) == nullptr) {
            ::setenv(kComMapEnv, "", 1);
            own_ = true;
        }
    }
    ~UnmappedComPorts()
    {
        if (own_)
            ::unsetenv(kComMapEnv);
    }
    UnmappedComPorts(const UnmappedComPorts&) = delete;
    UnmappedComPorts& operator=(const UnmappedComPorts&) = delete;

private:
    bool own_ = false;
};

} // namespace qv::test
