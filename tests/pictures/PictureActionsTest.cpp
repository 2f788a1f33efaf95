// Remove, Delete, Move and Edit on the selected picture, over real files in a
// temporary folder, with the questions and the "Add Wallpaper" dialog answered
// from scripts and the system's wallpaper in memory.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "desktop/DesktopWallpaper.h"
#include "pictures/PictureActions.h"
#include "support/AddFixture.h"
#include "support/FakeWallpaper.h"
#include "support/StandInFaces.h"
#include "support/UnmappedDrive.h"

namespace pictavo {
namespace {

using testing::AddRig;
using testing::Cancel;
using testing::Ok;

// Each question runs the next answer: the box's clicks, then OK or Cancel.
// What "meanwhile" does happens while the question is up, as a timer tick would.
struct ScriptedConfirmation final : IConfirmationDialog {
    struct Answer {
        bool ok = true;
        std::vector<bool> clicks;  // the states the box is clicked to, in order
        std::function<void()> meanwhile;
    };
    std::deque<Answer> answers;
    std::vector<ConfirmationQuestion> asked;

    static Answer Reply(bool ok, std::vector<bool> clicks = {},
                        std::function<void()> meanwhile = {}) {
        return Answer{ok, std::move(clicks), std::move(meanwhile)};
    }

    bool Ask(HWND, const ConfirmationQuestion& question,
             const std::function<void(bool)>& click) override {
        asked.push_back(question);
        if (answers.empty()) {
            ADD_FAILURE() << "asked once more than scripted: " << question.title;
            return false;
        }
        Answer answer = std::move(answers.front());
        answers.pop_front();
        for (bool state : answer.clicks) click(state);
        if (answer.meanwhile) answer.meanwhile();
        return answer.ok;
    }
};

struct FakeActionSettings final : IPictureActionSettings {
    bool askBeforeRemoving = true, confirmDeleteDisk = true;
    bool AskBeforeRemoving() const override { return askBeforeRemoving; }
    bool ConfirmDeleteDisk() const override { return confirmDeleteDisk; }
    void SetAskBeforeRemoving(bool ask) override { askBeforeRemoving = ask; }
    void SetConfirmDeleteDisk(bool ask) override { confirmDeleteDisk = ask; }
};

struct RecordingEditor final : IPictureEditor {
    std::vector<std::pair<std::string, std::string>> edited;
    void EditPicture(const std::string& folder, const std::string& name) override {
        edited.emplace_back(folder, name);
    }
};

ScriptedConfirmation::Answer Reply(bool ok, std::vector<bool> clicks = {},
                                   std::function<void()> meanwhile = {}) {
    return ScriptedConfirmation::Reply(ok, std::move(clicks), std::move(meanwhile));
}

class ActionRig : public AddRig {
public:
    ScriptedConfirmation confirmation;
    FakeActionSettings actionSettings;
    RecordingEditor editor;
    testing::FakeWallpaper system;
    testing::StandInDesktopHost desktopHost{true, true};
    TDesktopWallpaper desktop{system, store, ui, desktopHost, desktopHost, "Pictavo"};
    TPictureActions actions{{store, ui, confirmation, adder, desktop, editor, actionSettings}};

