#pragma once
// Which rectangle the log takes when its monitor's scale changes. Windows scales a window
// that comes onto a monitor of another scale, and a window the user drags there takes the
// size Windows suggests. The place the log opens at is where the user left it, in the
// pixels of the monitor it was left on: scaled once more on its way there, it would grow
// at every session. Free of any platform call, so that it is tested natively: Wine shows
// one scale only.
struct ScreenRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
};

class CScaleChangeRule {
public:
    // From the program's own move of the window to `target` until that move is done: a
    // change of scale on the way keeps the target.
    void BeginPlacing(const ScreenRect& target);
    void EndPlacing() { m_placing = false; }

    // The answer to Windows' question for the size at a new scale (WM_GETDPISCALEDSIZE):
    // true with the size to keep; false leaves Windows' own scaling.
    bool KeptSize(long& width, long& height) const;
    // The rectangle to take when the scale has changed (WM_DPICHANGED).
    ScreenRect RectAfterChange(const ScreenRect& suggested) const;

private:
    bool m_placing = false;
    ScreenRect m_target;
};
