// Figures for choosing the next slide in a 100,000-picture list, with the
// real file probe: the usual case (every picture eligible, at random and in
// list order), the worst case (every picture disabled: 500 random tries, then
// a full ordered pass) and an unplugged drive (every picture out of reach).
// The same searches with the file check answered from memory give the cost of
// the choice itself.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "imaging/PictureDecoder.h"
#include "inventory/InventoryTable.h"
#include "platform/FileProbe.h"
#include "platform/Trace.h"
#include "slideshow/SlideSelection.h"
#include "support/ComApartment.h"
#include "support/PictureFiles.h"

using namespace pictavo;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPictures = 100000;
// Wine looks a new name up by reading the whole folder, so files are made in
// folders of a thousand, or making them takes most of an hour.
constexpr int kPerFolder = 1000;

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

std::string UnmappedDrive() {
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Y'; letter >= 'G'; --letter) {
        if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
    }
    return {};
}

std::string FolderOf(const std::string& base, int i) {
    return base + "\\f" + std::to_string(i / kPerFolder);
}

// `only`, when given, is the one enabled picture, in the middle of the list.
void Fill(InventoryTable& table, const std::string& base, bool enabled,
          const char* extension = ".bmp", const std::string& only = {}) {
    std::vector<InventoryRecord> records;
    records.reserve(kPictures);
    for (int i = 0; i < kPictures; ++i) {
        InventoryRecord r;
        r.Enabled = enabled;
        r.FileName = "p" + std::to_string(i) + extension;
        r.Location = FolderOf(base, i);
        if (!only.empty() && i == kPictures / 2) {
            r.Enabled = true;
            r.FileName = only.substr(only.find_last_of('\\') + 1);
            r.Location = only.substr(0, only.find_last_of('\\'));
        }
        NormalizeRecord(r);
        records.push_back(std::move(r));
    }
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
        return std::tie(a.LCFilename, a.LCLocation) < std::tie(b.LCFilename, b.LCLocation);
    });
    table.Assign(std::move(records));
}

struct Figures {
    double perSearch = 0;  // ms
    size_t chosen = 0, passedOver = 0, traceLines = 0;
};

// The mean of `searches` searches from where the last one left the cursor,
// each with a probe batch of its own as the slideshow does, or with every
// file answered present from memory.
Figures Time(InventoryTable& table, const SlideOptions& options, bool realProbe, int searches) {
    InventoryCursor slides(table);
    UniformRandom random(12345u);
    SlideRandom draw = [&random](int n) { return random(n); };
    Figures f;
    const auto start = Clock::now();
    for (int i = 0; i < searches; ++i) {
        FileProbe::Batch batch;
        const SlideFileCheck check = [&](const std::string& path) {
            return realProbe ? batch.Probe(path) : FileProbe::State::Present;
        };
        SlideSelection s = SelectNextSlide(slides, options, check, draw);
        if (!s.path.empty()) ++f.chosen;
        f.passedOver = s.passedOver.size();
        f.traceLines = s.trace.size();
    }
    f.perSearch = Ms(start) / searches;
    return f;
}

}  // namespace

