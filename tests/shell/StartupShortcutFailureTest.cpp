// A start-up shortcut that cannot be written is reported, never passed over.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include "platform/Files.h"
#include "shell/StartupShortcut.h"

namespace pictavo {
namespace {

TEST(StartupShortcutFailure, AShortcutThatCannotBeSavedIsReportedWithItsPath) {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    const std::string folder = CommonStartupFolder();
    ASSERT_FALSE(folder.empty());
    const std::string shortcut = folder + "\\" + kStartupShortcutName;
    ::DeleteFileA(shortcut.c_str());
    // A folder in the shortcut's place: no file can be saved there.
    ASSERT_TRUE(::CreateDirectoryA(shortcut.c_str(), nullptr));
    const std::string message = SyncStartupShortcut(true, ExePath());
    ::RemoveDirectoryA(shortcut.c_str());
    EXPECT_EQ(message, "Unable to create Startup icon: " + shortcut);
    ::CoUninitialize();
}

}  // namespace
}  // namespace pictavo
