#include "imaging/PictureRules.h"

#include <algorithm>
#include <functional>

namespace pictavo {

PixelSize FitWithin(PixelSize picture, PixelSize box) {
    if (picture.width == 0 || picture.height == 0) return picture;
    const std::uint64_t w = picture.width, h = picture.height;
    // An unlimited side is as large as the picture's own.
    const std::uint64_t bw = box.width ? box.width : w;
    const std::uint64_t bh = box.height ? box.height : h;
    if (w <= bw && h <= bh) return picture;
    std::uint64_t fw, fh;
    if (w * bh > h * bw) {  // wider than the box: its width limits
        fw = bw;
        fh = (h * bw + w / 2) / w;
    } else {
        fh = bh;
        fw = (w * bh + h / 2) / h;
    }
    return PixelSize{static_cast<std::uint32_t>(std::max<std::uint64_t>(fw, 1)),
                     static_cast<std::uint32_t>(std::max<std::uint64_t>(fh, 1))};
}

PixelSize ClampWithin(PixelSize picture, PixelSize box) {
    return PixelSize{box.width ? std::min(picture.width, box.width) : picture.width,
                     box.height ? std::min(picture.height, box.height) : picture.height};
}

bool ExceedsDecodeCap(PixelSize size) {
    return static_cast<std::uint64_t>(size.width) * size.height > kMaxDecodePixels;
}

std::string PixelSizeText(PixelSize size) {
    return std::to_string(size.width) + " by " + std::to_string(size.height) + " pixels";
}

std::string NotEnoughMemoryText(PixelSize size) {
    const std::string text = "there is not enough memory to show the picture";
    if (size.width == 0 || size.height == 0) return text;
    return text + " (" + PixelSizeText(size) + ")";
}

PixelSize OrientedSize(PixelSize stored, int orientation) {
    if (orientation >= 5 && orientation <= 8) return PixelSize{stored.height, stored.width};
    return stored;
}

PixelPoint StoredPixel(PixelPoint p, PixelSize u, int orientation) {
    const std::uint32_t rx = u.width - 1 - p.x, ry = u.height - 1 - p.y;
    switch (orientation) {
        case 2: return {rx, p.y};     // mirrored left to right
        case 3: return {rx, ry};      // turned half round
        case 4: return {p.x, ry};     // mirrored top to bottom
        case 5: return {p.y, p.x};    // mirrored along the main diagonal
        case 6: return {p.y, rx};     // to be turned a quarter clockwise
        case 7: return {ry, rx};      // mirrored along the other diagonal
        case 8: return {ry, p.x};     // to be turned a quarter anticlockwise
        default: return p;
    }
}

namespace {

// Bounds-checked reads; each returns false instead of reading past the end.
struct Bytes {
    std::string_view data;
    bool bigEndian = true;

    bool Has(std::size_t at, std::size_t count) const {
        return at <= data.size() && count <= data.size() - at;
    }
    std::uint32_t Byte(std::size_t at) const { return static_cast<unsigned char>(data[at]); }
    bool U16(std::size_t at, std::uint32_t& value) const {
        if (!Has(at, 2)) return false;
        value = bigEndian ? (Byte(at) << 8 | Byte(at + 1)) : (Byte(at + 1) << 8 | Byte(at));
        return true;
    }
    bool U32(std::size_t at, std::uint32_t& value) const {
        std::uint32_t a = 0, b = 0;
        if (!U16(at, a) || !U16(at + 2, b)) return false;
        value = bigEndian ? (a << 16 | b) : (b << 16 | a);
        return true;
    }
};

// Walks the marker segments of a JPEG up to its scan data. `visit` gets each
// segment's marker and its payload (after the length, cut at the data's
// end) and returns true to stop. False when the data is no JPEG.
bool WalkJpegSegments(std::string_view data,
                      const std::function<bool(unsigned marker, std::string_view payload)>& visit) {
    const Bytes bytes{data};
    if (!bytes.Has(0, 2) || bytes.Byte(0) != 0xFF || bytes.Byte(1) != 0xD8) return false;
    std::size_t at = 2;
    while (bytes.Has(at, 2)) {
        if (bytes.Byte(at) != 0xFF) return true;  // lost in the stream: stop looking
        const unsigned marker = bytes.Byte(at + 1);
        if (marker == 0xFF) {  // fill byte before a marker
            ++at;
            continue;
        }
        at += 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
        if (marker == 0xD9 || marker == 0xDA) return true;  // end of image, start of scan
        std::uint32_t length = 0;
        if (!bytes.U16(at, length) || length < 2) return true;
        const std::size_t payloadAt = at + 2;
        const std::size_t payloadSize = std::min<std::size_t>(length - 2, data.size() - payloadAt);
        if (visit(marker, data.substr(payloadAt, payloadSize))) return true;
        at += length;
    }
    return true;
}

// The orientation tag of the first directory of a TIFF structure.
int TiffOrientation(std::string_view tiff) {
    Bytes bytes{tiff};
    if (!bytes.Has(0, 8)) return 1;
    if (tiff.substr(0, 4) == std::string_view("II*\0", 4)) {
        bytes.bigEndian = false;
    } else if (tiff.substr(0, 4) != std::string_view("MM\0*", 4)) {
        return 1;
    }
    std::uint32_t directory = 0, count = 0;
    if (!bytes.U32(4, directory) || !bytes.U16(directory, count)) return 1;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = static_cast<std::size_t>(directory) + 2 + 12 * std::size_t{i};
        std::uint32_t tag = 0, type = 0, values = 0, value = 0;
        if (!bytes.U16(entry, tag) || !bytes.U16(entry + 2, type) ||
            !bytes.U32(entry + 4, values) || !bytes.U16(entry + 8, value)) {
            return 1;
        }
        if (tag != 0x0112) continue;
        // A SHORT held in the entry itself, left-justified in either byte order.
        if (type != 3 || values < 1 || value < 1 || value > 8) return 1;
        return static_cast<int>(value);
    }
    return 1;
}

}  // namespace

