// corvrend.dll as the core driver sees it: loaded by path, reached through its two exports and
// through raw vtable slots. Nothing of the plug-in's code is linked into these tests; a slot
// mix-up in the DLL shows as the wrong method answering.
#pragma once

#include "common/platform/oemintf.h"

#include <string>

namespace corvtest {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(const CLSID*, const IID*, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

// The DLL sits beside the test program.
inline HMODULE RenderModule() {
    static HMODULE module = [] {
        WCHAR path[MAX_PATH];
        DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dir(path, n);
        dir.resize(dir.find_last_of(L"\\/") + 1);
        return LoadLibraryW((dir + L"corvrend.dll").c_str());
    }();
    return module;
}

template <typename F>
F Export(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(RenderModule(), name)));
}

inline HRESULT GetRenderClassObject(const CLSID& clsid, const IID& iid, void** out) {
    return Export<GetClassObjectFn>("DllGetClassObject")(&clsid, &iid, out);
}
inline HRESULT RenderCanUnloadNow() { return Export<CanUnloadNowFn>("DllCanUnloadNow")(); }

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

// IPrintOemPS2, by slot, in the interface chain's order.
struct RawPlugin : RawUnknown {
    HRESULT GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) const {
        return Slot<HRESULT, DWORD, PVOID, DWORD, PDWORD>(p, 3, mode, buffer, size, needed);
    }
    HRESULT DevMode(DWORD mode, POEMDMPARAM param) const { return Slot<HRESULT, DWORD, POEMDMPARAM>(p, 4, mode, param); }
    HRESULT EnableDriver(DWORD version, DWORD size, PDRVENABLEDATA data) const {
        return Slot<HRESULT, DWORD, DWORD, PDRVENABLEDATA>(p, 5, version, size, data);
    }
    HRESULT DisableDriver() const { return Slot<HRESULT>(p, 6); }
    HRESULT EnablePDEV(PDEVOBJ device, DRVENABLEDATA* core, PDEVOEM* state) const {
        return Slot<HRESULT, PDEVOBJ, PWSTR, ULONG, HSURF*, ULONG, GDIINFO*, ULONG, DEVINFO*, DRVENABLEDATA*, PDEVOEM*>(
            p, 7, device, const_cast<PWSTR>(L"Corvane PS"), 0, nullptr, 0, nullptr, 0, nullptr, core, state);
    }
    HRESULT DisablePDEV(PDEVOBJ device) const { return Slot<HRESULT, PDEVOBJ>(p, 8, device); }
    HRESULT ResetPDEV(PDEVOBJ from, PDEVOBJ to) const { return Slot<HRESULT, PDEVOBJ, PDEVOBJ>(p, 9, from, to); }
    HRESULT PublishDriverInterface(IUnknown* helper) const { return Slot<HRESULT, IUnknown*>(p, 10, helper); }
    HRESULT Command(PDEVOBJ device, DWORD point, DWORD* result) const {
        return Slot<HRESULT, PDEVOBJ, DWORD, PVOID, DWORD, DWORD*>(p, 11, device, point, nullptr, 0, result);
    }
    HRESULT WritePrinter(PDEVOBJ device, PVOID buffer, DWORD size, PDWORD written) const {
        return Slot<HRESULT, PDEVOBJ, PVOID, DWORD, PDWORD>(p, 12, device, buffer, size, written);
    }
    HRESULT GetPDEVAdjustment(PDEVOBJ device, DWORD type, PVOID buffer, DWORD size, BOOL* done) const {
        return Slot<HRESULT, PDEVOBJ, DWORD, PVOID, DWORD, BOOL*>(p, 13, device, type, buffer, size, done);
    }
};

// The way the core driver creates a plug-in: class object, instance as IUnknown, then the
// interface it wants.
inline RawPlugin CreatePlugin() {
    RawFactory factory;
    if (FAILED(GetRenderClassObject(CLSID_OEMRENDER, IID_IClassFactory, &factory.p))) return {};
    RawUnknown unknown;
    factory.CreateInstance(nullptr, IID_IUnknown, &unknown.p);
    factory.Release();
    if (!unknown.p) return {};
    RawPlugin plugin;
    unknown.QueryInterface(IID_IPrintOemPS2, &plugin.p);
    unknown.Release();
    return plugin;
}

}  // namespace corvtest
