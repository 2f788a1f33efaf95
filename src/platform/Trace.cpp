#include "platform/Trace.h"

#include <chrono>
#include <system_error>
#include <utility>

namespace pictavo {

TTraceChannel::TTraceChannel(size_t capacity) : capacity_(capacity < 2 ? 2 : capacity) {}

// A channel still open when the process ends (one no one closed) lets its
// lines go within a short time rather than leave its thread running.
TTraceChannel::~TTraceChannel() { Close(1000); }

HWND TTraceChannel::FindViewer() { return ::FindWindowA(nullptr, kTraceWindowTitle); }

bool TTraceChannel::Deliver(HWND viewer, const Line& line) {
    COPYDATASTRUCT data{};
    data.dwData = kTraceCopyDataId;
    data.cbData = static_cast<DWORD>(line.record.size());
    data.lpData = const_cast<uint8_t*>(line.record.data());
    // A viewer that does not answer in time loses the line, never the program.
    DWORD_PTR answer = 0;
    ::SetLastError(0);
    if (::SendMessageTimeoutA(viewer, WM_COPYDATA, reinterpret_cast<WPARAM>(line.sender),
                              reinterpret_cast<LPARAM>(&data), SMTO_BLOCK | SMTO_ABORTIFHUNG, 250,
                              &answer)) {
        return true;
    }
    return ::GetLastError() != ERROR_INVALID_WINDOW_HANDLE;
}

void TTraceChannel::Send(const std::string& text, HWND sender) {
    Line line{BuildTraceRecord(text), sender};
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!closed_) {
            // Room for the line, and for the note of a gap before it.
            if (queue_.size() + (dropped_ ? 2 : 1) > capacity_) {
                ++dropped_;
                return;
            }
            if (dropped_) {
                queue_.push_back({BuildTraceRecord("Trace: " + std::to_string(dropped_) +
                                                   " lines dropped while the viewer was slow"),
                                  sender});
                dropped_ = 0;
            }
            queue_.push_back(line);
            lastSender_ = sender;
            if (!worker_.joinable()) {
                try {
                    worker_ = std::thread([this] { Work(); });
                } catch (const std::system_error&) {
                    // No thread to be had: lines go out at once on the caller's.
                    queue_.clear();
                    closed_ = true;
                }
            }
            if (!closed_) {
                wake_.notify_one();
                return;
            }
        }
    }
    if (HWND viewer = FindViewer()) Deliver(viewer, line);
}

void TTraceChannel::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    std::deque<Line> batch;
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;
        batch.swap(queue_);
        busy_ = true;
        lock.unlock();
        // One search serves every line waiting: each was queued before it, so
        // any viewer that ran when a line was traced is found. A viewer gone
        // in the middle is searched for again.
        HWND viewer = FindViewer();
        size_t abandoned = 0;
        for (size_t i = 0; i < batch.size() && viewer; ++i) {
            if (abandon_) {
                abandoned = batch.size() - i;
                break;
            }
            if (!Deliver(viewer, batch[i]) && (viewer = FindViewer())) Deliver(viewer, batch[i]);
        }
        batch.clear();
        lock.lock();
        dropped_ += abandoned;
        busy_ = false;
        if (queue_.empty()) idle_.notify_all();
    }
}

bool TTraceChannel::Flush(DWORD waitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(waitMs),
                          [this] { return queue_.empty() && !busy_; });
}

void TTraceChannel::Close(DWORD waitMs) {
    Flush(waitMs);
    std::thread worker;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_) return;
        closed_ = stopping_ = abandon_ = true;
        // What the wait could not deliver is let go: the end must not wait on a viewer.
        dropped_ += queue_.size();
        queue_.clear();
        worker.swap(worker_);
        wake_.notify_all();
    }
    // At most one line in hand is still being delivered: a search or two and
    // one bounded send.
    if (worker.joinable()) worker.join();
    // Whoever reads the trace learns that its end is missing: one more bounded send.
    size_t dropped = 0;
    HWND sender = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::swap(dropped, dropped_);
        sender = lastSender_;
    }
    if (!dropped) return;
    if (HWND viewer = FindViewer()) {
        Deliver(viewer, {BuildTraceRecord("Trace: " + std::to_string(dropped) +
                                          " lines dropped as the trace ended"),
                         sender});
    }
}

TTraceChannel& TraceChannel() {
    static TTraceChannel channel;
    return channel;
}

void SendTrace(const std::string& text, HWND sender) { TraceChannel().Send(text, sender); }

}  // namespace pictavo
