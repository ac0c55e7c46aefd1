#include "BatchPacer.h"

#include <algorithm>

namespace {

// Fewer lines than this say more about the fixed part than about a line.
constexpr size_t kMinLinesForPerLine = 50;
// Below this a per-line cost is measurement noise.
constexpr double kMinPerLineMs = 0.001;

}  // namespace

void CBatchPacer::Record(size_t shown, size_t lines, double ms) {
    if (lines == 0) return;
    if (lines >= kMinLinesForPerLine) {
        const double perLine = std::max(ms / double(lines), kMinPerLineMs);
        if (m_perLineMs == 0 || perLine < m_perLineMs) m_perLineMs = perLine;
    }
    if (m_perLineMs == 0) return;
    m_fixedMs = std::max(0.0, ms - m_perLineMs * double(lines));
    m_fixedAt = std::max<size_t>(shown, 1);
}

size_t CBatchPacer::NextBatch(size_t shown) const {
    if (m_perLineMs == 0) return kFirstBatch;
    const double fixedMs = m_fixedMs * double(std::max(shown, m_fixedAt)) / double(m_fixedAt);
    const double withinBudget = (kBudgetMs - fixedMs) / m_perLineMs;
    const double balancingFixed = fixedMs / m_perLineMs;
    const double lines = std::max({withinBudget, balancingFixed, 0.0});
    return std::clamp(size_t(lines), kMinBatch, kMaxBatch);
}
