#pragma once
#include <windows.h>

// A library loaded with LoadLibraryExW, freed on scope exit.
class CUniqueLibrary {
public:
    CUniqueLibrary() = default;
    explicit CUniqueLibrary(HMODULE module) : module_(module) {}
    ~CUniqueLibrary() {
        if (module_) FreeLibrary(module_);
    }
    CUniqueLibrary(const CUniqueLibrary&) = delete;
    CUniqueLibrary& operator=(const CUniqueLibrary&) = delete;

    HMODULE Get() const { return module_; }

private:
    HMODULE module_ = nullptr;
};
