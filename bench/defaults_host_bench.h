#pragma once
// The creation defaults without an application, for the benchmarks that build projects:
// variables go into a bare table, the default pictures are copied from the tree's base folder.
#include "model/params/kind_defaults.h"
#include "model/params/user_picture.h"
#include "model/vars/hmi_var_table.h"

#include <filesystem>
#include <string>

namespace qv::bench {

inline const std::filesystem::path kTreeBase = std::filesystem::path(QV_SOURCE_DIR) / "base";

class TableDefaultsHost final : public KindDefaultsHost {
public:
    TableDefaultsHost(HmiVarTable& table, std::filesystem::path project) : table_(table), project_(std::move(project)) {}
    AddVarOutcome FindOrAddHmiVar(std::string_view type, std::string_view name, std::string_view initial,
                                  std::string_view description) override
    {
        return findOrAddVarRow(table_, type, name, initial, description, 2 * varTableEnd(table_));
    }
    VarBinding ResolveVar(std::int32_t row) override { return varBindingOf(table_, row); }
    std::string CopyUserPicture(std::string_view stored) override { return copyStoredPicture(kTreeBase, project_, stored); }
    void RebuildSimulation() override {}
    void WriteSysVarHeader() override {}
    void ShowError(std::string_view) override {}

private:
    HmiVarTable& table_;
    std::filesystem::path project_;
};

} // namespace qv::bench
