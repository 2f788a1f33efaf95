// Writes the fuzz seed corpus: small saved tables that reach every field of the reader.
#include <cstdio>
#include <fstream>
#include <string>

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

bool Write(const std::string& folder, const char* name, const InventoryTable& table) {
    std::ofstream out(folder + "/" + name, std::ios::binary);
    const std::string bytes = SerializeTable(table);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
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

    if (!ok) std::fprintf(stderr, "could not write the seeds into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
