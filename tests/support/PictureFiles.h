#pragma once
// Picture files of every kind the program takes, made with the Windows
// Imaging Component's own encoders, for tests and benchmarks. Each call
// initialises COM on its thread for its own time if it is not already.
#include <cstdint>
#include <functional>
#include <string>

namespace pictavo::testing {

enum class PictureFormat { Bmp, Jpeg, Png, Gif, Tiff };

// `colour(x, y)` gives each pixel as 0xRRGGBB, y counted from the top row.
using PixelColour = std::function<std::uint32_t(int x, int y)>;

// The file's content. A GIF holds at most 256 colours: the first 256
// different ones are kept and later ones take the nearest of those.
// Throws std::runtime_error when WIC cannot encode.
std::string EncodePicture(PictureFormat format, int width, int height, const PixelColour& colour);
std::string EncodePicture(PictureFormat format, int width, int height, std::uint32_t colour);

void WritePicture(const std::string& path, PictureFormat format, int width, int height,
                  const PixelColour& colour);
void WritePicture(const std::string& path, PictureFormat format, int width, int height,
                  std::uint32_t colour);

// A JPEG as its file stores it (`colour` over the stored pixels), with an
// Exif segment after the start-of-image marker whose orientation tag says
// how it is to be turned for showing: 1 to 8, or any other number as it is.
std::string WithExifOrientation(const std::string& jpeg, int orientation);
void WriteJpegWithOrientation(const std::string& path, int width, int height,
                              const PixelColour& colour, int orientation);

// A JPEG whose header is sound and whose rest is not a picture.
std::string CorruptJpeg();
void WriteCorruptJpeg(const std::string& path);

// A PNG whose header states width x height and whose data is a few bytes:
// what a huge picture looks like to anything that reads its header.
std::string HugePng(std::uint32_t width, std::uint32_t height);

// Colours compare within a tolerance per channel (JPEG is lossy).
bool NearColour(std::uint32_t a, std::uint32_t b, int tolerance);

}  // namespace pictavo::testing
