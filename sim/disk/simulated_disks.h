#pragma once
// The files the user's 8051 program has open: four record-file handles and one plain file.
// They belong to one run: a run's start and end close them all, so no handle or header copy
// of an earlier run (or another project) is ever used again.
#include "sim/disk/plain_file.h"
#include "sim/disk/record_file.h"

namespace qv::sim {

struct SimulatedDisks {
    RecordFiles records;
    PlainFile plain;

    void closeAll()
    {
        records.closeAll();
        plain.close();
    }
};

} // namespace qv::sim
