#pragma once
// The slideshow interval: as milliseconds for the timer and as text for the tray menu.
#include <cstdint>
#include <string>

namespace pictavo {

// 32-bit arithmetic, as the timer takes it.
inline uint32_t SlideIntervalMilliseconds(int hours, int minutes, int seconds) {
    return static_cast<uint32_t>(hours) * 3600000u + static_cast<uint32_t>(minutes) * 60000u +
           static_cast<uint32_t>(seconds) * 1000u;
}

// The parts of an interval that are set, each with its unit, joined by blanks;
// empty when every part is 0.
struct IntervalUnit {
    const char* one;
    const char* many;
};
inline std::string IntervalParts(int hours, int minutes, int seconds, const IntervalUnit (&units)[3]) {
    std::string text;
    const int values[3] = {hours, minutes, seconds};
    for (int i = 0; i < 3; ++i) {
        if (values[i] <= 0) continue;
        if (!text.empty()) text += ' ';
        text += std::to_string(values[i]) + (values[i] == 1 ? units[i].one : units[i].many);
    }
    return text;
}

// "5 mins", "1 hrs 30 seconds", "never": the tray menu's short form.
inline std::string SlideIntervalText(int hours, int minutes, int seconds) {
    const std::string text = IntervalParts(
        hours, minutes, seconds, {{" hrs", " hrs"}, {" mins", " mins"}, {" seconds", " seconds"}});
    return text.empty() ? "never" : text;
}

// The interval in words, for a sentence: "1 hour", "5 minutes",
// "1 hour 30 seconds". Every part is 0 only where the slideshow never ticks.
inline std::string SlideIntervalWords(int hours, int minutes, int seconds) {
    const std::string text = IntervalParts(
        hours, minutes, seconds, {{" hour", " hours"}, {" minute", " minutes"}, {" second", " seconds"}});
    return text.empty() ? "0 seconds" : text;
}

}  // namespace pictavo
