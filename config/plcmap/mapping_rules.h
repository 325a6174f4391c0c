#pragma once
// What a mapping row must satisfy before it is added or changed: the protocol's element
// number and address alignment rules, the field ranges and the 60-element limit.
#include <optional>
#include <string>

#include "config/plcmap/driver_file.h"

namespace qv::plcmap {

// A row as the edit dialog shows it: times in milliseconds.
struct MappingEdit {
    int station = 2;
    int elementType = 1;  // 1-based
    int elementNumber = 0;
    int count = 1;
    int hmiAddress = 64;
    int screen = 255;
    int commDelayMs = 10;
    int timeoutMs = 1000;
    int ackDelayMs = 0;
    bool writeOnly = false;
};

constexpr int kMaxCount = 60;

// The values a new row starts with (the ACK delay is only used by protocol 6).
MappingEdit DefaultEdit(int protocol);

// The first refusal (GBK) for `edit` under `protocol`, or nothing when it is acceptable.
std::optional<std::string> CheckEdit(int protocol, const MappingEdit& edit);

// The stored record of an accepted edit (times cut down to units of 5 ms).
MappingRecord ToRecord(int protocol, int port, const MappingEdit& edit);
MappingEdit ToEdit(const MappingRecord& record);

} // namespace qv::plcmap
