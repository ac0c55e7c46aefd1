#pragma once
// The application module: remembers the main thread and each thread's message loop,
// so that a dialog can find the running loop to register its filter and idle handler.
#include <windows.h>

#include <map>

#include "text/UiTexts.h"

class CMessageLoop;

class CAppModule {
public:
    void Init(HINSTANCE instance);
    void Term();

    HINSTANCE Instance() const { return m_instance; }
    // The user's language, chosen once at start; English until then.
    const CUiTexts& Texts() const { return m_texts; }
    void ChooseTexts(const CUiTexts& texts) { m_texts = texts; }
    DWORD MainThreadId() const { return m_mainThreadId; }

    void AddMessageLoop(CMessageLoop* loop);
    void RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = GetCurrentThreadId()) const;

private:
    HINSTANCE m_instance = nullptr;
    DWORD m_mainThreadId = 0;
    CUiTexts m_texts;
    std::map<DWORD, CMessageLoop*> m_loops;
};

extern CAppModule _Module;
