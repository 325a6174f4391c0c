#pragma once
// The layouts of the panel's own dialogs: the on-screen keyboards, the login and its
// warnings, the serial no-response notes, the log-out and save confirmations, and the
// system settings screen. Each element is data; BuildSpecialWindow turns a layout into a
// window document through the model's own shape code.
#include "model/document/draw_doc.h"

#include <filesystem>
#include <memory>
#include <span>
#include <string_view>

namespace qv::gen {

enum class ElementType {
    Text,      // kind 6: `label` shown
    Key,       // kind 7: face `label`, function 键盘"<action>"
    Function,  // kind 7: face `label`, function `action` as it stands
    Entry,     // kind 10: the box the typed digits show in
    Value,     // kind 9: the system variable of row `row`
    Candidates // kind 26 in option 4: the pinyin candidate bar
};

struct Element {
    ElementType type;
    Rect box;                 // inside the window, from its top-left corner
    std::string_view label;   // GBK
    std::string_view action;  // GBK
    int row = -1;             // system variable row of a Value
};

struct WindowLayout {
    std::string_view fileName;  // GBK
    int width;
    int height;
    std::span<const Element> elements;
};

std::span<const WindowLayout> specialWindowLayouts();

// What the objects' defaults need: the pictures they name are copied from `baseDir`'s
// "images\sys" into `pictureDir`, and no variable is created (a window file is imported into
// projects whose variable tables differ; only the 16 system rows are the same everywhere).
class SpecialWindowBuilder {
public:
    SpecialWindowBuilder(std::filesystem::path baseDir, std::filesystem::path pictureDir);
    std::unique_ptr<CDrawDoc> Build(const WindowLayout& layout);

private:
    std::filesystem::path baseDir_;
    std::filesystem::path pictureDir_;
};

} // namespace qv::gen