int main() {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "pictavo-slide-bench";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    std::printf("%d picture files in %s (made once, kept for the next run)\n", kPictures,
                folder.c_str());
    for (int i = 0; i < kPictures; ++i) {
        if (i % kPerFolder == 0) ::CreateDirectoryA(FolderOf(folder, i).c_str(), nullptr);
        // The same list as photographs: the random tries look for every file they draw.
        for (const char* extension : {".bmp", ".jpg"}) {
            const std::string path =
                FolderOf(folder, i) + "\\p" + std::to_string(i) + extension;
            if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
            HANDLE h =
                ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
        }
    }

    SlideOptions randomOrder;
    randomOrder.autoChange = false;
    randomOrder.maxPathLength = 256;
    SlideOptions listOrder = randomOrder;
    listOrder.random = false;

    InventoryTable eligible;
    Fill(eligible, folder, true);
    InventoryTable disabled;
    Fill(disabled, folder, false);
    InventoryTable unplugged;
    const std::string drive = UnmappedDrive();
    Fill(unplugged, drive + "\\Pictures", true);

    std::printf("\nchoosing the next slide among %d pictures (ms per search)\n", kPictures);
    std::printf("%-52s %12s %12s\n", "", "real probe", "from memory");
    auto row = [&](const char* what, InventoryTable& table, const SlideOptions& options,
                   int searches) {
        Figures real = Time(table, options, true, searches);
        Figures memory = Time(table, options, false, searches);
        std::printf("%-52s %12.4f %12.4f\n", what, real.perSearch, memory.perSearch);
        return real;
    };
    row("all eligible, random order", eligible, randomOrder, 2000);
    row("all eligible, list order", eligible, listOrder, 2000);
    row("all disabled, random: 500 tries + ordered pass", disabled, randomOrder, 3);
    row("all disabled, list order: one ordered pass", disabled, listOrder, 3);
    const Figures out = row("all on an unplugged drive, random", unplugged, randomOrder, 3);
    std::printf("  (unplugged: %zu pictures passed over and kept, %zu trace lines, %zu chosen)\n",
                out.passedOver, out.traceLines, out.chosen);

    // Photographs: the search is the same whatever the pictures are; what a
    // JPEG adds is its bitmap for the screen. The worst case is the longest
    // search (every picture but one disabled, random order) ending at a
    // 4,000 by 3,000 photograph, against that photograph's bitmap alone.
    {
        testing::ComApartment com;
        const std::string photo = folder + "\\photo.jpg";
        const std::string target = folder + "\\rendition.bmp";
        testing::WritePicture(photo, testing::PictureFormat::Jpeg, 4000, 3000,
                              [](int x, int y) { return std::uint32_t(x * 7 ^ y * 13) & 0xFFFFFF; });
        InventoryTable photos;
        Fill(photos, folder, false, ".jpg", photo);
        TPictureDecoder decoder;
        const PixelSize screen{static_cast<std::uint32_t>(::GetSystemMetrics(SM_CXSCREEN)),
                               static_cast<std::uint32_t>(::GetSystemMetrics(SM_CYSCREEN))};
        constexpr int kRuns = 3;
        std::vector<double> search, whole, floor;
        InventoryCursor slides(photos);
        UniformRandom random(54321u);
        SlideRandom draw = [&random](int n) { return random(n); };
        for (int i = 0; i < kRuns; ++i) {
            auto start = Clock::now();
            FileProbe::Batch batch;
            const SlideFileCheck check = [&](const std::string& path) { return batch.Probe(path); };
            SlideSelection s = SelectNextSlide(slides, randomOrder, check, draw);
            search.push_back(Ms(start));
            const RenderedBitmap made = decoder.RenderBitmapFile(s.path, screen, target);
            whole.push_back(Ms(start));
            if (FAILED(made.result)) std::printf("  the photograph was not rendered: 0x%08lx\n",
                                                 static_cast<unsigned long>(made.result));
            start = Clock::now();
            decoder.RenderBitmapFile(photo, screen, target);
            floor.push_back(Ms(start));
        }
        auto median = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        std::printf("\n100,000 JPEGs, all but one disabled, random order (median of %d, ms):\n"
                    "  search %.1f + bitmap for the screen = next slide %.1f;"
                    " the bitmap alone %.1f\n",
                    kRuns, median(search), median(whole), median(floor));
        ::DeleteFileA(target.c_str());
    }

    // What the slideshow then spends sending those lines with no viewer running.
    const auto start = Clock::now();
    for (int i = 0; i < 1000; ++i) SendTrace("bench", nullptr);
    std::printf("one trace line with no viewer: %.3f ms\n", Ms(start) / 1000);
    return 0;
}
