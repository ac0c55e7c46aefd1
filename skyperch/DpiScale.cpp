#include "DpiScale.h"

#include "FinderRules.h"

int CDpiScale::Scale(int value, int dpi) {
    const long long scaled = (static_cast<long long>(value) * Normalised(dpi) + kDefaultDpi / 2) / kDefaultDpi;
    if (value > 0 && scaled < 1) return 1;
    return static_cast<int>(scaled);
}

int CDpiScale::FrameThickness(int dpi) { return Scale(CFinderRules::kFrameThickness, dpi); }
