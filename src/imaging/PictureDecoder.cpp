#include "imaging/PictureDecoder.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "platform/ComPtr.h"
#include "platform/Files.h"

namespace pictavo {

namespace {

// The one factory, shared by every decoder; single-threaded, as the program is.
ComPtr<IWICImagingFactory> g_factory;
int g_decoders = 0;

// Enough of the file's start for its header and a camera's Exif segment (at
// most 64 KB, after the small segments that may come first).
constexpr DWORD kFileStartBytes = 128 * 1024;

HRESULT LastErrorResult() {
    const DWORD code = ::GetLastError();
    return code ? HRESULT_FROM_WIN32(code) : E_FAIL;
}

HRESULT ReadFileStart(const std::string& path, std::string& start) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastErrorResult();
    start.resize(kFileStartBytes);
    DWORD read = 0;
    if (!::ReadFile(file.Get(), start.data(), kFileStartBytes, &read, nullptr)) {
        return LastErrorResult();
    }
    start.resize(read);
    return S_OK;
}

std::wstring Wide(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length) - 1);
    return wide;
}

// A failure told for what it is: a picture too large for the memory left as
// that, with its size when known.
HRESULT Failed(HRESULT result, PixelSize upright, const char* what, std::string& reason) {
    if (FAILED(result)) reason = ForWantOfMemory(result) ? NotEnoughMemoryText(upright) : what;
    return result;
}

// A picture larger than any decode may take: what would not fit is not tried.
HRESULT TooLarge(PixelSize upright, std::string& reason) {
    reason = NotEnoughMemoryText(upright);
    return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
}

// WIC's turns and flips for an Exif orientation, from the table the hand
// turning is tested against.
WICBitmapTransformOptions TransformFor(int orientation) {
    static constexpr WICBitmapTransformOptions kTurns[] = {
        WICBitmapTransformRotate0, WICBitmapTransformRotate90, WICBitmapTransformRotate180,
        WICBitmapTransformRotate270};
    if (orientation < 1 || orientation > 8) orientation = 1;
    const UprightTransform& transform = kUprightTransforms[orientation];
    int options = kTurns[transform.clockwiseQuarters % 4];
    if (transform.mirrorLeftRight) options |= WICBitmapTransformFlipHorizontal;
    if (transform.mirrorTopBottom) options |= WICBitmapTransformFlipVertical;
    return static_cast<WICBitmapTransformOptions>(options);
}

// Bytes of a row of `width` pixels, padded to four bytes as DIBs and bitmap files want.
UINT Stride(std::uint32_t width, unsigned bytesPerPixel) {
    return (width * bytesPerPixel + 3) & ~3u;
}

}  // namespace

// An opened picture and the chain of WIC sources that turns it into what is wanted.
struct TPictureDecoder::Source {
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapScaler> scaler;
    ComPtr<IWICFormatConverter> converter;
    IWICBitmapSource* last = nullptr;  // the end of the chain, owned by one of the above
    int orientation = 1;
    PixelSize stored;   // the frame's size as the file holds it
    PixelSize upright;  // the same, turned as the orientation says
    PixelSize fitted;   // the size wanted, upright
};

