// Writing a whole text through a handle that is already open (the export's
// picture list): what the system refuses is told with the system's reason.
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

}  // namespace
}  // namespace pictavo
