#pragma once
// The model's prompts on the Qt side: message boxes (stderr when non-interactive) and the
// colour dialog.
#include "model/document/ui_prompts.h"

#include <QPointer>
#include <QWidget>

namespace qv {

class QtPrompt : public UiPrompts {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(std::string_view textGbk, Icon icon = Icon::Information) override;
    bool AskYesNo(std::string_view textGbk) override;
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace qv
