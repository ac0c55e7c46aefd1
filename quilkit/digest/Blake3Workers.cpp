#include "Blake3Workers.h"

#include <system_error>

CBlake3Workers::~CBlake3Workers() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    for (std::thread& worker : m_workers) worker.join();
}

void CBlake3Workers::Start() {
    try {
        for (unsigned index = 1; index < m_threads; ++index) m_workers.emplace_back(&CBlake3Workers::Loop, this, index);
    } catch (const std::system_error&) {
        // Fewer workers than asked: RunAll runs the jobs of the missing ones itself.
    }
}

void CBlake3Workers::RunAll(unsigned count, const std::function<void(unsigned)>& job) {
    if (count > 1 && m_workers.empty()) Start();
    // Job i goes to worker i when it exists; the calling thread takes the rest.
    const unsigned handedOut = count <= m_workers.size() + 1 ? count - 1 : unsigned(m_workers.size());
    if (handedOut > 0) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_job = &job;
        m_count = handedOut + 1;
        m_running = handedOut;
        ++m_round;
    }
    m_wake.notify_all();
    job(0);
    for (unsigned index = handedOut + 1; index < count; ++index) job(index);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_finished.wait(lock, [this] { return m_running == 0; });
    m_job = nullptr;
}

void CBlake3Workers::Loop(unsigned index) {
    uint64_t seen = 0;
    for (;;) {
        const std::function<void(unsigned)>* job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_quit || m_round != seen; });
            if (m_quit) return;
            seen = m_round;
            if (index >= m_count) continue;
            job = m_job;
        }
        (*job)(index);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (--m_running == 0) m_finished.notify_all();
    }
}
