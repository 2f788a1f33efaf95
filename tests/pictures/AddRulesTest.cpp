// The rules of adding, on plain values.
#include <gtest/gtest.h>

#include <set>

#include "pictures/AddRules.h"
#include "platform/AnsiCodePage.h"
#include "platform/Paths.h"

namespace pictavo {
namespace {

const std::vector<std::string> kRenames = {"Internet Explorer Wallpaper.bmp",
                                           "Netscape Wallpaper.bmp"};

TEST(AddRules, BitmapsJpegPngGifAndTiffAreSupported) {
    struct Case {
        const char* path;
        bool supported;
    } cases[] = {
        {"C:\\Pics\\a.bmp", true},         {"C:\\Pics\\A.BMP", true},
        {"C:\\Pics\\my.photo.bmp", true},  {"C:\\Pics\\x.jpg", true},
        {"C:\\Pics\\X.JPEG", true},        {"C:\\Pics\\x.jpe", true},
        {"C:\\Pics\\x.Png", true},         {"C:\\Pics\\x.gif", true},
        {"C:\\Pics\\x.tif", true},         {"C:\\Pics\\x.TIFF", true},
        {"C:\\Pics\\x.webp", false},       {"C:\\Pics\\x.jpg.txt", false},
        {"C:\\Pics\\noextension", false},  {"C:\\Pics.bmp\\noextension", false},
        {"C:\\Pics\\a.bmp.txt", false},    {"C:\\Pics\\a.bmpx", false},
        {"C:\\Pics\\a.jp", false},         {"C:\\Pics\\jpg", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSupportedFileName(c.path), c.supported) << c.path;
}

TEST(AddRules, InputFileNamesAreTheFixedRenamesAndThePollFileName) {
    struct Case {
        const char* path;
        const char* pollFileName;
        bool input;
    } cases[] = {
        {"c:\\windows\\netscape wallpaper.bmp", "", true},
        {"C:\\WINDOWS\\INTERNET EXPLORER WALLPAPER.BMP", "", true},
        {"c:\\windows\\mine.bmp", "  Mine.BMP ", true},
        {"c:\\windows\\mine.bmp", "other.bmp", false},
        {"c:\\windows\\", "", false},  // an empty name matches no empty poll name
        {"c:\\windows\\v1 of netscape wallpaper.bmp", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsInputFileName(c.path, kRenames, c.pollFileName), c.input) << c.path;
    }
}

// The proposal runs to the last ".", so "my.photo.bmp" keeps its name and two
// dated names stay apart.
TEST(AddRules, TheNameBoxProposesTheNameUpToItsLastDot) {
    EXPECT_EQ(ProposedName("my.photo.bmp"), "my.photo");
    EXPECT_EQ(ProposedName("2024.01.05.bmp"), "2024.01.05");
    EXPECT_NE(ProposedName("2024.01.05.bmp"), ProposedName("2024.01.06.bmp"));
    EXPECT_EQ(ProposedName("Plain.bmp"), "Plain");
    EXPECT_EQ(ProposedName("noextension"), "");
}

TEST(AddRules, TypedNamesMustBeNonEmptyAndFreeOfReservedCharacters) {
    for (const char* good : {"a", "my.photo", "with blank", "ümlaut"}) {
        EXPECT_TRUE(IsAcceptableName(good)) << good;
    }
    for (const char* bad : {"", "a\\b", "a/b", "c:", "a*", "a?", "say\"", "<a", "a>", "a|b"}) {
        EXPECT_FALSE(IsAcceptableName(bad)) << bad;
    }
    EXPECT_EQ(TrimBlanks("  name \t"), "name");
}

// "?" stands for a character the code page lost; the user is told the name
// that shows it.
TEST(AddRules, ANameWithLostCharactersIsToldByThePartThatLostThem) {
    struct Case {
        const char* path;
        const char* told;
    } cases[] = {
        {"C:\\Pics\\photo.jpg", ""},
        {"C:\\Pics\\??.jpg", "??.jpg"},
        {"C:\\Pics\\a?b\\c?.png", "c?.png"},
        {"C:\\Fotos ?\\x.png", "C:\\Fotos ?\\x.png"},
        {"\\\\?\\C:\\Pics\\long.jpg", ""},
        {"\\\\?\\C:\\Pics\\l?ng.jpg", "l?ng.jpg"},
    };
    for (const Case& c : cases) EXPECT_EQ(LostCharactersName(c.path), c.told) << c.path;
}

TEST(AddRules, ConfirmedFilesGoToTheirOwnFolderOnlyWithLeave) {
    EXPECT_EQ(TargetFolder(kOptionLeave, "C:\\Pics", "C:\\P\\images"), "C:\\Pics");
    EXPECT_EQ(TargetFolder(kOptionMove, "C:\\Pics", "C:\\P\\images"), "C:\\P\\images");
    EXPECT_EQ(TargetFolder(kOptionCopy, "C:\\Pics", "C:\\P\\images"), "C:\\P\\images");
}

TEST(AddRules, ASelectedOptionThatIsNotEnabledGivesWayToAnEnabledOne) {
    EXPECT_EQ(EnabledOption(kOptionCopy, kOptionLeave, 7), kOptionCopy);
    EXPECT_EQ(EnabledOption(kOptionLeave, kOptionMove, kOptionMove), kOptionMove);
    EXPECT_EQ(EnabledOption(kOptionLeave, kOptionLeave, kOptionMove | kOptionCopy), kOptionMove);
}

TEST(AddRules, CaptureNamesTakeTheFirstFreeNumber) {
    std::set<std::string> taken = {"c:\\p\\images\\v1 of Netscape Wallpaper.bmp",
                                   "c:\\p\\images\\v2 of Netscape Wallpaper.bmp",
                                   "c:\\p\\images\\v4 of Netscape Wallpaper.bmp"};
    auto exists = [&](const std::string& path) { return taken.count(path) > 0; };
    EXPECT_EQ(MakeCaptureName("c:\\p\\images", "Netscape Wallpaper.bmp", exists),
              "c:\\p\\images\\v3 of Netscape Wallpaper.bmp");
    EXPECT_EQ(MakeCaptureName("c:\\p\\images", "Other.bmp", exists),
              "c:\\p\\images\\v1 of Other.bmp");
}

TEST(AddRules, TheOpenDialogsBufferGivesFullPathsInItsOrder) {
    using namespace std::string_literals;
    using Paths = std::vector<std::string>;
    EXPECT_EQ(SplitSelectedFiles("C:\\Pics\\a.bmp\0\0"s), Paths{"C:\\Pics\\a.bmp"});
    EXPECT_EQ(SplitSelectedFiles("C:\\Pics\0b.bmp\0a.bmp\0\0"s),
              (Paths{"C:\\Pics\\b.bmp", "C:\\Pics\\a.bmp"}));
    EXPECT_EQ(SplitSelectedFiles("C:\\\0a.bmp\0b.bmp\0\0"s), (Paths{"C:\\a.bmp", "C:\\b.bmp"}));
    EXPECT_EQ(SplitSelectedFiles("\0\0"s), Paths{});
}

// At code page 932 a character's second byte may be 0x5C, the backslash: 発表
// is 0x94 0xAD 0x95 0x5C, 能 0x94 0x5C, ソ 0x83 0x5C. "Leave" with the name
// the dialog proposes must name the file it started from.
TEST(AddRules, LeaveWithTheProposedNameKeepsADoubleByteFileWhereItIs) {
    const ScopedAnsiCodePage japanese(932);
    for (const char* path :
         {"C:\\\x94\xad\x95\x5c\\a.jpg", "C:\\\x83\x5c\x83\x74\x83\x67\\\x94\x5c.bmp",
          "\\\\Server\\\x94\xad\x95\x5c\\\x95\x5c.x.bmp"}) {
        SCOPED_TRACE(path);
        const std::string candidate =
            JoinPath(TargetFolder(kOptionLeave, ExtractFileDir(path), "C:\\P\\images"),
                     ProposedName(ExtractFileName(path)) + ExtractFileExt(path));
        EXPECT_EQ(candidate, path);
        EXPECT_EQ(NameRefusal(ProposedName(ExtractFileName(path)), ExtractFileExt(path)), "");
    }
    // The file in its folder and a file of that name beside the folder are
    // in two folders.
    const std::string folder = "C:\\\x94\xad\x95\x5c";
    EXPECT_FALSE(SameTextIgnoringCase(ExtractFileDir(folder + "\\a.jpg"),
                                      ExtractFileDir(folder + "a.jpg")));
    EXPECT_FALSE(SameTextIgnoringCase("\x83\x41.bmp", "\x83\x61.bmp"));
    EXPECT_TRUE(SameTextIgnoringCase("\x83\x41.BMP", "\x83\x41.bmp"));
    EXPECT_TRUE(IsAcceptableName("\x94\x5c\x97\xcd"));
    EXPECT_TRUE(IsAcceptableName("\x83\x7c"));
    EXPECT_FALSE(IsAcceptableName("\x94\x5c\\"));
    EXPECT_TRUE(IsInputFileName("C:\\\x94\xad\x95\x5c\\Netscape Wallpaper.bmp", kRenames, ""));
    using namespace std::string_literals;
    EXPECT_EQ(SplitSelectedFiles(folder + "\0a.bmp\0\x95\x5c.bmp\0\0"s),
              (std::vector<std::string>{folder + "\\a.bmp", folder + "\\\x95\x5c.bmp"}));
}

}  // namespace
}  // namespace pictavo
