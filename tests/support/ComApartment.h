#pragma once
// COM initialised on the test's thread for the object's life, as the program
// has it from its start. Declare it before anything that decodes pictures,
// so it ends after them.
#include <objbase.h>

namespace pictavo::testing {

class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

}  // namespace pictavo::testing
