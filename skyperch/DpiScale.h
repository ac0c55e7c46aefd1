#pragma once
// Sizes that follow a display's DPI, free of any platform call so that they build and are
// tested natively. 96 DPI is 100 %; a DPI that could not be read (0 or less) counts as 96.
class CDpiScale {
public:
    static constexpr int kDefaultDpi = 96;

    static int Normalised(int dpi) { return dpi > 0 ? dpi : kDefaultDpi; }

    // value (in pixels at 96 DPI) at dpi, rounded to the nearest pixel as Windows scales
    // its metrics (MulDiv), and never below 1 for a positive value.
    static int Scale(int value, int dpi);

    // The edge of a square icon drawn at baseSize pixels for 96 DPI: 32 gives 40, 48 and
    // 64 at 120, 144 and 192 DPI; 16 gives 20, 24 and 32.
    static int IconSize(int baseSize, int dpi) { return Scale(baseSize, dpi); }

    // The width of the finder's inverted frame: 3 pixels at 100 %, 6 at 200 %.
    static int FrameThickness(int dpi);
};