    // A picture file and its record.
    std::string List(const std::string& path, bool enabled = true, bool tile = true) {
        Put(path);
        store.StorePictureRecord(path, path, false, enabled, tile);
        return path;
    }
    void Select(const std::string& path) {
        ASSERT_TRUE(store.cdtInventory().Seek(KeyOfPath(path))) << path;
    }
    // What the program does at exit: the current wallpaper, applied with persist.
    void Exit() {
        const TDesktopWallpaper::Wallpaper current = desktop.GetCurrentWallpaper(true);
        desktop.ApplyWallpaper(current.path, current.tile, true);
    }
};

TEST(PictureActions, RemoveAsksAndTakesOnlyTheRecord) {
    ActionRig rig;
    const std::string sky = rig.List(rig.pics + "\\Sky.bmp");
    rig.List(rig.pics + "\\Sea.bmp");
    rig.Select(sky);
    rig.timeout.Flush();

    rig.confirmation.answers = {Reply(false), Reply(true)};
    rig.actions.tbnRemoveClick();
    EXPECT_TRUE(rig.Listed(sky));
    EXPECT_FALSE(rig.timeout.Pending());

    rig.actions.tbnRemoveClick();
    ASSERT_EQ(rig.confirmation.asked.size(), 2u);
    EXPECT_EQ(rig.confirmation.asked[0].title, "Remove File");
    EXPECT_EQ(rig.confirmation.asked[0].question, "Remove this file from list?");
    EXPECT_EQ(rig.confirmation.asked[0].record.FileName, "Sky.bmp");
    EXPECT_FALSE(rig.Listed(sky));
    EXPECT_TRUE(AddRig::Exists(sky));
    EXPECT_TRUE(rig.Listed(rig.pics + "\\Sea.bmp"));
    EXPECT_TRUE(rig.timeout.Pending());
    EXPECT_EQ(rig.ui.hint, "1 Pictures in List");
    EXPECT_TRUE(rig.ui.errors.empty());
}

TEST(PictureActions, DontShowAgainTurnsTheBoundOptionOffAtOnceEvenOnCancel) {
    const struct {
        const char* name;
        bool remove;  // else delete
        std::vector<bool> clicks;
        bool ok;
        bool optionAfter;
        bool goneAfter;
    } cases[] = {
        {"remove, ticked, OK", true, {true}, true, false, true},
        {"remove, ticked, Cancel", true, {true}, false, false, false},
        {"remove, ticked and unticked, OK", true, {true, false}, true, true, true},
        {"delete, ticked, OK", false, {true}, true, false, true},
        {"delete, ticked, Cancel", false, {true}, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ActionRig rig;
        const std::string sky = rig.List(rig.pics + "\\Sky.bmp");
        rig.List(rig.pics + "\\Sea.bmp");
        rig.Select(sky);
        rig.confirmation.answers = {Reply(c.ok, c.clicks)};
        if (c.remove) {
            rig.actions.tbnRemoveClick();
            EXPECT_EQ(rig.actionSettings.askBeforeRemoving, c.optionAfter);
            EXPECT_TRUE(rig.actionSettings.confirmDeleteDisk);
        } else {
            rig.actions.tbnDeleteClick();
            EXPECT_EQ(rig.actionSettings.confirmDeleteDisk, c.optionAfter);
            EXPECT_TRUE(rig.actionSettings.askBeforeRemoving);
            EXPECT_EQ(AddRig::Exists(sky), !c.goneAfter);
        }
        EXPECT_EQ(rig.Listed(sky), !c.goneAfter);
        EXPECT_EQ(rig.confirmation.asked.size(), 1u);
    }
}

TEST(PictureActions, EachCommandGoesWithoutAskingWhenOnlyItsOwnOptionIsOff) {
    for (const bool remove : {true, false}) {
        SCOPED_TRACE(remove ? "remove" : "delete");
        ActionRig rig;
        const std::string sky = rig.List(rig.pics + "\\Sky.bmp");
        rig.actionSettings.askBeforeRemoving = !remove;
        rig.actionSettings.confirmDeleteDisk = remove;
        rig.Select(sky);
        if (remove) {
            rig.actions.tbnRemoveClick();
        } else {
            rig.actions.tbnDeleteClick();
        }
        EXPECT_TRUE(rig.confirmation.asked.empty());
        EXPECT_FALSE(rig.Listed(sky));
        EXPECT_EQ(AddRig::Exists(sky), remove);
    }
}

TEST(PictureActions, DeleteTakesFileAndRecordAndAFileAlreadyGoneLeavesQuietly) {
    ActionRig rig;
    const std::string sky = rig.List(rig.pics + "\\Sky.bmp");
    const std::string gone = rig.List(rig.pics + "\\Gone.bmp");
    ASSERT_TRUE(::DeleteFileA(gone.c_str()));
    rig.confirmation.answers = {Reply(true), Reply(true)};

    rig.Select(sky);
    rig.actions.tbnDeleteClick();
    EXPECT_EQ(rig.confirmation.asked[0].title, "Delete File");
    EXPECT_EQ(rig.confirmation.asked[0].question, "Delete this file from disk?");
    EXPECT_FALSE(AddRig::Exists(sky));
    EXPECT_FALSE(rig.Listed(sky));

    rig.Select(gone);
    rig.actions.tbnDeleteClick();
    EXPECT_FALSE(rig.Listed(gone));
    EXPECT_TRUE(rig.ui.errors.empty());
    EXPECT_EQ(rig.ui.hint, "0 Pictures in List");
}

// A failed delete and a failed look at the file say nothing about a drive that
// does not answer: the picture may well be there.
TEST(PictureActions, DeleteOnADriveThatDoesNotAnswerIsReportedAndKeepsTheRecord) {
    const std::string drive = testing::UnmappedDrive();
    ASSERT_FALSE(drive.empty());
    ActionRig rig;
    InventoryRecord record;
    record.Enabled = true;
    record.FileName = "Sky.bmp";
    record.Location = drive + "\\Pics";
    rig.store.cdtData().Append(record);
    const std::string sky = drive + "\\Pics\\Sky.bmp";
    rig.Select(sky);
    rig.confirmation.answers = {Reply(true)};

    rig.actions.tbnDeleteClick();

    EXPECT_TRUE(rig.Listed(sky));
    EXPECT_EQ(rig.ui.errors, std::vector<std::string>{"Unable to delete " + sky});
    EXPECT_FALSE(rig.timeout.Pending());
}

TEST(PictureActions, DeleteOfAFileThatStaysIsReportedAndKeepsTheRecord) {
    ActionRig rig;
    const std::string sky = rig.List(rig.pics + "\\Sky.bmp");
    ASSERT_TRUE(::SetFileAttributesA(sky.c_str(), FILE_ATTRIBUTE_READONLY));
    rig.Select(sky);
    rig.timeout.Flush();
    rig.confirmation.answers = {Reply(true)};

    rig.actions.tbnDeleteClick();

    EXPECT_TRUE(AddRig::Exists(sky));
    EXPECT_TRUE(rig.Listed(sky));
    ASSERT_EQ(rig.ui.errors.size(), 1u);
    EXPECT_EQ(rig.ui.errors[0], "Unable to delete " + sky);
    EXPECT_FALSE(rig.timeout.Pending());
    ::SetFileAttributesA(sky.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A slide tick during the question takes the selected record out (its file
// vanished); the list then stands on the next picture, which must be spared.
TEST(PictureActions, ARecordRemovedWhileAskingLeavesItsNeighbourAlone) {
    for (bool remove : {true, false}) {
        SCOPED_TRACE(remove ? "remove" : "delete");
        ActionRig rig;
        const std::string a = rig.List(rig.pics + "\\A.bmp");
        const std::string b = rig.List(rig.pics + "\\B.bmp");
        rig.Select(a);
        rig.confirmation.answers = {Reply(true, {}, [&] {
            ::DeleteFileA(a.c_str());
            ASSERT_TRUE(rig.store.cdtSlideShow().Seek(KeyOfPath(a)));
            rig.store.cdtSlideShow().Delete();
        })};
        ASSERT_NO_FATAL_FAILURE(remove ? rig.actions.tbnRemoveClick()
                                       : rig.actions.tbnDeleteClick());
        EXPECT_TRUE(AddRig::Exists(b));
        EXPECT_TRUE(rig.Listed(b));
        EXPECT_TRUE(rig.ui.errors.empty());
    }
}

TEST(PictureActions, NothingHappensOnAnEmptyList) {
    ActionRig rig;
    rig.actions.tbnRemoveClick();
    rig.actions.tbnDeleteClick();
    rig.actions.tbnMoveClick();
    rig.actions.mnuEdit1Click();
    EXPECT_TRUE(rig.confirmation.asked.empty());
    EXPECT_TRUE(rig.dialog.shown.empty());
    EXPECT_TRUE(rig.editor.edited.empty());
}

TEST(PictureActions, MoveInTheDataDirectoryOnlyRenamesAndEnablesTheRecord) {
    ActionRig rig;
    const std::string old = rig.List(rig.data + "\\Old.bmp", /*enabled=*/false, /*tile=*/true);
    rig.Select(old);
    rig.dialog.answers = {Ok([](WallpaperOptionsState& s) {
        s.fileName = "New";
        s.tile = false;
    })};

    rig.actions.tbnMoveClick();

    ASSERT_EQ(rig.dialog.shown.size(), 1u);
    EXPECT_EQ(rig.dialog.shown[0].caption, "Move/Rename Wallpaper");
    EXPECT_EQ(rig.dialog.shown[0].enabledOptions, kOptionLeave);
    EXPECT_EQ(rig.dialog.shown[0].option, kOptionLeave);
    EXPECT_EQ(rig.dialog.shown[0].fileName, "Old");
    EXPECT_FALSE(AddRig::Exists(old));
    EXPECT_TRUE(AddRig::Exists(rig.data + "\\New.bmp"));
    EXPECT_FALSE(rig.Listed(old));
    const InventoryRecord moved = rig.Record(rig.data + "\\New.bmp");
    EXPECT_EQ(moved.FileName, "New.bmp");
    EXPECT_EQ(moved.LCFilename, "new.bmp");
    EXPECT_TRUE(moved.Enabled);
    EXPECT_FALSE(moved.Tile);
    EXPECT_EQ(rig.store.Table().Count(), 1u);
}

TEST(PictureActions, MoveWithCopyPointsTheRecordAtTheCopyAndKeepsTheSource) {
    ActionRig rig;
    const std::string sky = rig.List(rig.pics + "\\sky.bmp");
    rig.Select(sky);
    rig.dialog.answers = {testing::OkWith(kOptionCopy)};
    rig.actions.tbnMoveClick();

    EXPECT_EQ(rig.dialog.shown[0].enabledOptions, kOptionLeave | kOptionMove | kOptionCopy);
    EXPECT_TRUE(AddRig::Exists(sky));
    EXPECT_TRUE(AddRig::Exists(rig.data + "\\sky.bmp"));
    EXPECT_FALSE(rig.Listed(sky));
    EXPECT_TRUE(rig.Listed(rig.data + "\\sky.bmp"));

    // Cancelled: nothing changes.
    rig.Select(rig.data + "\\sky.bmp");
    rig.dialog.answers = {Cancel()};
    rig.actions.tbnMoveClick();
    EXPECT_TRUE(rig.Listed(rig.data + "\\sky.bmp"));
    EXPECT_EQ(rig.store.Table().Count(), 1u);
}

// The current wallpaper's file renamed or moved: at exit the desktop and the
// registry name the new file, not the one that is gone.
TEST(PictureActions, MovingTheCurrentWallpaperKeepsItAtExit) {
    const struct {
        const char* name;
        bool persisted;  // the wallpaper was set with persist (else by a slide without)
        uint8_t option;  // the dialog's choice
        const char* newName;
        bool followsMove;  // the desktop moves to the new file
    } cases[] = {
        {"renamed, persisted", true, kOptionLeave, "Renamed", true},
        {"renamed, set by a slide", false, kOptionLeave, "Renamed", true},
        {"moved into the data directory", true, kOptionMove, "Sky", true},
        {"copied: the old file stays", true, kOptionCopy, "Sky", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ActionRig rig;
        const std::string other = rig.List(rig.pics + "\\Other.bmp");
        const std::string sky = rig.List(rig.pics + "\\Sky.bmp", true, /*tile=*/false);
        rig.system.wallpaper = other;
        rig.desktop.ApplyWallpaper(LowerCase(sky), false, c.persisted);
        rig.Select(sky);
        rig.dialog.answers = {testing::Ok([&](WallpaperOptionsState& s) {
            s.option = c.option;
            s.fileName = c.newName;
            s.tile = false;
        })};

        rig.actions.tbnMoveClick();
        const std::string target =
            (c.option == kOptionLeave ? rig.pics : rig.data) + "\\" + c.newName + ".bmp";
        ASSERT_TRUE(AddRig::Exists(target));
        if (c.followsMove) {
            EXPECT_EQ(LowerCase(rig.system.wallpaper), LowerCase(c.persisted ? target : other));
        }
        rig.Exit();
        EXPECT_EQ(LowerCase(rig.system.wallpaper), LowerCase(c.followsMove ? target : sky));
        EXPECT_EQ(rig.system.tileWallpaper, "0");
    }
}

TEST(PictureActions, MovingAnotherPictureLeavesTheWallpaperAlone) {
    ActionRig rig;
    const std::string sky = rig.List(rig.pics + "\\Sky.bmp");
    const std::string sea = rig.List(rig.pics + "\\Sea.bmp");
    rig.desktop.ApplyWallpaper(LowerCase(sky), true, true);
    const size_t calls = rig.system.calls.size();
    rig.Select(sea);
    rig.dialog.answers = {Ok([](WallpaperOptionsState& s) { s.fileName = "Ocean"; })};
    rig.actions.tbnMoveClick();
    EXPECT_TRUE(rig.Listed(rig.pics + "\\Ocean.bmp"));
    EXPECT_EQ(rig.system.calls.size(), calls);
    EXPECT_EQ(rig.system.wallpaper, LowerCase(sky));
}

TEST(PictureActions, EditHandsTheStoredFolderAndNameToTheEditor) {
    ActionRig rig;
    const std::string cat = rig.List(rig.pics + "\\My Cat.bmp");
    rig.Select(cat);
    rig.actions.mnuEdit1Click();
    ASSERT_EQ(rig.editor.edited.size(), 1u);
    EXPECT_EQ(rig.editor.edited[0].first, rig.pics);
    EXPECT_EQ(rig.editor.edited[0].second, "My Cat.bmp");
}

}  // namespace
}  // namespace pictavo
