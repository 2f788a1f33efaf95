#pragma once
// A device-independent bitmap as the clipboard holds it (header, bit masks,
// colour table and pixels back to back) turned into a bitmap file. Pure byte
// work, so it also builds natively for the sanitizers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pictavo {

// Pixels beyond this many bytes are taken for a damaged header, not a picture
// (8192 by 8192 at 32 bits is 256 MiB).
inline constexpr std::uint64_t kMaxDibPixelBytes = 256ull << 20;

// Bytes of the pixel rows of an uncompressed bitmap, each row padded to four
// bytes; computed in 64 bits, so no width or height can wrap it. Zero for a
// width or height of zero.
std::uint64_t DibPixelBytes(std::int64_t width, std::int64_t height, unsigned bitsPerPixel);

// The bitmap file (a 14-byte file header, then the bitmap) for a packed
// bitmap of 1, 4, 8, 16, 24 or 32 bits, uncompressed or with bit fields,
// bottom-up or top-down. Nothing when the header is not one of those, its
// sizes are absurd, or the bytes end before the pixels do; bytes beyond the
// pixels (the clipboard rounds its blocks up) are not carried over.
std::optional<std::string> BitmapFileFromDib(std::string_view dib);

}  // namespace pictavo
