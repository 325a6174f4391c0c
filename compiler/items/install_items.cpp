#include "compiler/items/install_items.h"

#include "compiler/items/area_item.h"
#include "compiler/items/button_item.h"
#include "compiler/items/character_item.h"
#include "compiler/items/curve_item.h"
#include "compiler/items/number_item.h"
#include "compiler/items/dynamic_picture_item.h"
#include "compiler/items/numeric_input_item.h"
#include "compiler/items/progress_bar_item.h"
#include "compiler/items/state_picture_items.h"
#include "model/shape/shape_kind.h"

namespace qv::items {

void installItemCompilers(screen::ItemCompilerTable& table, ControlFontRegistry* fonts)
{
    table.install(ShapeKind::Button, CompileButton);
    table.install(ShapeKind::RealTimeNumber, CompileNumber);
    table.install(ShapeKind::ProgressBar, CompileProgressBar);
    table.install(ShapeKind::DynamicPicture, CompileDynamicPicture);
    table.install(ShapeKind::NumericInput, CompileNumericInput);
    table.install(ShapeKind::Curve, CompileCurve);
    installStatePictureItems(table);
    if (fonts != nullptr) {
        installAreaControlItem(table, *fonts);
        table.install(ShapeKind::Character, [fonts](screen::ItemCompileArgs& a) { CompileCharacter(a, *fonts); });
    }
}

screen::ItemCompilerTable itemCompilerTable(ControlFontRegistry* fonts)
{
    screen::ItemCompilerTable table;
    installItemCompilers(table, fonts);
    return table;
}

} // namespace qv::items
