#include "inventory/InventoryStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/InputTimeout.h"
#include "inventory/TableFile.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "support/TempDir.h"
#include "support/VirtualTimers.h"

namespace pictavo {
namespace {

using testing::TempDir;

// Stands in for the main window: saves go through a real deferred-action
// component on virtual time; messages are recorded instead of shown.
class FakeHost : public IUserInterface, public IImageSizeLimit, public IPreviewRefresh {
public:
    testing::VirtualTimers clock;
    TInputTimeout timeout{clock, 2250};
    std::vector<std::string> messages;
    std::string hint;
    int previews = 0;
    bool limit = false;
    int maxSize = 1500;

    HWND MainWindow() const override { return nullptr; }
    void ProcessMessages() override {}
    void ShowError(const std::string& message) override { messages.push_back(message); }
    void ShowHint(const std::string& text) override { hint = text; }
    bool LimitImageSize() const override { return limit; }
    int MaxImageSize() const override { return maxSize; }
    void RefreshPreview() override { ++previews; }
    void InventoryChanged() override {}
    void Trace(const std::string&) override {}
};

class InventoryStoreTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string images = dir / "Images";
    FakeHost host;
    std::unique_ptr<TInventoryStore> store;

    void SetUp() override {
        ::CreateDirectoryA(images.c_str(), nullptr);
        store = NewStore();
    }
    // A save still pending must run while its store exists.
    void TearDown() override { host.timeout.Flush(); }

    std::unique_ptr<TInventoryStore> NewStore() {
        auto s = std::make_unique<TInventoryStore>(host.timeout, host, host);
        s->AttachPreview(&host);
        s->SetTableFile(images, "GDB.CDS");
        s->CreateTable();
        return s;
    }

    // Starts a store the way start-up does: create, load, clone.
    std::unique_ptr<TInventoryStore> Started() {
        auto s = NewStore();
        s->LoadInventory();
        s->MakeClones();
        return s;
    }

    std::string Picture(const std::string& name, size_t size = 10) {
        return dir.Write(name, std::string(size, 'p'));
    }
    std::string Table() const { return ReadWholeFile(images + "\\GDB.CDS"); }
    // The box of a failed save: where, and the system's reason.
    std::string SaveFailure(DWORD code) const {
        return "Unable to save db " + images + "\\GDB.CDS (" + SystemErrorText(code) + ").";
    }
};

TEST_F(InventoryStoreTest, MissingTableFileStartsEmptyAndWritesTheFileAtOnce) {
    store->LoadInventory();
    EXPECT_TRUE(FileExists(images + "\\GDB.CDS"));
    EXPECT_EQ(host.hint, "0 Pictures in List");
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Table().substr(0, TableFileMagic.size()), TableFileMagic);
}

TEST_F(InventoryStoreTest, StoredPicturesSurviveASaveAndALoad) {
    store->LoadInventory();
    store->MakeClones();
    ASSERT_TRUE(store->StorePictureRecord("", Picture("Sunset.BMP", 1234), false, true, false));
    ASSERT_TRUE(store->StorePictureRecord("", Picture("aurora.bmp"), false, true, true));
    EXPECT_EQ(host.hint, "2 Pictures in List");
    host.timeout.Flush();

    auto reloaded = Started();
    ASSERT_EQ(reloaded->Table().Count(), 2u);
    ASSERT_TRUE(reloaded->cdtData().Seek(KeyOfPath(dir / "sunset.bmp")));
    const InventoryRecord& r = reloaded->cdtData().Record();
    EXPECT_EQ(r.FileName, "Sunset.BMP");
    EXPECT_EQ(r.Location, dir.Path());
    EXPECT_EQ(r.Size, 1234);
    EXPECT_FALSE(r.Tile);
    EXPECT_TRUE(r.Enabled);
    EXPECT_NE(r.Timestamp, 0);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(InventoryStoreTest, UnreadableTableFileIsKeptAsideNeverOverwritten) {
    std::string valid;
    {
        InventoryTable table;
        InventoryRecord r;
        r.FileName = "a.bmp";
        r.Location = "c:\\pics";
        table.Append(r);
        valid = SerializeTable(table);
    }
    std::string wrongVersion = valid;
    wrongVersion[8] = 99;
    const struct {
        const char* what;
        std::string content;
    } cases[] = {
        {"empty", ""},
        {"garbage", "this is not a picture list at all"},
        {"truncated", valid.substr(0, valid.size() / 2)},
        {"wrong version", wrongVersion},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.Write("Images\\GDB.CDS", c.content);
        host.messages.clear();
        auto s = Started();
        const std::string aside =
            images + "\\GDB.CDS.bad" + (n == 0 ? "" : "." + std::to_string(n));
        ++n;
        ASSERT_TRUE(FileExists(aside));
        EXPECT_EQ(ReadWholeFile(aside), c.content);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_NE(host.messages[0].find(aside), std::string::npos) << host.messages[0];
        EXPECT_EQ(s->Table().Count(), 0u);
        EXPECT_EQ(host.hint, "0 Pictures in List");
        // A fresh, readable table took its place.
        EXPECT_EQ(LoadTable(Table(), s->Table()), "");
    }
}

TEST_F(InventoryStoreTest, ReadOnlyTableFileReportsOncePerRunOfFailuresAndTheNextChangeTriesAgain) {
    store->LoadInventory();
    store->MakeClones();
    const std::string table = images + "\\GDB.CDS";
    const std::string before = Table();
    ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY);

    store->StorePictureRecord("", Picture("one.bmp"), false, true, true);
    host.clock.Advance(2250);
    ASSERT_EQ(host.messages, std::vector<std::string>{SaveFailure(ERROR_ACCESS_DENIED)});
    EXPECT_EQ(Table(), before);
    EXPECT_EQ(store->Table().Count(), 1u);  // memory keeps the change
    EXPECT_TRUE(store->HasUnsavedChanges());
    // Still failing: tried again, not told again.
    store->StorePictureRecord("", Picture("two.bmp"), false, true, true);
    host.clock.Advance(2250);
    EXPECT_EQ(host.messages.size(), 1u);

    ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL);
    store->StorePictureRecord("", Picture("three.bmp"), false, true, true);
    host.clock.Advance(2250);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_FALSE(store->HasUnsavedChanges());
    EXPECT_EQ(Started()->Table().Count(), 3u);

    // A success re-arms the message: the next failure is told again.
    ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY);
    store->StorePictureRecord("", Picture("four.bmp"), false, true, true);
    host.clock.Advance(2250);
    EXPECT_EQ(host.messages.size(), 2u);
    ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A save that failed, then no change at all: each later save point writes
