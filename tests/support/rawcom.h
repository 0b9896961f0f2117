// A plug-in DLL as the core driver sees it: loaded by path from beside the test program, reached
// through its exports and through raw vtable slots, so a slot mix-up in the DLL shows as the
// wrong method answering. Nothing of the plug-in's code is linked into such tests.
#pragma once

#include "common/platform/oemintf.h"

#include <string>

namespace corvtest {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(const CLSID*, const IID*, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

// Loads `file` from the test program's folder; null when it is not there.
inline HMODULE LoadBesideTests(const wchar_t* file) {
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    dir.resize(dir.find_last_of(L"\\/") + 1);
    return LoadLibraryW((dir + file).c_str());
}

template <typename F>
F ExportOf(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Calls vtable slot `slot` of a COM object with the exact parameter types of that method.
template <typename R, typename... A>
R Slot(void* object, int slot, A... args) {
    using F = R(STDMETHODCALLTYPE*)(void*, A...);
    void** table = *static_cast<void***>(object);
    return reinterpret_cast<F>(table[slot])(object, args...);
}

// IUnknown, by slot.
struct RawUnknown {
    void* p = nullptr;
    HRESULT QueryInterface(const IID& iid, void** out) const { return Slot<HRESULT, const IID*, void**>(p, 0, &iid, out); }
    ULONG AddRef() const { return Slot<ULONG>(p, 1); }
    ULONG Release() const { return Slot<ULONG>(p, 2); }
};

// IClassFactory, by slot.
struct RawFactory : RawUnknown {
    HRESULT CreateInstance(void* outer, const IID& iid, void** out) const {
        return Slot<HRESULT, void*, const IID*, void**>(p, 3, outer, &iid, out);
    }
    HRESULT LockServer(BOOL lock) const { return Slot<HRESULT, BOOL>(p, 4, lock); }
};

}  // namespace corvtest
