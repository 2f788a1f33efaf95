// libFuzzer target for what the decoder reads itself from a picture file's
// start: the Exif orientation and the size the header states. Besides "no
// crash, no sanitizer report": an orientation is always 1 to 8, and a stated
// size fitted to a screen never grows.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "imaging/PictureRules.h"

using namespace pictavo;

namespace {

void Require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "picture header check failed: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const int orientation = ExifOrientation(bytes);
    Require(orientation >= 1 && orientation <= 8, "orientation out of range");
    if (const auto stated = HeaderPixelSize(bytes)) {
        const PixelSize upright = OrientedSize(*stated, orientation);
        const PixelSize fitted = FitWithin(upright, PixelSize{1024, 768});
        Require(fitted.width <= upright.width && fitted.height <= upright.height, "fitting enlarged");
        if (upright.width && upright.height) {
            Require(fitted.width >= 1 && fitted.height >= 1, "fitted to nothing");
            Require(fitted.width <= 1024 && fitted.height <= 768, "fitted outside the box");
        }
    }
    return 0;
}
