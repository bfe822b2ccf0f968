#include "ComApartment.h"

#include <objbase.h>

#include "Libraries.h"

namespace {

struct Ole32 {
    decltype(&CoInitializeEx) initialize = nullptr;
    decltype(&CoUninitialize) uninitialize = nullptr;
};

const Ole32& Functions() {
    static const Ole32 functions = [] {
        const HMODULE ole32 = LoadSystemLibrary(L"ole32.dll");
        Ole32 found;
        found.initialize = reinterpret_cast<decltype(&CoInitializeEx)>(
            reinterpret_cast<void*>(GetProcAddress(ole32, "CoInitializeEx")));
        found.uninitialize = reinterpret_cast<decltype(&CoUninitialize)>(
            reinterpret_cast<void*>(GetProcAddress(ole32, "CoUninitialize")));
        return found;
    }();
    return functions;
}

}  // namespace

ComApartment::ComApartment() {
    // DISABLE_OLE1DDE: the shell's starts need no DDE, which could otherwise wait on other programs.
    // A thread already in the apartment gets S_FALSE, which is a success to undo too.
    if (Functions().initialize && Functions().uninitialize)
        initialised_ = SUCCEEDED(Functions().initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

ComApartment::~ComApartment() {
    if (initialised_) Functions().uninitialize();
}
