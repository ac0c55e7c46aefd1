#pragma once
// The application module: remembers the main thread and each thread's message loop,
// so that a dialog can find the running loop to register its filter and idle handler.
#include <windows.h>

#include <map>

class CMessageLoop;

class CAppModule {
public:
    void Init(HINSTANCE instance);
    void Term();

    HINSTANCE Instance() const { return m_instance; }
    DWORD MainThreadId() const { return m_mainThreadId; }

    void AddMessageLoop(CMessageLoop* loop);
    void RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = GetCurrentThreadId()) const;

private:
    HINSTANCE m_instance = nullptr;
    DWORD m_mainThreadId = 0;
    std::map<DWORD, CMessageLoop*> m_loops;
};

extern CAppModule _Module;
