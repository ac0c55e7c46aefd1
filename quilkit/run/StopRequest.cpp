#include "StopRequest.h"

#include <algorithm>

namespace {

// The registration of the calling thread, if it reads for a run.
thread_local CStopRequest::Reader* t_reader = nullptr;

}  // namespace

CStopRequest::ReadScope::ReadScope(const CStopRequest& stop) : m_stop(stop), m_reader(t_reader) {
    ++m_stop.m_reading;
    if (m_reader) ++m_reader->m_reading;
}

CStopRequest::ReadScope::~ReadScope() {
    if (m_reader) --m_reader->m_reading;
    --m_stop.m_reading;
}

CStopRequest::Reader::Reader(const CStopRequest& stop) : m_stop(stop) {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &m_thread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    t_reader = this;
    std::lock_guard<std::mutex> lock(m_stop.m_readersMutex);
    m_stop.m_readers.push_back(this);
}

CStopRequest::Reader::~Reader() {
    {
        std::lock_guard<std::mutex> lock(m_stop.m_readersMutex);
        auto& readers = m_stop.m_readers;
        readers.erase(std::remove(readers.begin(), readers.end(), this), readers.end());
    }
    t_reader = nullptr;
    if (m_thread) CloseHandle(m_thread);
}

void CStopRequest::CancelBlockedReads() const {
    std::lock_guard<std::mutex> lock(m_readersMutex);
    for (Reader* reader : m_readers)
        if (reader->m_thread && reader->m_reading.load() > 0) CancelSynchronousIo(reader->m_thread);
}
