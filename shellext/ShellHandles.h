#pragma once
// Owners, on the pattern of Handles.h, for what the shell hands the extension: a string
// it allocated, the storage medium of a data object and the lock on its memory.
#include <windows.h>
#include <objbase.h>

#include "framework/Handles.h"

struct CoTaskStringTraits {
    using Handle = wchar_t*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CoTaskMemFree(h); }
};
struct StgMediumTraits {
    using Handle = STGMEDIUM*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ReleaseStgMedium(h); }
};
struct GlobalLockTraits {
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { GlobalUnlock(h); }
};

using UniqueCoTaskString = UniqueAny<CoTaskStringTraits>;
using UniqueStgMedium = UniqueAny<StgMediumTraits>;
using UniqueGlobalLock = UniqueAny<GlobalLockTraits>;
