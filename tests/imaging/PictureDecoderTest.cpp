// The decoder on the real Windows Imaging Component of the test prefix: each
// kind of picture, upright, fitted, written as a bitmap file, refused when
// huge, and failing with its HRESULT when it cannot be read.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <wincodec.h>

#include <cstring>
#include <memory>

#include "imaging/PictureDecoder.h"
#include "platform/Files.h"
#include "support/AllocationLimit.h"
#include "support/BitmapFile.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"

namespace pictavo {
namespace {

using testing::PictureFormat;

constexpr std::uint32_t kRed = 0xE02020, kGreen = 0x20C040, kBlue = 0x2040E0, kWhite = 0xF0F0F0;

// Four quadrants as stored: red, green above; blue, white below.
std::uint32_t Quadrants(int x, int y, int width, int height) {
    const bool right = x >= width / 2, bottom = y >= height / 2;
    return bottom ? (right ? kWhite : kBlue) : (right ? kGreen : kRed);
}

class PictureDecoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        decoder = std::make_unique<TPictureDecoder>();
    }
    void TearDown() override {
        decoder.reset();
        ::CoUninitialize();
    }

    // 0xRRGGBB of a pixel of a decoded top-down 32-bit bitmap.
    static std::uint32_t Pixel(const DecodedPicture& picture, std::uint32_t x, std::uint32_t y) {
        DIBSECTION section{};
        ::GetObjectA(picture.Bitmap(), sizeof(section), &section);
        const auto* bits = static_cast<const BYTE*>(section.dsBm.bmBits);
        const BYTE* p = bits + static_cast<std::size_t>(y) * section.dsBm.bmWidthBytes + x * 4;
        return static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
    }

    testing::TempDir dir;
    std::unique_ptr<TPictureDecoder> decoder;
};

