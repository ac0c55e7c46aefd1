#pragma once
// A top-level window of the test's own, filled with one colour so that the finder's
// inverted frame can be read back from the screen. No border or caption: the window's
// rectangle is exactly its painted area.
#include <windows.h>

#include <string>

class CTestWindow {
public:
    CTestWindow(const char* className, RECT rect, COLORREF colour, DWORD exStyle = 0);
    ~CTestWindow();
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;

    HWND Window() const { return window_; }
    const std::string& ClassName() const { return className_; }
    COLORREF Colour() const { return colour_; }
    RECT Rect() const { return rect_; }
    POINT At(int dx, int dy) const { return {rect_.left + dx, rect_.top + dy}; }

    // Adds a push button child, returns its centre in screen coordinates.
    POINT AddChildButton(int x, int y, int width, int height);

    void Destroy();

private:
    std::string className_;
    RECT rect_;
    COLORREF colour_;
    HWND window_ = nullptr;
    HBRUSH brush_ = nullptr;
};

// Handles the messages sent and posted to the test's own windows.
void PumpMessages();
