#pragma once
// The help topics the program opens by number, and the file of each inside
// pictavo.chm. The numbers are the ones the windows carry as help contexts;
// the program turns them into topic files itself, so a help file only needs
// its topics under these names.
#include <cstdint>

namespace pictavo {

enum HelpContext : std::uint32_t {
    hcMainWindow = 1,
    hcFirstRun = 2,
    hcPreviewPage = 4,
    hcSlideshowPage = 5,
    hcOptionsPage = 6,
    hcOnlinePage = 7,
};

struct HelpTopic {
    std::uint32_t context;
    const char* file;  // path inside the compiled help file
};

inline constexpr HelpTopic kHelpTopics[] = {
    {hcMainWindow, "main_window.htm"},   {hcFirstRun, "getting_started.htm"},
    {hcPreviewPage, "preview_page.htm"}, {hcSlideshowPage, "slideshow_page.htm"},
    {hcOptionsPage, "options_page.htm"}, {hcOnlinePage, "online_page.htm"},
};

// The topic file of a context number; nullptr for a number no topic has.
inline const char* HelpTopicFile(std::uint32_t context) {
    for (const HelpTopic& topic : kHelpTopics) {
        if (topic.context == context) return topic.file;
    }
    return nullptr;
}

}  // namespace pictavo