// what the failed one left behind, once the failure is gone.
TEST_F(InventoryStoreTest, AFailedSaveIsWrittenByTheNextSavePointWithoutAFurtherChange) {
    const std::string table = images + "\\GDB.CDS";
    const struct {
        const char* name;
        std::function<void(TInventoryStore&)> savePoint;
    } cases[] = {
        // A save handed over for another reason (a relocation, a toggle made and undone).
        {"scheduled save", [this](TInventoryStore& s) { s.ScheduleSave(); host.clock.Advance(2250); }},
        // The end of the program and of the session, with nothing pending.
        {"unsaved changes", [](TInventoryStore& s) { s.SaveUnsavedChanges(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(table.c_str());
        host.messages.clear();
        auto s = Started();
        ASSERT_FALSE(s->HasUnsavedChanges());
        const std::string one = Picture("one.bmp");
        ASSERT_TRUE(s->StorePictureRecord("", one, false, true, true));
        EXPECT_TRUE(s->HasUnsavedChanges());
        ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY);
        host.clock.Advance(2250);
        EXPECT_EQ(host.messages, std::vector<std::string>{SaveFailure(ERROR_ACCESS_DENIED)});
        ASSERT_FALSE(host.timeout.Pending());

        ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL);
        c.savePoint(*s);
        EXPECT_FALSE(s->HasUnsavedChanges());
        EXPECT_TRUE(Started()->IsInInventory(one));
        EXPECT_EQ(host.messages.size(), 1u);
    }

    // Nothing unsaved: the end of the program leaves the file alone.
    ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY);
    host.messages.clear();
    auto s = Started();
    s->SaveUnsavedChanges();
    EXPECT_TRUE(host.messages.empty());
    ::SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(InventoryStoreTest, TableFileLockedByAnotherProgram) {
    store->LoadInventory();
    store->MakeClones();
    store->StorePictureRecord("", Picture("one.bmp"), false, true, true);
    host.timeout.Flush();
    const std::string table = images + "\\GDB.CDS";
    const std::string before = Table();
    {
        // Another program holds the file open and shares nothing.
        UniqueHandle lock(::CreateFileA(table.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                        nullptr));
        ASSERT_TRUE(lock.Valid());

        // Saving fails and says so.
        store->StorePictureRecord("", Picture("two.bmp"), false, true, true);
        host.timeout.Flush();
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].rfind("Unable to save db " + table + " (", 0), 0u)
            << host.messages[0];

        // Loading starts empty, says so once, and never writes over the file: not on the
        // saves of this run, not even once the other program has let go of it.
        host.messages.clear();
        auto s = Started();
        EXPECT_EQ(s->Table().Count(), 0u);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_NE(host.messages[0].find("GDB.CDS"), std::string::npos);
        s->StorePictureRecord("", Picture("three.bmp"), false, true, true);
        host.timeout.Flush();
        s->StorePictureRecord("", Picture("four.bmp"), false, true, true);
        host.timeout.Flush();
        lock.Reset();
        s->StorePictureRecord("", Picture("five.bmp"), false, true, true);
        host.timeout.Flush();
        EXPECT_EQ(host.messages.size(), 1u) << host.messages.back();
    }
    EXPECT_EQ(Table(), before);
    EXPECT_FALSE(FileExists(images + "\\GDB.CDS.bad"));
    EXPECT_FALSE(FileExists(images + "\\GDB.CDS.~new"));
}

