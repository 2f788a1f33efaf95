#include "platform/Trace.h"

#include <chrono>

namespace pictavo {

TTraceChannel::TTraceChannel(size_t capacity) : capacity_(capacity < 2 ? 2 : capacity) {}

// A channel still open when the process ends (one no one closed) lets its
// lines go within a short time rather than leave its thread running.
TTraceChannel::~TTraceChannel() { Close(1000); }

void TTraceChannel::Deliver(const Line& line) {
    // Looked up for every line, so a viewer started later receives what follows.
    HWND viewer = ::FindWindowA(nullptr, kTraceWindowTitle);
    if (!viewer) return;
    COPYDATASTRUCT data{};
    data.dwData = kTraceCopyDataId;
    data.cbData = static_cast<DWORD>(line.record.size());
    data.lpData = const_cast<uint8_t*>(line.record.data());
    // A viewer that does not answer in time loses the line, never the program.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(viewer, WM_COPYDATA, reinterpret_cast<WPARAM>(line.sender),
                          reinterpret_cast<LPARAM>(&data), SMTO_BLOCK | SMTO_ABORTIFHUNG, 250,
                          &answer);
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
            if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
            wake_.notify_one();
            return;
        }
    }
    Deliver(line);
}

void TTraceChannel::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) return;
        Line line = queue_.front();
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        Deliver(line);
        lock.lock();
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
        closed_ = stopping_ = true;
        // What the wait could not deliver is let go: the end must not wait on a viewer.
        dropped_ += queue_.size();
        queue_.clear();
        worker.swap(worker_);
        wake_.notify_all();
    }
    // At most the line in hand is still being delivered: one search and one
    // bounded send.
    if (worker.joinable()) worker.join();
}

TTraceChannel& TraceChannel() {
    static TTraceChannel channel;
    return channel;
}

void SendTrace(const std::string& text, HWND sender) { TraceChannel().Send(text, sender); }

}  // namespace pictavo
