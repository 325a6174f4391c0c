#pragma once
// Loading and committing the controls' pages (button, bit switch, indicator light, radio
// button, real-time number) and the common address-group pages, and the checks and hidden
// variables the sheet's OK needs before anything is stored.
#include "props/sheet_values.h"

#include <string>
#include <vector>

namespace qv {

// Fills the control pages and common groups of `values` from `obj` (other kinds: nothing).
void LoadControlPages(const CDrawObj& obj, const SheetContext& context, SheetValues& values);

// Copies them back: block fields, groups the user changed, string-list entries changed.
void CommitControlPages(const SheetValues& values, CDrawObj& obj, const SheetContext& context);

// The sheet-wide checks of OK (GBK message, empty when the sheet may close).
std::string CheckSheet(const SheetValues& values, const SheetContext& context);

// The hidden variables OK must find or create, with the group each one goes to.
struct HiddenVarRequest {
    AddressGroup* group;
    std::string name;
    std::string type;
};
std::vector<HiddenVarRequest> HiddenVarsNeeded(SheetValues& values, const SheetContext& context);

// The user-code file for the button's "选择...": the stored "\..." form of `chosen` when it
// lies inside `projectDir` (whole path parts), else nullopt.
std::optional<std::string> UserCodeStoredName(const std::filesystem::path& projectDir, const std::filesystem::path& chosen);

} // namespace qv
