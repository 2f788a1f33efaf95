#include <gtest/gtest.h>

#include <string>

#include "platform/AnsiCodePage.h"
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
    const ScopedAnsiCodePage westernEuropean(1252);
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
        // Single-byte (1252): "\x83" is a character of its own, and "A" a capital.
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

namespace pictavo {
namespace {

// Shift-JIS (code page 932) names whose characters end in the byte 0x5C, the
// backslash: 発表 (0x94 0xAD 0x95 0x5C), ソフト (0x83 0x5C 0x83 0x74 0x83 0x67),
// 能力 (0x94 0x5C 0x97 0xCD), 十 (0x8F 0x5C).
#define HAPPYO "\x94\xad\x95\x5c"
#define SOFUTO "\x83\x5c\x83\x74\x83\x67"
#define NOURYOKU "\x94\x5c\x97\xcd"
#define JUU "\x8f\x5c"

// Each path with its name, folder and extension at 932 and at 1252: at 932 a
// second byte 0x5C is half of a character, at 1252 every 0x5C is a backslash.
struct SplitCase {
    const char* path;
    bool joined;  // folder, one backslash, name
    const char* name932;
    const char* folder932;
    const char* extension932;
    const char* name1252;
    const char* folder1252;
    const char* extension1252;
};

const SplitCase kSplitCases[] = {
    // In a folder's name, at its end: the folder is not cut short.
    {"C:\\" HAPPYO "\\a.jpg", true, "a.jpg", "C:\\" HAPPYO, ".jpg", "a.jpg", "C:\\\x94\xad\x95",
     ".jpg"},
    {"C:\\" SOFUTO "\\x.bmp", true, "x.bmp", "C:\\" SOFUTO, ".bmp", "x.bmp",
     "C:\\\x83\\\x83\x74\x83\x67", ".bmp"},
    // At the end of a file name and inside it: the name is not split.
    {"C:\\Pics\\" JUU, true, JUU, "C:\\Pics", "", "", "C:\\Pics\\\x8f", ""},
    {"C:\\Pics\\" NOURYOKU ".bmp", true, NOURYOKU ".bmp", "C:\\Pics", ".bmp", "\x97\xcd.bmp",
     "C:\\Pics\\\x94", ".bmp"},
    {"C:\\" SOFUTO "\\" NOURYOKU ".b" JUU, true, NOURYOKU ".b" JUU, "C:\\" SOFUTO, ".b" JUU, "",
     "C:\\\x83\\\x83\x74\x83\x67\\\x94\\\x97\xcd.b\x8f", ""},
    // Without a folder, and a folder with nothing after it.
    {HAPPYO ".jpg", false, HAPPYO ".jpg", "", ".jpg", ".jpg", "\x94\xad\x95", ".jpg"},
    {"\\\\Server\\" HAPPYO "\\", false, "", "\\\\Server\\" HAPPYO, "", "",
     "\\\\Server\\\x94\xad\x95", ""},
    // A lead byte at the very end stands alone.
    {"C:\\Pics\\a\x95", true, "a\x95", "C:\\Pics", "", "a\x95", "C:\\Pics", ""},
    // ASCII alone parts the same way in both.
    {"C:\\Pics\\\\A.b.BMP", false, "A.b.BMP", "C:\\Pics", ".BMP", "A.b.BMP", "C:\\Pics", ".BMP"},
};

TEST(PathsDoubleByteTest, SplitsByCharactersOfTheAnsiCodePage) {
    for (const SplitCase& c : kSplitCases) {
        SCOPED_TRACE(c.path);
        const std::string_view whole(c.path);
        {
            const ScopedAnsiCodePage japanese(932);
            EXPECT_EQ(ExtractFileName(c.path), c.name932);
            EXPECT_EQ(ExtractFileDir(c.path), c.folder932);
            EXPECT_EQ(ExtractFileExt(c.path), c.extension932);
            const PicturePath path(c.path);
            EXPECT_EQ(path.Name(), c.name932);
            EXPECT_EQ(path.Folder(), c.folder932);
            EXPECT_EQ(path.Extension(), c.extension932);
            // The parts are the path's own bytes: they rejoin to it.
            if (c.joined) {
                EXPECT_EQ(JoinPath(path.Folder(), path.Name()), c.path);
            }
            const std::string stem(whole.substr(0, whole.size() - path.Extension().size()));
            EXPECT_EQ(ChangeFileExt(c.path, ".ini"), stem + ".ini");
        }
        {
            const ScopedAnsiCodePage westernEuropean(1252);
            EXPECT_EQ(ExtractFileName(c.path), c.name1252);
            EXPECT_EQ(ExtractFileDir(c.path), c.folder1252);
            EXPECT_EQ(ExtractFileExt(c.path), c.extension1252);
        }
    }
}

TEST(PathsDoubleByteTest, OnlyWholeBackslashesAreStripped) {
    const ScopedAnsiCodePage japanese(932);
    EXPECT_EQ(StripTrailingBackslashes("C:\\" HAPPYO), "C:\\" HAPPYO);
    EXPECT_EQ(StripTrailingBackslashes("C:\\" HAPPYO "\\\\"), "C:\\" HAPPYO);
    EXPECT_EQ(StripTrailingBackslashes(JUU "\\"), JUU);
    EXPECT_EQ(StripTrailingBackslashes("C:\\\\"), "C:");
    const ScopedAnsiCodePage westernEuropean(1252);
    EXPECT_EQ(StripTrailingBackslashes("C:\\" HAPPYO "\\\\"), "C:\\\x94\xad\x95");
}

// A second byte from 0x41 to 0x5A is no capital: ア (0x83 0x41) and ヂ
// (0x83 0x61) are two characters, and their names two files.
TEST(PathsDoubleByteTest, KeysLowerSingleByteLettersOnly) {
    {
        const ScopedAnsiCodePage japanese(932);
        EXPECT_EQ(LowerCase("C:\\AB\x83\x41Z\\\x83\x5a.BMP"), "c:\\ab\x83\x41z\\\x83\x5a.bmp");
        const PicturePath a("C:\\Pics\\\x83\x41.bmp"), di("C:\\PICS\\\x83\x61.BMP");
        EXPECT_FALSE(a.SameFile(di));
        EXPECT_EQ(a.Key(), "c:\\pics\\\x83\x41.bmp");
        EXPECT_EQ(a.KeyName(), "\x83\x41.bmp");
        EXPECT_EQ(PicturePath("C:\\" HAPPYO "\\A.BMP").KeyFolder(), "c:\\" HAPPYO);
        EXPECT_TRUE(
            PicturePath("C:\\Pics\\\x83\x41.bmp").SameFile(PicturePath("c:\\pics\\\x83\x41.BMP")));
    }
    const ScopedAnsiCodePage westernEuropean(1252);
    EXPECT_EQ(LowerCase("C:\\AB\x83\x41Z"), "c:\\ab\x83\x61z");
    EXPECT_TRUE(
        PicturePath("C:\\Pics\\\x83\x41.bmp").SameFile(PicturePath("C:\\PICS\\\x83\x61.BMP")));
}

}  // namespace
}  // namespace pictavo
