#pragma once
// Messages and small dialogs the model asks the user through. The Qt side implements it
// with message boxes and dialogs; tests script it.
#include <cstdint>
#include <optional>
#include <string_view>

namespace qv {

class UiPrompts {
public:
    enum class Icon { Information, Warning, Error };
    virtual ~UiPrompts() = default;
    // Text and title are GBK.
    virtual void ShowMessage(std::string_view textGbk, Icon icon = Icon::Information) = 0;
    // true for Yes.
    virtual bool AskYesNo(std::string_view textGbk) = 0;
    // The colour dialog; nullopt when cancelled. Colours are 0x00BBGGRR.
    virtual std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) = 0;
};

} // namespace qv
