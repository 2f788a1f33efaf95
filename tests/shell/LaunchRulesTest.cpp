#include <gtest/gtest.h>

#include "shell/LaunchRules.h"

namespace pictavo {
namespace {

TEST(LaunchRules, CommandProgramTakesAQuotedPathWholeAndAnUnquotedOneToTheFirstBlank) {
    const struct {
        const char* command;
        const char* program;
    } cases[] = {
        // As Wine and many Windows installations register the browser.
        {"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"",
         "C:\\windows\\system32\\winebrowser.exe"},
        {"\"C:\\Program Files\\Web\\browser.exe\" -nohome \"%1\"",
         "C:\\Program Files\\Web\\browser.exe"},
        {"C:\\Web\\browser.exe %1", "C:\\Web\\browser.exe"},
        {"C:\\Web\\browser.exe", "C:\\Web\\browser.exe"},
        {"  C:\\Web\\browser.exe -new %1", "C:\\Web\\browser.exe"},
        {"\"%ProgramFiles%\\Web\\browser.exe\"", "%ProgramFiles%\\Web\\browser.exe"},
        {"\"C:\\Web\\no closing quote.exe", "C:\\Web\\no closing quote.exe"},
        {"", ""},
        {"   ", ""},
        {"\"\" %1", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandProgram(c.command), c.program) << c.command;
    }
}

TEST(LaunchRules, EditorArgumentsAndFolders) {
    EXPECT_EQ(QuotedArgument("c:\\pics\\my cat.bmp"), "\"c:\\pics\\my cat.bmp\"");
    EXPECT_EQ(StartFolder("c:"), "c:\\");
    EXPECT_EQ(StartFolder("c:\\pics"), "c:\\pics");
    EXPECT_EQ(StartFolder("\\\\server\\share"), "\\\\server\\share");
}

TEST(LaunchRules, WebPageAddressEndsInTheFunctionValue) {
    EXPECT_EQ(WebPageAddress("home"),
              "http://www.norvex.com/cgi-bin/redir.cgi?app=pvo&ver=1.1&func=home");
}

}  // namespace
}  // namespace pictavo
