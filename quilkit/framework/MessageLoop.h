#pragma once
// The per-thread message loop with message filters and idle handlers.
#include <windows.h>

#include <vector>

class CMessageFilter {
public:
    // Returns TRUE when the message was handled and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;

protected:
    ~CMessageFilter() = default;
};

class CIdleHandler {
public:
    // Returns TRUE while there is more idle work to do.
    virtual BOOL OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};

class CMessageLoop {
public:
    void AddMessageFilter(CMessageFilter* filter);
    void RemoveMessageFilter(CMessageFilter* filter);
    void AddIdleHandler(CIdleHandler* handler);
    void RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and returns its wParam as the exit code.
    int Run();

    static bool IsIdleMessage(const MSG& msg);

private:
    BOOL PreTranslateMessage(MSG* msg);
    void OnIdle();

    std::vector<CMessageFilter*> m_filters;
    std::vector<CIdleHandler*> m_idleHandlers;
};
