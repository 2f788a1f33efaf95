#pragma once
// Message boxes answered from a script; every text shown is kept.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Prompts.h"

namespace pictavo::testing {

class ScriptedPrompts final : public IPrompts {
public:
    std::vector<std::string> shown;
    std::deque<int> answers;  // consumed in order; IDOK once they run out
    // Runs while the box is up, as a message handled inside its loop would.
    std::function<void(HWND owner, const std::string& text)> whileShown;

    int Show(HWND owner, const std::string& text, UINT) override {
        shown.push_back(text);
        if (whileShown) whileShown(owner, text);
        if (answers.empty()) return IDOK;
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace pictavo::testing
