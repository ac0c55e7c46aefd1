#pragma once
// A request to stop a run, set by the user-interface thread and read by the worker at its
// safe points: between files, and between the chunks of a file that is only read.
#include <atomic>

class CStopRequest {
public:
    void Request() { m_requested.store(true, std::memory_order_relaxed); }
    bool IsRequested() const { return m_requested.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_requested{false};
};
