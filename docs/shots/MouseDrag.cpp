#include "MouseDrag.h"

namespace {

constexpr int kSteps = 12;

// Under Wine, input alone can lose a move to the X server's own idea of the pointer: the
// pointer is put in place first, then the input comes from there.
void PlaceCursor(POINT at) {
    SetCursorPos(at.x, at.y);
    for (int i = 0; i < 100; ++i, Sleep(20)) {
        POINT now = {};
        if (GetCursorPos(&now) && now.x == at.x && now.y == at.y) return;
    }
}

void Send(DWORD flags, POINT at) {
    PlaceCursor(at);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Absolute positions run from 0 to 65535 across the screen.
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
    Sleep(40);
}

}  // namespace

CMouseDrag::CMouseDrag(POINT start) : m_at(start) {
    Send(MOUSEEVENTF_MOVE, m_at);
    Send(MOUSEEVENTF_LEFTDOWN, m_at);
}

CMouseDrag::~CMouseDrag() { Send(MOUSEEVENTF_LEFTUP, m_at); }

void CMouseDrag::MoveTo(POINT target) {
    const POINT from = m_at;
    for (int step = 1; step <= kSteps; ++step) {
        m_at = {from.x + (target.x - from.x) * step / kSteps, from.y + (target.y - from.y) * step / kSteps};
        Send(MOUSEEVENTF_MOVE, m_at);
    }
}
