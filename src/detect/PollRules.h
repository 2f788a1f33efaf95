#pragma once
// The rules of watching for wallpaper, on plain values: the watched names,
// the poll interval, and the signatures that tell a new version of a watched
// file from the one already seen.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pictavo {

// A watched file's version: its last write in universal time and its size.
// Neither depends on the locale or the time zone, and every write moves the
// time even within the same second.
struct PollSignature {
    uint64_t writeTime = 0;  // FILETIME units, UTC
    uint64_t size = 0;
    bool operator==(const PollSignature&) const = default;
};

// The signature last seen for each watched path (lower case). Never saved:
// every program start sees each watched file anew.
class PollSignatureTable {
public:
    // True when the path has no signature yet or a different one.
    bool Changed(const std::string& path, const PollSignature& signature) const;
    void Store(const std::string& path, const PollSignature& signature);
    size_t Count() const { return table_.size(); }

private:
    std::unordered_map<std::string, PollSignature> table_;
};

// The fixed names, trimmed, in order; then the user's poll file name trimmed,
// unless it is empty or already there in any case. The names stay as written:
// they go to the system.
std::vector<std::string> BuildWatchedNames(const std::vector<std::string>& fixedNames,
                                           std::string_view pollFileName);

// The poll timer's interval for the spinner's position in seconds; none when
// the system would refuse it.
std::optional<uint32_t> PollIntervalMilliseconds(int seconds);

}  // namespace pictavo
