// Figures for choosing the next slide in a 100,000-picture list: the worst case
// (every picture disabled: 500 random tries, then one full ordered pass) and
// the usual case (every picture eligible).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/InputTimeout.h"
#include "app/SettingsPages.h"
#include "desktop/DesktopWallpaper.h"
#include "inventory/InventoryStore.h"
#include "platform/Controls.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "slideshow/SlideShow.h"
#include "support/FakeWallpaper.h"
#include "support/VirtualTimers.h"

using namespace pictavo;
using Clock = std::chrono::steady_clock;

namespace {

struct Host : IInventoryHost, IDesktopHost, ISlideShowHost {
    TInputTimeout* timeout = nullptr;
    void ScheduleInventorySave() override {}
    void FlushDeferredActions() override {}
    void ShowError(const std::string& m) override { std::printf("message: %s\n", m.c_str()); }
    void ShowHint(const std::string&) override {}
    bool LimitImageSize() const override { return false; }
    int MaxImageSize() const override { return 1500; }
    void RefreshPreview() override {}
    void Trace(const std::string&) override {}
    void ProcessMessages() override {}
    void SetCaptions(const std::string&) override {}
    bool SendChangeNotification() const override { return true; }
    bool SyncWithManualChange() const override { return true; }
    void UncheckAutoChange() override {}
    void RestartSlideCountdown() override {}
    void ShowNextSlide() override {}
    void ScheduleInventorySave(const void*) override {}
    std::string LastCapturedSource() const override { return {}; }
    std::string LastCapturedDestination() const override { return {}; }
    bool SettingsInProgress() const override { return false; }
    bool IntervalEditing() const override { return false; }
    void SetIntervalEditing(bool) override {}
    bool SettingsTransfer() const override { return false; }
    void SaveSettings() override {}
    void ApplyPollSettings() override {}
    bool RunSlideshowChecked() const override { return true; }
    void SetRunSlideshowChecked(bool) override {}
    void ShowMessage(const std::string& m) override { std::printf("message: %s\n", m.c_str()); }
};

struct Form : Window {
    Form() { Create("SlideBenchForm", 0, WS_OVERLAPPEDWINDOW, "bench", 0, 0, 420, 480, nullptr); }
};

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

}  // namespace

int main() {
    constexpr int kPictures = 100000;
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "pictavo-slide-bench";
    ::CreateDirectoryA(folder.c_str(), nullptr);

    std::printf("creating %d picture files...\n", kPictures);
    for (int i = 0; i < kPictures; ++i) {
        std::string path = folder + "\\p" + std::to_string(i) + ".bmp";
        if (!FileExists(path)) {
            HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
        }
    }

    Host host;
    testing::VirtualTimers timers;
    TInputTimeout timeout(timers);
    Form form;
    RECT area{0, 0, 390, 370};
    TPanel preview(form.Handle(), area, "p"), slides(form.Handle(), area, "s"),
        options(form.Handle(), area, "o");
    TSettingsPages pages(preview.Handle(), slides.Handle(), options.Handle(), form.Handle());
    TInventoryStore inventory(host);
    inventory.CreateTable();
    inventory.MakeClones();
    testing::FakeWallpaper wallpaper;
    TDesktopWallpaper desktop(wallpaper, inventory, host, "Pictavo");
    TSlideShow show(pages, inventory, desktop, timeout, timers, host);

    for (int i = 0; i < kPictures; ++i) {
        InventoryRecord r;
        r.Enabled = false;
        r.FileName = "p" + std::to_string(i) + ".bmp";
        r.Location = folder;
        r.Size = 0;
        inventory.cdtData().Append(r);
    }
    inventory.cdtSlideShow().First();

    // Worst case: nothing eligible.
    ::SendMessageA(pages.chkAutoChange, BM_SETCHECK, BST_UNCHECKED, 0);  // silent give-up
    double worst = 1e9;
    for (int run = 0; run < 3; ++run) {
        auto start = Clock::now();
        TSlideShow::SlideInfo info = show.GetNextSlideInfo();
        worst = std::min(worst, Ms(start));
        if (!info.path.empty()) std::printf("!! found %s\n", info.path.c_str());
    }
    std::printf("all disabled (500 random tries, then a full ordered pass): %8.2f ms  budget 200 ms\n",
                worst);

    // Usual case: everything eligible; the time beyond the file checks.
    for (size_t i = 0; i < inventory.Table().Count(); ++i) {
        RecordId id = inventory.Table().At(i);
        InventoryRecord r = inventory.Table().Record(id);
        r.Enabled = true;
        inventory.Table().Replace(id, r);
    }
    const int picks = 2000;
    auto start = Clock::now();
    for (int i = 0; i < picks; ++i) show.GetNextSlideInfo();
    const double perPick = Ms(start) / picks;
    start = Clock::now();
    for (int i = 0; i < picks; ++i) FileExists(folder + "\\p" + std::to_string(i) + ".bmp");
    const double perCheck = Ms(start) / picks;
    std::printf("all eligible, random pick: %8.4f ms, of which one file check %8.4f ms: beyond "
                "it %8.4f ms  budget 1 ms\n",
                perPick, perCheck, perPick - perCheck);
    ::SendMessageA(pages.chkRandom, BM_SETCHECK, BST_UNCHECKED, 0);
    start = Clock::now();
    for (int i = 0; i < picks; ++i) show.GetNextSlideInfo();
    const double perNext = Ms(start) / picks;
    std::printf("all eligible, list order: %8.4f ms, beyond the file check %8.4f ms  budget 1 ms\n",
                perNext, perNext - perCheck);
    return 0;
}
