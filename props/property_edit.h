#pragma once
// The edit operation of an object: the sheet of its kind, and on OK the copy-back and the
// follow-up (references refreshed from their indices, position held into the window, views
// updated, the simulation rebuilt where the kind asks, one undo snapshot). The sheet, the
// character batch dialog and the address adjustment dialog are the Qt side's; tests drive
// the road with their own.
#include "props/sheet_values.h"

#include <functional>

namespace qv {

class CEditorApp;

struct PropertyEditHooks {
    // Runs the kind's sheet over `values`; true when it ended with OK. The sheet's OK, once
    // every page took its values, calls `confirm`: false keeps the sheet open.
    std::function<bool(const KindSheet& sheet, SheetValues& values, const std::function<bool()>& confirm)> runSheet;
    // Several character controls selected, `first` the model.
    std::function<void(CDrawObj& first)> editCharacterBatch;
    // The automatic variable address adjustment (modal, with its progress).
    std::function<void()> adjustAddresses;
};

// The context the sheet of `obj` is loaded and committed in.
SheetContext SheetContextFor(CEditorApp& app, const CDrawObj& obj);

// The sheet-wide part of OK while the sheet is still open: the checks across pages, then the
// hidden variables found or created (all or none: a refused one takes back those created
// before it). When variables were created the project is saved and the headers rewritten.
// False, the user told why, keeps the sheet open with nothing stored.
bool ConfirmSheet(CEditorApp& app, SheetValues& values, const SheetContext& context);

// Opens the sheet of `obj` (the first of `selectedCount` selected objects). True when the
// object was changed.
bool EditObjectProperties(CEditorApp& app, CDrawObj& obj, int selectedCount, const PropertyEditHooks& hooks);

} // namespace qv
