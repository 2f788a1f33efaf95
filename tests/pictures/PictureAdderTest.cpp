// Adding pictures with the "Add Wallpaper" dialog and the message boxes
// answered from scripts, over real files.
#include <gtest/gtest.h>

#include "inventory/ListingLimits.h"
#include "pictures/OpenImportDialog.h"
#include "pictures/PictureAdder.h"
#include "support/AddFixture.h"

namespace pictavo {
namespace {

using testing::AddRig;
using testing::Cancel;
using testing::Ok;
using testing::OkWith;
using Lines = std::vector<std::string>;

auto Named(const std::string& name, uint8_t option = kOptionLeave) {
    return Ok([=](WallpaperOptionsState& s) {
        s.fileName = name;
        s.option = option;
    });
}

TEST(PictureAdder, MissingFilesAreSkippedSilentlyAndOnlyPicturesAreTaken) {
    AddRig rig;
    rig.adder.AddPictureFiles({AddRig::Put(rig.pics + "\\x.webp"),
                               AddRig::Put(rig.pics + "\\noextension"), rig.pics + "\\gone.jpg"},
                              false);
    EXPECT_EQ(rig.ui.errors, (Lines{"Error: x.webp is not a supported file type.",
                                    "Error: noextension is not a supported file type."}));
    EXPECT_TRUE(rig.dialog.shown.empty());
    EXPECT_EQ(rig.store.Table().Count(), 0u);
}

// The dialog proposes the whole name before the extension: confirming it
// unchanged keeps my.photo.bmp as it is instead of renaming it my.bmp.
TEST(PictureAdder, TheNameBoxKeepsEveryDotOfTheNameAndConfirmingLeavesTheFileAlone) {
    AddRig rig;
    const std::string photo = AddRig::Put(rig.pics + "\\my.photo.bmp");
    AddRig::Put(rig.pics + "\\my.bmp", "other");
    rig.dialog.answers = {Ok()};
    rig.adder.AddPictureFiles({photo}, false);

    ASSERT_EQ(rig.dialog.shown.size(), 1u);
    const WallpaperOptionsState& shown = rig.dialog.shown[0];
    EXPECT_EQ(shown.caption, "Add Wallpaper");
    EXPECT_EQ(shown.fromDir, rig.pics);
    EXPECT_EQ(shown.fileName, "my.photo");
    EXPECT_EQ(shown.option, kOptionLeave);
    EXPECT_EQ(shown.enabledOptions, kOptionLeave | kOptionMove | kOptionCopy);
    EXPECT_FALSE(shown.applyToAllEnabled);  // a batch of one
    EXPECT_TRUE(rig.prompts.shown.empty());
    EXPECT_TRUE(rig.Listed(photo));
    EXPECT_EQ(AddRig::Content(rig.pics + "\\my.bmp"), "other");
}

TEST(PictureAdder, AnEmptyOrUnusableNameKeepsTheDialogOpen) {
    AddRig rig;
    const std::string a = AddRig::Put(rig.pics + "\\a.bmp");
    rig.dialog.answers = {Named("   "), Named("a:b"), Named("say \"hi\""), Named("  good ")};
    rig.adder.AddPictureFiles({a}, false);

    EXPECT_EQ(rig.dialog.shown.size(), 4u);
    EXPECT_EQ(rig.ui.errors, Lines(3, kUnacceptableNameMessage));
    EXPECT_EQ(rig.dialog.shown[3].fileName, "say \"hi\"");  // the entries stay as typed
    EXPECT_FALSE(AddRig::Exists(a));
    EXPECT_TRUE(rig.Listed(rig.pics + "\\good.bmp"));
}

// "nul" would become nul.bmp: a copy into the device "succeeds" and a move
// then deletes the only picture.
TEST(PictureAdder, ADeviceNameIsRefusedAndTheDialogStaysOpen) {
    AddRig rig;
    const std::string a = AddRig::Put(rig.pics + "\\a.bmp", "the only copy");
    rig.dialog.answers = {Named("nul", kOptionMove), Named("Con", kOptionMove),
                          Named("com1.x", kOptionMove), Named("good", kOptionMove)};
    rig.adder.AddPictureFiles({a}, false);

    EXPECT_EQ(rig.dialog.shown.size(), 4u);
    ASSERT_EQ(rig.ui.errors.size(), 3u);
    EXPECT_EQ(rig.ui.errors[0], "Error: nul is a name Windows keeps for a device. Please type "
                                "another name for the picture.");
    EXPECT_EQ(rig.ui.errors[2].rfind("Error: com1.x is a name", 0), 0u);
    EXPECT_EQ(AddRig::Content(rig.data + "\\good.bmp"), "the only copy");
    EXPECT_TRUE(rig.Listed(rig.data + "\\good.bmp"));
    EXPECT_EQ(rig.store.Table().Count(), 1u);
}

// A renamed, moved or copied picture keeps its own format's extension; the
// dialog shows it beside the name box, and a device name is a device
// whatever the extension.
TEST(PictureAdder, ANewNameKeepsThePicturesOwnExtension) {
    struct Case {
        const char* source;
        const char* typed;
        uint8_t option;
        const char* extension;
        const char* target;  // in the data directory unless left
    } cases[] = {
        {"Photo.JPG", "renamed", kOptionLeave, ".JPG", "renamed.JPG"},
        {"scan.tiff", "scan", kOptionMove, ".tiff", "scan.tiff"},
        {"anim.gif", "first frame", kOptionCopy, ".gif", "first frame.gif"},
        {"logo.png", "nul", kOptionMove, ".png", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        AddRig rig;
        const std::string source = AddRig::Put(rig.pics + "\\" + c.source, "the picture");
        rig.dialog.answers = {Named(c.typed, c.option)};
        if (!c.target) rig.dialog.answers.push_back(Cancel());
        rig.adder.AddPictureFiles({source}, false);

        ASSERT_FALSE(rig.dialog.shown.empty());
        EXPECT_EQ(rig.dialog.shown[0].extension, c.extension);
        if (!c.target) {
            ASSERT_EQ(rig.ui.errors.size(), 1u);
            EXPECT_EQ(rig.ui.errors[0].rfind("Error: nul is a name Windows keeps", 0), 0u);
            EXPECT_EQ(AddRig::Content(source), "the picture");
            continue;
        }
        const std::string target =
            (c.option == kOptionLeave ? rig.pics : rig.data) + "\\" + c.target;
        EXPECT_TRUE(rig.ui.errors.empty());
        EXPECT_EQ(AddRig::Content(target), "the picture");
        EXPECT_TRUE(rig.Listed(target));
        EXPECT_EQ(rig.store.Table().Count(), 1u);
    }
}

// The open dialog and a drop hand over "?" for characters the code page
// cannot hold: such a file cannot be opened, and used to be passed over as
// missing without a word.
TEST(PictureAdder, ANameTheCodePageCannotHoldIsToldAndTheBatchGoesOn) {
    AddRig rig;
    const std::string good = AddRig::Put(rig.pics + "\\good.jpg");
    rig.dialog.answers = {Ok()};
    rig.adder.AddPictureFiles({rig.pics + "\\?????.jpg", rig.pics + "\\caf?\\x.png", good},
                              false);

    EXPECT_EQ(rig.ui.errors,
              (Lines{"Error: ?????.jpg cannot be added: its name holds characters that this "
                     "system's code page cannot show.",
                     "Error: " + rig.pics +
                         "\\caf?\\x.png cannot be added: its name holds characters that this "
                         "system's code page cannot show."}));
    EXPECT_EQ(rig.dialog.shown.size(), 1u);
    EXPECT_TRUE(rig.Listed(good));
    EXPECT_EQ(rig.store.Table().Count(), 1u);
}

TEST(PictureAdder, AListedPictureIsRefreshedWithoutADialogUnlessTheUserWantsToBeAsked) {
    struct Case {
        bool promptForName, startingUp, dialog;
    } cases[] = {{false, false, false}, {true, true, false}, {true, false, true}};
    for (const Case& c : cases) {
        AddRig rig;
        const std::string a = AddRig::Put(rig.pics + "\\a.bmp", "first");
        rig.store.StorePictureRecord("", a, false, false, false);  // disabled, centred
        AddRig::Put(a, "grown bigger");
        rig.settings.promptForName = c.promptForName;
        rig.flags.startingUp = c.startingUp;
        if (c.dialog) rig.dialog.answers = {Ok()};

        rig.adder.AddPictureFile(a, true);
        EXPECT_EQ(rig.dialog.shown.size(), c.dialog ? 1u : 0u);
        EXPECT_TRUE(rig.Record(a).Enabled);
        EXPECT_EQ(rig.Record(a).Size, 12);
        // Without the dialog the stored display stays; with it the dialog's counts.
        EXPECT_EQ(rig.Record(a).Tile, c.dialog);
        EXPECT_EQ(rig.store.Table().Count(), 1u);
    }
}

// Apply-to-all repeats the chosen option for each later file under its own
// name; files from another folder are neither moved into the first file's
// folder nor lose the copy option.
TEST(PictureAdder, ApplyToAllRepeatsTheChosenOptionForFilesFromAnyFolder) {
    for (uint8_t option : {kOptionLeave, kOptionMove, kOptionCopy}) {
        SCOPED_TRACE(static_cast<int>(option));
        AddRig rig;
        const Lines sources = {AddRig::Put(rig.pics + "\\a.bmp"), AddRig::Put(rig.pics + "\\b.bmp"),
                               AddRig::Put(rig.other + "\\c.bmp")};
        rig.dialog.answers = {OkWith(option, true, false)};
        const int hintsBefore = rig.ui.hintChanges;
        rig.adder.AddPictureFiles(sources, false);

        // The batch shows the count once at its end, not once per picture.
        EXPECT_EQ(rig.ui.hintChanges - hintsBefore, 1);
        EXPECT_EQ(rig.ui.hint, "3 Pictures in List");
        ASSERT_EQ(rig.dialog.shown.size(), 1u);
        EXPECT_TRUE(rig.dialog.shown[0].applyToAllEnabled);
        EXPECT_EQ(rig.store.Table().Count(), 3u);
        for (const std::string& source : sources) {
            const std::string target = option == kOptionLeave
                                           ? source
                                           : rig.data + "\\" + std::string(ExtractFileName(source));
            EXPECT_TRUE(rig.Listed(target)) << target;
            EXPECT_FALSE(rig.Record(target).Tile);
            EXPECT_TRUE(AddRig::Exists(target));
            EXPECT_EQ(AddRig::Exists(source), option != kOptionMove) << source;
        }
        EXPECT_TRUE(rig.prompts.shown.empty());
    }
}

TEST(PictureAdder, ApplyToAllStillAsksBeforeOverwritingAndWhereTheOptionIsClosed) {
    AddRig rig;
    const std::string a = AddRig::Put(rig.pics + "\\a.bmp");
    const std::string b = AddRig::Put(rig.other + "\\b.bmp", "new b");
    const std::string drop = AddRig::Put(rig.other + "\\Netscape Wallpaper.bmp");
    AddRig::Put(rig.data + "\\b.bmp", "old b");
    rig.prompts.answers = {IDYES};
    rig.dialog.answers = {OkWith(kOptionCopy, true), Ok()};
    rig.adder.AddPictureFiles({a, b, drop}, false);

    EXPECT_EQ(rig.prompts.shown, Lines{"Overwrite existing file " + rig.data + "\\b.bmp ?"});
    EXPECT_EQ(AddRig::Content(rig.data + "\\b.bmp"), "new b");
    // The browser's drop may only be moved: the dialog comes, with Move chosen.
    ASSERT_EQ(rig.dialog.shown.size(), 2u);
    EXPECT_EQ(rig.dialog.shown[1].enabledOptions, kOptionMove);
    EXPECT_EQ(rig.dialog.shown[1].option, kOptionMove);
    EXPECT_EQ(rig.dialog.shown[1].fileName, "v1 of Netscape Wallpaper");
    EXPECT_TRUE(rig.Listed(rig.data + "\\v1 of Netscape Wallpaper.bmp"));
    EXPECT_FALSE(AddRig::Exists(drop));
    EXPECT_EQ(rig.store.Table().Count(), 3u);
}

// A batch looks at its target folder once; a file that turns up there later
// is still never replaced without a question.
TEST(PictureAdder, AFileThatAppearsInTheTargetDuringABatchIsNotOverwritten) {
    AddRig rig;
    const Lines sources = {AddRig::Put(rig.pics + "\\a.bmp"), AddRig::Put(rig.pics + "\\b.bmp")};
    rig.progress.onPosition = [&](int) {
        if (!AddRig::Exists(rig.data + "\\b.bmp")) AddRig::Put(rig.data + "\\b.bmp", "theirs");
    };
    rig.dialog.answers = {OkWith(kOptionCopy, true)};
    rig.adder.AddPictureFiles(sources, false);

    EXPECT_EQ(AddRig::Content(rig.data + "\\b.bmp"), "theirs");
    ASSERT_EQ(rig.ui.errors.size(), 1u);
    EXPECT_EQ(rig.ui.errors[0].rfind("Error: Unable to copy " + sources[1] + " to " + rig.data +
                                         "\\b.bmp (",
                                     0),
              0u);
    EXPECT_EQ(rig.store.Table().Count(), 1u);
}

TEST(PictureAdder, CancelWithApplyToAllSkipsTheRestOfTheBatchAndWithoutItAsksAgain) {
    for (bool applyToAll : {true, false}) {
        AddRig rig;
        const Lines files = {AddRig::Put(rig.pics + "\\a.bmp"), AddRig::Put(rig.pics + "\\b.bmp"),
                             AddRig::Put(rig.pics + "\\c.bmp")};
        rig.dialog.answers = {Cancel(applyToAll)};
        if (!applyToAll) rig.dialog.answers.insert(rig.dialog.answers.end(), {Cancel(), Ok()});
        rig.adder.AddPictureFiles(files, false);

        EXPECT_EQ(rig.dialog.shown.size(), applyToAll ? 1u : 3u);
        EXPECT_EQ(rig.store.Table().Count(), applyToAll ? 0u : 1u);
        for (const std::string& file : files) EXPECT_TRUE(AddRig::Exists(file));
    }
}

// One file's failure is that file's: the batch goes on with the next one.
TEST(PictureAdder, AFileDeletedWhileItsDialogIsUpIsToldAndTheBatchGoesOn) {
    AddRig rig;
    const Lines files = {AddRig::Put(rig.pics + "\\a.bmp"), AddRig::Put(rig.pics + "\\b.bmp"),
                         AddRig::Put(rig.pics + "\\c.bmp")};
    rig.dialog.answers = {Ok(), Ok([&](WallpaperOptionsState&) { ::DeleteFileA(files[1].c_str()); }),
                          Ok()};
    rig.adder.AddPictureFiles(files, false);

    EXPECT_EQ(rig.dialog.shown.size(), 3u);
    EXPECT_TRUE(rig.Listed(files[0]));
    EXPECT_FALSE(rig.Listed(files[1]));
    EXPECT_TRUE(rig.Listed(files[2]));
    ASSERT_EQ(rig.ui.errors.size(), 1u);
    EXPECT_EQ(rig.ui.errors[0].rfind("Error: Unable to add " + files[1] + " (", 0), 0u)
        << rig.ui.errors[0];
    EXPECT_FALSE(rig.flags.detectionBusy);
}

TEST(PictureAdder, ADeclinedOverwriteKeepsTheDialogOpenAndAnAcceptedOneReplaces) {
    AddRig rig;
    const std::string a = AddRig::Put(rig.pics + "\\a.bmp", "new");
    AddRig::Put(rig.data + "\\a.bmp", "old");
    rig.prompts.answers = {IDNO, IDYES};
    rig.dialog.answers = {OkWith(kOptionCopy), Ok()};
    rig.adder.AddPictureFiles({a}, false);

    const std::string question = "Overwrite existing file " + rig.data + "\\a.bmp ?";
    EXPECT_EQ(rig.prompts.shown, (Lines{question, question}));
    ASSERT_EQ(rig.dialog.shown.size(), 2u);
    EXPECT_EQ(rig.dialog.shown[1].option, kOptionCopy);  // as the user left it
    EXPECT_EQ(AddRig::Content(rig.data + "\\a.bmp"), "new");
    EXPECT_TRUE(AddRig::Exists(a));
    EXPECT_TRUE(rig.Listed(rig.data + "\\a.bmp"));
    EXPECT_FALSE(rig.Listed(a));
}

// A new name in the same folder is a rename: after "Yes" the file there is
// replaced, not left with the picture silently unlisted.
TEST(PictureAdder, AConfirmedOverwriteByARenameReplacesTheFile) {
    AddRig rig;
    const std::string photo = AddRig::Put(rig.pics + "\\my.photo.bmp", "photo");
    AddRig::Put(rig.pics + "\\my.bmp", "old");
    rig.prompts.answers = {IDYES};
    rig.dialog.answers = {Named("my")};
    rig.adder.AddPictureFiles({photo}, false);

    EXPECT_TRUE(rig.ui.errors.empty());
    EXPECT_EQ(AddRig::Content(rig.pics + "\\my.bmp"), "photo");
    EXPECT_FALSE(AddRig::Exists(photo));
    EXPECT_TRUE(rig.Listed(rig.pics + "\\my.bmp"));
}

TEST(PictureAdder, ATransferThatFailsIsToldWithSourceAndTargetAndNothingIsStored) {
    struct Case {
        uint8_t option;
        const char* name;
        const char* verb;
    } cases[] = {{kOptionCopy, "a", "copy"},
                 {kOptionMove, "a", "copy"},  // a move between folders copies, then deletes
                 {kOptionLeave, "blocked", "rename"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option == kOptionMove ? "move" : c.option == kOptionCopy ? "copy" : "leave");
        AddRig rig;
        const std::string a = AddRig::Put(rig.pics + "\\a.bmp");
        // A folder where the file should go: no question, and no way through.
        const std::string target =
            (c.option == kOptionLeave ? rig.pics : rig.data) + "\\" + c.name + ".bmp";
        ::CreateDirectoryA(target.c_str(), nullptr);
        rig.dialog.answers = {Named(c.name, c.option)};
        rig.adder.AddPictureFiles({a}, false);

        ASSERT_EQ(rig.ui.errors.size(), 1u);
        EXPECT_EQ(
            rig.ui.errors[0].rfind(
                std::string("Error: Unable to ") + c.verb + " " + a + " to " + target + " (", 0),
            0u)
            << rig.ui.errors[0];
        EXPECT_EQ(rig.store.Table().Count(), 0u);
        EXPECT_TRUE(AddRig::Exists(a));
    }
}

// Checked before the file moves: a refused record must not leave the picture
// moved out of its folder and unlisted.
TEST(PictureAdder, APathTooLongToListIsRefusedBeforeAnyFileMoves) {
    AddRig rig;
    const std::string a = AddRig::Put(rig.pics + "\\a.bmp");
    const std::string name(130 - 4, 'n');
    rig.dialog.answers = {Named(name, kOptionMove)};
    rig.adder.AddPictureFiles({a}, false);

    const std::string target = rig.data + "\\" + name + ".bmp";
    EXPECT_EQ(rig.ui.errors, Lines{ListingRefusal(target)});
    EXPECT_TRUE(AddRig::Exists(a));
    EXPECT_FALSE(AddRig::Exists(target));
    EXPECT_EQ(rig.store.Table().Count(), 0u);
}

TEST(PictureAdder, ABrowserDropIsOfferedOnlyForAMoveUnderTheNextFreeVersionName) {
    AddRig rig;
    AddRig::Put(rig.data + "\\v1 of Netscape Wallpaper.bmp");
    AddRig::Put(rig.data + "\\v2 of Netscape Wallpaper.bmp");
    const std::string drop = AddRig::Put(rig.pics + "\\Netscape Wallpaper.bmp", "third");
    rig.dialog.answers = {Ok()};
    rig.adder.AddPictureFile(drop, true);

    ASSERT_EQ(rig.dialog.shown.size(), 1u);
    EXPECT_EQ(rig.dialog.shown[0].fromDir, rig.data);
    EXPECT_EQ(rig.dialog.shown[0].fileName, "v3 of Netscape Wallpaper");
    EXPECT_EQ(rig.dialog.shown[0].enabledOptions, kOptionMove);
    const std::string v3 = rig.data + "\\v3 of Netscape Wallpaper.bmp";
    EXPECT_EQ(AddRig::Content(v3), "third");
    EXPECT_FALSE(AddRig::Exists(drop));
    EXPECT_TRUE(rig.Listed(v3));
}

// The open dialog's first filter shows exactly what adding takes.
TEST(PictureAdder, TheOpenDialogsPictureFilterOffersOnlyWhatIsTaken) {
    const std::string_view filters(kOpenImportFilter, sizeof(kOpenImportFilter) - 1);
    ASSERT_EQ(filters.substr(0, 9), std::string_view("Pictures\0", 9));
    const std::string_view patterns = filters.substr(9, filters.find('\0', 9) - 9);
    for (size_t at = 0; at <= patterns.size();) {
        const size_t end = std::min(patterns.find(';', at), patterns.size());
        const std::string_view pattern = patterns.substr(at, end - at);
        ASSERT_EQ(pattern.substr(0, 2), "*.");
        EXPECT_TRUE(IsSupportedFileName("C:\\Pics\\x" + std::string(pattern.substr(1)))) << pattern;
        at = end + 1;
    }
}

TEST(PictureAdder, AddFilesRunsTheOpenDialogAddsItsFilesAndRemembersTheirFolder) {
    AddRig rig;
    rig.openDialog.files = {AddRig::Put(rig.pics + "\\a.bmp"), AddRig::Put(rig.pics + "\\b.bmp")};
    rig.dialog.answers = {OkWith(kOptionMove), OkWith(kOptionLeave)};
    const std::string firstFolder = rig.settings.importDir;
    rig.adder.mnuAdd1Click();

    EXPECT_EQ(rig.openDialog.initialDirs, Lines{firstFolder});
    EXPECT_EQ(rig.settings.importDir, rig.pics);
    EXPECT_TRUE(rig.Listed(rig.data + "\\a.bmp"));
    EXPECT_TRUE(rig.Listed(rig.pics + "\\b.bmp"));
    EXPECT_EQ(rig.progress.log, (Lines{"begin 1", "0", "1", "end"}));
    EXPECT_EQ(rig.ui.hint, "2 Pictures in List");
    // The list shows the last file of the batch where it was kept.
    ASSERT_TRUE(rig.store.cdtInventory().HasRecord());
    EXPECT_EQ(FullPath(rig.store.cdtInventory().Record()), rig.pics + "\\b.bmp");
    EXPECT_FALSE(rig.flags.detectionBusy);
    EXPECT_FALSE(rig.flags.previewSuspended);

    rig.openDialog.answer = false;
    rig.adder.mnuAdd1Click();
    EXPECT_EQ(rig.settings.importDir, rig.pics);
    EXPECT_EQ(rig.store.Table().Count(), 2u);
}

TEST(PictureAdder, ConfirmedAdditionsAskFirstAndOnlyYesGoesOn) {
    AddRig rig;
    const std::string a = AddRig::Put(rig.pics + "\\a.bmp");
    rig.settings.promptForName = false;
    for (int answer : {IDNO, IDCANCEL, IDYES}) {
        rig.prompts.answers = {answer};
        rig.dialog.answers = {Ok()};
        rig.adder.AddPictureFiles({a}, true);
    }
    EXPECT_EQ(rig.prompts.shown, Lines(3, "Add 1 files to list?"));
    EXPECT_EQ(rig.dialog.shown.size(), 1u);
    EXPECT_TRUE(rig.Listed(a));
}

// The busy flag is held while any dialog is up, and each holder gives back
// what it found: a batch inside a capture must not free the capture's hold.
TEST(PictureAdder, TheBusyFlagIsHeldThroughTheDialogAndRestoredNotCleared) {
    for (bool busyBefore : {false, true}) {
        AddRig rig;
        const std::string a = AddRig::Put(rig.pics + "\\a.bmp");
        rig.flags.detectionBusy = busyBefore;
        bool busyInDialog = false, nestedAnswer = true;
        rig.dialog.answers = {[&](WallpaperOptionsState&) {
            busyInDialog = rig.flags.detectionBusy;
            // Something that tries to ask while the dialog is up gets no dialog.
            std::string path = a;
            bool copy = false, tile = true;
            nestedAnswer = rig.adder.AskWallpaperOptions("Add Wallpaper", path, true, false,
                                                         kOptionLeave, 7, copy, tile);
            return true;
        }};
        rig.adder.AddPictureFiles({a}, false);
        EXPECT_TRUE(busyInDialog);
        EXPECT_FALSE(nestedAnswer);
        EXPECT_EQ(rig.dialog.shown.size(), 1u);
        EXPECT_EQ(rig.flags.detectionBusy, busyBefore);
        EXPECT_TRUE(rig.Listed(a));
    }
}

}  // namespace
}  // namespace pictavo
