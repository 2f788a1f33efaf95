#pragma once
// Stands in for HTML Help: records each command and its target.
#include <string>
#include <vector>

#include "shell/HelpSystem.h"

namespace pictavo::testing {

class RecordingHelpViewer final : public IHelpViewer {
public:
    struct Call {
        HelpCommand command;
        std::string target;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;
    bool Show(HWND, HelpCommand command, const std::string& target) override {
        calls.push_back({command, target});
        return true;
    }
};

}  // namespace pictavo::testing
