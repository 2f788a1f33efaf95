// The picture-list file: the lines an export writes, how a list is read, which
// names a list may hold, how dropped names are sorted and what an export plans.
#include <gtest/gtest.h>

#include "exchange/ListFile.h"
#include "platform/AnsiCodePage.h"

namespace pictavo {
namespace {

TEST(ListFile, LinesAreQuotedNameCommaTileAndCrLf) {
    EXPECT_EQ(ListLine("Sunset.bmp", true), "\"Sunset.bmp\",\"T\"\r\n");
    EXPECT_EQ(ListLine("Sunset.bmp", true).size() - 2, 16u);  // the line without its end
    EXPECT_EQ(ListLine("My Pic.bmp", false), "\"My Pic.bmp\",\"C\"\r\n");
}

TEST(ListFile, ReadingTakesNameAndTileBetweenQuotesAndSkipsEmptyLines) {
    const std::string text =
        "\"a.bmp\",\"T\"\r\n"
        "\r\n"
        "\"b.bmp\",\"C\"\r\n"
        "\"c.bmp\",\"t\"\n"           // LF only; a lower-case t is tiled
        "junk \"d.bmp\",\"\"\r"       // text before the first quote; an empty tile text; lone CR
        "\n\n"
        "\"e.bmp\"\r\n"               // no tile text at all
        "no quotes here\r\n"          // an empty name
        "\"f.bmp\",\"T\"";            // no line end at the end of the file
    const std::vector<ListEntry> entries = ReadListText(text);
    struct Expected {
        const char* name;
        bool tile;
    } expected[] = {{"a.bmp", true},  {"b.bmp", false}, {"c.bmp", true}, {"d.bmp", false},
                    {"e.bmp", false}, {"", false},      {"f.bmp", true}};
    ASSERT_EQ(entries.size(), std::size(expected));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].fileName, expected[i].name) << i;
        EXPECT_EQ(entries[i].tile, expected[i].tile) << i;
    }
}

TEST(ListFile, WrittenLinesReadBackTheSame) {
    std::string text;
    for (bool tile : {true, false}) text += ListLine("x y.z.bmp", tile);
    const auto entries = ReadListText(text);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].fileName, "x y.z.bmp");
    EXPECT_TRUE(entries[0].tile);
    EXPECT_FALSE(entries[1].tile);
}

TEST(ListFile, OnlyPlainNamesStayBesideTheList) {
    struct Case {
        const char* name;
        bool plain;
    } cases[] = {
        {"a.bmp", true},      {"my photo.bmp", true}, {"..\\x.bmp", false}, {"../x.bmp", false},
        {"sub\\x.bmp", false}, {"C:x.bmp", false},    {"C:\\x.bmp", false}, {"..", false},
        {"a\\..\\..\\x.bmp", false}, {"\\\\server\\x.bmp", false},
        // Only dots and blanks name a folder (Windows drops trailing ones); dots
        // inside a name are part of it, as the "Add Wallpaper" dialog makes them.
        {".", false}, {"...", false}, {". .", false}, {".. ", false},
        {"sky..bmp", true}, {"a..b.bmp", true}, {"..bmp", true}, {"x.bmp.", true},
        // Device names lead out of any folder, with any extension, in any case.
        {"NUL", false}, {"nul.bmp", false}, {"Con.pvi", false}, {"aux .bmp", false},
        {"COM1.bmp", false}, {"lpt9", false}, {"prn.x.bmp", false}, {"CONOUT$", false},
        {"com\xB9.bmp", false},  // a superscript one counts as a digit
        {"console.bmp", true}, {"COM10.bmp", true}, {"nulls.bmp", true}, {"com.bmp", true},
        // Characters no file name may hold.
        {"a*.bmp", false}, {"a?.bmp", false}, {"a|b.bmp", false}, {"<a>.bmp", false},
        {"a\"b.bmp", false}, {"a\tb.bmp", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsPlainListName(c.name), c.plain) << c.name;
}

// At code page 932 a character's second byte may be 0x5C or 0x7C, a
// backslash or a "|" alone: 表 (0x95 0x5C), ポ (0x83 0x7C). Such a name is
// plain, and the export takes it; two names that differ only in a second
// byte A-Z, ア (0x83 0x41) and ヂ (0x83 0x61), are two pictures.
TEST(ListFile, DoubleByteNamesArePlainByTheirCharacters) {
    const ScopedAnsiCodePage japanese(932);
    for (const char* name :
         {"\x95\x5c.bmp", "\x83\x7c.bmp", "a\x94\x5c\x97\xcd.bmp", "\x83\x41.bmp"}) {
        EXPECT_TRUE(IsPlainListName(name)) << name;
    }
    for (const char* name : {"\x95\x5c\\x.bmp", "\x95\x5c|.bmp", "\x83\x41:x.bmp"}) {
        EXPECT_FALSE(IsPlainListName(name)) << name;
    }
    const ExportPlan plan = PlanExport({{"\x95\x5c.bmp", "C:\\one", true, true},
                                        {"\x83\x41.bmp", "C:\\one", true, true},
                                        {"\x83\x61.bmp", "C:\\one", true, true}});
    EXPECT_EQ(plan.pictures.size(), 3u);
    EXPECT_EQ(plan.leftOut, 0);
}

TEST(ListFile, DroppedListsGoAfterPicturesEachInDropOrder) {
    const DroppedFiles sorted = SortDroppedFiles(
        {"C:\\a\\one.pvi", "C:\\a\\b.bmp", "C:\\a\\LIST.PVI", "C:\\x.pvi\\folder", "C:\\a\\c.bmp"});
    EXPECT_EQ(sorted.lists, (std::vector<std::string>{"C:\\a\\one.pvi", "C:\\a\\LIST.PVI"}));
    EXPECT_EQ(sorted.pictures,
              (std::vector<std::string>{"C:\\a\\b.bmp", "C:\\x.pvi\\folder", "C:\\a\\c.bmp"}));
}

TEST(ListFile, ExportTakesEnabledPicturesOncePerNameAndCountsTheRest) {
    const ExportPlan plan = PlanExport({
        {"a.bmp", "C:\\one", true, true},
        {"A.BMP", "C:\\two", true, false},  // same name from another folder: left out
        {"b.bmp", "C:\\one", false, true},  // disabled: not counted
        {"nul.bmp", "C:\\one", true, true},   // no list could name it
        {"c..d.bmp", "C:\\one", true, true},
        {"e.bmp", "C:\\two", true, false},
    });
    ASSERT_EQ(plan.pictures.size(), 3u);
    EXPECT_EQ(plan.pictures[0].location, "C:\\one");
    EXPECT_EQ(plan.pictures[1].fileName, "c..d.bmp");
    EXPECT_EQ(plan.pictures[2].fileName, "e.bmp");
    EXPECT_EQ(plan.leftOut, 2);
    EXPECT_EQ(ExportResultText(0), "Export Successful");
    EXPECT_NE(ExportResultText(2).find("2 pictures could not be copied"), std::string::npos);
}

}  // namespace
}  // namespace pictavo
