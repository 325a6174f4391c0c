#pragma once
// Variable tables for the tests of the backup file and the generated headers.
#include "model/document/draw_doc.h"
#include "model/vars/system_vars.h"

#include <string>

namespace qv::test {

// The 16 system rows a new project starts with.
inline HmiVarTable systemRowsTable()
{
    HmiVarTable t;
    for (const SystemVarRow& r : systemVarRows())
        t.AppendRow(std::string(r.address), std::string(r.type), std::string(r.name), std::string(r.initial),
                    std::string(r.description));
    return t;
}

inline bool sameTable(const HmiVarTable& a, const HmiVarTable& b)
{
    return a.address == b.address && a.type == b.type && a.name == b.name && a.initValue == b.initValue &&
           a.description == b.description;
}

} // namespace qv::test