std::string DescribeHResult(HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08lX", static_cast<unsigned long>(result));
    struct Known {
        HRESULT result;
        const char* text;
    };
    static const Known kKnown[] = {
        {WINCODEC_ERR_COMPONENTNOTFOUND, "no codec for this kind of picture"},
        {WINCODEC_ERR_UNKNOWNIMAGEFORMAT, "not a picture of a known kind"},
        {WINCODEC_ERR_IMAGESIZEOUTOFRANGE, "picture too large"},
        {WINCODEC_ERR_BADIMAGE, "damaged picture"},
        {WINCODEC_ERR_BADHEADER, "damaged picture header"},
        {WINCODEC_ERR_FRAMEMISSING, "no frame in the picture"},
        {WINCODEC_ERR_STREAMREAD, "the file could not be read"},
        {REGDB_E_CLASSNOTREG, "the Windows Imaging Component is not installed"},
        {CO_E_NOTINITIALIZED, "COM is not initialised"},
    };
    std::string text;
    for (const Known& known : kKnown) {
        if (known.result == result) text = known.text;
    }
    if (text.empty()) {
        char* buffer = nullptr;
        const DWORD length = ::FormatMessageA(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
        if (length && buffer) {
            text.assign(buffer, length);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r' ||
                                     text.back() == ' ' || text.back() == '.')) {
                text.pop_back();
            }
        }
        if (buffer) ::LocalFree(buffer);
    }
    return text.empty() ? std::string(code) : std::string(code) + " (" + text + ")";
}

bool ForWantOfMemory(HRESULT result) {
    return result == E_OUTOFMEMORY || result == HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY) ||
           result == WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
}

TPictureDecoder::TPictureDecoder() { ++g_decoders; }

TPictureDecoder::~TPictureDecoder() {
    if (--g_decoders == 0) g_factory.Reset();
}

HRESULT TPictureDecoder::Open(const std::string& path, Source& source, std::string& reason) {
    if (!g_factory) {
        // The first version's class: the only one on Windows XP.
        const HRESULT made =
            ::CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IWICImagingFactory, g_factory.PutVoid());
        if (FAILED(made)) {
            reason = "no imaging component";
            return made;
        }
    }
    // The header's own statement of the size is checked before any codec
    // sees the file: some allocate the whole picture as they open it.
    std::string start;
    HRESULT hr = ReadFileStart(path, start);
    if (FAILED(hr)) {
        reason = "cannot be read";
        return hr;
    }
    source.orientation = ExifOrientation(start);
    // Known before any codec runs: some decode the whole picture as they
    // open it, and one too large for the memory left is told with its size.
    if (const auto stated = HeaderPixelSize(start)) {
        source.upright = OrientedSize(*stated, source.orientation);
        if (ExceedsDecodeCap(*stated)) return TooLarge(source.upright, reason);
    }

    hr = g_factory->CreateDecoderFromFilename(Wide(path).c_str(), nullptr, GENERIC_READ,
                                              WICDecodeMetadataCacheOnDemand,
                                              source.decoder.Put());
    if (SUCCEEDED(hr)) hr = source.decoder->GetFrame(0, source.frame.Put());
    if (FAILED(hr)) return Failed(hr, source.upright, "cannot be decoded", reason);
    UINT width = 0, height = 0;
    hr = source.frame->GetSize(&width, &height);
    if (FAILED(hr)) return Failed(hr, source.upright, "cannot be decoded", reason);
    source.stored = PixelSize{width, height};
    if (width == 0 || height == 0) {
        reason = "has no pixels";
        return WINCODEC_ERR_BADIMAGE;
    }
    source.upright = OrientedSize(source.stored, source.orientation);
    if (ExceedsDecodeCap(source.stored)) return TooLarge(source.upright, reason);
    source.last = source.frame.Get();
    return S_OK;
}

HRESULT TPictureDecoder::Prepare(Source& source, PixelSize box, FitRule fit, const GUID& format,
                                 std::string& reason) {
    source.fitted = fit(source.upright, box);
    // Scaled in the file's own orientation, before anything is turned: the
    // scaler then reads the frame straight from the codec, which may scale
    // as it decodes.
    const PixelSize scaled = OrientedSize(source.fitted, source.orientation);
    HRESULT hr = S_OK;
    if (scaled != source.stored) {
        hr = g_factory->CreateBitmapScaler(source.scaler.Put());
        if (SUCCEEDED(hr)) {
            hr = source.scaler->Initialize(source.last, scaled.width, scaled.height,
                                           WICBitmapInterpolationModeFant);
        }
        if (FAILED(hr)) return Failed(hr, source.upright, "cannot be scaled", reason);
        source.last = source.scaler.Get();
    }
    hr = g_factory->CreateFormatConverter(source.converter.Put());
    if (SUCCEEDED(hr)) {
        hr = source.converter->Initialize(source.last, format, WICBitmapDitherTypeNone, nullptr,
                                          0.0, WICBitmapPaletteTypeCustom);
    }
    if (FAILED(hr)) return Failed(hr, source.upright, "cannot be converted", reason);
    source.last = source.converter.Get();
    return S_OK;
}

