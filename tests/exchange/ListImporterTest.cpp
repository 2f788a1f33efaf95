// Dropped files and picture lists over a real inventory in temporary folders,
// with the "Add Wallpaper" dialog and the messages answered from scripts.
#include <gtest/gtest.h>

#include <cstring>
#include <shlobj.h>

#include "exchange/ListFile.h"
#include "exchange/ListImporter.h"
#include "support/AddFixture.h"

namespace pictavo {
namespace {

using namespace pictavo::testing;

struct ImportRig : AddRig {
    TListImporter importer{{store, adder, ui, flags, progress}};
    std::string lists = dir / "Lists";
    ImportRig() { ::CreateDirectoryA(lists.c_str(), nullptr); }
};

// A drop as the shell hands it over: a DROPFILES block with the names after it.
HDROP MakeDrop(const std::vector<std::string>& names) {
    std::string block(sizeof(DROPFILES), '\0');
    for (const std::string& name : names) block += name + '\0';
    block += '\0';
    auto* header = reinterpret_cast<DROPFILES*>(block.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, block.size());
    std::memcpy(::GlobalLock(memory), block.data(), block.size());
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TEST(ListImporter, ListBringsItsPicturesWithTheirTileModesInOneBatch) {
    ImportRig rig;
    AddRig::Put(rig.lists + "\\a.bmp");
    AddRig::Put(rig.lists + "\\b.bmp");
    AddRig::Put(rig.lists + "\\c.bmp");
    const std::string list = AddRig::Put(
        rig.lists + "\\LIST.PVI", ListLine("a.bmp", true) + "\r\n" + ListLine("b.bmp", false) +
                                      "\"c.bmp\",\"t\"\r\n" + ListLine("gone.bmp", true));
    // Leave, ticked for all: one dialog for the whole import.
    rig.dialog.answers.push_back(OkWith(kOptionLeave, true, true));
    rig.flags.detectionBusy = false;
    const int hintsBefore = rig.ui.hintChanges;
    rig.importer.ImportListFiles({list, rig.lists + "\\missing.pvi"});

    ASSERT_EQ(rig.dialog.shown.size(), 1u);
    EXPECT_TRUE(rig.dialog.shown[0].applyToAllEnabled);
    EXPECT_TRUE(rig.dialog.shown[0].tile);  // the first line's mode
    EXPECT_TRUE(rig.Record(rig.lists + "\\a.bmp").Tile);
    EXPECT_FALSE(rig.Record(rig.lists + "\\b.bmp").Tile);
    EXPECT_TRUE(rig.Record(rig.lists + "\\c.bmp").Tile);
    EXPECT_EQ(rig.ui.errors,
              std::vector<std::string>{"File not found to import: " + rig.lists + "\\gone.bmp"});
    // The count shows and the save is handed over at the end, not once per picture.
    EXPECT_EQ(rig.ui.hintChanges - hintsBefore, 1);
    EXPECT_TRUE(rig.timeout.Pending());
    EXPECT_FALSE(rig.flags.detectionBusy);
    EXPECT_FALSE(rig.flags.previewSuspended);
    EXPECT_FALSE(rig.progress.shown);
}

TEST(ListImporter, LinesReachingOutsideTheListsFolderAreRefusedAndTheRestImported) {
    ImportRig rig;
    const std::string outside = AddRig::Put(rig.dir / "x.bmp");
    AddRig::Put(rig.pics + "\\y.bmp");
    AddRig::Put(rig.lists + "\\ok.bmp");
    // What the "Add Wallpaper" dialog makes of a name typed with a dot at its end.
    AddRig::Put(rig.lists + "\\sky..bmp");
    const std::string list = AddRig::Put(
        rig.lists + "\\pvo.pvi",
        ListLine("..\\x.bmp", true) + ListLine("../x.bmp", true) +
            ListLine(rig.pics + "\\y.bmp", true) + ListLine("C:x.bmp", true) +
            ListLine("Pics\\..\\..\\x.bmp", true) + ListLine("..", true) +
            ListLine("ok.bmp", false) + ListLine("sky..bmp", false));
    // Move, for all: a line that got through would take the file away.
    rig.dialog.answers.push_back(OkWith(kOptionMove, true, false));
    rig.importer.ImportListFiles({list});

    EXPECT_EQ(rig.ui.errors, (std::vector<std::string>{
                                 "File not found to import: ..\\x.bmp",
                                 "File not found to import: ../x.bmp",
                                 "File not found to import: " + rig.pics + "\\y.bmp",
                                 "File not found to import: C:x.bmp",
                                 "File not found to import: Pics\\..\\..\\x.bmp",
                                 "File not found to import: ..",
                             }));
    EXPECT_TRUE(AddRig::Exists(outside));
    EXPECT_TRUE(AddRig::Exists(rig.pics + "\\y.bmp"));
    EXPECT_FALSE(rig.Listed(outside));
    EXPECT_EQ(rig.store.Table().Count(), 2u);
    EXPECT_TRUE(rig.Listed(rig.data + "\\ok.bmp"));
    EXPECT_TRUE(rig.Listed(rig.data + "\\sky..bmp"));
}

TEST(ListImporter, APictureDeletedWhileItsDialogIsUpIsToldAndTheImportGoesOn) {
    ImportRig rig;
    std::string text;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
        AddRig::Put(rig.lists + "\\" + name);
        text += ListLine(name, true);
    }
    const std::string b = rig.lists + "\\b.bmp";
    rig.dialog.answers = {Ok(), Ok([&](WallpaperOptionsState&) { ::DeleteFileA(b.c_str()); }),
                          Ok()};
    rig.importer.ImportListFiles({AddRig::Put(rig.lists + "\\pvo.pvi", text)});

    EXPECT_TRUE(rig.Listed(rig.lists + "\\a.bmp"));
    EXPECT_TRUE(rig.Listed(rig.lists + "\\c.bmp"));
    EXPECT_EQ(rig.store.Table().Count(), 2u);
    ASSERT_EQ(rig.ui.errors.size(), 1u);
    EXPECT_EQ(rig.ui.errors[0].rfind("Error: Unable to add " + b + " (", 0), 0u)
        << rig.ui.errors[0];
    EXPECT_FALSE(rig.flags.detectionBusy);
}

TEST(ListImporter, DropAddsPicturesFirstThenListsAndTakesLongNamesWhole) {
    ImportRig rig;
    // A 150-character name whose first 126 characters name another picture.
    const std::string cut = rig.dir.Path() + "\\" +
                            std::string(126 - rig.dir.Path().size() - 1 - 4, 'a') + ".bmp";
    const std::string longName = cut + std::string(20, 'z') + ".bmp";
    ASSERT_EQ(longName.size(), 150u);
    AddRig::Put(cut);
    AddRig::Put(longName);
    const std::string picture = AddRig::Put(rig.pics + "\\first.bmp");
    AddRig::Put(rig.lists + "\\listed.bmp");
    const std::string list = AddRig::Put(rig.lists + "\\a.pvi", ListLine("listed.bmp", true));

    std::vector<std::string> order;
    rig.dialog.answers.push_back(Ok([&](WallpaperOptionsState& s) { order.push_back(s.fileName); }));
    rig.dialog.answers.push_back(Ok([&](WallpaperOptionsState& s) { order.push_back(s.fileName); }));
    rig.dialog.answers.push_back(Ok([&](WallpaperOptionsState& s) { order.push_back(s.fileName); }));
    const HDROP drop = MakeDrop({list, longName, picture});
    rig.importer.WMDropFiles(drop);

    EXPECT_EQ(::GlobalSize(drop), 0u);  // the drop's memory is given back
    EXPECT_EQ(rig.ui.traces.front(), "FrmMain: WMDropFiles");
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[1], "first");
    EXPECT_EQ(order[2], "listed");
    EXPECT_TRUE(rig.Listed(longName)) << longName;
    EXPECT_FALSE(rig.Listed(cut));
    EXPECT_TRUE(rig.ui.errors.empty()) << rig.ui.errors.front();
    EXPECT_FALSE(rig.flags.detectionBusy);
}

}  // namespace
}  // namespace pictavo
