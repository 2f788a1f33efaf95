#include "detect/PollRules.h"

#include <algorithm>

#include "pictures/AddRules.h"
#include "inventory/InventoryTable.h"

namespace pictavo {

bool PollSignatureTable::Changed(const std::string& path, const PollSignature& signature) const {
    auto it = table_.find(path);
    return it == table_.end() || !(it->second == signature);
}

void PollSignatureTable::Store(const std::string& path, const PollSignature& signature) {
    table_[path] = signature;
}

std::vector<std::string> BuildWatchedNames(const std::vector<std::string>& fixedNames,
                                           std::string_view pollFileName) {
    std::vector<std::string> names;
    for (const std::string& name : fixedNames) names.push_back(TrimBlanks(name));
    const std::string own = TrimBlanks(pollFileName);
    if (!own.empty() && std::none_of(names.begin(), names.end(), [&own](const std::string& name) {
            return SameTextIgnoringCase(name, own);
        })) {
        names.push_back(own);
    }
    return names;
}

std::optional<uint32_t> PollIntervalMilliseconds(int seconds) {
    // Window timers take at most 0x7FFFFFFF milliseconds; a negative number
    // of seconds would reach them as an enormous one.
    const int64_t milliseconds = static_cast<int64_t>(seconds) * 1000;
    if (milliseconds < 0 || milliseconds > 0x7FFFFFFF) return std::nullopt;
    return static_cast<uint32_t>(milliseconds);
}

}  // namespace pictavo
