#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "inventory/InventoryTable.h"

namespace pictavo {
namespace {

InventoryRecord Rec(std::string location, std::string fileName) {
    InventoryRecord r;
    r.Enabled = true;
    r.FileName = std::move(fileName);
    r.Location = std::move(location);
    return r;
}

// "lcfilename|lclocation" for every record, in index order.
std::vector<std::string> Keys(const InventoryTable& table) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < table.Count(); ++i) {
        const InventoryRecord& r = table.Record(table.At(i));
        keys.push_back(r.LCFilename + "|" + r.LCLocation);
    }
    return keys;
}

// ---------------------------------------------------------------------------------------------
// Keys

TEST(PathKeyTest, KeyIsTheLowerCaseNameAndFolderOfThePath) {
    const struct {
        const char* path;
        const char* keyName;
        const char* keyFolder;
    } cases[] = {
        {"C:\\Pics\\Sunset.BMP", "sunset.bmp", "c:\\pics"},
        {"C:\\PICS\\\\\\Sunset.bmp", "sunset.bmp", "c:\\pics"},  // the same key
        {"C:\\a.bmp", "a.bmp", "c:"},
        {"a.bmp", "a.bmp", ""},
        {"C:\\\xC4rger\\\xC9T\xC9.BMP", "\xC9t\xC9.bmp", "c:\\\xC4rger"},  // ANSI letters kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        InventoryKey key = KeyOfPath(c.path);
        EXPECT_EQ(key.LCFilename, c.keyName);
        EXPECT_EQ(key.LCLocation, c.keyFolder);
    }
}

TEST(PathKeyTest, FullPathJoinsFolderAndNameAsWritten) {
    InventoryTable table;
    const InventoryRecord& r = table.Record(table.Append(Rec("C:\\Pics", "Sun.BMP")));
    EXPECT_EQ(FullPath(r), "C:\\Pics\\Sun.BMP");
}

// ---------------------------------------------------------------------------------------------
// Storing, index order and seek

TEST(InventoryTableTest, StoringCutsToWidthsAndDerivesLowerCaseFields) {
    InventoryTable table;
    EXPECT_EQ(table.Record(table.Append(Rec("C:\\Pics\\\\", "a.bmp"))).Location, "C:\\Pics");
    EXPECT_EQ(table.Record(table.Append(Rec("C:\\", "a.bmp"))).LCLocation, "c:");

    InventoryRecord in = Rec(std::string(200, 'D'), std::string(140, 'N'));
    in.Group = "GROUPNAME-TOO-LONG";
    in.LCFilename = "stale";
    in.LCLocation = "stale";
    const InventoryRecord& r = table.Record(table.Append(in));
    EXPECT_EQ(r.FileName, std::string(FileNameWidth, 'N'));
    EXPECT_EQ(r.Location, std::string(LocationWidth, 'D'));
    EXPECT_EQ(r.Group, "GROUPNAME-");
    EXPECT_EQ(r.LCFilename, std::string(FileNameWidth, 'n'));
    EXPECT_EQ(r.LCLocation, std::string(LocationWidth, 'd'));
}

TEST(InventoryTableTest, OrdersByLowerCaseNameThenFolderBytewiseTiesByInsertion) {
    InventoryTable table;
    RecordId dup1 = table.Append(Rec("C:\\X", "Dup.bmp"));
    table.Append(Rec("C:\\Z", "a.bmp"));
    table.Append(Rec("C:\\A", "B.bmp"));
    table.Append(Rec("C:\\A", "\xE9t\xE9.bmp"));  // above every ASCII byte
    table.Append(Rec("C:\\B", "A.BMP"));
    RecordId dup2 = table.Append(Rec("c:\\x", "DUP.BMP"));
    table.Append(Rec("C:\\Y", "a.bmp"));
    table.Append(Rec("", "a.bmp"));

    const std::vector<std::string> expected = {
        "a.bmp|",      "a.bmp|c:\\b",   "a.bmp|c:\\y",   "a.bmp|c:\\z",
        "b.bmp|c:\\a", "dup.bmp|c:\\x", "dup.bmp|c:\\x", "\xE9t\xE9.bmp|c:\\a",
    };
    EXPECT_EQ(Keys(table), expected);
    EXPECT_EQ(table.At(5), dup1);
    EXPECT_EQ(table.At(6), dup2);
    for (std::size_t i = 0; i < table.Count(); ++i) EXPECT_EQ(table.PositionOf(table.At(i)), i);
    EXPECT_EQ(table.At(table.Count()), NoRecord);
}