HRESULT TPictureDecoder::CopyUpright(Source& source, unsigned bytesPerPixel, BYTE* buffer,
                                     UINT stride) {
    const PixelSize out = source.fitted;
    const UINT size = stride * out.height;
    if (source.orientation == 1) return source.last->CopyPixels(nullptr, stride, size, buffer);

    ComPtr<IWICBitmapFlipRotator> rotator;
    HRESULT hr = g_factory->CreateBitmapFlipRotator(rotator.Put());
    if (SUCCEEDED(hr)) hr = rotator->Initialize(source.last, TransformFor(source.orientation));
    if (SUCCEEDED(hr)) hr = rotator->CopyPixels(nullptr, stride, size, buffer);
    if (hr != E_NOTIMPL) return hr;

    // Wine's flip-rotator only flips top to bottom: the fitted picture is
    // small, so it is turned here, pixel by pixel, from a copy as stored.
    const PixelSize stored = OrientedSize(out, source.orientation);
    const UINT storedStride = Stride(stored.width, bytesPerPixel);
    std::vector<BYTE> pixels(static_cast<std::size_t>(storedStride) * stored.height);
    hr = source.last->CopyPixels(nullptr, storedStride, static_cast<UINT>(pixels.size()),
                                 pixels.data());
    if (FAILED(hr)) return hr;
    for (std::uint32_t y = 0; y < out.height; ++y) {
        BYTE* row = buffer + static_cast<std::size_t>(y) * stride;
        for (std::uint32_t x = 0; x < out.width; ++x) {
            const PixelPoint from = StoredPixel({x, y}, out, source.orientation);
            std::copy_n(&pixels[static_cast<std::size_t>(from.y) * storedStride +
                                static_cast<std::size_t>(from.x) * bytesPerPixel],
                        bytesPerPixel, row + static_cast<std::size_t>(x) * bytesPerPixel);
        }
    }
    return S_OK;
}

DecodedPicture TPictureDecoder::Decode(const std::string& path, PixelSize box, FitRule fit) {
    DecodedPicture picture;
    try {
        DecodeInto(picture, path, box, fit);
    } catch (const std::bad_alloc&) {
        picture.bitmap.Reset();
        picture.result = Failed(E_OUTOFMEMORY, picture.upright, "", picture.reason);
    }
    return picture;
}

void TPictureDecoder::DecodeInto(DecodedPicture& picture, const std::string& path, PixelSize box,
                                 FitRule fit) {
    Source source;
    picture.result = Open(path, source, picture.reason);
    picture.upright = source.upright;
    if (FAILED(picture.result)) return;
    picture.result = Prepare(source, box, fit, GUID_WICPixelFormat32bppBGR, picture.reason);
    if (FAILED(picture.result)) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(source.fitted.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(source.fitted.height);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) {
        picture.result = Failed(E_OUTOFMEMORY, source.upright, "", picture.reason);
        return;
    }
    picture.result = Failed(CopyUpright(source, 4, static_cast<BYTE*>(bits), source.fitted.width * 4),
                            source.upright, "cannot be decoded", picture.reason);
    if (FAILED(picture.result)) return;
    picture.bitmap = std::move(bitmap);
    picture.size = source.fitted;
}