// Names of the files in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(InventoryStoreTest, ASaveThatFailsPartwayLeavesThePreviousListWhole) {
    store->LoadInventory();
    store->MakeClones();
    store->StorePictureRecord("", Picture("one.bmp"), false, true, true);
    store->StorePictureRecord("", Picture("two.bmp"), false, true, true);
    host.timeout.Flush();
    const std::string before = Table();

    // The volume fills up before the first byte, in the middle, and one byte short of the end.
    for (int when = 0; when < 3; ++when) {
        SCOPED_TRACE(when);
        store->StorePictureRecord("", Picture("three-" + std::to_string(when) + ".bmp"), false,
                                  true, true);
        const std::int64_t size = static_cast<std::int64_t>(SerializeTable(store->Table()).size());
        {
            DiskFullAfterForTesting full(when == 0 ? 0 : when == 1 ? size / 2 : size - 1);
            host.timeout.Flush();
        }
        // Told once for the run of failures.
        EXPECT_EQ(host.messages, std::vector<std::string>{SaveFailure(ERROR_DISK_FULL)});
        EXPECT_EQ(Table(), before);
        EXPECT_EQ(FilesIn(images), std::vector<std::string>{"GDB.CDS"});
    }

    // With room again, the next save goes through.
    host.messages.clear();
    store->StorePictureRecord("", Picture("four.bmp"), false, true, true);
    host.timeout.Flush();
    EXPECT_EQ(host.messages, std::vector<std::string>{});
    EXPECT_EQ(Started()->Table().Count(), 6u);
}

TEST_F(InventoryStoreTest, StoreUpdatesOnlyWhatChanged) {
    store->LoadInventory();
    store->MakeClones();
    const std::string pics = dir / "Pics";
    ::CreateDirectoryA(pics.c_str(), nullptr);
    const std::string a = Picture("Pics\\a.bmp", 100);

    ASSERT_TRUE(store->StorePictureRecord("", a, false, false, true));
    host.timeout.Flush();

    // Unchanged: no post, no save.
    EXPECT_FALSE(store->StorePictureRecord("", a, false, false, true));
    EXPECT_FALSE(host.timeout.Pending());

    // Re-adding enables it again; keep-tile leaves the tile mode alone.
    EXPECT_TRUE(store->StorePictureRecord("", a, true, true, false));
    ASSERT_TRUE(store->cdtData().Seek(KeyOfPath(a)));
    EXPECT_TRUE(store->cdtData().Record().Enabled);
    EXPECT_TRUE(store->cdtData().Record().Tile);

    // A folder with trailing backslashes is the same folder.
    EXPECT_FALSE(store->StorePictureRecord("", pics + "\\\\\\a.bmp", true, true, false));

    // Moved and renamed in case: the record follows, and stays the only one.
    const std::string moved = images + "\\A.bmp";
    ASSERT_TRUE(::MoveFileA(a.c_str(), moved.c_str()));
    EXPECT_TRUE(store->StorePictureRecord(a, moved, true, true, false));
    EXPECT_EQ(store->Table().Count(), 1u);
    ASSERT_TRUE(store->cdtData().Seek(KeyOfPath(moved)));
    const InventoryRecord& r = store->cdtData().Record();
    EXPECT_EQ(r.Location, images);
    EXPECT_EQ(r.FileName, "A.bmp");
    EXPECT_EQ(r.LCFilename, "a.bmp");
    EXPECT_EQ(r.LCLocation, LowerCase(images));
}

TEST_F(InventoryStoreTest, OverlongOrVanishedFilesLeaveTheTableAlone) {
    store->LoadInventory();
    store->MakeClones();
    const std::string longName = std::string(130, 'n') + ".bmp";
    EXPECT_FALSE(store->StorePictureRecord("", dir / longName, false, true, true));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(longName), std::string::npos);

    EXPECT_THROW(store->StorePictureRecord("", dir / "gone.bmp", false, true, true), FileError);
    EXPECT_EQ(store->Table().Count(), 0u);
}