TEST(InventoryTableTest, SeekFindsExactKeyOnly) {
    InventoryTable table;
    EXPECT_EQ(table.Seek("a.bmp", "c:"), NoRecord);
    RecordId first = table.Append(Rec("C:\\Pics", "Dup.bmp"));
    table.Append(Rec("C:\\Pics", "dup.BMP"));
    RecordId root = table.Append(Rec("C:", "A.bmp"));
    table.Append(Rec("C:\\Pics", "z.bmp"));

    EXPECT_EQ(table.Seek("dup.bmp", "c:\\pics"), first);  // the first of equal keys
    EXPECT_EQ(table.Seek(KeyOfPath("C:\\A.BMP")), root);
    EXPECT_EQ(table.Seek("dup.bm", "c:\\pics"), NoRecord);
    EXPECT_EQ(table.Seek("dup.bmp", "c:\\pic"), NoRecord);
    EXPECT_EQ(table.Seek("dup.bmp", "c:\\pics\\"), NoRecord);
    EXPECT_EQ(table.Seek("Dup.bmp", "C:\\Pics"), NoRecord);  // the key is lower case
    EXPECT_EQ(table.Seek("zz.bmp", ""), NoRecord);           // beyond the last
    EXPECT_EQ(table.Seek("", ""), NoRecord);                 // before the first
}

TEST(InventoryTableTest, ReplaceReindexesOnlyWhenTheKeyChanges) {
    InventoryTable table;
    RecordId a = table.Append(Rec("C:\\P", "a.bmp"));
    RecordId m = table.Append(Rec("C:\\P", "m.bmp"));
    RecordId m2 = table.Append(Rec("C:\\P", "m.bmp"));
    table.Append(Rec("C:\\P", "z.bmp"));

    InventoryRecord changed = table.Record(m);
    changed.FileName = "M.BMP";  // same key, new case: stays ahead of its twin
    changed.Size = 7;
    table.Replace(m, changed);
    EXPECT_EQ(table.PositionOf(m), 1u);
    EXPECT_EQ(table.Record(m).FileName, "M.BMP");
    EXPECT_EQ(table.Record(m).Size, 7);

    changed = table.Record(a);
    changed.FileName = "M.bmp";  // joins the m.bmp pair, behind both
    table.Replace(a, changed);
    EXPECT_EQ(table.PositionOf(m), 0u);
    EXPECT_EQ(table.PositionOf(m2), 1u);
    EXPECT_EQ(table.PositionOf(a), 2u);
    EXPECT_EQ(table.Seek("a.bmp", "c:\\p"), NoRecord);
}

TEST(InventoryTableTest, AssignSortsUnorderedInputStablyAndKeepsOrderedInput) {
    const std::vector<InventoryRecord> unordered = {
        Rec("C:\\B", "x.bmp"), Rec("C:\\A", "y.bmp"), Rec("c:\\b", "X.BMP"),
        Rec("C:\\A", "a.bmp"), Rec("C:\\B", "x.BMP"),
    };
    InventoryTable appended;
    for (const InventoryRecord& r : unordered) appended.Append(r);

    InventoryTable assigned;
    assigned.Append(Rec("C:\\Old", "old.bmp"));
    assigned.Assign(unordered);
    ASSERT_EQ(assigned.Count(), appended.Count());
    for (std::size_t i = 0; i < appended.Count(); ++i)
        EXPECT_EQ(assigned.Record(assigned.At(i)), appended.Record(appended.At(i))) << i;
    EXPECT_EQ(assigned.Seek("old.bmp", "c:\\old"), NoRecord);

    // Already ordered input (as loaded from a file) comes out the same.
    std::vector<InventoryRecord> ordered;
    for (std::size_t i = 0; i < appended.Count(); ++i)
        ordered.push_back(appended.Record(appended.At(i)));
    InventoryTable reloaded;
    reloaded.Assign(ordered);
    for (std::size_t i = 0; i < ordered.size(); ++i)
        EXPECT_EQ(reloaded.Record(reloaded.At(i)), ordered[i]) << i;

    // Appending after a bulk assign keeps tie order: new records go behind equal keys.
    RecordId late = reloaded.Append(Rec("C:\\B", "X.bmp"));
    EXPECT_EQ(reloaded.PositionOf(late), 4u);
}

