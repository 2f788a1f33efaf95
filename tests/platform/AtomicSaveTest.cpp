// A save swapped in while another program reads the file it replaces.
#include <gtest/gtest.h>

#include <thread>

#include "platform/Files.h"
#include "support/TempDir.h"

namespace pictavo {
namespace {

using testing::TempDir;

// Opened as a viewer, a virus scanner or a backup opens a file to read it.
HANDLE OpenToRead(const std::string& path) {
    return ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(AtomicSaveTest, AReaderThatLetsGoSoonDelaysTheSaveWithoutFailingIt) {
    TempDir dir;
    const std::string path = dir.Write("GDB.CDS", "old");
    HANDLE reader = OpenToRead(path);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    // The reader's own pace, not a wait for the save: it lets go after a while.
    std::thread done([reader] {
        ::Sleep(300);
        ::CloseHandle(reader);
    });
    EXPECT_NO_THROW(WriteFileAtomically(path, "new"));
    done.join();
    EXPECT_EQ(dir.Read("GDB.CDS"), "new");
    EXPECT_FALSE(dir.Exists("GDB.CDS.~new"));
}

TEST(AtomicSaveTest, AReaderThatKeepsTheFileFailsTheSaveAndLeavesTheFileWhole) {
    TempDir dir;
    const std::string path = dir.Write("GDB.CDS", "old");
    HANDLE reader = OpenToRead(path);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_THROW(WriteFileAtomically(path, "new"), FileError);
    ::CloseHandle(reader);
    EXPECT_EQ(dir.Read("GDB.CDS"), "old");
    EXPECT_FALSE(dir.Exists("GDB.CDS.~new"));
}

// Windows answers a held file with any of three codes (Wine with the first
// alone): each is waited out. Any other fails the save at once.
TEST(AtomicSaveTest, ASwapRefusedWithAnyHeldFileCodeIsTriedAgain) {
    const struct {
        DWORD code;
        bool saved;
    } cases[] = {
        {ERROR_ACCESS_DENIED, true},
        {ERROR_SHARING_VIOLATION, true},
        {ERROR_LOCK_VIOLATION, true},
        {ERROR_INVALID_PARAMETER, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        TempDir dir;
        const std::string path = dir.Write("GDB.CDS", "old");
        SwapFailsOnceForTesting held(c.code);
        if (c.saved) {
            EXPECT_NO_THROW(WriteFileAtomically(path, "new"));
        } else {
            EXPECT_THROW(WriteFileAtomically(path, "new"), FileError);
        }
        EXPECT_EQ(dir.Read("GDB.CDS"), c.saved ? "new" : "old");
        EXPECT_FALSE(dir.Exists("GDB.CDS.~new"));
    }
}

}  // namespace
}  // namespace pictavo
