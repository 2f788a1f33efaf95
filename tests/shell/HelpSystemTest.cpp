// The help system: which command and topic reach HTML Help, and the map from
// the windows' context numbers to the topics of the compiled help file.
#include "shell/HelpSystem.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "support/RecordingHelpViewer.h"

namespace pictavo {
namespace {

using Call = testing::RecordingHelpViewer::Call;

TEST(HelpSystemTest, ContentsTopicsAndClosingReachTheViewer) {
    testing::RecordingHelpViewer viewer;
    THelpSystem help(viewer);
    help.Quit();  // nothing opened yet: HTML Help is not even loaded
    EXPECT_TRUE(viewer.calls.empty());

    help.SetHelpFile("C:\\Pictavo\\pictavo.chm");
    help.ShowContents(nullptr);
    help.ShowContext(nullptr, hcSlideshowPage);
    help.ShowContext(nullptr, 3);  // no topic has it: the contents instead of nothing
    help.Quit();
    help.Quit();  // closed once
    EXPECT_EQ(viewer.calls,
              (std::vector<Call>{
                  {HelpCommand::Contents, "C:\\Pictavo\\pictavo.chm"},
                  {HelpCommand::Topic, "C:\\Pictavo\\pictavo.chm::/slideshow_page.htm"},
                  {HelpCommand::Contents, "C:\\Pictavo\\pictavo.chm"},
                  {HelpCommand::CloseAll, ""},
              }));
}

TEST(HelpSystemTest, EveryContextTheWindowsUseHasItsOwnTopic) {
    const std::uint32_t used[] = {1, 2, 4, 5, 6, 7};
    std::set<std::string> files;
    for (std::uint32_t context : used) {
        const char* file = HelpTopicFile(context);
        ASSERT_NE(file, nullptr) << context;
        files.insert(file);
    }
    EXPECT_EQ(files.size(), std::size(used));
    EXPECT_EQ(HelpTopicFile(0), nullptr);
}

// The compiled help file, read back by a CHM reader at build time into a folder.
std::string ReadExtracted(const std::string& name) {
    std::ifstream in(std::string(PICTAVO_HELP_EXTRACTED) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string();
}

TEST(HelpSystemTest, TheCompiledHelpHoldsEveryTopicOfTheContentsAndOfTheMap) {
    const std::string contents = ReadExtracted("pictavo.hhc");
    ASSERT_FALSE(contents.empty()) << "no contents file in pictavo.chm";
    std::set<std::string> listed;
    const std::regex local(R"re(<param name="Local" value="([^"]+)")re", std::regex::icase);
    for (std::sregex_iterator it(contents.begin(), contents.end(), local), end; it != end; ++it) {
        listed.insert((*it)[1]);
    }
    ASSERT_GE(listed.size(), std::size(kHelpTopics));
    for (const std::string& file : listed) {
        EXPECT_NE(ReadExtracted(file).find("<h1>"), std::string::npos) << file;
    }
    for (const HelpTopic& topic : kHelpTopics) {
        EXPECT_TRUE(listed.count(topic.file)) << topic.file << " is not in the contents";
    }
}

}  // namespace
}  // namespace pictavo