// Replaced and deleted records leave their old bytes behind until the table reclaims them;
// several megabytes of churn make it do so more than once.
TEST(InventoryTableTest, EveryRecordStaysWholeAndFindableThroughHeavyChurn) {
    InventoryTable table;
    InventoryCursor cursor(table);
    std::vector<RecordId> ids;
    for (int i = 0; i < 50; ++i)
        ids.push_back(table.Append(Rec("C:\\Pics", "pic" + std::to_string(i) + ".bmp")));
    for (int round = 0; round < 3000; ++round) {
        for (int i = round % 3; i < 50; i += 3) {
            InventoryRecord r = Rec(round % 2 ? "D:\\Wallpapers\\Nature" : "C:\\Pics",
                                    "pic" + std::to_string(i) + ".bmp");
            r.Size = round;
            r.Group = std::string(static_cast<std::size_t>(round % 5), 'g');
            table.Replace(ids[i], r);
        }
        // Deleted and appended again, so freed ids and bytes are reused along the way.
        table.Delete(ids[round % 50]);
        ids[round % 50] = table.Append(Rec("E:\\New", "pic" + std::to_string(round % 50) + ".bmp"));
        for (RecordId id : ids) {
            const RecordView v = table.View(id);
            ASSERT_EQ(table.Seek(v.LCFilename, v.LCLocation), id) << "round " << round;
        }
    }
    ASSERT_EQ(table.Count(), 50u);
    std::size_t encoded = 0;
    for (int i = 0; i < 50; ++i) {
        const InventoryRecord r = table.Record(ids[i]);
        EXPECT_EQ(r.LCFilename, "pic" + std::to_string(i) + ".bmp");
        EXPECT_EQ(table.Seek(r.LCFilename, r.LCLocation), ids[i]);
        encoded += 23 + 2 * r.FileName.size() + 2 * r.Location.size() + r.Group.size();
    }
    EXPECT_EQ(table.EncodedSize(), encoded);
    for (std::size_t i = 1; i < table.Count(); ++i)
        EXPECT_LT(table.View(table.At(i - 1)).LCFilename, table.View(table.At(i)).LCFilename);
    EXPECT_TRUE(cursor.HasRecord());
}

TEST(InventoryTableTest, UnknownIdsAreRejected) {
    InventoryTable table;
    RecordId id = table.Append(Rec("C:", "a.bmp"));
    table.Delete(id);
    EXPECT_FALSE(table.Contains(id));
    EXPECT_THROW(table.Record(id), std::out_of_range);
    EXPECT_THROW(table.Delete(id), std::out_of_range);
    EXPECT_THROW(table.Replace(id, Rec("C:", "b.bmp")), std::out_of_range);
    EXPECT_THROW(table.PositionOf(12345), std::out_of_range);
    EXPECT_EQ(table.Count(), 0u);
}

// ---------------------------------------------------------------------------------------------
// Cursors

class CursorTest : public ::testing::Test {
protected:
    CursorTest() {
        a = table.Append(Rec("C:\\P", "a.bmp"));
        b = table.Append(Rec("C:\\P", "b.bmp"));
        c = table.Append(Rec("C:\\P", "c.bmp"));
    }
    InventoryTable table;
    RecordId a, b, c;
};

