#pragma once
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/TraceRecord.h"

namespace pictavo {

// Carries trace lines to the trace viewer, if one runs. A line is queued and
// one worker thread delivers the queue in order, so the caller never waits on
// the viewer, nor on the search for it: under Wine that search alone costs
// several round trips to the server. Safe to call from any thread.
class TTraceChannel {
public:
    explicit TTraceChannel(size_t capacity = 1024);
    ~TTraceChannel();
    TTraceChannel(const TTraceChannel&) = delete;
    TTraceChannel& operator=(const TTraceChannel&) = delete;

    // Queues the line; the worker starts with the first one. While the queue
    // is full (a viewer slower than the program) lines are dropped and counted,
    // and the next line that finds room is preceded by one saying how many.
    void Send(const std::string& text, HWND sender);
    // Waits, at most waitMs, until every line queued so far has been handled.
    // Returns false when the time ran out first.
    bool Flush(DWORD waitMs);
    // Delivers what is queued within waitMs, drops the rest, and ends the
    // worker; a last line says how many were dropped. Lines sent afterwards
    // are delivered at once on the caller's thread.
    void Close(DWORD waitMs);

private:
    struct Line {
        TraceRecord record;
        HWND sender;
    };
    static HWND FindViewer();
    // False when the viewer's window has gone.
    static bool Deliver(HWND viewer, const Line& line);
    void Work();

    const size_t capacity_;
    std::mutex mutex_;
    std::condition_variable wake_;  // a line came, or the end was asked for
    std::condition_variable idle_;  // the queue ran dry
    std::deque<Line> queue_;
    size_t dropped_ = 0;
    HWND lastSender_ = nullptr;  // the window the last queued line was sent for
    bool busy_ = false;  // the worker holds a line it has taken off the queue
    bool stopping_ = false;
    bool closed_ = false;
    std::atomic<bool> abandon_{false};  // the end came: lines in hand are let go
    std::thread worker_;
};

// The program's channel: every trace line goes through here.
TTraceChannel& TraceChannel();

// Sends one trace line to the trace viewer through the program's channel.
void SendTrace(const std::string& text, HWND sender);

}  // namespace pictavo
