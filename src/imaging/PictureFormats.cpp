#include "imaging/PictureFormats.h"

#include <string>

#include "platform/Paths.h"

namespace pictavo {

namespace {

// The extension of the name's last part with its dot, in lower case; empty when none.
std::string Extension(std::string_view path) {
    const std::string name = ExtractFileName(path);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : LowerCase(std::string_view(name).substr(dot));
}

}  // namespace

bool IsPictureFileName(std::string_view path) {
    static constexpr std::string_view kExtensions[] = {".bmp", ".jpg", ".jpeg", ".jpe",
                                                       ".png", ".gif", ".tif",  ".tiff"};
    const std::string extension = Extension(path);
    for (std::string_view known : kExtensions) {
        if (extension == known) return true;
    }
    return false;
}

bool IsBitmapFileName(std::string_view path) { return Extension(path) == ".bmp"; }

}  // namespace pictavo