int ExifOrientation(std::string_view fileStart) {
    static constexpr std::string_view kExif("Exif\0\0", 6);
    int orientation = 1;
    WalkJpegSegments(fileStart, [&](unsigned marker, std::string_view payload) {
        if (marker != 0xE1 || payload.substr(0, kExif.size()) != kExif) return false;
        orientation = TiffOrientation(payload.substr(kExif.size()));
        return true;  // the first Exif segment is the one cameras write
    });
    return orientation;
}

std::optional<PixelSize> HeaderPixelSize(std::string_view data) {
    Bytes bytes{data};
    std::uint32_t a = 0, b = 0;
    static constexpr std::string_view kPng("\x89PNG\r\n\x1A\n", 8);
    if (data.substr(0, 8) == kPng) {
        // The first chunk is IHDR: width and height, big-endian.
        if (!bytes.Has(12, 4) || data.substr(12, 4) != "IHDR" || !bytes.U32(16, a) || !bytes.U32(20, b)) return {};
        return PixelSize{a, b};
    }
    if (data.substr(0, 6) == "GIF87a" || data.substr(0, 6) == "GIF89a") {
        // The logical screen; a frame may not lie outside it.
        bytes.bigEndian = false;
        if (!bytes.U16(6, a) || !bytes.U16(8, b)) return {};
        return PixelSize{a, b};
    }
    if (data.substr(0, 2) == "BM") {
        bytes.bigEndian = false;
        std::uint32_t headerSize = 0;
        if (!bytes.U32(14, headerSize)) return {};
        if (headerSize == 12) {  // the old OS/2 header: 16-bit sides
            if (!bytes.U16(18, a) || !bytes.U16(20, b)) return {};
            return PixelSize{a, b};
        }
        if (!bytes.U32(18, a) || !bytes.U32(22, b)) return {};
        // Signed sides; a negative height is a top-down bitmap.
        const auto width = static_cast<std::int32_t>(a), height = static_cast<std::int32_t>(b);
        if (width < 0 || height == INT32_MIN) return {};
        return PixelSize{static_cast<std::uint32_t>(width),
                         static_cast<std::uint32_t>(height < 0 ? -height : height)};
    }
    std::optional<PixelSize> found;
    WalkJpegSegments(data, [&](unsigned marker, std::string_view payload) {
        // Start of frame: every SOFn but DHT (C4), JPG (C8) and DAC (CC).
        if (marker < 0xC0 || marker > 0xCF || marker == 0xC4 || marker == 0xC8 ||
            marker == 0xCC) {
            return false;
        }
        const Bytes frame{payload};
        std::uint32_t height = 0, width = 0;
        if (frame.U16(1, height) && frame.U16(3, width)) found = PixelSize{width, height};
        return true;
    });
    return found;
}

}  // namespace pictavo
