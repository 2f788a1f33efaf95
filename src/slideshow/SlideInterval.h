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

// "5 mins", "1 hrs 30 seconds", "never".
inline std::string SlideIntervalText(int hours, int minutes, int seconds) {
    std::string text;
    auto add = [&text](int value, const char* unit) {
        if (value <= 0) return;
        if (!text.empty()) text += ' ';
        text += std::to_string(value) + unit;
    };
    add(hours, " hrs");
    add(minutes, " mins");
    add(seconds, " seconds");
    return text.empty() ? "never" : text;
}

// The interval in words, for a sentence: "5 minutes".
inline std::string SlideIntervalWords(int hours, int minutes, int seconds) {
    return minutes > 0 ? std::to_string(minutes) + " minutes" : std::to_string(seconds) + " seconds";
}

}  // namespace pictavo
