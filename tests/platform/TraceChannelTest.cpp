#include "platform/Trace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pictavo {
namespace {

using Clock = std::chrono::steady_clock;

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds deadline =
                                                    std::chrono::milliseconds(20000)) {
    const auto end = Clock::now() + deadline;
    while (!done()) {
        if (Clock::now() > end) return false;
        ::Sleep(5);
    }
    return true;
}

// A trace viewer on a thread of its own that takes `perLineMs` to handle each
// line, or, while held, does not answer at all. Lines of other channels in
// this process (starting with anything but the prefixes) are not kept. One
// titled otherwise is no trace viewer until it is retitled.
class Viewer {
public:
    explicit Viewer(DWORD perLineMs = 0, const char* title = kTraceWindowTitle)
        : perLineMs_(perLineMs), open_(::CreateEventA(nullptr, TRUE, TRUE, nullptr)) {
        HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, ready, title] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &Viewer::Proc;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = "PictavoTraceChannelTestViewer";
            ::RegisterClassA(&wc);
            threadId_ = ::GetCurrentThreadId();
            hwnd_ = ::CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPED, 0, 0, 10, 10,
                                      nullptr, nullptr, wc.hInstance, nullptr);
            ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            ::SetEvent(ready);
            MSG msg;
            while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
            ::DestroyWindow(hwnd_);
        });
        ::WaitForSingleObject(ready, INFINITE);
        ::CloseHandle(ready);
    }
    ~Viewer() {
        ::SetEvent(open_);
        // To the thread: the window may have gone before.
        ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        ::CloseHandle(open_);
    }
    void Hold() { ::ResetEvent(open_); }
    void Release() { ::SetEvent(open_); }
    // Runs on the viewer's thread with each line it keeps, before it answers.
    std::function<void(const std::string&)> onLine;
    // The window goes, as when the viewer is closed: from the viewer's thread only.
    void End() { ::DestroyWindow(hwnd_); }
    // Becomes a trace viewer.
    void Start() { ::SetWindowTextA(hwnd_, kTraceWindowTitle); }
    // Lines it has begun to handle, kept or not yet.
    int Entered() const { return entered_; }
    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    std::vector<HWND> Senders() {
        std::lock_guard<std::mutex> lock(mutex_);
        return senders_;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Viewer*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (message == WM_COPYDATA && self) {
            auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            const std::string text(TraceRecordText(static_cast<const uint8_t*>(data->lpData)));
            if (text.rfind("test ", 0) == 0 || text.rfind("Trace: ", 0) == 0) {
                ++self->entered_;
                // The viewer's own slowness, not a wait of the test.
                if (self->perLineMs_) ::Sleep(self->perLineMs_);
                ::WaitForSingleObject(self->open_, 30000);
                {
                    std::lock_guard<std::mutex> lock(self->mutex_);
                    self->lines_.push_back(text);
                    self->senders_.push_back(reinterpret_cast<HWND>(wParam));
                }
                if (self->onLine) self->onLine(text);
            }
            return TRUE;
        }
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    DWORD perLineMs_;
    HANDLE open_;
    std::atomic<int> entered_{0};
    std::mutex mutex_;
    std::vector<std::string> lines_;
    std::vector<HWND> senders_;
    HWND hwnd_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;
};

std::vector<std::string> Numbered(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back("test " + std::to_string(i));
    return lines;
}

// The handle the lines are sent for: it arrives as given.
HWND Sender() { return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234A)); }

TEST(TraceChannel, ASlowViewerDoesNotSlowTheCallerAndGetsEveryLineInOrder) {
    Viewer viewer(100);
    TTraceChannel channel;
    const std::vector<std::string> lines = Numbered(10);
    const auto t0 = Clock::now();
    for (const std::string& line : lines) channel.Send(line, Sender());
    // Sent and waited for, the ten lines would take a second.
    EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(250));
    ASSERT_TRUE(WaitFor([&] { return viewer.Lines().size() >= lines.size(); }));
    EXPECT_EQ(viewer.Lines(), lines);
    for (HWND sender : viewer.Senders()) EXPECT_EQ(sender, Sender());
}