TEST_F(InventoryStoreTest, LookupsByPath) {
    store->LoadInventory();
    store->MakeClones();
    const std::string a = Picture("a.bmp");
    store->StorePictureRecord("", a, false, true, false);

    EXPECT_FALSE(store->IsInInventory(""));
    EXPECT_FALSE(store->IsInInventoryWithTile("", true));
    EXPECT_TRUE(store->IsInInventory(LowerCase(a)));
    EXPECT_TRUE(store->IsInInventoryWithTile(a, false));
    EXPECT_FALSE(store->IsInInventoryWithTile(a, true));
    EXPECT_FALSE(store->IsInInventory(dir / "b.bmp"));

    // The program's own wallpaper bitmap counts as listed, in any case.
    std::string own = TInventoryStore::OwnWallpaperPath().AsWritten();
    for (char& c : own) c = static_cast<char>(::toupper(c));
    EXPECT_TRUE(store->IsInInventory(own));
    EXPECT_TRUE(store->IsInInventoryWithTile(own, false));
}

TEST_F(InventoryStoreTest, SelectInListMovesTheListAndTheSlideshowFollows) {
    store->LoadInventory();
    store->MakeClones();
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
        store->StorePictureRecord("", Picture(name), false, true, true);
    }
    EXPECT_FALSE(store->SelectInList(dir / "missing.bmp"));
    EXPECT_EQ(host.previews, 0);
    ASSERT_TRUE(store->SelectInList(dir / "B.BMP"));
    EXPECT_EQ(host.previews, 1);
    EXPECT_EQ(store->cdtInventory().Record().FileName, "b.bmp");
    store->SyncSlideShowCursor();
    EXPECT_EQ(store->cdtSlideShow().Record().FileName, "b.bmp");
}

TEST_F(InventoryStoreTest, RelocationFollowsFilesIntoTheNewDataDirectory) {
    store->LoadInventory();
    store->MakeClones();
    const std::string old = dir / "OldImages";
    const std::string other = dir / "Other";
    ::CreateDirectoryA(old.c_str(), nullptr);
    ::CreateDirectoryA(other.c_str(), nullptr);
    for (const char* name : {"OldImages\\kept.bmp", "OldImages\\lost.bmp", "Other\\x.bmp"}) {
        store->StorePictureRecord("", Picture(name), false, true, true);
    }
    host.timeout.Flush();
    Picture("Images\\kept.bmp");  // the user moved only this one along

    ASSERT_FALSE(host.timeout.Pending());
    store->RelocateRecords(LowerCase(old));
    EXPECT_TRUE(host.timeout.Pending());
    EXPECT_EQ(store->Table().Count(), 2u);
    ASSERT_TRUE(store->cdtData().Seek(KeyOfPath(images + "\\kept.bmp")));
    EXPECT_EQ(store->cdtData().Record().Location, images);
    EXPECT_FALSE(store->IsInInventory(old + "\\lost.bmp"));
    EXPECT_TRUE(store->IsInInventory(other + "\\x.bmp"));
    EXPECT_EQ(host.hint, "2 Pictures in List");
}

TEST_F(InventoryStoreTest, TooBigFollowsTheLimitInThousandsOfBytes) {
    InventoryRecord r;
    const struct {
        bool limit;
        int32_t size;
        bool tooBig;
    } cases[] = {{true, 1500000, false}, {true, 1500001, true}, {false, 1500001, false},
                 {true, 0, false}};
    for (const auto& c : cases) {
        host.limit = c.limit;
        r.Size = c.size;
        EXPECT_EQ(store->cdtInventoryCalcFields(r), c.tooBig) << c.size;
    }
}

}  // namespace
}  // namespace pictavo

namespace pictavo {
namespace {

// A file of 3 GiB (sparse: it takes no room) would wrap negative in the
// record's 32-bit size and slip under every size limit.
TEST_F(InventoryStoreTest, FilesOfTwoGibibytesOrMoreKeepTheLargestSize) {
    store->LoadInventory();
    store->MakeClones();
    const std::string huge = dir / "huge.bmp";
    {
        UniqueHandle file(::CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.Valid());
        LARGE_INTEGER size;
        size.QuadPart = 3LL * 1024 * 1024 * 1024;
        ASSERT_TRUE(::SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.Get()));
    }
    ASSERT_TRUE(store->StorePictureRecord("", huge, false, true, true));
    ASSERT_TRUE(store->cdtData().Seek(KeyOfPath(huge)));
    const InventoryRecord record = store->cdtData().Record();
    EXPECT_EQ(record.Size, 2147483647);
    host.limit = true;
    host.maxSize = 32000;
    EXPECT_TRUE(store->cdtInventoryCalcFields(record));
    ::DeleteFileA(huge.c_str());
}

}  // namespace
}  // namespace pictavo
