// The guard that keeps tests from leaving things in the shared Wine prefix.
#include "support/LeftoverGuard.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Files.h"
#include "platform/Handles.h"

namespace pictavo::testing {
namespace {

bool Mentions(const std::vector<std::string>& leftovers, const std::string& part) {
    return std::any_of(leftovers.begin(), leftovers.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    });
}

TEST(LeftoverGuard, NamesAFileAndARunningProgramAndEndsTheProgram) {
    const PrefixState before = CapturePrefixState();

    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "pictavo-leftover-probe.txt";
    UniqueHandle(::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    // A copy of this program that never runs a single instruction, but runs.
    std::string commandLine = "\"";
    commandLine.append(ExePath()).append("\"");
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                 CREATE_SUSPENDED, nullptr, nullptr, &startup, &child));
    UniqueHandle process(child.hProcess), thread(child.hThread);

    const PrefixState after = CapturePrefixState();
    const std::vector<std::string> leftovers = Leftovers(before, after);
    EXPECT_TRUE(Mentions(leftovers, "pictavo-leftover-probe.txt"));
    EXPECT_TRUE(Mentions(leftovers, "(process " + std::to_string(child.dwProcessId) + ")"));
    EXPECT_TRUE(Leftovers(after, after).empty());

    Restore(before, after);
    EXPECT_EQ(::WaitForSingleObject(process.Get(), 0), WAIT_OBJECT_0);
    ::DeleteFileA(file.c_str());
}

}  // namespace
}  // namespace pictavo::testing
