// Writing a whole text through a handle that is already open (the export's
// picture list), and the long form of a path given in its short (8.3) form.
#include <gtest/gtest.h>

#include "platform/Files.h"
#include "platform/Handles.h"
#include "support/TempDir.h"

namespace pictavo {
namespace {

using testing::TempDir;

UniqueHandle Open(const std::string& path, DWORD access) {
    return UniqueHandle(::CreateFileA(path.c_str(), access, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(WriteAll, WritesTheWholeTextAndTellsARefusalWithTheSystemsReason) {
    TempDir dir;
    const std::string path = dir.Write("pvo.pvi", "");
    const std::string text = "\"a.bmp\",\"T\"\r\n\"b.bmp\",\"C\"\r\n";
    {
        UniqueHandle file = Open(path, GENERIC_WRITE);
        ASSERT_TRUE(file);
        WriteAll(file.Get(), text, path);
    }
    EXPECT_EQ(dir.Read("pvo.pvi"), text);

    // A handle the system lets read only: not a full disk.
    UniqueHandle file = Open(path, GENERIC_READ);
    ASSERT_TRUE(file);
    try {
        WriteAll(file.Get(), text, path);
        ADD_FAILURE() << "the write was not refused";
    } catch (const FileError& e) {
        EXPECT_EQ(e.Code(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(std::string(e.what()),
                  "Unable to write " + path + ": " + SystemErrorText(ERROR_ACCESS_DENIED));
    }
}

// A folder with a long name, its short form from the system, and names in it.
TEST(LongPathName, ShortNamesAreMadeLongAlsoForAFileThatIsNotThere) {
    TempDir dir;
    const std::string folder = dir / "Pictures of the Program";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    const std::string file = dir.Write("Pictures of the Program\\pictavo.bmp", "BM");
    char shortFolder[MAX_PATH] = {};
    ASSERT_GT(::GetShortPathNameA(folder.c_str(), shortFolder, MAX_PATH), 0u);
    ASSERT_EQ(std::string(shortFolder).find("Pictures of"), std::string::npos) << shortFolder;
    const struct {
        std::string given, expected;
    } cases[] = {
        {std::string(shortFolder) + "\\pictavo.bmp", file},  // there
        {std::string(shortFolder) + "\\gone.bmp", folder + "\\gone.bmp"},  // not there: its folder
        {file, file},  // long already
        {dir / "No Such Folder\\a.bmp", dir / "No Such Folder\\a.bmp"},  // as given
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        // Letter case as the disk has it: compared without regard to it.
        EXPECT_EQ(::lstrcmpiA(LongPathName(c.given).c_str(), c.expected.c_str()), 0)
            << LongPathName(c.given);
    }
}

}  // namespace
}  // namespace pictavo
