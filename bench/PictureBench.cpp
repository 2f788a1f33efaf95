// Figures for pictures decoded through the Windows Imaging Component, with a
// 4,000 x 3,000 JPEG the bench makes itself:
//  (a) the preview: WIC's decode and scale to the preview area alone, against
//      the decoder's Decode to the same box as the "&Preview" page asks it;
//  (b) the wallpaper's rendition: WIC's decode, scale to 1024 x 768 and a
//      24-bit bitmap file written alone (the floor), against RenderBitmapFile;
//  (c) the peak private memory (PeakPagefileUsage) of each of (b), each in a
//      fresh process of this bench.
// Usage: picture_bench [rounds]; the children are started with "memory
// floor|render <jpeg>".
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <wincodec.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/PictureDecoder.h"
#include "platform/ComPtr.h"
#include "platform/Files.h"
#include "support/PictureFiles.h"

using namespace pictavo;
using Clock = std::chrono::steady_clock;

namespace {

// The "&Preview" page's area at its designed height in the main window.
constexpr PixelSize kPreviewArea{378, 177};
constexpr PixelSize kScreen{1024, 768};

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Check(HRESULT hr, const char* what) {
    if (SUCCEEDED(hr)) return;
    std::printf("%s failed: %s\n", what, DescribeHResult(hr).c_str());
    std::exit(1);
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// WIC alone: decode, scale with the same filter, convert; the pixels into
// `pixels` with `stride`, top-down.
void WicAlone(IWICImagingFactory* factory, const std::string& path, PixelSize size,
              const GUID& format, UINT stride, std::vector<BYTE>& pixels) {
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromFilename(Wide(path).c_str(), nullptr, GENERIC_READ,
                                             WICDecodeMetadataCacheOnDemand, decoder.Put()),
          "decoder");
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.Put()), "frame");
    ComPtr<IWICBitmapScaler> scaler;
    Check(factory->CreateBitmapScaler(scaler.Put()), "scaler");
    Check(scaler->Initialize(frame.Get(), size.width, size.height, WICBitmapInterpolationModeFant),
          "scale");
    ComPtr<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(converter.Put()), "converter");
    Check(converter->Initialize(scaler.Get(), format, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom),
          "convert");
    pixels.resize(static_cast<std::size_t>(stride) * size.height);
    Check(converter->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data()),
          "pixels");
}

// The floor of (b): WIC alone, then the bitmap file written plainly.
void FloorRender(IWICImagingFactory* factory, const std::string& path, const std::string& target) {
    const UINT stride = (kScreen.width * 3 + 3) & ~3u;
    std::vector<BYTE> pixels;
    WicAlone(factory, path, kScreen, GUID_WICPixelFormat24bppBGR, stride, pixels);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    info.biSize = sizeof(info);
    info.biWidth = static_cast<LONG>(kScreen.width);
    info.biHeight = -static_cast<LONG>(kScreen.height);  // top-down: no rows turned
    info.biPlanes = 1;
    info.biBitCount = 24;
    HANDLE out = ::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(out, &file, sizeof(file), &written, nullptr);
    ::WriteFile(out, &info, sizeof(info), &written, nullptr);
    ::WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    ::CloseHandle(out);
}

PROCESS_MEMORY_COUNTERS Counters() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

// A child: one render, then the growth of the peak over the start.
int MeasureMemory(const std::string& what, const std::string& path) {
    ComPtr<IWICImagingFactory> factory;
    Check(::CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IWICImagingFactory, factory.PutVoid()),
          "factory");
    TPictureDecoder decoder;
    const std::string target = path + "." + what + ".bmp";
    // Everything but the picture itself is loaded before the start is taken.
    FloorRender(factory.Get(), path + ".small.jpg", target);
    decoder.RenderBitmapFile(path + ".small.jpg", kScreen, target);
    const PROCESS_MEMORY_COUNTERS before = Counters();
    if (what == "floor") {
        FloorRender(factory.Get(), path, target);
    } else {
        const RenderedBitmap r = decoder.RenderBitmapFile(path, kScreen, target);
        Check(r.result, "RenderBitmapFile");
    }
    const PROCESS_MEMORY_COUNTERS after = Counters();
    ::DeleteFileA(target.c_str());
    // Wine keeps no peak of private memory (its PeakPagefileUsage follows the
    // current figure); the peak working set is the kernel's own high-water mark.
    std::printf("%.1f %.1f\n",
                static_cast<double>(after.PeakPagefileUsage - before.PeakPagefileUsage) / 1048576.0,
                static_cast<double>(after.PeakWorkingSetSize - before.PeakWorkingSetSize) / 1048576.0);
    return 0;
}

