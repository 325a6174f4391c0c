#pragma once
// Loading and committing the pages of the character control, curve, dynamic picture,
// progress bar and area control, and the checks their OK needs with the sheet still open.
#include "props/sheet_values.h"

#include <string>

namespace qv {

// Fills the kind's pages of `values` from `obj`; false for the other kinds.
bool LoadDataControlPages(const CDrawObj& obj, const SheetContext& context, SheetValues& values);

// Copies them back: block fields the pages carry, lists only when they changed.
void CommitDataControlPages(const SheetValues& values, CDrawObj& obj, const SheetContext& context);

// The checks across these pages (GBK message, empty when the sheet may close).
std::string CheckDataControlPages(const SheetValues& values, const SheetContext& context);

// Copies the frames chosen on the page into the project while the sheet is open, so a
// frame that cannot be copied keeps it open (the user was told why). Rows loaded from the
// object keep their stored names without a copy.
bool CopyNewFrames(SheetValues& values, const SheetContext& context);

} // namespace qv
