#pragma once
// CMouseDrag: the left button held down with real mouse input, as a user holds it: it goes
// down where the object is made, the mouse moves in steps, and it comes up where the
// mouse is when the object goes. One that never moves is a click.
#include <windows.h>

class CMouseDrag {
public:
    explicit CMouseDrag(POINT start);
    ~CMouseDrag();
    CMouseDrag(const CMouseDrag&) = delete;
    CMouseDrag& operator=(const CMouseDrag&) = delete;

    void MoveTo(POINT target);

private:
    POINT m_at;
};
