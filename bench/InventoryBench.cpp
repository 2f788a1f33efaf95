// Figures for the inventory table at 100,000 pictures: add-or-update appends, key seeks,
// list-view row lookups, save and load with file I/O, and memory per record.
// Prints figures only; the budgets are printed beside them for the reader.
#include "inventory/InventoryTable.h"
#include "inventory/TableFile.h"

#ifdef _WIN32
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include "platform/Files.h"
#else
#include <malloc.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

using namespace pictavo;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Memory the process holds for its data: committed private bytes on Windows (Wine reports
// PrivateUsage as 0 but fills PagefileUsage, which Windows defines as the same commit charge),
// the allocator's bytes in use elsewhere.
long long MemoryInUse() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                         sizeof pmc);
    return static_cast<long long>(pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage);
#else
    struct mallinfo2 mi = mallinfo2();
    return static_cast<long long>(mi.uordblks + mi.hblkhd);
#endif
}

std::vector<std::string> MakePaths(std::size_t n, std::mt19937& rng) {
    const char* folders[] = {
        "C:\\Program Files\\Pictavo\\Images",
        "C:\\WINDOWS",
        "C:\\Documents and Settings\\Owner\\My Documents\\My Pictures",
        "C:\\Documents and Settings\\Owner\\My Documents\\My Pictures\\Wallpapers\\Space",
        "D:\\Wallpapers\\Nature",
        "D:\\Wallpapers\\Cars\\Classic",
        "E:\\Photos\\2004\\Holiday in Brittany",
        "\\\\Server\\Share\\Backgrounds",
    };
    const char* extensions[] = {".bmp", ".jpg", ".jpeg", ".gif", ".png"};
    auto pick = [&](std::size_t k) {
        return std::uniform_int_distribution<std::size_t>(0, k - 1)(rng);
    };
    auto word = [&] {
        std::string w(3 + pick(8), 'a');
        for (char& c : w) c = static_cast<char>('a' + pick(26));
        if (pick(2)) w[0] = static_cast<char>(w[0] - 32);
        return w;
    };

    std::unordered_set<std::string> seen;
    std::vector<std::string> paths;
    paths.reserve(n);
    std::size_t version = 0;
    while (paths.size() < n) {
        // Most pictures live in the program's own folder.
        std::string folder = pick(5) < 2 ? folders[0] : folders[pick(std::size(folders))];
        std::string name;
        if (pick(4) == 0) {
            name = "v" + std::to_string(++version) + " of Netscape Wallpaper.bmp";
        } else {
            name = word();
            for (std::size_t words = pick(3); words > 0; --words) name += " " + word();
            if (pick(3) == 0) name += " " + std::to_string(pick(10000));
            name += extensions[pick(std::size(extensions))];
        }
        std::string path = folder + "\\" + name;
        if (seen.insert(KeyOfPath(path).LCFilename + "|" + KeyOfPath(path).LCLocation).second)
            paths.push_back(std::move(path));
    }
    return paths;
}

void Row(const char* what, double value, const char* unit, const char* budget) {
    std::printf("%-44s %12.3f %-6s %s\n", what, value, unit, budget);
}

}  // namespace

