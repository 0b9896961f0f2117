// corvrend.dll as the core driver sees it, by export and raw vtable slot.
#pragma once

#include "common/platform/oemintf.h"
#include "tests/support/rawcom.h"

#include <string>

namespace corvtest {

// The DLL sits beside the test program.
inline HMODULE RenderModule() {
    static HMODULE module = LoadBesideTests(L"corvrend.dll");
    return module;
}

template <typename F>
F Export(const char* name) {
    return ExportOf<F>(RenderModule(), name);
}

inline HRESULT GetRenderClassObject(const CLSID& clsid, const IID& iid, void** out) {
    return Export<GetClassObjectFn>("DllGetClassObject")(&clsid, &iid, out);
}
inline HRESULT RenderCanUnloadNow() { return Export<CanUnloadNowFn>("DllCanUnloadNow")(); }

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
