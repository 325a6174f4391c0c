#pragma once
// Prompts that record every message and answer questions from a script.
#include "model/document/ui_prompts.h"

#include <deque>
#include <string>
#include <vector>

namespace qv::test {

class ScriptedPrompts : public UiPrompts {
public:
    void ShowMessage(std::string_view textGbk, Icon) override { messages.emplace_back(textGbk); }
    bool AskYesNo(std::string_view textGbk) override
    {
        messages.emplace_back(textGbk);
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }

    std::vector<std::string> messages; // GBK
    std::deque<bool> answers;
};

} // namespace qv::test
