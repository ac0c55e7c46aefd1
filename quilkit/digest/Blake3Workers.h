#pragma once
// The threads a BLAKE3 digest spreads a long Update over. They start with the first Update
// that needs them and wait between Updates, so that a file read 1 MiB at a time does not
// start threads for every read (under Wine starting one costs milliseconds); the
// destructor ends and joins them.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CBlake3Workers {
public:
    // At most `threads` jobs run at once, the calling thread's included.
    explicit CBlake3Workers(unsigned threads) : m_threads(threads == 0 ? 1 : threads) {}
    ~CBlake3Workers();
    CBlake3Workers(const CBlake3Workers&) = delete;
    CBlake3Workers& operator=(const CBlake3Workers&) = delete;

    unsigned Threads() const { return m_threads; }

    // Runs job(0) .. job(count - 1), count at most Threads(): job 0 on the calling thread,
    // the others on the workers; returns when all have ended. Where no thread can be
    // started, the calling thread runs them all.
    void RunAll(unsigned count, const std::function<void(unsigned)>& job);

private:
    void Start();
    void Loop(unsigned index);

    const unsigned m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_finished;
    const std::function<void(unsigned)>* m_job = nullptr;
    unsigned m_count = 0;
    uint64_t m_round = 0;
    unsigned m_running = 0;
    bool m_quit = false;
    std::vector<std::thread> m_workers;
};