int main() {
    constexpr std::size_t N = 100'000;
    std::mt19937 rng(20240601);
    const std::vector<std::string> paths = MakePaths(N, rng);
    std::vector<InventoryKey> keys;
    keys.reserve(N);
    for (const std::string& p : paths) keys.push_back(KeyOfPath(p));

#ifdef _WIN32
    std::printf("target: Windows (%u-bit)\n", static_cast<unsigned>(sizeof(void*) * 8));
#else
    std::printf("target: native (%u-bit)\n", static_cast<unsigned>(sizeof(void*) * 8));
#endif
    std::printf("records: %zu, sizeof(InventoryRecord) = %zu\n\n", N, sizeof(InventoryRecord));

    // Add-or-update as the program does it: key of the path, seek, not found, append.
    const long long memBefore = MemoryInUse();
    auto table = std::make_unique<InventoryTable>();
    InventoryCursor data(*table);
    std::size_t appended = 0;
    auto start = Clock::now();
    for (std::size_t i = 0; i < N; ++i) {
        InventoryKey key = KeyOfPath(paths[i]);
        if (data.Seek(key)) continue;
        InventoryRecord r;
        r.Enabled = true;
        r.Tile = (i % 3) != 0;
        r.FileName = ExtractFileName(paths[i]);
        r.Location = ExtractFileDir(paths[i]);
        r.Size = static_cast<std::int32_t>(20'000 + i * 37 % 3'000'000);
        r.Timestamp = 127'000'000'000'000'000 + static_cast<std::int64_t>(i) * 10'000'000;
        r.LCFilename = std::move(key.LCFilename);
        r.LCLocation = std::move(key.LCLocation);
        data.Append(std::move(r));
        ++appended;
    }
    const double appendMs = MsSince(start);
    const long long memAfter = MemoryInUse();
    Row("append 100,000 (key, seek miss, append)", appendMs, "ms", "budget 1000 ms total");
    Row("  per append", appendMs * 1000.0 / static_cast<double>(appended), "us", "");
    Row("memory per record (growth / records)",
        static_cast<double>(memAfter - memBefore) / static_cast<double>(table->Count()), "bytes",
        "budget 512 bytes (i686)");

    // Key seeks in random order, hits and misses.
    std::vector<std::size_t> order(N);
    for (std::size_t i = 0; i < N; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    constexpr int SeekRounds = 10;
    std::size_t found = 0;
    start = Clock::now();
    for (int round = 0; round < SeekRounds; ++round)
        for (std::size_t i : order) found += table->Seek(keys[i]) != NoRecord;
    const double seekMs = MsSince(start);
    Row("seek, existing key (average)", seekMs * 1e6 / (SeekRounds * static_cast<double>(N)), "ns",
        "budget 10000 ns");
    start = Clock::now();
    for (std::size_t i : order)
        found += table->Seek(keys[i].LCFilename + "~", keys[i].LCLocation) != NoRecord;
    Row("seek, missing key (average, incl. key copy)",
        MsSince(start) * 1e6 / static_cast<double>(N), "ns", "");
    if (found != SeekRounds * N) std::printf("!! seeks found %zu of %zu\n", found, SeekRounds * N);

    // The virtual list view asks rows by number, and the grid's cursor asks its row back.
    std::size_t checksum = 0;
    start = Clock::now();
    for (std::size_t i : order) checksum += table->Record(table->At(i)).Size;
    Row("row lookup At(i) + Record (random rows)", MsSince(start) * 1e6 / static_cast<double>(N),
        "ns", "");
    std::vector<RecordId> ids;
    ids.reserve(N);
    for (std::size_t i : order) ids.push_back(table->At(i));
    start = Clock::now();
    for (RecordId id : ids) checksum += table->PositionOf(id);
    Row("PositionOf (random records)", MsSince(start) * 1e6 / static_cast<double>(N), "ns", "");

    // Save and load with file I/O: on Windows the program's own atomic write
    // (temporary file, flush, swap) and whole-file read; elsewhere plain streams.
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "pictavo-bench.tbl";
    double serializeMs = 1e9, writeMs = 1e9, readMs = 1e9, parseMs = 1e9;
    std::size_t fileBytes = 0;
    InventoryTable loaded;
    for (int attempt = 0; attempt < 3; ++attempt) {
        start = Clock::now();
        std::string bytes = SerializeTable(*table);
        serializeMs = std::min(serializeMs, MsSince(start));
        fileBytes = bytes.size();

        start = Clock::now();
#ifdef _WIN32
        WriteFileAtomically(file.string(), bytes);
#else
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.flush();
            if (!out) std::printf("!! could not write %s\n", file.string().c_str());
        }
#endif
        writeMs = std::min(writeMs, MsSince(start));

        start = Clock::now();
#ifdef _WIN32
        std::string read = ReadWholeFile(file.string());
#else
        std::string read;
        {
            std::ifstream in(file, std::ios::binary);
            read.resize(static_cast<std::size_t>(std::filesystem::file_size(file)));
            in.read(read.data(), static_cast<std::streamsize>(read.size()));
        }
#endif
        readMs = std::min(readMs, MsSince(start));

        start = Clock::now();
        std::string error = LoadTable(read, loaded);
        parseMs = std::min(parseMs, MsSince(start));
        if (!error.empty()) std::printf("!! load refused: %s\n", error.c_str());
    }
    std::filesystem::remove(file);
    std::printf("\ntable file: %zu bytes (%.1f per record)\n", fileBytes,
                static_cast<double>(fileBytes) / static_cast<double>(N));
    Row("save: serialize", serializeMs, "ms", "");
    Row("save: write file", writeMs, "ms", "");
    Row("save total", serializeMs + writeMs, "ms", "budget 300 ms");
    Row("load: read file", readMs, "ms", "");
    Row("load: parse + assign", parseMs, "ms", "");
    Row("load total", readMs + parseMs, "ms", "budget 200 ms");
    if (loaded.Count() != table->Count())
        std::printf("!! loaded %zu of %zu records\n", loaded.Count(), table->Count());

    // Removal of a tenth of the pictures, one at a time.
    std::vector<RecordId> victims(ids.begin(), ids.begin() + N / 10);
    start = Clock::now();
    for (RecordId id : victims) table->Delete(id);
    Row("delete 10,000 random records (average)",
        MsSince(start) * 1000.0 / static_cast<double>(victims.size()), "us", "");

    std::printf("\n(checksum %zu)\n", checksum);
    return 0;
}
