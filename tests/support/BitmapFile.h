#pragma once
// Small bitmap files for tests and benchmarks to list, show and add.
#include <cstdint>
#include <functional>
#include <string>

namespace pictavo::testing {

// A 24-bit bitmap file, bottom-up as such files mostly are: `colour(x, y)`
// gives each pixel as 0xRRGGBB, y counted from the bottom row. Each row is
// padded with zeros to four bytes.
std::string Bitmap24(int width, int height,
                     const std::function<std::uint32_t(int x, int y)>& colour);

// The same, every pixel one colour.
std::string Bitmap24(int width, int height, std::uint32_t colour);

}  // namespace pictavo::testing
