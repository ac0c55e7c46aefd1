#pragma once
#include <windows.h>

#include <utility>

// A cursor made by LoadImageW without LR_SHARED, which its owner must destroy.
class CUniqueCursor {
public:
    CUniqueCursor() = default;
    explicit CUniqueCursor(HCURSOR cursor) : cursor_(cursor) {}
    ~CUniqueCursor() { Reset(); }
    CUniqueCursor(CUniqueCursor&& other) noexcept : cursor_(std::exchange(other.cursor_, nullptr)) {}
    CUniqueCursor& operator=(CUniqueCursor&& other) noexcept {
        if (this != &other) {
            Reset();
            cursor_ = std::exchange(other.cursor_, nullptr);
        }
        return *this;
    }
    CUniqueCursor(const CUniqueCursor&) = delete;
    CUniqueCursor& operator=(const CUniqueCursor&) = delete;

    HCURSOR Get() const { return cursor_; }

private:
    void Reset() {
        if (cursor_) DestroyCursor(cursor_);
        cursor_ = nullptr;
    }

    HCURSOR cursor_ = nullptr;
};
