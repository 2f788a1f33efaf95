#include <gtest/gtest.h>

#include <string>

#include "platform/Paths.h"
#include "platform/PicturePath.h"

namespace pictavo {
namespace {

TEST(PathsTest, SplitsPathsIntoNameAndFolder) {
    const struct {
        const char* path;
        const char* fileName;
        const char* folder;
    } cases[] = {
        {"C:\\Pics\\Sunset.BMP", "Sunset.BMP", "C:\\Pics"},
        {"c:\\pics\\\\a.bmp", "a.bmp", "c:\\pics"},
        {"C:\\Pics\\\\\\A.bmp", "A.bmp", "C:\\Pics"},
        {"C:\\a.bmp", "a.bmp", "C:"},
        {"C:a.bmp", "a.bmp", "C:"},
        {"a.bmp", "a.bmp", ""},
        {"\\a.bmp", "a.bmp", ""},
        {"C:\\Pics\\", "", "C:\\Pics"},
        {"C:\\", "", "C:"},
        {"\\\\Server\\Share\\X.JPG", "X.JPG", "\\\\Server\\Share"},
        {"C:\\My.Pics\\noext", "noext", "C:\\My.Pics"},
        // the last backslash or colon, whichever comes later
        {"C:\\Pics\\a:B.bmp", "B.bmp", "C:\\Pics\\a:"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ExtractFileName(c.path), c.fileName);
        EXPECT_EQ(ExtractFileDir(c.path), c.folder);
    }
}

TEST(PathsTest, LowerCaseChangesOnlyAsciiCapitals) {
    for (int b = 0; b < 256; ++b) {
        const std::string in(1, static_cast<char>(b));
        const char expected = (b >= 'A' && b <= 'Z') ? static_cast<char>(b + 32) : in[0];
        EXPECT_EQ(LowerCase(in), std::string(1, expected)) << "byte " << b;
    }
    EXPECT_EQ(LowerCase("C:\\Program Files\\\xC4RGER.BMP"), "c:\\program files\\\xC4rger.bmp");
}

TEST(PathsTest, StripsEveryTrailingBackslashOnly) {
    EXPECT_EQ(StripTrailingBackslashes("C:\\\\\\"), "C:");
    EXPECT_EQ(StripTrailingBackslashes("\\\\"), "");
    EXPECT_EQ(StripTrailingBackslashes("\\a\\b"), "\\a\\b");
}

TEST(PathsTest, ChangesTheExtensionOfTheFileNameOnly) {
    const struct {
        const char* path;
        const char* ext;
        const char* result;
    } cases[] = {
        {"C:\\Program Files\\Pictavo\\pictavo.exe", ".INI",
         "C:\\Program Files\\Pictavo\\pictavo.INI"},
        {"C:\\My.Pics\\noext", ".bmp", "C:\\My.Pics\\noext.bmp"},
        {"C:\\Pics\\a.b.exe", ".hlp", "C:\\Pics\\a.b.hlp"},
        {"pictavo.exe", "", "pictavo"},
        {"C:x.exe", ".ini", "C:x.ini"},
    };
    for (const auto& c : cases) EXPECT_EQ(ChangeFileExt(c.path, c.ext), c.result) << c.path;
}

TEST(PathsTest, TheExtensionIsTakenFromTheFileNameOnly) {
    EXPECT_EQ(ExtractFileExt("C:\\Pics\\photo.JPG"), ".JPG");
    EXPECT_EQ(ExtractFileExt("C:\\Pics\\a.b.tiff"), ".tiff");
    EXPECT_EQ(ExtractFileExt("C:\\My.Pics\\noext"), "");
    EXPECT_EQ(ExtractFileExt("C:x"), "");
    EXPECT_EQ(ExtractFileExt("C:\\Pics\\trailing."), ".");
}

TEST(PathsTest, JoinPutsOneBackslashBetween) {
    EXPECT_EQ(JoinPath("C:\\Pics", "a.bmp"), "C:\\Pics\\a.bmp");
    EXPECT_EQ(JoinPath("C:", "a.bmp"), "C:\\a.bmp");  // a drive root is stored as "C:"
}

}  // namespace
}  // namespace pictavo

namespace pictavo {
namespace {

TEST(PicturePathTest, KeepsThePathAsWrittenAndKeysItInLowerCase) {
    const struct {
        PicturePath path;
        const char* asWritten;
        const char* key;
        const char* name;
        const char* folder;
        const char* keyName;
        const char* keyFolder;
    } cases[] = {
        {PicturePath("C:\\Pics\\Sun.BMP"), "C:\\Pics\\Sun.BMP", "c:\\pics\\sun.bmp", "Sun.BMP",
         "C:\\Pics", "sun.bmp", "c:\\pics"},
        // A double-byte name (code page 932): the system must get its bytes unchanged.
        {PicturePath("C:\\\x83\x41\\\x83\x43.bmp"), "C:\\\x83\x41\\\x83\x43.bmp",
         "c:\\\x83\x61\\\x83\x63.bmp", "\x83\x43.bmp", "C:\\\x83\x41", "\x83\x63.bmp",
         "c:\\\x83\x61"},
        {PicturePath("C:\\Pics", "A.bmp"), "C:\\Pics\\A.bmp", "c:\\pics\\a.bmp", "A.bmp",
         "C:\\Pics", "a.bmp", "c:\\pics"},
        {PicturePath("C:\\Pics\\\\A.bmp"), "C:\\Pics\\\\A.bmp", "c:\\pics\\\\a.bmp", "A.bmp",
         "C:\\Pics", "a.bmp", "c:\\pics"},
        {PicturePath(), "", "", "", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asWritten);
        EXPECT_EQ(c.path.AsWritten(), c.asWritten);
        EXPECT_EQ(c.path.Key(), c.key);
        EXPECT_EQ(c.path.Name(), c.name);
        EXPECT_EQ(c.path.Folder(), c.folder);
        EXPECT_EQ(c.path.KeyName(), c.keyName);
        EXPECT_EQ(c.path.KeyFolder(), c.keyFolder);
        EXPECT_EQ(c.path.Empty(), *c.asWritten == '\0');
    }
    EXPECT_TRUE(PicturePath("C:\\Pics\\SUN.bmp").SameFile(PicturePath("c:\\pics\\sun.BMP")));
    EXPECT_FALSE(PicturePath("C:\\Pics\\sun.bmp").SameFile(PicturePath("C:\\Pics\\sun2.bmp")));
}

}  // namespace
}  // namespace pictavo
