#pragma once
// What a newly drawn object of each kind receives: parameter-block values, name, texts,
// the HMI variables it finds or creates by name and the default pictures it copies into
// the project.
#include "model/params/param_field.h"
#include "model/params/var_refs.h"
#include "model/shape/draw_obj.h"
#include "model/vars/hmi_var_table.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>



namespace qv {

class CEditorApp;

// One value of a kind's defaults: `width` bytes (1 or 4) little-endian at `offset`.
struct BlockDefault {
    int offset;
    int width;
    std::uint32_t value;

    // A kind's named field (model/params/blocks/) and its value.
    template <class T, class Kind>
    constexpr BlockDefault(ParamField<T, Kind> f, std::uint32_t v) : offset(f.offset), width(f.width), value(v)
    {
    }
};

// A variable a kind binds by name, and the reference (index offset) it goes into.
struct DefaultVar {
    int refIndex;
    std::string_view type;
    std::string_view name;
    std::string_view initial;
    std::string_view description;  // GBK
};

// A text of the object's string list; `ownerTitle` stands for the owner document's title.
struct DefaultText {
    std::string_view text;
    bool ownerTitle = false;
};

struct KindDefaults {
    ShapeKind kind;
    bool control;
    std::string_view name;                 // empty: name left as it is
    std::span<const BlockDefault> values;
    std::span<const DefaultVar> vars;
    std::span<const std::string_view> pictures;  // base-folder stored paths, copied first
    std::span<const DefaultText> texts;          // appended after the pictures
    void (*look)(CDrawObj&) = nullptr;           // pen, brush and font changes
};

// The defaults of `kind`, or nullptr for kinds that get none.
const KindDefaults* kindDefaults(ShapeKind kind);

// What the defaults need of the application.
class KindDefaultsHost {
public:
    virtual ~KindDefaultsHost() = default;
    virtual AddVarOutcome FindOrAddHmiVar(std::string_view type, std::string_view name, std::string_view initial,
                                          std::string_view description) = 0;
    virtual VarBinding ResolveVar(std::int32_t row) = 0;
    // Copies a base-folder picture into the project; returns the name to store.
    virtual std::string CopyUserPicture(std::string_view storedSource) = 0;
    virtual void RebuildSimulation() = 0;
    virtual void WriteSysVarHeader() = 0;
    virtual void ShowError(std::string_view messageGbk) = 0;
};

struct KindDefaultsOutcome {
    int varsCreated = 0;
    std::vector<std::string> refused;  // GBK messages of variables that could not be added
};

// Applies the kind's defaults to a new object (block all zero). A variable that cannot be
// added leaves its reference at -1 (drawn as unbound) and is reported through the host.
// The headers are rewritten only when variables were created: rewriting them deletes the
// compiled user code and the saved variables of the project.
KindDefaultsOutcome applyKindDefaults(CDrawObj& obj, KindDefaultsHost& host);

// The rectangle tool's and the new-sub-window road's entry: applyKindDefaults with the
// application as host.
KindDefaultsOutcome SetKindDefaults(CDrawObj& obj, CEditorApp& app);

} // namespace qv