// "<peak private growth> <peak working set growth>" in MB.
std::string RunChild(const std::string& what, const std::string& path) {
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = "\"" + std::string(exe) + "\" memory " + what + " \"" + path + "\"";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    ::CreatePipe(&read, &write, &inherit, 0);
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA start{};
    start.cb = sizeof(start);
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = write;
    start.hStdError = write;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &start, &process)) {
        return "failed to start";
    }
    ::CloseHandle(write);
    std::string output;
    char buffer[256];
    DWORD got = 0;
    while (::ReadFile(read, buffer, sizeof(buffer), &got, nullptr) && got) output.append(buffer, got);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    ::CloseHandle(read);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return output;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (argc == 4 && std::string(argv[1]) == "memory") return MeasureMemory(argv[2], argv[3]);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string path =
        std::string(temp) + "picture-bench-" + std::to_string(::GetCurrentProcessId()) + ".jpg";
    auto pattern = [](int x, int y) {
        return static_cast<std::uint32_t>((x * 255 / 4000) << 16 | (y * 255 / 3000) << 8 |
                                          ((x ^ y) & 0xFF));
    };
    auto t0 = Clock::now();
    testing::WritePicture(path, testing::PictureFormat::Jpeg, 4000, 3000, pattern);
    testing::WritePicture(path + ".small.jpg", testing::PictureFormat::Jpeg, 64, 48, pattern);
    std::printf("a 4000 x 3000 JPEG of %lld bytes made in %.0f ms\n",
                static_cast<long long>(ReadFileStamp(path).size), Ms(t0));

    {
        ComPtr<IWICImagingFactory> factory;
        Check(::CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IWICImagingFactory, factory.PutVoid()),
              "factory");
        TPictureDecoder decoder;
        const std::string target = path + ".bmp";
        std::vector<double> previewFloor, preview, renderFloor, render;
        for (int round = 0; round < rounds; ++round) {
            std::vector<BYTE> pixels;
            const PixelSize box = ClampWithin({4000, 3000}, kPreviewArea);
            t0 = Clock::now();
            WicAlone(factory.Get(), path, box, GUID_WICPixelFormat32bppBGR, box.width * 4, pixels);
            previewFloor.push_back(Ms(t0));

            t0 = Clock::now();
            const DecodedPicture picture = decoder.Decode(path, kPreviewArea, ClampWithin);
            preview.push_back(Ms(t0));
            Check(picture.result, "Decode");

            t0 = Clock::now();
            FloorRender(factory.Get(), path, target);
            renderFloor.push_back(Ms(t0));

            t0 = Clock::now();
            const RenderedBitmap rendered = decoder.RenderBitmapFile(path, kScreen, target);
            render.push_back(Ms(t0));
            Check(rendered.result, "RenderBitmapFile");
            std::printf("round %d: preview floor %.0f ms, Decode %.0f ms; render floor %.0f ms, "
                        "RenderBitmapFile %.0f ms\n",
                        round + 1, previewFloor.back(), preview.back(), renderFloor.back(),
                        render.back());
        }
        ::DeleteFileA(target.c_str());
        std::printf("(a) preview %ux%u: WIC alone median %.0f ms, Decode %.0f ms: ratio %.2f "
                    "(goal 1.2 at most)\n",
                    kPreviewArea.width, kPreviewArea.height, Median(previewFloor), Median(preview),
                    Median(preview) / Median(previewFloor));
        std::printf("(b) rendition 1024x768: WIC alone and the file written median %.0f ms, "
                    "RenderBitmapFile %.0f ms: ratio %.2f (goal 1.25 at most)\n",
                    Median(renderFloor), Median(render), Median(render) / Median(renderFloor));
    }
    const std::string floorMb = RunChild("floor", path);
    const std::string renderMb = RunChild("render", path);
    std::printf("(c) growth of the peak private memory and of the peak working set, MB, in a "
                "fresh process: floor %s, RenderBitmapFile %s (goal: 48 MB, the picture at full "
                "size, plus the rendition's %.1f MB)\n",
                floorMb.c_str(), renderMb.c_str(), 1024.0 * 768 * 3 / (1024.0 * 1024.0));
    ::DeleteFileA(path.c_str());
    ::DeleteFileA((path + ".small.jpg").c_str());
    return 0;
}
