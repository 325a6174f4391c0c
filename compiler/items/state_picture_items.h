#pragma once
// Item compilers of the controls that show one of two pictures (bit switch, indicator light,
// radio button), and what the other picture items of this folder take from them: the keyed
// pixel stream of one state, the item head and the refusal texts.
#include "compiler/screen/item_compilers.h"
#include "compiler/tiles/page_stream.h"
#include "platform/surface/color.h"

#include <optional>
#include <string>

namespace qv {
class Surface;
}

namespace qv::items {

// "编译出错!!"<name>"<what>": the text of a refused control (refuseControl adds the line end).
std::string controlError(const char* name, const char* what);
inline constexpr const char* kLacksBasicVar = "控件的基本控制属性缺乏HMI变量";
inline constexpr const char* kLacksHideVar = "控件的隐藏控制属性缺乏HMI变量";
inline constexpr const char* kLacksWriteVar = "控件的写入控制属性缺乏HMI变量";
inline constexpr const char* kTooSmall = "控件的长宽太小";

// Appends the control's rectangle of `s` to `out` as one picture (counted): a 0x82 lead byte
// and the pixels in the panel's order, no padding, so pictures can follow back to back. With
// `keyed` (redraw bit 0), a pixel of colour `fill` becomes the key colour and any other pixel
// that would read as the key becomes the substitute. False when the compile was aborted.
bool streamControlPicture(screen::ItemCompileArgs& a, const Surface& s, const Rect& r, bool keyed,
                          std::optional<ColorRef> fill, tiles::PageStream& out);

// Bytes 0, 1 and the position words 4..10 (panel coordinates) of an item.
void putItemHead(screen::ItemCompileArgs& a, std::uint32_t at, std::uint8_t type);

void CompileBitSwitch(screen::ItemCompileArgs& a);
void CompileIndicator(screen::ItemCompileArgs& a);
void CompileRadioButton(screen::ItemCompileArgs& a);

// Installs the three compilers for their kinds.
void installStatePictureItems(screen::ItemCompilerTable& table);

} // namespace qv::items
