#include "preview/PreviewRules.h"

#include <limits>

namespace pictavo {

int EnabledImageIndex(bool enabled, bool tooBig) {
    if (enabled) return tooBig ? kImageEnabledTooBig : kImageEnabled;
    return tooBig ? kImageDisabledTooBig : kImageDisabled;
}

int TileImageIndex(bool tile) { return tile ? kImageTiled : kImageCentred; }

bool OverPreviewLimit(std::int64_t size, bool limitOn, int limitThousands) {
    return limitOn && size > static_cast<std::int64_t>(limitThousands) * 1000;
}

std::string ClickToPreviewText(const std::string& fileName, std::int32_t size) {
    return "Click Here to Preview " + fileName + " (" + std::to_string(size / 1000) + "K)";
}

std::string UnableToPreviewText(const std::string& fileName) {
    return "Unable to preview " + fileName;
}

std::string NotEnoughMemoryToPreviewText(const std::string& fileName, PixelSize size) {
    return "Not enough memory to show " +
           (size.width && size.height ? PixelSizeText(size) : fileName);
}

std::string FormatSize(std::int64_t size) {
    const std::uint64_t magnitude =
        size < 0 ? 0 - static_cast<std::uint64_t>(size) : static_cast<std::uint64_t>(size);
    const std::string digits = std::to_string(magnitude);
    std::string out = size < 0 ? "-" : "";
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

PreviewKey DecodePreviewKey(unsigned virtualKey, bool shift, bool ctrl, bool alt) {
    const bool none = !shift && !ctrl && !alt;
    switch (virtualKey) {
        case keys::Return:
            if (alt && !ctrl && !shift) return PreviewKey::Properties;
            if (ctrl && !alt && !shift) return PreviewKey::SetWallpaper;
            return PreviewKey::None;
        case keys::Space:
            return none ? PreviewKey::NextSlide : PreviewKey::None;
        case keys::Delete:
            if (none) return PreviewKey::Remove;
            if (ctrl && !alt && !shift) return PreviewKey::DeleteFromDisk;
            return PreviewKey::None;
        case keys::F2:
            return none ? PreviewKey::MoveOrRename : PreviewKey::None;
        case keys::F3:
            return none ? PreviewKey::ToggleEnabled : PreviewKey::None;
        case keys::F4:
            return none ? PreviewKey::ToggleTile : PreviewKey::None;
        case keys::F11:
            return shift && ctrl && alt ? PreviewKey::ExportManager : PreviewKey::None;
    }
    return PreviewKey::None;
}

}  // namespace pictavo
