// Writes the fuzz seed corpus: small saved tables that reach every field of the reader.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "inventory/RecordEncoding.h"
#include "inventory/TableFile.h"

using namespace pictavo;

namespace {

InventoryRecord Rec(bool enabled, bool tile, std::string location, std::string fileName,
                    std::int32_t size, std::int64_t timestamp) {
    InventoryRecord r;
    r.Enabled = enabled;
    r.Tile = tile;
    r.Location = std::move(location);
    r.FileName = std::move(fileName);
    r.Size = size;
    r.Timestamp = timestamp;
    return r;
}

bool WriteBytes(const std::string& folder, const char* name, const std::string& bytes) {
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool Write(const std::string& folder, const char* name, const InventoryTable& table) {
    return WriteBytes(folder, name, SerializeTable(table));
}

// A file the program would not write itself: records as given, in the given order.
std::string FileOf(const std::vector<InventoryRecord>& records) {
    std::string payload;
    for (const InventoryRecord& r : records) {
        std::string bytes(encoding::SizeOf(encoding::LengthsOf(r)), '\0');
        encoding::Encode(r, bytes.data());
        payload += bytes;
    }
    std::string file(TableFileMagic);
    file.resize(TableFileHeaderSize);
    encoding::Put32(file.data() + 8, TableFileVersion);
    encoding::Put32(file.data() + 12, static_cast<std::uint32_t>(records.size()));
    encoding::Put32(file.data() + 16, static_cast<std::uint32_t>(payload.size()));
    file += payload;
    file.resize(file.size() + TableFileTrailerSize);
    encoding::Put32(file.data() + file.size() - TableFileTrailerSize,
                    Crc32(std::string_view(file).substr(0, file.size() - TableFileTrailerSize)));
    return file;
}

InventoryRecord Raw(std::string location, std::string fileName) {
    InventoryRecord r;
    r.Location = std::move(location);
    r.FileName = std::move(fileName);
    r.LCLocation = LowerCase(r.Location);
    r.LCFilename = LowerCase(r.FileName);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_table_seeds <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;

    InventoryTable empty;
    ok &= Write(folder, "empty", empty);

    InventoryTable one;
    one.Append(Rec(true, true, "C:\\Program Files\\Pictavo\\Images", "v1 of Netscape Wallpaper.bmp",
                   123456, 127000000000000000));
    ok &= Write(folder, "one", one);

    InventoryTable several;
    several.Append(Rec(true, false, "C:\\WINDOWS", "Clouds.BMP", 0, 0));
    several.Append(Rec(false, true, "C:", "Root.bmp", -1, -1));
    several.Append(Rec(true, true, "\\\\Server\\Share", "\xC9t\xC9.bmp", 0x7FFFFFFF, INT64_MAX));
    several.Append(Rec(true, true, "D:\\Pics", "clouds.bmp", 42, 1));    // same name, other folder
    several.Append(Rec(true, true, "C:\\WINDOWS", "Clouds.BMP", 7, 2));  // same key twice
    InventoryRecord grouped = Rec(true, true, "E:\\Photos", "group.bmp", 5, 5);
    grouped.Group = "Holiday";
    grouped.Order = 3;
    several.Append(grouped);
    ok &= Write(folder, "several", several);

    InventoryTable wide;
    wide.Append(
        Rec(true, true, std::string(FileNameWidth, 'L'), std::string(LocationWidth, 'N'), 1, 1));
    ok &= Write(folder, "widths", wide);

    // Out of index order, and a folder with trailing backslashes.
    ok &= WriteBytes(
        folder, "unordered",
        FileOf({Raw("C:\\B", "z.bmp"), Raw("C:\\Pics\\\\", "m.BMP"), Raw("C:\\A", "a.bmp")}));

    if (!ok) std::fprintf(stderr, "could not write the seeds into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
