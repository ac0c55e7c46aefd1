#include "MessageLoop.h"

#include <algorithm>

namespace {
template <typename T>
void Remove(std::vector<T*>& items, T* item) {
    items.erase(std::remove(items.begin(), items.end(), item), items.end());
}
}  // namespace

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) { m_filters.push_back(filter); }
void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { Remove(m_filters, filter); }
void CMessageLoop::AddIdleHandler(CIdleHandler* handler) { m_idleHandlers.push_back(handler); }
void CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) { Remove(m_idleHandlers, handler); }

int CMessageLoop::Run() {
    MSG msg = {};
    bool idleAllowed = true;
    for (;;) {
        while (idleAllowed && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            OnIdle();
            idleAllowed = false;
        }
        const BOOL result = GetMessageW(&msg, nullptr, 0, 0);
        if (result == -1) continue;
        if (result == 0) break;
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (IsIdleMessage(msg)) idleAllowed = true;
    }
    return int(msg.wParam);
}

bool CMessageLoop::IsIdleMessage(const MSG& msg) {
    // Mouse moves, paints and the caret's blink timer come too often to count as work.
    switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
        case WM_PAINT:
        case 0x0118:  // WM_SYSTIMER
            return false;
    }
    return true;
}

BOOL CMessageLoop::PreTranslateMessage(MSG* msg) {
    // The newest filter sees the message first.
    for (auto it = m_filters.rbegin(); it != m_filters.rend(); ++it)
        if ((*it)->PreTranslateMessage(msg)) return TRUE;
    return FALSE;
}

void CMessageLoop::OnIdle() {
    for (CIdleHandler* handler : m_idleHandlers) handler->OnIdle();
}
