#include "host/prefs/coreui.h"

#include <cstring>

namespace corv::host {

HostCoreUi::HostCoreUi(const Ppd& ppd) : FeatureChoices(ppd) {
    procs_.DrvGetDriverSetting = &GetDriverSettingProc;
    procs_.DrvUpdateUISetting = &UpdateUISettingProc;
    object_.header.cbSize = sizeof(OEMUIOBJ);
    object_.header.pOemUIProcs = &procs_;
    object_.owner = this;
}

bool HostCoreUi::Known(const void* object) {
    if (object == &object_.header) return true;
    Violation("a call with a driver UI object the driver never handed out");
    return false;
}

BOOL APIENTRY HostCoreUi::GetDriverSettingProc(PVOID pdriverobj, PCSTR feature, PVOID output, DWORD size,
                                               PDWORD needed, PDWORD returned) {
    if (!pdriverobj) return FALSE;
    HostCoreUi* self = reinterpret_cast<UiObject*>(pdriverobj)->owner;
    return self->DrvGetDriverSetting(pdriverobj, feature, output, size, needed, returned) == S_OK;
}

BOOL APIENTRY HostCoreUi::UpdateUISettingProc(PVOID pdriverobj, PVOID item, DWORD previous, DWORD mode) {
    if (!pdriverobj) return FALSE;
    HostCoreUi* self = reinterpret_cast<UiObject*>(pdriverobj)->owner;
    return self->DrvUpdateUISetting(pdriverobj, item, previous, mode) == S_OK;
}

STDMETHODIMP HostCoreUi::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverUI) ||
        IsEqualIID(riid, IID_IPrintCoreUI2)) {
        *out = static_cast<IPrintCoreUI2*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) HostCoreUi::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) HostCoreUi::Release() {
    // The object belongs to the core driver; a release below its own reference is the plug-in's
    // fault, and the object must survive it.
    if (refs_ <= 1) {
        Violation("IPrintCoreUI2::Release without a matching AddRef");
        return refs_;
    }
    return InterlockedDecrement(&refs_);
}

// A driver setting is the current option of a feature: "True" or "False" for an installable
// option such as "FaxCard", as one NUL-terminated keyword.
STDMETHODIMP HostCoreUi::DrvGetDriverSetting(PVOID pci, PCSTR Feature, PVOID pOutput, DWORD cbSize, PDWORD pcbNeeded,
                                             PDWORD pdwOptionsReturned) {
    return Guarded([&]() -> HRESULT {
        if (!Known(pci) || !Feature || !pcbNeeded) return E_INVALIDARG;
        if (pdwOptionsReturned) *pdwOptionsReturned = 0;
        const std::string* option = Selection(Feature);
        if (!option || option->empty()) {
            *pcbNeeded = 0;
            return E_INVALIDARG;
        }
        HRESULT hr = DeliverText(*option, static_cast<PBYTE>(pOutput), cbSize, pcbNeeded);
        if (hr == S_OK && pdwOptionsReturned) *pdwOptionsReturned = 1;
        return hr;
    });
}

STDMETHODIMP HostCoreUi::DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) { return E_NOTIMPL; }

STDMETHODIMP HostCoreUi::DrvUpdateUISetting(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection, DWORD dwMode) {
    return Guarded([&]() -> HRESULT {
        if (!Known(pci)) return E_INVALIDARG;
        if (!pOptItem) {
            Violation("DrvUpdateUISetting without an option item");
            return E_INVALIDARG;
        }
        updates_.push_back({static_cast<POPTITEM>(pOptItem), dwPreviousSelection, dwMode});
        return S_OK;
    });
}

STDMETHODIMP HostCoreUi::GetOptions(POEMUIOBJ, DWORD, PCSTR, DWORD, PSTR, DWORD, PDWORD) { return E_NOTIMPL; }
STDMETHODIMP HostCoreUi::SetOptions(POEMUIOBJ, DWORD, PCSTR, DWORD, PDWORD) { return E_NOTIMPL; }
STDMETHODIMP HostCoreUi::EnumConstrainedOptions(POEMUIOBJ, DWORD, PCSTR, PSTR, DWORD, PDWORD) { return E_NOTIMPL; }
STDMETHODIMP HostCoreUi::WhyConstrained(POEMUIOBJ, DWORD, PCSTR, PCSTR, PSTR, DWORD, PDWORD) { return E_NOTIMPL; }

STDMETHODIMP HostCoreUi::GetGlobalAttribute(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszAttribute,
                                            PDWORD pdwDataType, PBYTE pbData, DWORD cbSize, PDWORD pcbNeeded) {
    return Guarded([&]() -> HRESULT {
        if (!Known(poemuiobj) || dwFlags != 0 || !pszAttribute || !pdwDataType || !pcbNeeded) return E_INVALIDARG;
        if (std::strcmp(pszAttribute, "NickName") != 0) return E_NOTIMPL;
        const std::string* name = ppd_.Global("NickName");
        if (!name) {
            *pcbNeeded = 0;
            return E_INVALIDARG;
        }
        *pdwDataType = kADT_UNICODE;
        return DeliverWide(*name, pbData, cbSize, pcbNeeded);
    });
}

STDMETHODIMP HostCoreUi::GetFeatureAttribute(POEMUIOBJ, DWORD, PCSTR, PCSTR, PDWORD, PBYTE, DWORD, PDWORD) {
    return E_NOTIMPL;
}
STDMETHODIMP HostCoreUi::GetOptionAttribute(POEMUIOBJ, DWORD, PCSTR, PCSTR, PCSTR, PDWORD, PBYTE, DWORD, PDWORD) {
    return E_NOTIMPL;
}
STDMETHODIMP HostCoreUi::EnumFeatures(POEMUIOBJ, DWORD, PSTR, DWORD, PDWORD) { return E_NOTIMPL; }

STDMETHODIMP HostCoreUi::EnumOptions(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PSTR pmszOptionList,
                                     DWORD cbSize, PDWORD pcbNeeded) {
    return Guarded([&]() -> HRESULT {
        if (!Known(poemuiobj) || dwFlags != 0 || !pszFeatureKeyword || !pcbNeeded) return E_INVALIDARG;
        std::vector<std::string> options = PrinterOptions(pszFeatureKeyword);
        if (options.empty()) {
            *pcbNeeded = 0;
            return E_INVALIDARG;
        }
        std::string list = MultiSz(options);
        return Deliver(list.data(), list.size(), pmszOptionList, cbSize, pcbNeeded);
    });
}

STDMETHODIMP HostCoreUi::QuerySimulationSupport(HANDLE, DWORD, PBYTE, DWORD, PDWORD) { return E_NOTIMPL; }

}  // namespace corv::host
