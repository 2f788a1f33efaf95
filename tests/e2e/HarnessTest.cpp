// The harness's own promises, shown on message boxes of this test program.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "harness/Harness.h"

using namespace e2e;

namespace {

// Shows message boxes one after another on a thread of its own, as a program
// asks one question after another. Boxes a failed test leaves open are closed.
class BoxesInTurn {
public:
    explicit BoxesInTurn(std::vector<std::string> texts)
        : thread_([this, texts] {
              for (const std::string& text : texts) {
                  ::MessageBoxA(nullptr, text.c_str(), "Harness", MB_OK);
              }
              done_ = true;
          }) {}
    ~BoxesInTurn() {
        WaitFor([&] {
            for (HWND hwnd : TopLevelWindows(::GetCurrentProcessId())) {
                if (ClassOf(hwnd) == "#32770") ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
            }
            return done_.load();
        });
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

}  // namespace

TEST(Harness, APressedMessageBoxIsGoneBeforeTheNextWait) {
    BoxesInTurn boxes({"first", "second"});
    auto box = WaitForMessageBox(::GetCurrentProcessId());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "first");
    box->Press(IDOK);
    EXPECT_FALSE(::IsWindow(box->hwnd) && ::IsWindowVisible(box->hwnd));

    box = WaitForMessageBox(::GetCurrentProcessId());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, "second");
    box->Press(IDOK);
}

namespace {

// The case below runs a second copy of this test program with this variable
// naming a report file; only that copy has the case that crashes.
const char kCrashReport[] = "PICTAVO_E2E_CRASH_REPORT";
const char kCrashNow[] = "PictavoE2eCrashNow";

// Starts the program, says which process and folder are its, and crashes
// reading an address nothing lives at, as a test that reads what a failed
// step never produced.
class CrashingCase : public ::testing::Test {
    void TestBody() override {
        Program program;
        program.QuietSettings();
        program.Start();
        ASSERT_TRUE(program.WaitUntilIdle());
        WriteFile(std::getenv(kCrashReport),
                  std::to_string(program.ProcessId()) + "\n" + program.Folder() + "\n");
        HANDLE now = ::OpenEventA(SYNCHRONIZE, FALSE, kCrashNow);
        if (now) ::WaitForSingleObject(now, 60000);
        // Address 1, known only at run time so the compiler keeps the read.
        volatile std::uintptr_t address = 1;
        std::printf("%d\n", *reinterpret_cast<const volatile int*>(address));
    }
};

const bool crashingCaseRegistered = [] {
    if (!std::getenv(kCrashReport)) return false;
    ::testing::RegisterTest("HarnessCrash", "StartsTheProgramAndCrashes", nullptr, nullptr,
                            __FILE__, __LINE__, []() -> ::testing::Test* { return new CrashingCase; });
    return true;
}();

void RemoveFolder(const std::string& path) {
    std::string from = path + '\0';
    WaitFor([&] {
        SHFILEOPSTRUCTA op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        ::SHFileOperationA(&op);
        return !Exists(path);
    });
}

}  // namespace

TEST(Harness, AProgramATestStartedEndsWhenTheTestProgramCrashes) {
    char previousWallpaper[MAX_PATH * 2] = {};
    ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof(previousWallpaper), previousWallpaper, 0);
    TempFolder scratch;
    const std::string report = scratch / "crashed.txt";
    HANDLE now = ::CreateEventA(nullptr, TRUE, FALSE, kCrashNow);
    ASSERT_NE(now, nullptr);
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    // Outside this program's job, as CTest starts a test program.
    ::SetEnvironmentVariableA(kCrashReport, report.c_str());
    std::string commandLine =
        std::string("\"") + self + "\" --gtest_filter=HarnessCrash.* --gtest_color=no";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION crashing{};
    const bool started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &startup, &crashing);
    ::SetEnvironmentVariableA(kCrashReport, nullptr);
    ASSERT_TRUE(started);
    ::CloseHandle(crashing.hThread);

    DWORD pictavoId = 0;
    std::string folder;
    const bool reported = WaitFor(
        [&] {
            const std::string content = ReadFile(report);
            if (std::count(content.begin(), content.end(), '\n') != 2) return false;
            std::istringstream lines(content);
            return static_cast<bool>(lines >> pictavoId >> std::ws && std::getline(lines, folder));
        },
        60s);
    HANDLE pictavo = reported ? ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pictavoId)
                              : nullptr;
    ::SetEvent(now);
    EXPECT_TRUE(reported) << "the crashing test program did not start the program";
    EXPECT_EQ(::WaitForSingleObject(crashing.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(crashing.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 3u) << "the crash was not reported by the test program's own handler";
    if (pictavo) {
        EXPECT_EQ(::WaitForSingleObject(pictavo, 10000), WAIT_OBJECT_0)
            << "pictavo.exe outlived the test program that started it";
        ::TerminateProcess(pictavo, 1);
        ::WaitForSingleObject(pictavo, 10000);
        ::CloseHandle(pictavo);
    }
    ::TerminateProcess(crashing.hProcess, 1);
    ::WaitForSingleObject(crashing.hProcess, 10000);
    ::CloseHandle(crashing.hProcess);
    ::CloseHandle(now);
    // What the crashed program would have tidied away itself.
    if (!folder.empty()) RemoveFolder(folder);
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, previousWallpaper, SPIF_UPDATEINIFILE);
}
