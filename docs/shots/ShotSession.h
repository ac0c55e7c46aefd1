#pragma once
// CShotSession: the hand-shake with scripts/make-screenshots.sh, which takes the pictures
// from the X server. For each picture this program writes "<name>.rect" into the marker
// folder, the part of Wine's desktop to take as "x y width height", and waits until the
// script has written "<name>.done".
#include <windows.h>

#include <string>
#include <vector>

class CShotSession {
public:
    // Every picture's name ends in suffix.
    CShotSession(std::string markerFolder, std::string suffix)
        : m_markers(std::move(markerFolder)), m_suffix(std::move(suffix)) {}

    // Takes the smallest rectangle around the windows, `margin` pixels of desktop added.
    bool Capture(const std::string& name, const std::vector<HWND>& windows, int margin = 0);
    // Counts a picture that cannot be set up; returns false.
    bool Fail(const std::string& name, const char* why);
    int Failures() const { return m_failures; }

private:
    std::string m_markers;
    std::string m_suffix;
    int m_failures = 0;
};
