#pragma once
// A request to stop a run, set by the user-interface thread and read by the worker at its
// safe points: between files, and between the chunks of a file that is only read.
//
// The worker marks its reads that may block (a pipe, a device, a share that has gone):
// opening, reading, listing a folder and asking for a file's attributes alike. Only such
// a call is cancelled by a stop, and only a worker held in one may be left behind when
// the program ends. A write is never cut short.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <vector>

class CStopRequest {
public:
    void Request() { m_requested.store(true, std::memory_order_relaxed); }
    bool IsRequested() const { return m_requested.load(std::memory_order_relaxed); }

    class Reader;
    // The worker reads, and does nothing else, while one lives. Scopes may nest: a read
    // made of several calls is marked whole.
    class ReadScope {
    public:
        explicit ReadScope(const CStopRequest& stop);
        ~ReadScope();
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        const CStopRequest& m_stop;
        Reader* m_reader;
    };
    // Whether any thread of the run is in a read.
    bool IsReading() const { return m_reading.load() > 0; }

    // A thread that reads for the run (the worker, or one that hashes beside it), for as
    // long as it lives: CancelBlockedReads may end the call it waits in.
    class Reader {
    public:
        explicit Reader(const CStopRequest& stop);
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;

    private:
        friend class CStopRequest;
        const CStopRequest& m_stop;
        HANDLE m_thread = nullptr;
        std::atomic<int> m_reading{0};
    };
    // Cancels the call of every registered thread that is in a read. A stop that came
    // while a thread was entering its read finds nothing to cancel: whoever waits for a
    // stopping run repeats this now and then.
    void CancelBlockedReads() const;

private:
    std::atomic<bool> m_requested{false};
    mutable std::atomic<int> m_reading{0};
    mutable std::mutex m_readersMutex;
    mutable std::vector<Reader*> m_readers;
};
