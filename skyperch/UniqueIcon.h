#pragma once
#include <windows.h>

#include <utility>

// An icon made by LoadImageW without LR_SHARED, which its owner must destroy.
class CUniqueIcon {
public:
    CUniqueIcon() = default;
    explicit CUniqueIcon(HICON icon) : icon_(icon) {}
    ~CUniqueIcon() { Reset(); }
    CUniqueIcon(CUniqueIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    CUniqueIcon& operator=(CUniqueIcon&& other) noexcept {
        if (this != &other) {
            Reset();
            icon_ = std::exchange(other.icon_, nullptr);
        }
        return *this;
    }
    CUniqueIcon(const CUniqueIcon&) = delete;
    CUniqueIcon& operator=(const CUniqueIcon&) = delete;

    HICON Get() const { return icon_; }

private:
    void Reset() {
        if (icon_) DestroyIcon(icon_);
        icon_ = nullptr;
    }

    HICON icon_ = nullptr;
};
