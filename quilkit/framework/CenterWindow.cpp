#include "CenterWindow.h"

void CenterWindowOverOwner(HWND window) {
    RECT workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);

    RECT center = workArea;
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &center);

    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int left = (center.left + center.right) / 2 - width / 2;
    int top = (center.top + center.bottom) / 2 - height / 2;

    if (left + width > workArea.right) left = workArea.right - width;
    if (left < workArea.left) left = workArea.left;
    if (top + height > workArea.bottom) top = workArea.bottom - height;
    if (top < workArea.top) top = workArea.top;

    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
