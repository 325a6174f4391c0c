#pragma once
// Builds the pages of a kind's sheet over its values and runs the sheet through the caller's
// runner (the application's property sheet). A page whose values are missing (a common page
// whose address group the object lacks) is left out; the position page is always there.
#include "props/property_edit.h"
#include "props/ui/property_page.h"

#include <functional>
#include <vector>

namespace qv {

// Shows the pages under `caption` modally. OK: every page's Validate, then every page's
// Apply, then `confirm` (the sheet-wide checks and hidden variables); any refusal keeps the
// sheet open. True when it ended with OK.
using SheetRunner = std::function<bool(const QString& caption, const std::vector<PropertyPage*>& pages,
                                       const std::function<bool()>& confirm)>;

bool RunPropertySheet(const KindSheet& sheet, SheetValues& values, const std::function<bool()>& confirm,
                      const SheetRunner& run);

// The pages of `values` in the kind's order, owned by the caller.
std::vector<std::unique_ptr<PropertyPage>> BuildSheetPages(const KindSheet& sheet, SheetValues& values);

} // namespace qv
