// What the real program sends to a trace viewer, and that it never waits on one.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/TraceRecord.h"
#include "harness/Harness.h"

using namespace e2e;

TEST(Trace, StartUpLinesArriveInOrderWithTheirWindows) {
    TraceCollector trace;
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle());
    // Lines travel on a thread of the program's own and come a moment later.
    ASSERT_TRUE(trace.WaitForLine("AdjustFormScaling: Begin"));
    HWND main = program.MainWindow();
    std::vector<std::string> fromMain;
    HWND tray = nullptr;
    for (const auto& line : trace.Lines()) {
        if (line.sender == main) fromMain.push_back(line.text);
        if (line.text == "FrmTray.FormCreate") tray = line.sender;
    }
    ASSERT_GE(fromMain.size(), 2u);
    EXPECT_EQ(fromMain[0], "FormCreate");
    EXPECT_EQ(fromMain[1], "AdjustFormScaling: Begin");
    // The tray form is made first, and speaks with its own handle.
    EXPECT_EQ(trace.Texts().front(), "FrmTray.FormCreate");
    EXPECT_NE(tray, nullptr);
    EXPECT_NE(tray, main);
}

// A viewer that never pumps its messages: its window exists, nobody answers.
class StalledViewer {
public:
    StalledViewer() : release_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, ready] {
            HWND hwnd = ::CreateWindowExA(0, "STATIC", pictavo::kTraceWindowTitle, WS_POPUP, 0, 0,
                                          10, 10, nullptr, nullptr, nullptr, nullptr);
            ::SetEvent(ready);
            ::WaitForSingleObject(release_, INFINITE);
            ::DestroyWindow(hwnd);
        });
        ::WaitForSingleObject(ready, INFINITE);
        ::CloseHandle(ready);
    }
    ~StalledViewer() {
        ::SetEvent(release_);
        thread_.join();
        ::CloseHandle(release_);
    }

private:
    HANDLE release_;
    std::thread thread_;
};

TEST(Trace, AStalledViewerDoesNotHoldTheProgramUp) {
    StalledViewer viewer;
    ASSERT_NE(::FindWindowA(nullptr, pictavo::kTraceWindowTitle), nullptr);
    Program program;
    program.QuietSettings();
    program.Start();
    ASSERT_TRUE(program.WaitUntilIdle(20s));
    HANDLE second = program.StartAnother();
    EXPECT_EQ(::WaitForSingleObject(second, 20000), WAIT_OBJECT_0);
    ::CloseHandle(second);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(program.MainWindow()); }, 20s));
}
