#pragma once
#include <objbase.h>

// COM on the user-interface thread for the program's lifetime; uninitialised only when
// the initialisation counted.
class CComApartment {
public:
    CComApartment() : result_(CoInitialize(nullptr)) {}
    ~CComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    HRESULT result_;
};