TEST_F(CursorTest, NavigatesInIndexOrderWithDatasetBofAndEof) {
    InventoryCursor cur(table);
    EXPECT_EQ(cur.Id(), a);  // a new cursor starts on the first record
    EXPECT_TRUE(cur.Bof());
    EXPECT_FALSE(cur.Eof());
    cur.Prior();
    EXPECT_EQ(cur.Id(), a);
    EXPECT_TRUE(cur.Bof());
    cur.Next();
    EXPECT_EQ(cur.Id(), b);
    EXPECT_FALSE(cur.Bof());
    cur.Next();
    EXPECT_EQ(cur.Id(), c);
    EXPECT_FALSE(cur.Eof());  // standing on the last is not yet Eof
    cur.Next();
    EXPECT_EQ(cur.Id(), c);
    EXPECT_TRUE(cur.Eof());
    EXPECT_EQ(cur.RecNo(), 3u);

    cur.First();
    EXPECT_EQ(cur.RecNo(), 1u);
    cur.Last();
    EXPECT_EQ(cur.Id(), c);
    EXPECT_TRUE(cur.Eof());
    cur.Prior();
    EXPECT_EQ(cur.Id(), b);
    EXPECT_FALSE(cur.Eof());
    cur.Prior();
    EXPECT_EQ(cur.Id(), a);
    EXPECT_FALSE(cur.Bof());  // standing on the first is not yet Bof
    cur.Prior();
    EXPECT_EQ(cur.Id(), a);
    EXPECT_TRUE(cur.Bof());

    EXPECT_TRUE(cur.MoveTo(0));
    EXPECT_EQ(cur.Id(), a);
    EXPECT_FALSE(cur.Bof());
    EXPECT_FALSE(cur.MoveTo(3));
    EXPECT_EQ(cur.Id(), a);

    // A walk visits every record once and stops.
    std::vector<RecordId> seen;
    // Bounded, so a cursor that never reaches Eof fails instead of hanging.
    for (cur.First(); !cur.Eof() && seen.size() < 10; cur.Next()) seen.push_back(cur.Id());
    EXPECT_EQ(seen, (std::vector<RecordId>{a, b, c}));
}

TEST_F(CursorTest, SeekMovesOnlyWhenFound) {
    InventoryCursor cur(table);
    cur.Last();
    EXPECT_FALSE(cur.Seek("missing.bmp", "c:\\p"));
    EXPECT_EQ(cur.Id(), c);
    EXPECT_TRUE(cur.Eof());
    EXPECT_TRUE(cur.Seek(KeyOfPath("c:\\P\\\\B.BMP")));
    EXPECT_EQ(cur.Id(), b);
    EXPECT_EQ(cur.RecNo(), 2u);
    EXPECT_FALSE(cur.Eof());
}

TEST(CursorEmptyTest, EmptyTableHasNoRecordUntilOneIsAppended) {
    InventoryTable table;
    InventoryCursor cur(table);
    InventoryCursor other(table);
    for (auto move : {&InventoryCursor::First, &InventoryCursor::Last, &InventoryCursor::Next,
                      &InventoryCursor::Prior}) {
        (cur.*move)();
        EXPECT_FALSE(cur.HasRecord());
        EXPECT_TRUE(cur.Bof());
        EXPECT_TRUE(cur.Eof());
        EXPECT_EQ(cur.RecNo(), 0u);
    }
    EXPECT_THROW(cur.Record(), std::logic_error);
    EXPECT_THROW(cur.Delete(), std::logic_error);
    EXPECT_THROW(cur.Post(Rec("C:", "a.bmp")), std::logic_error);

    RecordId id = other.Append(Rec("C:", "a.bmp"));
    EXPECT_EQ(cur.Id(), id);
    EXPECT_FALSE(cur.Eof());
    EXPECT_EQ(cur.Record().FileName, "a.bmp");
}