TEST(TraceChannel, LinesFromManyThreadsKeepEachThreadsOrder) {
    Viewer viewer;
    TTraceChannel channel;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&channel, t] {
            for (int i = 0; i < 50; ++i) {
                channel.Send("test " + std::to_string(t) + " " + std::to_string(i), Sender());
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    ASSERT_TRUE(channel.Flush(20000));
    const std::vector<std::string> got = viewer.Lines();
    ASSERT_EQ(got.size(), 200u);
    int next[4] = {};
    for (const std::string& line : got) {
        const int t = line[5] - '0';
        EXPECT_EQ(line, "test " + std::to_string(t) + " " + std::to_string(next[t])) << line;
        ++next[t];
    }
}

TEST(TraceChannel, AViewerStartedLaterReceivesTheLinesThatFollow) {
    TTraceChannel channel;
    channel.Send("test before", Sender());
    ASSERT_TRUE(channel.Flush(20000));
    Viewer viewer;
    channel.Send("test after", Sender());
    ASSERT_TRUE(WaitFor([&] { return !viewer.Lines().empty(); }));
    ASSERT_TRUE(channel.Flush(20000));
    EXPECT_EQ(viewer.Lines(), std::vector<std::string>{"test after"});
}

// Lines wait while the viewer holds its answer; it ends and another starts
// before it answers. What waited reaches the new viewer, in order: the lines
// already taken for the first one as well as those still queued.
TEST(TraceChannel, LinesWaitingWhenTheViewerIsReplacedReachTheNewOneInOrder) {
    Viewer second(0, "Not yet a trace viewer");
    Viewer first;
    TTraceChannel channel;
    first.onLine = [&](const std::string& line) {
        if (line == "test 0") {
            for (int i = 1; i <= 3; ++i) channel.Send("test " + std::to_string(i), Sender());
        } else if (line == "test 1") {
            first.End();
            second.Start();
            channel.Send("test 4", Sender());
        }
    };
    channel.Send("test 0", Sender());
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<std::string> got = second.Lines();
        return !got.empty() && got.back() == "test 4";
    }));
    ASSERT_TRUE(channel.Flush(20000));
    EXPECT_EQ(first.Lines(), (std::vector<std::string>{"test 0", "test 1"}));
    EXPECT_EQ(second.Lines(), (std::vector<std::string>{"test 2", "test 3", "test 4"}));
}

// Whatever the end lets go is told in a last line: every line is delivered or counted.
TEST(TraceChannel, LinesDroppedAtTheEndAreToldInALastLine) {
    Viewer viewer(20);
    TTraceChannel channel;
    const std::vector<std::string> lines = Numbered(100);
    for (const std::string& line : lines) channel.Send(line, Sender());
    // A hundred lines at the viewer's pace take two seconds.
    channel.Close(100);
    std::vector<std::string> got = viewer.Lines();
    ASSERT_FALSE(got.empty());
    const std::string note = got.back();
    got.pop_back();
    ASSERT_EQ(note.rfind("Trace: ", 0), 0u) << note;
    EXPECT_NE(note.find(" lines dropped"), std::string::npos) << note;
    EXPECT_EQ(got.size() + std::atoi(note.c_str() + 7), lines.size()) << note;
    ASSERT_LE(got.size(), lines.size());
    EXPECT_EQ(got, std::vector<std::string>(lines.begin(), lines.begin() + got.size()));
    EXPECT_EQ(viewer.Senders().back(), Sender());
}

TEST(TraceChannel, CloseDeliversWhatIsQueuedThenSendsAtOnce) {
    Viewer viewer(20);
    TTraceChannel channel;
    const std::vector<std::string> lines = Numbered(20);
    for (const std::string& line : lines) channel.Send(line, Sender());
    channel.Close(20000);
    EXPECT_EQ(viewer.Lines(), lines);
    // No worker is left: a later line is delivered before the call returns.
    channel.Send("test late", Sender());
    ASSERT_FALSE(viewer.Lines().empty());
    EXPECT_EQ(viewer.Lines().back(), "test late");
}

// A viewer that stops answering: the queue stays within its size, the gap is
// told once the viewer answers again, and the end does not wait on it.
TEST(TraceChannel, AStuckViewerCostsBoundedMemoryAndABoundedEnd) {
    Viewer viewer;
    TTraceChannel channel(4);
    viewer.Hold();
    channel.Send("test 0", Sender());
    ASSERT_TRUE(WaitFor([&] { return viewer.Entered() == 1; }));
    for (const std::string& line : Numbered(12)) channel.Send(line, Sender());
    viewer.Release();
    ASSERT_TRUE(channel.Flush(20000));
    channel.Send("test next", Sender());
    ASSERT_TRUE(channel.Flush(20000));
    const std::vector<std::string> got = viewer.Lines();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got.back(), "test next");
    const std::string gap = got[got.size() - 2];
    EXPECT_EQ(gap.rfind("Trace: ", 0), 0u) << gap;
    EXPECT_NE(gap.find(" lines dropped"), std::string::npos) << gap;
    EXPECT_GE(std::atoi(gap.c_str() + 7), 1) << gap;

    // Forty lines a stuck viewer would take ten seconds to time out.
    TTraceChannel ending;
    viewer.Hold();
    for (const std::string& line : Numbered(40)) ending.Send(line, Sender());
    const auto t0 = Clock::now();
    ending.Close(300);
    // The wait, then at most the line in hand: one timed-out send.
    EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(3000));
}

TEST(TraceChannel, WithoutAViewerLinesGoNowhereAndNothingWaits) {
    TTraceChannel channel;
    for (const std::string& line : Numbered(5)) channel.Send(line, Sender());
    EXPECT_TRUE(channel.Flush(20000));
    channel.Close(1000);
    channel.Send("test after close", nullptr);
}

}  // namespace
}  // namespace pictavo
