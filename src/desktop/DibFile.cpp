#include "desktop/DibFile.h"

namespace pictavo {
namespace {

std::uint32_t U32(std::string_view b, size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t U16(std::string_view b, size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}
void Put32(std::string& b, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

constexpr std::uint32_t kRgb = 0, kBitFields = 3;

}  // namespace

std::uint64_t DibPixelBytes(std::int64_t width, std::int64_t height, unsigned bitsPerPixel) {
    if (width <= 0 || height == 0) return 0;
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    return stride * rows;
}

std::optional<std::string> BitmapFileFromDib(std::string_view dib) {
    if (dib.size() < 4) return std::nullopt;
    const std::uint32_t headerSize = U32(dib, 0);
    std::int64_t width = 0, height = 0;
    unsigned planes = 0, bits = 0;
    std::uint32_t compression = kRgb, coloursUsed = 0;
    std::uint64_t entrySize = 4;
    if (headerSize == 12) {  // the old core header: 16-bit sizes, three-byte colours
        if (dib.size() < 12) return std::nullopt;
        width = U16(dib, 4);
        height = U16(dib, 6);
        planes = U16(dib, 8);
        bits = U16(dib, 10);
        entrySize = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        if (dib.size() < headerSize) return std::nullopt;
        width = static_cast<std::int32_t>(U32(dib, 4));
        height = static_cast<std::int32_t>(U32(dib, 8));
        planes = U16(dib, 12);
        bits = U16(dib, 14);
        compression = U32(dib, 16);
        coloursUsed = U32(dib, 32);
    } else {
        return std::nullopt;
    }
    if (width <= 0 || height == 0 || planes != 1) return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;
    if (compression != kRgb && !(compression == kBitFields && (bits == 16 || bits == 32)))
        return std::nullopt;
    // Only the plain header is followed by its three masks; the larger ones hold them.
    const std::uint64_t maskBytes = (headerSize == 40 && compression == kBitFields) ? 12 : 0;
    const std::uint64_t fullTable = bits <= 8 ? (1u << bits) : 0;
    if (coloursUsed > (bits <= 8 ? fullTable : 256)) return std::nullopt;
    const std::uint64_t colours = coloursUsed ? coloursUsed : fullTable;
    const std::uint64_t pixels = DibPixelBytes(width, height, bits);
    if (pixels == 0 || pixels > kMaxDibPixelBytes) return std::nullopt;
    const std::uint64_t offset = headerSize + maskBytes + colours * entrySize;
    const std::uint64_t total = offset + pixels;
    if (total > dib.size()) return std::nullopt;

    std::string file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<std::uint32_t>(14 + total));
    Put32(file, 10, static_cast<std::uint32_t>(14 + offset));
    file.append(dib.substr(0, static_cast<size_t>(total)));
    // The pixel size stated, which the clipboard may leave at zero.
    if (headerSize >= 40) Put32(file, 14 + 20, static_cast<std::uint32_t>(pixels));
    return file;
}

}  // namespace pictavo