TEST_F(CursorTest, StaysOnItsRecordWhenAnotherCursorAppendsOrPosts) {
    InventoryCursor data(table);
    InventoryCursor grid(table);
    grid.GoTo(b);
    data.Append(Rec("C:\\P", "0.bmp"));  // sorts first
    EXPECT_EQ(grid.Id(), b);
    EXPECT_EQ(grid.RecNo(), 3u);
    EXPECT_EQ(data.RecNo(), 1u);

    // A key change through one cursor: both still stand on the record, at its new place.
    ASSERT_TRUE(data.Seek("b.bmp", "c:\\p"));
    InventoryRecord r = data.Record();
    r.FileName = "Z.bmp";
    data.Post(r);
    EXPECT_EQ(data.Id(), b);
    EXPECT_EQ(grid.Id(), b);
    EXPECT_EQ(grid.RecNo(), 4u);
    EXPECT_EQ(grid.Record().LCFilename, "z.bmp");
}

TEST_F(CursorTest, DeletionMovesCursorsOnTheRecordToTheFollowingOne) {
    struct Case {
        const char* name;
        std::vector<RecordId> deleteOrder;  // through the other cursor
        RecordId standOn;
        RecordId expected;
        bool eof;
    };
    const Case cases[] = {
        {"middle", {b}, b, c, false},
        {"first", {a}, a, b, false},
        {"last goes to new last with Eof", {c}, c, b, true},
        {"another record", {a}, c, c, false},
        {"all", {b, a, c}, b, NoRecord, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        InventoryTable t;
        a = t.Append(Rec("C:\\P", "a.bmp"));
        b = t.Append(Rec("C:\\P", "b.bmp"));
        c = t.Append(Rec("C:\\P", "c.bmp"));
        InventoryCursor watcher(t);
        InventoryCursor deleter(t);
        watcher.GoTo(k.standOn);
        for (RecordId id : k.deleteOrder) {
            deleter.GoTo(id);
            deleter.Delete();
        }
        EXPECT_EQ(watcher.Id(), k.expected);
        EXPECT_EQ(watcher.Eof(), k.eof);
        if (k.expected == NoRecord) {
            EXPECT_TRUE(watcher.Bof());
        }
    }
}

TEST(CursorWalkTest, DeletingWhileWalkingVisitsEveryRecordOnce) {
    InventoryTable table(4);
    for (int i = 0; i < 40; ++i)
        table.Append(Rec(i % 3 ? "C:\\Keep" : "C:\\Gone", "p" + std::to_string(100 + i) + ".bmp"));
    InventoryCursor cur(table);
    int visited = 0;
    for (cur.First(); !cur.Eof() && visited < 100;) {
        ++visited;
        if (cur.Record().LCLocation == "c:\\gone")
            cur.Delete();  // lands on the following record: no step forward
        else
            cur.Next();
    }
    EXPECT_EQ(visited, 40);
    EXPECT_EQ(table.Count(), 26u);
    for (std::size_t i = 0; i < table.Count(); ++i)
        EXPECT_EQ(table.Record(table.At(i)).LCLocation, "c:\\keep");
}

TEST_F(CursorTest, ClearAndAssignPutCursorsOnTheFirstRecord) {
    InventoryCursor cur(table);
    cur.Last();
    table.Assign({Rec("C:", "y.bmp"), Rec("C:", "x.bmp")});
    EXPECT_EQ(cur.Record().FileName, "x.bmp");
    EXPECT_TRUE(cur.Bof());
    table.Clear();
    EXPECT_FALSE(cur.HasRecord());
    EXPECT_TRUE(cur.Eof());
}

TEST(CursorLifetimeTest, CursorOutlivingItsTableThrowsInsteadOfDangling) {
    auto table = std::make_unique<InventoryTable>();
    table->Append(Rec("C:", "a.bmp"));
    InventoryCursor cur(*table);
    {
        InventoryCursor shortLived(*table);  // unregisters on destruction
    }
    table->Append(Rec("C:", "b.bmp"));
    table.reset();
    EXPECT_FALSE(cur.HasRecord());
    EXPECT_THROW(cur.Next(), std::logic_error);
}

// ---------------------------------------------------------------------------------------------
// Against a reference model: random appends, re-keys and deletes, with tiny and normal blocks.

struct ModelEntry {
    std::string name, location;  // lower case
    std::uint64_t seq;
    RecordId id;
};

bool ModelLess(const ModelEntry& x, const ModelEntry& y) {
    if (int c = x.name.compare(y.name)) return c < 0;
    if (int c = x.location.compare(y.location)) return c < 0;
    return x.seq < y.seq;
}

void CheckAgainstModel(const InventoryTable& table, const std::vector<ModelEntry>& model) {
    ASSERT_EQ(table.Count(), model.size());
    for (std::size_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(table.At(i), model[i].id) << "position " << i;
        ASSERT_EQ(table.PositionOf(model[i].id), i);
        ASSERT_EQ(table.Record(model[i].id).LCFilename, model[i].name);
    }
}

TEST(InventoryTableModelTest, PositionsAndSeeksMatchASortedReference) {
    for (std::size_t capacity :
         {std::size_t{4}, std::size_t{7}, InventoryTable::DefaultBlockCapacity}) {
        SCOPED_TRACE("block capacity " + std::to_string(capacity));
        std::mt19937 rng(1234);
        auto pick = [&](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
        };
        // Few distinct keys, random case: plenty of ties and case folding.
        auto randomName = [&] {
            std::string s = "Pic" + std::to_string(pick(60)) + ".bmp";
            for (char& ch : s)
                if (pick(2)) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            return s;
        };
        auto randomFolder = [&] {
            return "C:\\Dir" + std::to_string(pick(4)) + std::string(pick(3), '\\');
        };

        InventoryTable table(capacity);
        InventoryCursor watcher(table);
        std::vector<ModelEntry> model;
        std::uint64_t seq = 0;
        auto place = [&](ModelEntry e) {
            model.insert(std::upper_bound(model.begin(), model.end(), e, ModelLess), e);
        };
        auto indexOf = [&](RecordId id) {
            return static_cast<std::size_t>(
                std::find_if(model.begin(), model.end(),
                             [&](const ModelEntry& e) { return e.id == id; }) -
                model.begin());
        };

        for (int step = 0; step < 6000; ++step) {
            const bool growing = step < 3500;
            const std::size_t roll = pick(100);
            if (model.empty() || roll < (growing ? 55u : 20u)) {
                InventoryRecord r = Rec(randomFolder(), randomName());
                RecordId id = table.Append(r);
                place({LowerCase(r.FileName), LowerCase(StripTrailingBackslashes(r.Location)),
                       seq++, id});
            } else if (roll < (growing ? 80u : 80u)) {
                std::size_t i = pick(model.size());
                RecordId id = model[i].id;
                std::size_t pos = i;
                RecordId expected = watcher.Id() != id       ? watcher.Id()
                                    : pos + 1 < model.size() ? model[pos + 1].id
                                    : pos > 0                ? model[pos - 1].id
                                                             : NoRecord;
                table.Delete(id);
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(i));
                ASSERT_EQ(watcher.Id(), expected) << "step " << step;
            } else {
                std::size_t i = pick(model.size());
                ModelEntry e = model[i];
                InventoryRecord r = table.Record(e.id);
                if (pick(2)) {
                    r.FileName = randomName();
                    r.Location = randomFolder();
                }
                r.Size = static_cast<std::int32_t>(step);
                table.Replace(e.id, r);
                const std::string name = LowerCase(r.FileName);
                const std::string folder = LowerCase(StripTrailingBackslashes(r.Location));
                if (name != e.name || folder != e.location) {
                    model.erase(model.begin() + static_cast<std::ptrdiff_t>(i));
                    place({name, folder, seq++, e.id});
                }
            }
            if (!model.empty() && pick(10) == 0) {
                ASSERT_TRUE(watcher.MoveTo(pick(model.size())));
            }
            if (!model.empty()) {
                const ModelEntry& probe = model[pick(model.size())];
                auto first = std::find_if(model.begin(), model.end(), [&](const ModelEntry& e) {
                    return e.name == probe.name && e.location == probe.location;
                });
                ASSERT_EQ(table.Seek(probe.name, probe.location), first->id) << "step " << step;
                ASSERT_EQ(watcher.RecNo(), indexOf(watcher.Id()) + 1);
            }
            if (step % 97 == 0) CheckAgainstModel(table, model);
        }
        CheckAgainstModel(table, model);
    }
}

}  // namespace
}  // namespace pictavo
