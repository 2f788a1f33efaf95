#pragma once
// Choosing the next slide: random tries first, then list order, under the
// eligibility rules. Pictures whose files are gone leave the list on the way;
// pictures on a drive or share that does not answer stay and are passed over.
// No window and no control: the caller reads the settings into SlideOptions,
// and shows, traces and applies what the result says.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "inventory/InventoryTable.h"
#include "platform/FileProbe.h"

namespace pictavo {

struct SlideOptions {
    bool random = true;          // "&Random Order"
    bool autoChange = true;      // "&Enable Slideshow": running out of pictures is reported
    bool limitSize = false;      // "&Limit wallpaper size to:"
    int maxSizeK = 1500;         // that limit, in thousands of bytes
    bool showAll = true;         // " Show Only ": "&Doesn't Matter"
    bool showTiled = false;      // "&Tiled Images"
    bool showCentred = false;    // "Ce&ntered Images"
    bool saveEachChange = true;  // each slide persists
    // The longest path the wallpaper call takes; 0 for no limit.
    std::size_t maxPathLength = 0;
};

using SlideFileCheck = std::function<FileProbe::State(const std::string& path)>;
// A whole number from 0 to n - 1 (anything else makes the try fail).
using SlideRandom = std::function<int(int n)>;

struct SlideSelection {
    std::string path;  // empty when nothing was chosen
    bool tile = true;
    bool persist = true;
    std::size_t recNo = 0;                // the chosen record's number, 0 for none
    std::vector<std::string> dropped;     // deleted from the list: their files are gone
    std::vector<std::string> passedOver;  // kept: their drive or share did not answer
    // Nothing eligible with the slideshow on: "No images selected for slideshow!" applies.
    bool giveUp = false;
    std::vector<std::string> trace;  // in the order they arose
};

inline constexpr int kRandomSlideTries = 500;
// Pictures passed over as unreachable that get a trace line each; the rest are
// counted in one line, so an unplugged disk of a long list does not hold a
// search up with a line per picture.
inline constexpr std::size_t kTracedPassedOver = 10;

bool AcceptsTileMode(const SlideOptions& options, bool tile);
// Every rule but the file's presence: enabled, tile mode, size, path length.
bool IsEligibleSlide(const SlideOptions& options, const InventoryRecord& record);

// Walks the slideshow cursor to the next slide and leaves it there; deletes
// the records of vanished files through it.
SlideSelection SelectNextSlide(InventoryCursor& slides, const SlideOptions& options,
                               const SlideFileCheck& fileCheck, const SlideRandom& random);

// Uniform over the whole range: std::rand() % n never passes RAND_MAX
// (32,767 with MinGW), so most of a long list would never be drawn.
class UniformRandom {
public:
    explicit UniformRandom(std::uint32_t seed) : engine_(seed) {}
    int operator()(int n) {
        if (n <= 0) return 0;
        return std::uniform_int_distribution<int>(0, n - 1)(engine_);
    }

private:
    std::mt19937 engine_;
};

}  // namespace pictavo
