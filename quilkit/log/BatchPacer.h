#pragma once
// How many lines the log window inserts at once. An insertion into the rich edit costs a
// part that grows with the text already there (Wine's control walks its paragraphs) and a
// part per inserted line. The per-line part is the cheapest cost per line seen so far (the
// fixed part is least while the text is short); the fixed part is what the last insertion
// took beyond that, grown with the text. Batches stay within a frame's budget while the
// per-line part dominates, and grow past it only as far as needed for the fixed part not
// to outweigh the lines: a long log then costs a bounded time per line instead of ever more.
#include <cstddef>

class CBatchPacer {
public:
    static constexpr double kBudgetMs = 40;
    static constexpr size_t kFirstBatch = 200;
    static constexpr size_t kMinBatch = 20;
    static constexpr size_t kMaxBatch = 20000;

    // The batch to take next, with `shown` entries already in the control.
    size_t NextBatch(size_t shown) const;
    // One insertion of `lines` entries into a control that held `shown` took `ms`.
    void Record(size_t shown, size_t lines, double ms);

private:
    double m_perLineMs = 0;
    double m_fixedMs = 0;
    size_t m_fixedAt = 0;
};
