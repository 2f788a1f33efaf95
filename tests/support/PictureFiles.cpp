#include "support/PictureFiles.h"

#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/ComPtr.h"

namespace pictavo::testing {

namespace {

// COM for the call's time; balanced whether or not the thread had it.
class ComScope {
public:
    ComScope() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }

private:
    HRESULT result_;
};

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) {
        char code[16];
        std::snprintf(code, sizeof(code), "0x%08lX", static_cast<unsigned long>(hr));
        throw std::runtime_error(std::string("Encoding a test picture: ") + what + " failed, " + code);
    }
}

const GUID& Container(PictureFormat format) {
    switch (format) {
        case PictureFormat::Bmp: return GUID_ContainerFormatBmp;
        case PictureFormat::Jpeg: return GUID_ContainerFormatJpeg;
        case PictureFormat::Png: return GUID_ContainerFormatPng;
        case PictureFormat::Gif: return GUID_ContainerFormatGif;
        case PictureFormat::Tiff: return GUID_ContainerFormatTiff;
    }
    return GUID_ContainerFormatBmp;
}

int Distance(std::uint32_t a, std::uint32_t b) {
    int total = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        total += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    }
    return total;
}

void WriteBytes(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("Cannot write the test picture " + path);
}

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

std::string BigEndian32(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string PngChunk(const std::string& type, const std::string& data) {
    return BigEndian32(static_cast<std::uint32_t>(data.size())) + type + data +
           BigEndian32(Crc32(type + data));
}

}  // namespace

std::string EncodePicture(PictureFormat format, int width, int height, const PixelColour& colour) {
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    Check(::CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IWICImagingFactory, factory.PutVoid()),
          "the imaging factory");
    ComPtr<IStream> stream;
    Check(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), "a memory stream");
    ComPtr<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(Container(format), nullptr, encoder.Put()), "the encoder");
    Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), "the encoder's start");
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    Check(encoder->CreateNewFrame(frame.Put(), options.Put()), "a frame");
    Check(frame->Initialize(options.Get()), "the frame's start");
    Check(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)), "the size");

    const bool indexed = format == PictureFormat::Gif;
    WICPixelFormatGUID pixelFormat =
        indexed ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat24bppBGR;
    const WICPixelFormatGUID wanted = pixelFormat;
    Check(frame->SetPixelFormat(&pixelFormat), "the pixel format");
    if (pixelFormat != wanted) Check(E_NOTIMPL, "the pixel format (another was offered)");

    const unsigned bytesPerPixel = indexed ? 1 : 3;
    const UINT stride = (static_cast<UINT>(width) * bytesPerPixel + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    std::vector<std::uint32_t> palette;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, y) & 0xFFFFFF;
            BYTE* p = &pixels[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * bytesPerPixel];
            if (!indexed) {
                p[0] = static_cast<BYTE>(c);
                p[1] = static_cast<BYTE>(c >> 8);
                p[2] = static_cast<BYTE>(c >> 16);
                continue;
            }
            std::size_t best = palette.size();
            for (std::size_t i = 0; i < palette.size(); ++i) {
                if (palette[i] == c) {
                    best = i;
                    break;
                }
            }
            if (best == palette.size()) {
                if (palette.size() < 256) {
                    palette.push_back(c);
                } else {
                    best = 0;
                    for (std::size_t i = 1; i < palette.size(); ++i) {
                        if (Distance(palette[i], c) < Distance(palette[best], c)) best = i;
                    }
                }
            }
            p[0] = static_cast<BYTE>(best);
        }
    }
    if (indexed) {
        std::vector<WICColor> colours;
        for (std::uint32_t c : palette) colours.push_back(0xFF000000u | c);
        ComPtr<IWICPalette> wicPalette;
        Check(factory->CreatePalette(wicPalette.Put()), "a palette");
        Check(wicPalette->InitializeCustom(colours.data(), static_cast<UINT>(colours.size())),
              "the palette's colours");
        Check(frame->SetPalette(wicPalette.Get()), "the frame's palette");
    }
    Check(frame->WritePixels(static_cast<UINT>(height), stride, static_cast<UINT>(pixels.size()),
                             pixels.data()),
          "the pixels");
    Check(frame->Commit(), "the frame's end");
    Check(encoder->Commit(), "the encoder's end");

    STATSTG stat{};
    Check(stream->Stat(&stat, STATFLAG_NONAME), "the stream's size");
    HGLOBAL memory = nullptr;
    Check(::GetHGlobalFromStream(stream.Get(), &memory), "the stream's memory");
    const auto* bytes = static_cast<const char*>(::GlobalLock(memory));
    std::string content(bytes, static_cast<std::size_t>(stat.cbSize.QuadPart));
    ::GlobalUnlock(memory);
    return content;
}

std::string EncodePicture(PictureFormat format, int width, int height, std::uint32_t colour) {
    return EncodePicture(format, width, height, [colour](int, int) { return colour; });
}

void WritePicture(const std::string& path, PictureFormat format, int width, int height,
                  const PixelColour& colour) {
    WriteBytes(path, EncodePicture(format, width, height, colour));
}

void WritePicture(const std::string& path, PictureFormat format, int width, int height,
                  std::uint32_t colour) {
    WriteBytes(path, EncodePicture(format, width, height, colour));
}

std::string WithExifOrientation(const std::string& jpeg, int orientation) {
    // A big-endian TIFF structure with one directory of one entry: the
    // orientation, a SHORT held in the entry itself.
    std::string tiff("MM\0*\0\0\0\x08", 8);
    tiff += std::string("\0\x01", 2);                           // one entry
    tiff += std::string("\x01\x12\0\x03\0\0\0\x01", 8);         // tag 0x0112, SHORT, count 1
    tiff += {static_cast<char>(orientation >> 8), static_cast<char>(orientation), 0, 0};
    tiff += std::string(4, '\0');                               // no next directory
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const std::size_t length = payload.size() + 2;
    std::string segment = {'\xFF', '\xE1', static_cast<char>(length >> 8), static_cast<char>(length)};
    segment += payload;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

void WriteJpegWithOrientation(const std::string& path, int width, int height,
                              const PixelColour& colour, int orientation) {
    WriteBytes(path,
               WithExifOrientation(EncodePicture(PictureFormat::Jpeg, width, height, colour),
                                   orientation));
}

std::string CorruptJpeg() {
    // The start-of-image marker and the JFIF segment of a real JPEG, then text.
    const std::string jpeg = EncodePicture(PictureFormat::Jpeg, 8, 8, 0x808080);
    std::string content = jpeg.substr(0, 20);
    for (int i = 0; i < 40; ++i) content += "this is not a picture ";
    return content;
}

void WriteCorruptJpeg(const std::string& path) { WriteBytes(path, CorruptJpeg()); }

std::string HugePng(std::uint32_t width, std::uint32_t height) {
    std::string header = BigEndian32(width) + BigEndian32(height);
    header += std::string("\x08\x02\0\0\0", 5);  // 8 bits, RGB, deflate, no filter, not interlaced
    // An empty zlib stream: far too little for the stated size.
    const std::string data("\x78\x9C\x03\x00\x00\x00\x00\x01", 8);
    return std::string("\x89PNG\r\n\x1A\n", 8) + PngChunk("IHDR", header) +
           PngChunk("IDAT", data) + PngChunk("IEND", "");
}

bool NearColour(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
            tolerance) {
            return false;
        }
    }
    return true;
}

}  // namespace pictavo::testing
