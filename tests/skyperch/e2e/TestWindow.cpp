#include "TestWindow.h"

CTestWindow::CTestWindow(const char* className, RECT rect, COLORREF colour, DWORD exStyle)
    : className_(className), rect_(rect), colour_(colour), brush_(CreateSolidBrush(colour)) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = brush_;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(exStyle, className, className, WS_POPUP | WS_VISIBLE, rect.left, rect.top,
                              rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(window_);
    PumpMessages();
}

CTestWindow::~CTestWindow() {
    Destroy();
    UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
    if (brush_) DeleteObject(brush_);
}

POINT CTestWindow::AddChildButton(int x, int y, int width, int height) {
    HWND button = CreateWindowExA(0, "BUTTON", "Child", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y, width, height,
                                  window_, nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(button);
    PumpMessages();
    return {rect_.left + x + width / 2, rect_.top + y + height / 2};
}

void CTestWindow::Destroy() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
    PumpMessages();
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
