#pragma once
// A request to stop a run, set by the user-interface thread and read by the worker at its
// safe points: between files, and between the chunks of a file that is only read.
//
// The worker marks its reads that may block (a pipe, a device, a share that has gone):
// opening, reading, listing a folder and asking for a file's attributes alike. Only such
// a call is cancelled by a stop, and only a worker held in one may be left behind when
// the program ends. A write is never cut short.
#include <atomic>

class CStopRequest {
public:
    void Request() { m_requested.store(true, std::memory_order_relaxed); }
    bool IsRequested() const { return m_requested.load(std::memory_order_relaxed); }

    // The worker reads, and does nothing else, while one lives. Scopes may nest: a read
    // made of several calls is marked whole.
    class ReadScope {
    public:
        explicit ReadScope(const CStopRequest& stop) : m_stop(stop) { ++m_stop.m_reading; }
        ~ReadScope() { --m_stop.m_reading; }
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        const CStopRequest& m_stop;
    };
    bool IsReading() const { return m_reading.load() > 0; }

private:
    std::atomic<bool> m_requested{false};
    mutable std::atomic<int> m_reading{0};
};
