#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "inventory/TableFile.h"
#include "platform/AnsiCodePage.h"

namespace pictavo {
namespace {

// An independent writer of the documented layout: pins the format (files written by older
// builds must keep loading) and builds damaged files with a valid checksum.
void Put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

void PutString(std::string& out, const std::string& s) {
    out.push_back(static_cast<char>(s.size()));
    out += s;
}

std::string RecordBytes(const InventoryRecord& r) {
    std::string out;
    out.push_back(r.Enabled);
    out.push_back(r.Tile);
    PutString(out, r.FileName);
    PutString(out, r.Location);
    Put32(out, static_cast<std::uint32_t>(r.Size));
    Put32(out, static_cast<std::uint32_t>(static_cast<std::uint64_t>(r.Timestamp)));
    Put32(out, static_cast<std::uint32_t>(static_cast<std::uint64_t>(r.Timestamp) >> 32));
    PutString(out, r.Group);
    Put32(out, static_cast<std::uint32_t>(r.Order));
    PutString(out, r.LCLocation);
    PutString(out, r.LCFilename);
    return out;
}

std::string Flip(std::string file, std::size_t at, unsigned mask) {
    file.at(at) = static_cast<char>(static_cast<unsigned char>(file.at(at)) ^ mask);
    return file;
}

// Adds to the little-endian 32-bit number at the offset.
std::string AddTo32(std::string file, std::size_t at, int delta) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(file.at(at + static_cast<std::size_t>(i)));
    v += static_cast<std::uint32_t>(delta);
    for (std::size_t i = 0; i < 4; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
    return file;
}

void Reseal(std::string& file) {
    file.resize(file.size() - 4);
    Put32(file, Crc32(file));
}

std::string FileOf(std::uint32_t count, const std::string& payload,
                   std::uint32_t version = TableFileVersion) {
    std::string out(TableFileMagic);
    Put32(out, version);
    Put32(out, count);
    Put32(out, static_cast<std::uint32_t>(payload.size()));
    out += payload;
    Put32(out, Crc32(out));
    return out;
}

InventoryRecord Rec(std::string location, std::string fileName) {
    InventoryRecord r;
    r.Enabled = true;
    r.FileName = std::move(fileName);
    r.Location = std::move(location);
    r.LCFilename = LowerCase(r.FileName);
    r.LCLocation = LowerCase(r.Location);
    return r;
}

// Extremes of every field.
std::vector<InventoryRecord> SampleRecords() {
    std::vector<InventoryRecord> records;
    InventoryRecord r = Rec("C:\\Program Files\\Pictavo\\Images", "v123 of Netscape Wallpaper.BMP");
    r.Size = INT32_MAX;
    r.Timestamp = 133'000'000'000'000'000;  // 2022, in FILETIME units
    records.push_back(r);

    r = Rec("", std::string(FileNameWidth, 'Q'));
    r.Enabled = false;
    r.Tile = false;
    r.Size = INT32_MIN;
    r.Timestamp = INT64_MIN;
    r.Order = -1;
    r.Group = std::string(GroupWidth, 'g');
    records.push_back(r);

    r = Rec(std::string(LocationWidth, 'L'), std::string("nul\0and\xFF.bmp", 12));
    r.Tile = false;
    r.Timestamp = INT64_MAX;
    r.Order = INT32_MAX;
    records.push_back(r);

    r = Rec("D:", "\xC9T\xC9.jpg");
    r.Enabled = false;
    r.Size = 0;
    records.push_back(r);
    return records;
}

std::vector<InventoryRecord> InOrder(const InventoryTable& table) {
    std::vector<InventoryRecord> records;
    for (std::size_t i = 0; i < table.Count(); ++i) records.push_back(table.Record(table.At(i)));
    return records;
}

TEST(TableFileTest, Crc32MatchesTheStandardCheckValues) {
    EXPECT_EQ(Crc32(""), 0u);
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);  // 8 bytes at once plus a tail byte
    EXPECT_EQ(Crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

// Long inputs take a faster road than short ones, on processors that have it: every length
// and alignment around its edges must agree with the plain bit-by-bit definition.
TEST(TableFileTest, Crc32AgreesWithTheDefinitionAtEveryLengthAndAlignment) {
    auto reference = [](std::string_view bytes) {
        std::uint32_t c = 0xFFFFFFFFu;
        for (unsigned char b : bytes) {
            c ^= b;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        return c ^ 0xFFFFFFFFu;
    };
    std::string data(4096 + 16, '\0');
    std::uint32_t x = 12345;
    for (char& ch : data) ch = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
    for (std::size_t offset = 0; offset < 16; ++offset)
        for (std::size_t n = 0; n <= 300; ++n)
            ASSERT_EQ(Crc32(std::string_view(data).substr(offset, n)),
                      reference(std::string_view(data).substr(offset, n)))
                << n << " bytes at offset " << offset;
    EXPECT_EQ(Crc32(std::string_view(data).substr(3, 4096)),
              reference(std::string_view(data).substr(3, 4096)));
    EXPECT_EQ(Crc32(std::string(1000, '\xFF')), reference(std::string(1000, '\xFF')));
}

TEST(TableFileTest, RoundTripKeepsAllTenFieldsInIndexOrder) {
    InventoryTable table;
    for (const InventoryRecord& r : SampleRecords()) table.Append(r);
    const std::string bytes = SerializeTable(table);

    TableParseResult parsed = ParseTable(bytes);
    ASSERT_TRUE(parsed.Ok()) << parsed.Error;
    EXPECT_EQ(parsed.Records, InOrder(table));  // already sorted on disk

    InventoryTable loaded;
    ASSERT_EQ(LoadTable(bytes, loaded), "");
    EXPECT_EQ(InOrder(loaded), InOrder(table));
    EXPECT_EQ(SerializeTable(loaded), bytes);
}

TEST(TableFileTest, WritesTheDocumentedLayout) {
    InventoryTable table;
    std::string payload;
    for (const InventoryRecord& r : SampleRecords()) table.Append(r);
    for (const InventoryRecord& r : InOrder(table)) payload += RecordBytes(r);
    EXPECT_EQ(SerializeTable(table), FileOf(4, payload));
}

// The program writes records in index order and folders without trailing backslashes; a file
// made otherwise still loads, stored as the program would have stored its records.
TEST(TableFileTest, LoadsRecordsOutOfOrderAndFoldersWithTrailingBackslashes) {
    const std::vector<InventoryRecord> written = {Rec("C:\\A", "z.bmp"), Rec("C:\\B\\\\", "b.bmp"),
                                                  Rec("C:\\A", "a.bmp"), Rec("D:", "b.bmp")};
    std::string payload;
    for (const InventoryRecord& r : written) payload += RecordBytes(r);
    InventoryTable loaded;
    ASSERT_EQ(LoadTable(FileOf(4, payload), loaded), "");

    InventoryTable appended;
    for (const InventoryRecord& r : written) appended.Append(r);
    EXPECT_EQ(InOrder(loaded), InOrder(appended));
    EXPECT_EQ(loaded.Record(loaded.At(1)).Location, "C:\\B");
    EXPECT_NE(loaded.Seek("b.bmp", "c:\\b"), NoRecord);
    EXPECT_EQ(SerializeTable(loaded), SerializeTable(appended));
}

// Loading compares the stored lower-case copies a word at a time: every byte value, at the
// start and at the end of names of every length class, must pass exactly when it is right.
TEST(TableFileTest, TheLowerCaseCheckAcceptsExactlyTheLowerCaseCopy) {
    for (std::size_t length : {1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 129}) {
        for (std::size_t pos : {std::size_t{0}, length - 1}) {
            for (int b = 0; b < 256; ++b) {
                InventoryRecord r = Rec("C:\\P", std::string(length, 'N'));
                r.FileName[pos] = static_cast<char>(b);
                r.LCFilename = LowerCase(r.FileName);
                InventoryTable table;
                ASSERT_EQ(LoadTable(FileOf(1, RecordBytes(r)), table), "")
                    << length << " " << pos << " " << b;
                r.LCFilename[pos] = static_cast<char>(r.LCFilename[pos] ^ 0x20);
                ASSERT_NE(LoadTable(FileOf(1, RecordBytes(r)), table), "")
                    << length << " " << pos << " " << b;
            }
        }
    }
}

// At code page 932 ア (0x83 0x41) and ヂ (0x83 0x61) are two files, and 発表
// (0x94 0xAD 0x95 0x5C) a folder whose name ends in the byte of a backslash.
// Earlier builds stored ア's key with its second byte lowered, as ヂ's: such a
// file still loads, each record under its own key. What is written at 932
// loads at 1252 too, keyed as 1252 keys it.
TEST(TableFileTest, DoubleByteNamesKeepKeysOfTheirOwn) {
    const std::string folder = "C:\\\x94\xad\x95\x5c";
    const std::string a = "\x83\x41.bmp", di = "\x83\x61.bmp";
    std::string written;
    {
        const ScopedAnsiCodePage japanese(932);
        InventoryTable table;
        table.Append(Rec(folder, a));
        table.Append(Rec(folder, di));
        const RecordId aId = table.Seek(KeyOfPath(PicturePath(folder, "\x83\x41.BMP")));
        const RecordId diId = table.Seek(KeyOfPath(PicturePath(folder, di)));
        ASSERT_NE(aId, NoRecord);
        ASSERT_NE(diId, NoRecord);
        EXPECT_NE(aId, diId);
        EXPECT_EQ(table.Record(aId).Location, folder);
        written = SerializeTable(table);

        InventoryRecord earlier = Rec(folder, a);
        earlier.LCFilename = "\x83\x61.bmp";
        InventoryTable loaded;
        ASSERT_EQ(LoadTable(FileOf(1, RecordBytes(earlier)), loaded), "");
        const RecordId found = loaded.Seek(KeyOfPath(PicturePath(folder, a)));
        ASSERT_NE(found, NoRecord);
        EXPECT_EQ(loaded.Record(found).LCFilename, a);
        EXPECT_EQ(loaded.Seek(KeyOfPath(PicturePath(folder, di))), NoRecord);
        EXPECT_EQ(ParseTable(FileOf(1, RecordBytes(earlier))).Records.at(0).LCFilename, a);

        // A capital left in a copy is still damage where no second byte stands.
        earlier.LCFilename = "\x83\x41.BMP";
        EXPECT_NE(LoadTable(FileOf(1, RecordBytes(earlier)), loaded), "");
    }
    const ScopedAnsiCodePage westernEuropean(1252);
    InventoryTable elsewhere;
    ASSERT_EQ(LoadTable(written, elsewhere), "");
    EXPECT_EQ(elsewhere.Count(), 2u);
    EXPECT_NE(elsewhere.Seek(KeyOfPath(PicturePath(folder, a))), NoRecord);
}

TEST(TableFileTest, EmptyTableRoundTrips) {
    InventoryTable empty;
    InventoryTable target;
    target.Append(Rec("C:", "a.bmp"));
    EXPECT_EQ(LoadTable(SerializeTable(empty), target), "");
    EXPECT_EQ(target.Count(), 0u);
}

// A refused file leaves the table and its cursors exactly as they were.
class RefusedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.Append(Rec("C:\\Keep", "one.bmp"));
        table.Append(Rec("C:\\Keep", "two.bmp"));
        cursor.Last();
        before = InOrder(table);
        good = SerializeTable(sourceTable());
    }

    static const InventoryTable& sourceTable() {
        static InventoryTable source;
        if (source.Empty())
            for (const InventoryRecord& r : SampleRecords()) source.Append(r);
        return source;
    }

    void ExpectRefused(const std::string& bytes, const std::string& reason) {
        TableParseResult parsed = ParseTable(bytes);
        EXPECT_FALSE(parsed.Ok());
        EXPECT_TRUE(parsed.Records.empty());
        std::string error = LoadTable(bytes, table);
        EXPECT_NE(error.find(reason), std::string::npos) << "error was: " << error;
        EXPECT_EQ(InOrder(table), before);
        EXPECT_EQ(cursor.Record().FileName, "two.bmp");
        EXPECT_TRUE(cursor.Eof());
    }

    InventoryTable table;
    InventoryCursor cursor{table};
    std::vector<InventoryRecord> before;
    std::string good;
};

TEST_F(RefusedFileTest, RefusesDamagedFilesWithAReason) {
    const InventoryRecord ok = Rec("C:\\P", "a.bmp");
    InventoryRecord longName = Rec("C:\\P", std::string(FileNameWidth + 1, 'x'));
    InventoryRecord longGroup = ok;
    longGroup.Group = std::string(GroupWidth + 1, 'g');
    InventoryRecord staleKey = ok;
    staleKey.LCFilename = "b.bmp";
    std::string badBool = RecordBytes(ok);
    badBool[1] = 2;
    std::string pastEnd = RecordBytes(ok);
    pastEnd[2] = 100;  // FileName length reaching beyond the data

    struct Case {
        const char* name;
        std::function<std::string(std::string)> damage;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", [](std::string) { return std::string(); }, "empty"},
        {"other file type", [](std::string) { return std::string("GIF89a....................."); },
         "wrong magic"},
        {"magic prefix only", [](std::string f) { return f.substr(0, 5); }, "truncated"},
        {"cut inside header", [](std::string f) { return f.substr(0, 13); }, "truncated"},
        {"cut inside records", [](std::string f) { return f.substr(0, f.size() / 2); },
         "truncated"},
        {"checksum cut", [](std::string f) { return f.substr(0, f.size() - 1); }, "truncated"},
        {"trailing byte", [](std::string f) { return f + '\0'; }, "trailing"},
        {"wrong magic", [](std::string f) { return Flip(f, 3, 0x20); }, "wrong magic"},
        {"newer version", [](std::string f) { return Flip(f, 8, 0x03); }, "version 2"},
        {"flipped record byte", [](std::string f) { return Flip(f, 30, 0x01); }, "checksum"},
        {"flipped count", [](std::string f) { return Flip(f, 12, 0x01); }, "checksum"},
        {"flipped checksum", [](std::string f) { return Flip(f, f.size() - 1, 0x80); }, "checksum"},
        {"payload length too large",
         [](std::string f) {
             f = AddTo32(f, 16, 1);
             Reseal(f);
             return f;
         },
         "truncated"},
        {"payload length too small",
         [](std::string f) {
             f = AddTo32(f, 16, -1);
             Reseal(f);
             return f;
         },
         "trailing"},
        {"count above the records", [&](std::string) { return FileOf(2, RecordBytes(ok)); },
         "count mismatch"},
        {"count below the records",
         [&](std::string) { return FileOf(1, RecordBytes(ok) + RecordBytes(ok)); },
         "count mismatch"},
        {"huge count", [&](std::string) { return FileOf(0xFFFFFFFFu, RecordBytes(ok)); },
         "count mismatch"},
        {"overlong FileName", [&](std::string) { return FileOf(1, RecordBytes(longName)); },
         "FileName: is 130 characters, longer than its width 129"},
        {"overlong Group", [&](std::string) { return FileOf(1, RecordBytes(longGroup)); },
         "Group: is 11 characters"},
        {"boolean not 0 or 1", [&](std::string) { return FileOf(1, badBool); }, "Tile"},
        {"string past the end", [&](std::string) { return FileOf(1, pastEnd); }, "past the end"},
        {"lower-case copy differs", [&](std::string) { return FileOf(1, RecordBytes(staleKey)); },
         "LCFilename does not match"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRefused(c.damage(good), c.reason);
    }
}

TEST_F(RefusedFileTest, RefusesEveryTruncationAndEveryDamagedByte) {
    ASSERT_TRUE(ParseTable(good).Ok());
    for (std::size_t n = 0; n < good.size(); ++n)
        ASSERT_FALSE(ParseTable(good.substr(0, n)).Ok()) << "cut to " << n << " bytes";
    for (std::size_t i = 0; i < good.size(); ++i) {
        std::string damaged = good;
        damaged[i] = static_cast<char>(damaged[i] ^ 0xFF);
        ASSERT_FALSE(ParseTable(damaged).Ok()) << "byte " << i;
    }
    ExpectRefused(good.substr(0, good.size() - 7), "truncated");
}

}  // namespace
}  // namespace pictavo
