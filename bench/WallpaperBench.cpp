// Figures for setting a 4,000 by 3,000 JPEG as a centred wallpaper with
// shrinking on, through the program's wallpaper road and the real system
// call, against the floor: WIC's own decode, scale to the screen and bitmap
// write of the same picture, done alone with nothing of the program around.
// Also the peak of the process's private bytes over a change and over the floor.
//   bash scripts/in-wine-display.sh build-x64 wine build-x64/bench/wallpaper_bench.exe
#include <windows.h>
#include <psapi.h>
#include <wincodec.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "desktop/DesktopWallpaper.h"
#include "inventory/InventoryStore.h"
#include "platform/ComPtr.h"
#include "platform/Files.h"
#include "platform/InputTimeout.h"
#include "platform/Timer.h"
#include "support/ComApartment.h"
#include "support/PictureFiles.h"
#include "support/StandInFaces.h"

using namespace pictavo;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 4000, kHeight = 3000, kRuns = 5;

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Committed private bytes now and at their peak (Wine fills only the pagefile figures).
struct Memory {
    long long now, peak;
};
Memory PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                           sizeof pmc);
    return {static_cast<long long>(pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage),
            static_cast<long long>(pmc.PeakPagefileUsage)};
}

// The highest private bytes seen while it lives, sampled every millisecond:
// Wine keeps no peak of its own.
class PeakSampler {
public:
    PeakSampler() : peak_(PrivateBytes().now), thread_([this] {
        while (!stop_) {
            peak_ = std::max<long long>(peak_, PrivateBytes().now);
            ::Sleep(1);
        }
    }) {}
    long long Stop() {
        stop_ = true;
        thread_.join();
        return std::max<long long>(peak_, PrivateBytes().now);
    }

private:
    std::atomic<long long> peak_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// WIC alone: decode, scale with its scaler, convert to 24 bits, write the file.
bool FloorRender(const std::string& source, UINT boxW, UINT boxH, const std::string& target) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapScaler> scaler;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, factory.PutVoid())))
        return false;
    std::wstring wide(source.begin(), source.end());
    if (FAILED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.Put())))
        return false;
    if (FAILED(decoder->GetFrame(0, frame.Put()))) return false;
    UINT w = 0, h = 0;
    frame->GetSize(&w, &h);
    const double scale = std::min(1.0, std::min(double(boxW) / w, double(boxH) / h));
    const UINT sw = std::max(1u, UINT(w * scale)), sh = std::max(1u, UINT(h * scale));
    if (FAILED(factory->CreateBitmapScaler(scaler.Put())) ||
        FAILED(scaler->Initialize(frame.Get(), sw, sh, WICBitmapInterpolationModeFant)) ||
        FAILED(factory->CreateFormatConverter(converter.Put())) ||
        FAILED(converter->Initialize(scaler.Get(), GUID_WICPixelFormat24bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    const UINT stride = (sw * 3 + 3) & ~3u;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    const size_t headers = sizeof(file) + sizeof(info);
    file.bfType = 0x4D42;
    file.bfOffBits = DWORD(headers);
    file.bfSize = DWORD(headers + size_t(stride) * sh);
    info.biSize = sizeof(info);
    info.biWidth = LONG(sw);
    info.biHeight = -LONG(sh);  // top-down: the rows as WIC gives them
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string content(headers + size_t(stride) * sh, '\0');
    std::copy_n(reinterpret_cast<const char*>(&file), sizeof(file), content.data());
    std::copy_n(reinterpret_cast<const char*>(&info), sizeof(info), content.data() + sizeof(file));
    if (FAILED(converter->CopyPixels(nullptr, stride, UINT(stride * sh),
                                     reinterpret_cast<BYTE*>(content.data() + headers))))
        return false;
    WriteFileAtomically(target, content);
    return true;
}

struct Ui final : IUserInterface {
    HWND MainWindow() const override { return nullptr; }
    void Trace(const std::string& text) override { std::printf("trace: %s\n", text.c_str()); }
    void ShowError(const std::string& text) override { std::printf("error: %s\n", text.c_str()); }
    void ShowHint(const std::string&) override {}
    void ProcessMessages() override {}
};
struct NoSizeLimit final : IImageSizeLimit {
    bool LimitImageSize() const override { return false; }
    int MaxImageSize() const override { return 0; }
};

}  // namespace

int main() {
    testing::ComApartment com;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "wallpaper_bench" +
                               std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string photo = folder + "\\photo.jpg";
    const std::string floorTarget = folder + "\\floor.bmp";
    testing::WritePicture(photo, testing::PictureFormat::Jpeg, kWidth, kHeight, [](int x, int y) {
        return std::uint32_t((x * 255 / kWidth) << 16 | (y * 255 / kHeight) << 8 | ((x ^ y) & 0xFF));
    });
    const UINT screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
    std::printf("picture %dx%d JPEG, %zu bytes; screen %ux%u\n", kWidth, kHeight,
                ReadWholeFile(photo).size(), screenW, screenH);

    std::optional<IWallpaperSystem::DesktopValues> before = SystemWallpaper().ReadDesktop();

    Ui ui;
    NoSizeLimit limit;
    TInputTimeout timeout(SystemTimers(), 2250);
    TInventoryStore store(timeout, ui, limit);
    testing::StandInDesktopHost host;
    TDesktopWallpaper desktop(SystemWallpaper(), store, ui, host, host, "Pictavo");

    // The change first, so that the process's peak belongs to it.
    const Memory base = PrivateBytes();
    std::vector<double> change, floor;
    long long changePeak = 0, floorPeak = 0;
    for (int i = 0; i < kRuns; ++i) {
        Clock::time_point start = Clock::now();
        if (i == 0) {
            // Sampled once, apart from the timed runs.
            PeakSampler sampler;
            desktop.ApplyWallpaper(photo, false, true, TDesktopWallpaper::Failure::Trace);
            changePeak = sampler.Stop();
            PeakSampler floorSampler;
            FloorRender(photo, screenW, screenH, floorTarget);
            floorPeak = floorSampler.Stop();
            start = Clock::now();
        }
        if (!desktop.ApplyWallpaper(photo, false, true, TDesktopWallpaper::Failure::Trace)) {
            std::printf("the change failed\n");
            return 1;
        }
        change.push_back(Ms(start));
        start = Clock::now();
        if (!FloorRender(photo, screenW, screenH, floorTarget)) {
            std::printf("the floor failed\n");
            return 1;
        }
        floor.push_back(Ms(start));
    }
    const std::string own = TInventoryStore::OwnWallpaperPath().AsWritten();
    std::printf("rendition %zu bytes, floor's bitmap %zu bytes\n", ReadWholeFile(own).size(),
                ReadWholeFile(floorTarget).size());
    std::printf("set as wallpaper (centred, shrunk): median %.0f ms of %d\n", Median(change), kRuns);
    std::printf("WIC decode+scale+write alone:       median %.0f ms of %d\n", Median(floor), kRuns);
    std::printf("ratio %.2f\n", Median(change) / Median(floor));
    std::printf("private bytes: %.1f MB before; peak over a change +%.1f MB, over the floor +%.1f MB\n",
                base.now / 1048576.0, (changePeak - base.now) / 1048576.0,
                (floorPeak - base.now) / 1048576.0);

    // The prefix gets its wallpaper back; the bench's files go.
    if (before) {
        SystemWallpaper().WriteTile(before->tileWallpaper != "0");
        DWORD error = ERROR_SUCCESS;
        SystemWallpaper().SetDeskWallpaper(before->wallpaper, SPIF_UPDATEINIFILE, error);
    }
    ::DeleteFileA(own.c_str());
    ::DeleteFileA(photo.c_str());
    ::DeleteFileA(floorTarget.c_str());
    ::RemoveDirectoryA(folder.c_str());
    return 0;
}
