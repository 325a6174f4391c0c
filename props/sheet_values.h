#pragma once
// What one property sheet edits: the members of its appearance page and of its position
// page, filled from the object before the sheet runs and copied back on OK. The pages only
// see these values; the object is touched by CommitSheet alone.
#include "props/appearance_pages.h"
#include "props/kind_sheets.h"
#include "props/shape_pages.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>

namespace qv {

using AppearancePage = std::variant<std::monostate, RectPage, PicturePage, TextPage, TablePage, PipePage,
                                    PipeJointPage, ScalePage, NumericInputPage>;

struct SheetValues {
    int kind = 0;
    AppearancePage appearance;  // monostate: the kind's own pages are not built yet
    PositionPage position;
};

// What loading and committing need beyond the object.
struct SheetContext {
    WindowFrame frame;
    std::filesystem::path projectDir;
    // Copies a chosen picture into the project; the stored name, or nullopt (the user told
    // why) when it cannot be copied.
    std::function<std::optional<std::string>(const std::filesystem::path&)> copyPicture;
};

SheetValues LoadSheet(const CDrawObj& obj, const SheetContext& context);

// Copies the values back into the object: appearance fields, picture, position (fitted to
// the picture's size when asked, else the page's values), lock, then held into the window.
void CommitSheet(const SheetValues& values, CDrawObj& obj, const SheetContext& context);

} // namespace qv
