#include "slideshow/SlideSelection.h"

#include <unordered_set>

namespace pictavo {
namespace {

const std::string kTrace = "FrmMain.GetNextSlideInfo: ";

class Search {
public:
    Search(InventoryCursor& slides, const SlideFileCheck& fileCheck)
        : slides_(slides), fileCheck_(fileCheck) {}

    SlideSelection result;

    // Whether the current record's file is there; a vanished one is deleted
    // (the cursor lands on the following record), an unreachable one kept.
    bool Present(const std::string& path) {
        const RecordId id = slides_.Id();
        switch (fileCheck_(path)) {
            case FileProbe::State::Present:
                return true;
            case FileProbe::State::Vanished:
                // The file system is the truth: the list follows it without a question.
                slides_.Delete();
                result.dropped.push_back(path);
                return false;
            case FileProbe::State::Unreachable:
                // Met again in the same search (random tries), it is told once.
                if (unreachable_.insert(id).second) {
                    result.passedOver.push_back(path);
                    if (result.passedOver.size() <= kTracedPassedOver)
                        result.trace.push_back(kTrace + "Passed over, not reachable: " + path);
                }
                return false;
        }
        return false;
    }

private:
    InventoryCursor& slides_;
    const SlideFileCheck& fileCheck_;
    std::unordered_set<RecordId> unreachable_;
};

}  // namespace

bool AcceptsTileMode(const SlideOptions& options, bool tile) {
    return options.showAll || (tile && options.showTiled) || (!tile && options.showCentred);
}

bool IsEligibleSlide(const SlideOptions& options, const InventoryRecord& record) {
    if (!record.Enabled || !AcceptsTileMode(options, record.Tile)) return false;
    if (options.limitSize &&
        static_cast<int64_t>(record.Size) > static_cast<int64_t>(options.maxSizeK) * 1000) {
        return false;
    }
    // The wallpaper call would refuse it, with a box on every tick.
    if (options.maxPathLength > 0 &&
        record.LCLocation.size() + 1 + record.LCFilename.size() > options.maxPathLength) {
        return false;
    }
    return true;
}

SlideSelection SelectNextSlide(InventoryCursor& slides, const SlideOptions& options,
                               const SlideFileCheck& fileCheck, const SlideRandom& random) {
    Search search(slides, fileCheck);
    SlideSelection& result = search.result;
    const InventoryTable& table = slides.Table();
    std::string candidate;

    if (options.random) {
        result.trace.push_back(kTrace + "Random Search " + std::to_string(table.Count()) +
                               " records");
        const std::string start = slides.HasRecord() ? FullPath(slides.Record()) : std::string();
        int attempt = 1;
        for (; attempt <= kRandomSlideTries; ++attempt) {
            const int records = static_cast<int>(table.Count());
            const int number = random(records) + 1;
            if (number < 1 || number > records) continue;
            slides.MoveTo(static_cast<size_t>(number - 1));
            std::string path = FullPath(slides.Record());
            if (!search.Present(path)) continue;
            // Never the picture the slideshow stands on.
            if (path == start) continue;
            if (IsEligibleSlide(options, slides.Record())) {
                candidate = std::move(path);
                break;
            }
        }
        result.trace.push_back(kTrace + std::to_string(attempt) + " tries of " +
                               std::to_string(kRandomSlideTries));
    }

    if (candidate.empty()) {
        result.trace.push_back(kTrace + "Sequential Search");
        bool wrapped = false;
        bool stay = false;  // the cursor already stands on the record to examine
        for (;;) {
            if (!stay) slides.Next();
            stay = false;
            if (!slides.HasRecord() || slides.Eof()) {
                if (wrapped || !slides.HasRecord()) break;
                slides.First();
                wrapped = true;
                stay = true;
                continue;
            }
            const InventoryRecord& record = slides.Record();
            // Disabled pictures are passed over before their file is looked
            // for, so an ordered pass over a large list stays quick.
            if (!record.Enabled) continue;
            std::string path = FullPath(record);
            const size_t count = table.Count();
            if (!search.Present(path)) {
                // Deleted, the cursor stands on the following record (past the
                // end when the last one went): examine it without moving on.
                stay = table.Count() < count;
                continue;
            }
            if (IsEligibleSlide(options, record)) {
                candidate = std::move(path);
                break;
            }
        }
    }

    if (result.passedOver.size() > kTracedPassedOver) {
        result.trace.push_back(kTrace + std::to_string(result.passedOver.size() - kTracedPassedOver) +
                               " more passed over, not reachable");
    }
    result.persist = options.saveEachChange;
    if (candidate.empty()) {
        result.giveUp = options.autoChange;
        return result;
    }
    result.recNo = slides.RecNo();
    result.tile = slides.Record().Tile;
    result.path = std::move(candidate);
    result.trace.push_back(kTrace + "Selected " + std::to_string(result.recNo) + " " +
                           result.path);
    return result;
}

}  // namespace pictavo