TEST_F(PictureDecoderTest, EachKindDecodesAtItsSizeWithItsColours) {
    struct Case {
        PictureFormat format;
        const char* name;
        int tolerance;
    } cases[] = {{PictureFormat::Bmp, "a.bmp", 0},   {PictureFormat::Jpeg, "a.jpg", 24},
                 {PictureFormat::Png, "a.png", 0},   {PictureFormat::Gif, "a.gif", 0},
                 {PictureFormat::Tiff, "a.tif", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / c.name;
        testing::WritePicture(path, c.format, 48, 32,
                              [](int x, int y) { return x < 24 ? kRed : kBlue; });
        const DecodedPicture picture = decoder->Decode(path, PixelSize{});
        ASSERT_TRUE(picture.Succeeded()) << DescribeHResult(picture.result) << " " << picture.reason;
        EXPECT_EQ(picture.size, (PixelSize{48, 32}));
        EXPECT_EQ(picture.upright, (PixelSize{48, 32}));
        EXPECT_TRUE(testing::NearColour(Pixel(picture, 4, 4), kRed, c.tolerance)) << std::hex << Pixel(picture, 4, 4);
        EXPECT_TRUE(testing::NearColour(Pixel(picture, 43, 27), kBlue, c.tolerance)) << std::hex << Pixel(picture, 43, 27);
        EXPECT_EQ(decoder->UprightSize(path), (PixelSize{48, 32}));
    }
}

TEST_F(PictureDecoderTest, APictureIsFittedWithinTheBoxButNeverEnlarged) {
    const std::string path = dir / "wide.png";
    testing::WritePicture(path, PictureFormat::Png, 400, 200, kGreen);
    struct Case {
        PixelSize box, expected;
    } cases[] = {{{100, 100}, {100, 50}}, {{1000, 1000}, {400, 200}}, {{0, 0}, {400, 200}},
                 {{400, 20}, {40, 20}}};
    for (const Case& c : cases) {
        const DecodedPicture picture = decoder->Decode(path, c.box);
        ASSERT_TRUE(picture.Succeeded());
        EXPECT_EQ(picture.size, c.expected) << c.box.width << "x" << c.box.height;
        EXPECT_EQ(picture.upright, (PixelSize{400, 200}));
        EXPECT_TRUE(testing::NearColour(Pixel(picture, picture.size.width / 2, picture.size.height / 2), kGreen, 2));
    }
}

TEST_F(PictureDecoderTest, AJpegComesOutUprightAsItsExifOrientationSays) {
    // The upright picture's top-left and top-right corners for each
    // orientation, from the quadrants as stored (red, green / blue, white).
    struct Case {
        int orientation;
        std::uint32_t topLeft, topRight;
    } cases[] = {{1, kRed, kGreen},  {2, kGreen, kRed},  {3, kWhite, kBlue}, {4, kBlue, kWhite},
                 {5, kRed, kBlue},   {6, kBlue, kRed},   {7, kWhite, kGreen}, {8, kGreen, kWhite},
                 {9, kRed, kGreen}};  // out of range: as stored
    for (const Case& c : cases) {
        SCOPED_TRACE("orientation " + std::to_string(c.orientation));
        const std::string path = dir / ("turned" + std::to_string(c.orientation) + ".jpg");
        testing::WriteJpegWithOrientation(
            path, 64, 32, [](int x, int y) { return Quadrants(x, y, 64, 32); }, c.orientation);
        const bool quarter = c.orientation >= 5 && c.orientation <= 8;
        const PixelSize upright = quarter ? PixelSize{32, 64} : PixelSize{64, 32};
        // Full size, and fitted: the turn comes after the scaler.
        for (const PixelSize box : {PixelSize{}, PixelSize{16, 16}}) {
            const DecodedPicture picture = decoder->Decode(path, box);
            ASSERT_TRUE(picture.Succeeded()) << DescribeHResult(picture.result);
            EXPECT_EQ(picture.upright, upright);
            EXPECT_EQ(picture.size, FitWithin(upright, box));
            const std::uint32_t right = picture.size.width - 2;
            EXPECT_TRUE(testing::NearColour(Pixel(picture, 1, 1), c.topLeft, 40))
                << std::hex << Pixel(picture, 1, 1);
            EXPECT_TRUE(testing::NearColour(Pixel(picture, right, 1), c.topRight, 40))
                << std::hex << Pixel(picture, right, 1);
        }
        EXPECT_EQ(decoder->UprightSize(path), upright);
    }
}

TEST_F(PictureDecoderTest, ABitmapFileIsWrittenUprightFittedAnd24Bit) {
    const std::string path = dir / "photo.jpg";
    testing::WriteJpegWithOrientation(
        path, 64, 32, [](int x, int y) { return Quadrants(x, y, 64, 32); }, 6);
    const std::string target = dir / "rendition.bmp";
    const RenderedBitmap rendered = decoder->RenderBitmapFile(path, PixelSize{20, 20}, target);
    ASSERT_TRUE(rendered.Succeeded()) << DescribeHResult(rendered.result) << " " << rendered.reason;
    EXPECT_EQ(rendered.size, (PixelSize{10, 20}));
    EXPECT_EQ(rendered.upright, (PixelSize{32, 64}));

    const std::string file = dir.Read("rendition.bmp");
    BITMAPFILEHEADER header{};
    BITMAPINFOHEADER info{};
    ASSERT_GE(file.size(), sizeof(header) + sizeof(info));
    std::memcpy(&header, file.data(), sizeof(header));
    std::memcpy(&info, file.data() + sizeof(header), sizeof(info));
    EXPECT_EQ(header.bfType, 0x4D42);
    EXPECT_EQ(header.bfSize, file.size());
    EXPECT_EQ(info.biWidth, 10);
    EXPECT_EQ(info.biHeight, 20);  // bottom-up
    EXPECT_EQ(info.biBitCount, 24);
    const std::size_t stride = (10 * 3 + 3) & ~3u;
    ASSERT_EQ(file.size(), header.bfOffBits + stride * 20);
    auto pixel = [&](int x, int yFromTop) {
        const auto* p = reinterpret_cast<const BYTE*>(file.data() + header.bfOffBits +
                                                      (19 - yFromTop) * stride + x * 3);
        return static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
    };
    // Turned a quarter clockwise: blue at the top left, white at the bottom right.
    EXPECT_TRUE(testing::NearColour(pixel(1, 1), kBlue, 40)) << std::hex << pixel(1, 1);
    EXPECT_TRUE(testing::NearColour(pixel(8, 18), kGreen, 40)) << std::hex << pixel(8, 18);

    // A picture that cannot be read leaves the earlier file as it was.
    const std::string corrupt = dir / "corrupt.jpg";
    testing::WriteCorruptJpeg(corrupt);
    EXPECT_FALSE(decoder->RenderBitmapFile(corrupt, PixelSize{20, 20}, target).Succeeded());
    EXPECT_EQ(dir.Read("rendition.bmp"), file);
}

// The wallpaper's bitmap is made from every kind the list takes; an indexed
// GIF has no direct conversion to 24 bits in every imaging component.
TEST_F(PictureDecoderTest, EachKindIsWrittenAsABitmapFileWithItsColours) {
    struct Case {
        PictureFormat format;
        const char* name;
        int tolerance;
    } cases[] = {{PictureFormat::Bmp, "b.bmp", 0},   {PictureFormat::Jpeg, "b.jpg", 24},
                 {PictureFormat::Png, "b.png", 0},   {PictureFormat::Gif, "b.gif", 0},
                 {PictureFormat::Tiff, "b.tif", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / c.name;
        testing::WritePicture(path, c.format, 45, 30,
                              [](int x, int) { return x < 22 ? kRed : kBlue; });
        const std::string target = dir / "kind.bmp";
        const RenderedBitmap rendered = decoder->RenderBitmapFile(path, PixelSize{}, target);
        ASSERT_TRUE(rendered.Succeeded()) << DescribeHResult(rendered.result) << " " << rendered.reason;
        const std::string file = dir.Read("kind.bmp");
        BITMAPFILEHEADER header{};
        BITMAPINFOHEADER info{};
        ASSERT_GE(file.size(), sizeof(header) + sizeof(info));
        std::memcpy(&header, file.data(), sizeof(header));
        std::memcpy(&info, file.data() + sizeof(header), sizeof(info));
        EXPECT_EQ(info.biWidth, 45);
        EXPECT_EQ(info.biHeight, 30);
        EXPECT_EQ(info.biBitCount, 24);
        const std::size_t stride = (45 * 3 + 3) & ~3u;
        ASSERT_EQ(file.size(), header.bfOffBits + stride * 30);
        auto pixel = [&](int x, int yFromTop) {
            const auto* p = reinterpret_cast<const BYTE*>(file.data() + header.bfOffBits +
                                                          (29 - yFromTop) * stride + x * 3);
            return static_cast<std::uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
        };
        EXPECT_TRUE(testing::NearColour(pixel(2, 2), kRed, c.tolerance)) << std::hex << pixel(2, 2);
        EXPECT_TRUE(testing::NearColour(pixel(44, 29), kBlue, c.tolerance)) << std::hex << pixel(44, 29);
        // The padding at the end of each row is zero, as a bitmap file's should be.
        EXPECT_EQ(file.substr(header.bfOffBits + 45 * 3, stride - 45 * 3), std::string(stride - 45 * 3, '\0'));
    }
}

TEST_F(PictureDecoderTest, AHugePictureIsRefusedBeforeAnythingLargeIsAllocated) {
    const std::string path = dir.Write("huge.png", testing::HugePng(20000, 20000));
    PROCESS_MEMORY_COUNTERS before{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof(before));
    const DecodedPicture picture = decoder->Decode(path, PixelSize{800, 600});
    const RenderedBitmap rendered =
        decoder->RenderBitmapFile(path, PixelSize{800, 600}, dir / "rendition.bmp");
    PROCESS_MEMORY_COUNTERS after{};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof(after));

    EXPECT_EQ(picture.result, WINCODEC_ERR_IMAGESIZEOUTOFRANGE);
    EXPECT_FALSE(picture.bitmap.Valid());
    EXPECT_FALSE(picture.reason.empty());
    EXPECT_EQ(rendered.result, WINCODEC_ERR_IMAGESIZEOUTOFRANGE);
    EXPECT_FALSE(dir.Exists("rendition.bmp"));
    EXPECT_FALSE(decoder->UprightSize(path).has_value());
    EXPECT_LT(after.PeakPagefileUsage - before.PeakPagefileUsage, 64u << 20);
    // A picture just inside the cap passes the same check.
    EXPECT_FALSE(ExceedsDecodeCap(PixelSize{8688, 5792}));
}

// A picture too large for the memory left is told as such, with its size,
// and never escapes as an exception: whether the program's own buffer could
// not be had (a crowded 32-bit process has no block of that size left) or
// its header states more than memory can hold.
TEST_F(PictureDecoderTest, APictureTooLargeForTheMemoryLeftIsToldSoWithItsSize) {
    // A camera's photo, turned upright as its Exif says, wanted at full size.
    const std::string photo = dir.Write(
        "photo.jpg", testing::WithExifOrientation(
                         testing::EncodePicture(PictureFormat::Jpeg, 3000, 2000, kBlue), 6));
    const std::string target = dir / "rendition.bmp";
    DecodedPicture decoded;
    RenderedBitmap rendered;
    {
        testing::LargeAllocationsFail crowded(16u << 20);  // the picture needs 24 MB at 32 bits
        EXPECT_NO_THROW(decoded = decoder->Decode(photo, PixelSize{}));
        EXPECT_NO_THROW(rendered = decoder->RenderBitmapFile(photo, PixelSize{}, target));
    }
    const std::string told = NotEnoughMemoryText(PixelSize{2000, 3000});
    EXPECT_TRUE(ForWantOfMemory(decoded.result)) << DescribeHResult(decoded.result);
    EXPECT_EQ(decoded.reason, told);
    EXPECT_FALSE(decoded.bitmap.Valid());
    EXPECT_TRUE(ForWantOfMemory(rendered.result)) << DescribeHResult(rendered.result);
    EXPECT_EQ(rendered.reason, told);
    EXPECT_EQ(rendered.writeError, 0u);
    EXPECT_FALSE(dir.Exists("rendition.bmp"));
    // With the memory back, the same picture is shown.
    EXPECT_TRUE(decoder->Decode(photo, PixelSize{300, 300}).Succeeded());

    // Headers that state 40,000 by 40,000 pixels: 6.4 GB at 32 bits.
    std::string bitmap = testing::Bitmap24(2, 2, kRed);
    for (std::size_t at : {18u, 22u}) std::memcpy(&bitmap[at], "\x40\x9C\0\0", 4);
    for (const std::string& huge :
         {dir.Write("huge.png", testing::HugePng(40000, 40000)), dir.Write("huge.bmp", bitmap)}) {
        SCOPED_TRACE(huge);
        const DecodedPicture picture = decoder->Decode(huge, PixelSize{800, 600});
        EXPECT_TRUE(ForWantOfMemory(picture.result)) << DescribeHResult(picture.result);
        EXPECT_EQ(picture.upright, (PixelSize{40000, 40000}));
        EXPECT_EQ(picture.reason, NotEnoughMemoryText(PixelSize{40000, 40000}));
        const RenderedBitmap bitmapFile = decoder->RenderBitmapFile(huge, PixelSize{}, target);
        EXPECT_TRUE(ForWantOfMemory(bitmapFile.result));
        EXPECT_EQ(bitmapFile.reason, NotEnoughMemoryText(PixelSize{40000, 40000}));
    }
}

TEST_F(PictureDecoderTest, PicturesThatCannotBeReadFailWithTheirHResult) {
    const std::string corrupt = dir / "corrupt.jpg";
    testing::WriteCorruptJpeg(corrupt);
    const std::string text = dir.Write("text.png", "not a picture at all");
    const std::string missing = dir / "missing.jpg";
    for (const std::string& path : {corrupt, text, missing}) {
        SCOPED_TRACE(path);
        const DecodedPicture picture = decoder->Decode(path, PixelSize{100, 100});
        EXPECT_TRUE(FAILED(picture.result));
        EXPECT_FALSE(picture.bitmap.Valid());
        EXPECT_FALSE(picture.reason.empty());
        EXPECT_FALSE(decoder->UprightSize(path).has_value());
        const RenderedBitmap rendered = decoder->RenderBitmapFile(path, PixelSize{}, dir / "r.bmp");
        EXPECT_TRUE(FAILED(rendered.result));
        EXPECT_EQ(rendered.writeError, 0u);  // the picture, not the bitmap, is at fault
    }
    EXPECT_EQ(decoder->Decode(missing, PixelSize{}).result, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));

    // A picture another program holds open for itself alone.
    const std::string locked = dir / "locked.png";
    testing::WritePicture(locked, PictureFormat::Png, 8, 8, kRed);
    HANDLE hold = ::CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    const DecodedPicture held = decoder->Decode(locked, PixelSize{});
    ::CloseHandle(hold);
    EXPECT_EQ(held.result, HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(decoder->Decode(locked, PixelSize{}).Succeeded());
}

// A picture that was read, whose bitmap could not be written: a full volume,
// a read-only file where the bitmap goes. The earlier bitmap stays.
TEST_F(PictureDecoderTest, ABitmapThatCannotBeWrittenFailsWithTheSystemsReason) {
    const std::string path = dir / "photo.png";
    testing::WritePicture(path, PictureFormat::Png, 40, 30, kRed);
    const std::string target = dir.Write("rendition.bmp", "the earlier bitmap");
    {
        DiskFullAfterForTesting full(1000);
        const RenderedBitmap rendered = decoder->RenderBitmapFile(path, PixelSize{}, target);
        EXPECT_EQ(rendered.result, HRESULT_FROM_WIN32(ERROR_DISK_FULL));
        EXPECT_EQ(rendered.writeError, static_cast<DWORD>(ERROR_DISK_FULL));
    }
    ASSERT_TRUE(::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const RenderedBitmap rendered = decoder->RenderBitmapFile(path, PixelSize{}, target);
    ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(rendered.writeError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(dir.Read("rendition.bmp"), "the earlier bitmap");
}

TEST(DescribeHResult, NamesTheCodeAndWhatItMeans) {
    EXPECT_EQ(DescribeHResult(WINCODEC_ERR_COMPONENTNOTFOUND),
              "0x88982F50 (no codec for this kind of picture)");
    const std::string notFound = DescribeHResult(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(notFound.rfind("0x80070002 (", 0), 0u) << notFound;
    EXPECT_EQ(DescribeHResult(static_cast<HRESULT>(0xA0001234)).substr(0, 10), "0xA0001234");
}

}  // namespace
}  // namespace pictavo
