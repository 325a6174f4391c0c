#pragma once
// What one property sheet edits: the members of its appearance page and of its position
// page, filled from the object before the sheet runs and copied back on OK. The pages only
// see these values; the object is touched by CommitSheet alone.
#include "props/appearance_pages.h"
#include "model/document/draw_doc.h"
#include "props/control_pages.h"
#include "props/data_control_pages.h"
#include "props/kind_sheets.h"
#include "props/shape_pages.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace qv {

using AppearancePage = std::variant<std::monostate, RectPage, PicturePage, TextPage, TablePage, PipePage,
                                    PipeJointPage, ScalePage, NumericInputPage, ButtonShapePage, SwitchShapePage,
                                    RadioShapePage, NumberShapePage, CharacterShapePage, CurveShapePage,
                                    PictureGroupPage, ProgressShapePage>;
using ControlPage = std::variant<std::monostate, ButtonControlPage, SwitchControlPage, IndicatorControlPage,
                                 RadioControlPage, NumberControlPage, CharacterControlPage, CurveControlPage,
                                 PictureDisplayControlPage, ProgressControlPage, AreaControlPage>;

// What the address groups and the user-code choice need while the sheet runs.
struct SheetSources {
    std::int32_t protocol1 = 0, protocol2 = 0;
    std::vector<std::string> varNames;  // GBK, table order
    std::filesystem::path projectDir;
    HmiVarTable varTable;  // the project's, for the curve list's addresses
    LinkFillContext linkContext() const { return {protocol1, protocol2, varNames}; }
};

struct SheetValues {
    ShapeKind kind = ShapeKind::Rectangle;
    SheetSources sources;
    AppearancePage appearance;  // monostate: the kind has no appearance page (area control)
    ControlPage control;
    CommonPages common;
    PositionPage position;
};

// What loading and committing need beyond the object.
struct SheetContext {
    WindowFrame frame;
    std::filesystem::path projectDir;
    // Copies a chosen picture into the project; the stored name, or nullopt (the user told
    // why) when it cannot be copied.
    std::function<std::optional<std::string>(const std::filesystem::path&)> copyPicture;
    // What the controls' pages show beyond the object.
    std::filesystem::path baseDir;  // the program's base folder (system pictures)
    std::int32_t protocol1 = 0, protocol2 = 0;
    std::vector<std::string> varNames;                // GBK, table order
    HmiVarTable varTable;
    std::vector<std::string> screens, subWindows;     // GBK file names, list order
    std::string windowTitle;                          // the edited object's window
    LinkFillContext linkContext() const { return {protocol1, protocol2, varNames}; }
};

SheetValues LoadSheet(const CDrawObj& obj, const SheetContext& context);

// Copies the values back into the object: appearance fields, picture, position (fitted to
// the picture's size when asked, else the page's values), lock, then held into the window.
void CommitSheet(const SheetValues& values, CDrawObj& obj, const SheetContext& context);

} // namespace qv
