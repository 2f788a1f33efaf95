// libFuzzer target for the table-file reader. Besides "no crash, no sanitizer report" it checks
// that the parser and the loader agree, that a refused file leaves the table alone, that what
// was accepted keeps the field rules and matches its parsed fields, and that an accepted table
// saves and loads back to the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "inventory/TableFile.h"

using namespace pictavo;

namespace {

void Require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "table file check failed: %s\n", what);
    std::abort();
}

void Check(std::string_view bytes) {
    TableParseResult parsed = ParseTable(bytes);

    InventoryTable table;
    InventoryRecord kept;
    kept.FileName = "kept.bmp";
    kept.Location = "C:\\Kept";
    table.Append(kept);
    const std::string error = LoadTable(bytes, table);

    Require(parsed.Ok() == error.empty(), "ParseTable and LoadTable disagree");
    if (!error.empty()) {
        Require(table.Count() == 1 && table.Record(table.At(0)).FileName == "kept.bmp",
                "a refused file changed the table");
        return;
    }
    Require(table.Count() == parsed.Records.size(), "loaded count differs from parsed count");

    // The loaded bytes are kept as they are; the parsed fields, stored afresh, must give the
    // same bytes, or the loader accepted something the fields do not say (a boolean byte of 2).
    const std::string saved = SerializeTable(table);
    InventoryTable rebuilt;
    rebuilt.Assign(parsed.Records);
    Require(SerializeTable(rebuilt) == saved, "the loaded bytes differ from the parsed fields");
    for (const InventoryRecord& r : parsed.Records)
        Require(r.LCFilename == LowerCase(r.FileName) && r.LCLocation == LowerCase(r.Location) &&
                    r.FileName.size() <= FileNameWidth && r.Location.size() <= LocationWidth &&
                    r.Group.size() <= GroupWidth,
                "an accepted record breaks the field rules");

    InventoryTable again;
    Require(LoadTable(saved, again).empty(), "a saved table was refused");
    Require(SerializeTable(again) == saved, "save, load, save changed the bytes");
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);

    // Nearly every mutation breaks the length or the checksum and stops at the header. Check
    // the same bytes once more with both made right, so the record reader sees them too.
    if (size >= TableFileHeaderSize + TableFileTrailerSize &&
        bytes.substr(0, TableFileMagic.size()) == TableFileMagic) {
        std::string fixed(bytes);
        const std::size_t crcAt = size - TableFileTrailerSize;
        Put32(fixed, 16, static_cast<std::uint32_t>(crcAt - TableFileHeaderSize));
        Put32(fixed, crcAt, Crc32(std::string_view(fixed).substr(0, crcAt)));
        Check(fixed);
    }
    return 0;
}
