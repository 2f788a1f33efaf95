#pragma once
// Whether a picture's file is there, gone for good, or only out of reach.
// A file that is not found counts as gone only when the drive or share it
// lives on answers: an unplugged disk, an offline share or a refused access
// must never make the program forget its pictures.
// No Windows header here, so pure code can name the states.
#include <string>
#include <unordered_map>

namespace pictavo::FileProbe {

enum class State {
    Present,      // a file is there
    Vanished,     // no file, and its drive or share answers
    Unreachable,  // its drive or share does not answer, or the system would not say
};

State Probe(const std::string& path);

// Probes a run of paths (one slide search), asking each drive or share at most
// once whether it answers: with a disk unplugged, a pass over a long list of
// its pictures then costs no system call per picture. Also keeps the system's
// "no disk" box away for its lifetime.
class Batch {
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    State Probe(const std::string& path);

private:
    std::unordered_map<std::string, bool> rootAnswers_;  // by lower-case root
    unsigned previousErrorMode_;
};

inline bool Exists(const std::string& path) { return Probe(path) == State::Present; }
inline bool Vanished(const std::string& path) { return Probe(path) == State::Vanished; }
inline bool Unreachable(const std::string& path) { return Probe(path) == State::Unreachable; }

// What a path lives on: "c:\" for "c:\pics\a.bmp", "\\server\share\" for
// "\\server\share\pics\a.bmp"; empty for a path that names neither.
std::string PathRoot(const std::string& path);

}  // namespace pictavo::FileProbe
