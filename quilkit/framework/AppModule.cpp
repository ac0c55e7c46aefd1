#include "AppModule.h"

CAppModule _Module;

void CAppModule::Init(HINSTANCE instance) {
    m_instance = instance;
    m_mainThreadId = GetCurrentThreadId();
}

void CAppModule::Term() { m_loops.clear(); }

void CAppModule::AddMessageLoop(CMessageLoop* loop) { m_loops[GetCurrentThreadId()] = loop; }

void CAppModule::RemoveMessageLoop() { m_loops.erase(GetCurrentThreadId()); }

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const {
    auto it = m_loops.find(threadId);
    return it == m_loops.end() ? nullptr : it->second;
}