RenderedBitmap TPictureDecoder::RenderBitmapFile(const std::string& path, PixelSize box,
                                                 const std::string& target) {
    RenderedBitmap rendered;
    try {
        RenderInto(rendered, path, box, target);
    } catch (const std::bad_alloc&) {
        rendered.size = PixelSize{};
        rendered.result = Failed(E_OUTOFMEMORY, rendered.upright, "", rendered.reason);
    }
    return rendered;
}

void TPictureDecoder::RenderInto(RenderedBitmap& rendered, const std::string& path, PixelSize box,
                                 const std::string& target) {
    Source source;
    rendered.result = Open(path, source, rendered.reason);
    rendered.upright = source.upright;
    if (FAILED(rendered.result)) return;
    // Converted to 32 bits, which every codec's pixels reach (Wine has no way
    // from an indexed GIF to 24 bits), then packed to 24 bits in place.
    rendered.result =
        Prepare(source, box, FitWithin, GUID_WICPixelFormat32bppBGR, rendered.reason);
    if (FAILED(rendered.result)) return;

    const PixelSize size = source.fitted;
    const UINT stride = Stride(size.width, 3);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    const std::size_t headers = sizeof(file) + sizeof(info);
    const std::size_t pixelBytes = static_cast<std::size_t>(stride) * size.height;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = static_cast<DWORD>(headers);
    file.bfSize = static_cast<DWORD>(headers + pixelBytes);
    info.biSize = sizeof(info);
    info.biWidth = static_cast<LONG>(size.width);
    info.biHeight = static_cast<LONG>(size.height);  // bottom-up, as every Windows reads it
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(pixelBytes);

    // The file is built in place: the rows are copied into it top-down at 32
    // bits, packed, then put in bitmap order, so no second copy of the
    // picture is held.
    const UINT wideStride = size.width * 4;
    const std::size_t widePixelBytes = static_cast<std::size_t>(wideStride) * size.height;
    std::string content(headers + widePixelBytes, '\0');
    std::copy_n(reinterpret_cast<const char*>(&file), sizeof(file), content.data());
    std::copy_n(reinterpret_cast<const char*>(&info), sizeof(info), content.data() + sizeof(file));
    BYTE* pixels = reinterpret_cast<BYTE*>(content.data() + headers);
    rendered.result = Failed(CopyUpright(source, 4, pixels, wideStride), source.upright,
                             "cannot be decoded", rendered.reason);
    if (FAILED(rendered.result)) return;
    // Each packed pixel lands at or before the one it comes from, and a row's
    // padding ends before the next row's first unread pixel.
    for (std::uint32_t y = 0; y < size.height; ++y) {
        BYTE* to = pixels + static_cast<std::size_t>(y) * stride;
        const BYTE* from = pixels + static_cast<std::size_t>(y) * wideStride;
        for (std::uint32_t x = 0; x < size.width; ++x) std::memmove(to + x * 3, from + x * 4, 3);
        std::fill(to + static_cast<std::size_t>(size.width) * 3, to + stride, BYTE{0});
    }
    content.resize(headers + pixelBytes);
    pixels = reinterpret_cast<BYTE*>(content.data() + headers);
    for (std::uint32_t top = 0, bottom = size.height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(pixels + static_cast<std::size_t>(top) * stride,
                         pixels + static_cast<std::size_t>(top + 1) * stride,
                         pixels + static_cast<std::size_t>(bottom) * stride);
    }
    // Nothing of the picture is needed any more while the file is written.
    source = Source{};
    try {
        WriteFileAtomically(target, content);
    } catch (const FileError& e) {
        rendered.result = HRESULT_FROM_WIN32(e.Code());
        rendered.reason = e.what();
        rendered.writeError = e.Code();
        return;
    }
    rendered.size = size;
}

std::optional<PixelSize> TPictureDecoder::UprightSize(const std::string& path) {
    try {
        Source source;
        std::string reason;
        if (FAILED(Open(path, source, reason))) return std::nullopt;
        return source.upright;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace pictavo
