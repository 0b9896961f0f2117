// The core driver's UI helper as the About page meets it: GetGlobalAttribute answers "NickName"
// with a model name, or with nothing when the printer description gives none. Every other method
// is refused.
#pragma once

#include "common/platform/oemintf.h"

#include <cstring>
#include <string>

namespace corvtest {

class FakeCoreUi final : public IPrintCoreUI2 {
public:
    std::wstring nickName;  // empty: the description has no model name
    int nickNameCalls = 0;

    STDMETHOD(QueryInterface)(REFIID, void** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 1; }
    STDMETHOD_(ULONG, Release)() override { return 1; }

    STDMETHOD(DrvGetDriverSetting)(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(DrvUpgradeRegistrySetting)(HANDLE, PCSTR, PCSTR) override { return E_NOTIMPL; }
    STDMETHOD(DrvUpdateUISetting)(PVOID, PVOID, DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetOptions)(POEMUIOBJ, DWORD, PCSTR, DWORD, PSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetOptions)(POEMUIOBJ, DWORD, PCSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumConstrainedOptions)(POEMUIOBJ, DWORD, PCSTR, PSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(WhyConstrained)(POEMUIOBJ, DWORD, PCSTR, PCSTR, PSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetGlobalAttribute)(POEMUIOBJ, DWORD, PCSTR attribute, PDWORD type, PBYTE data, DWORD size,
                                  PDWORD needed) override {
        if (!attribute || std::strcmp(attribute, "NickName") != 0 || !needed) return E_INVALIDARG;
        ++nickNameCalls;
        if (nickName.empty()) {
            *needed = 0;
            return E_INVALIDARG;
        }
        DWORD bytes = static_cast<DWORD>((nickName.size() + 1) * sizeof(WCHAR));
        *needed = bytes;
        if (type) *type = 6;  // kADT_UNICODE
        if (!data || size < bytes) return E_OUTOFMEMORY;
        std::memcpy(data, nickName.c_str(), bytes);
        return S_OK;
    }
    STDMETHOD(GetFeatureAttribute)(POEMUIOBJ, DWORD, PCSTR, PCSTR, PDWORD, PBYTE, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(GetOptionAttribute)(POEMUIOBJ, DWORD, PCSTR, PCSTR, PCSTR, PDWORD, PBYTE, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(EnumFeatures)(POEMUIOBJ, DWORD, PSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumOptions)(POEMUIOBJ, DWORD, PCSTR, PSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(QuerySimulationSupport)(HANDLE, DWORD, PBYTE, DWORD, PDWORD) override { return E_NOTIMPL; }
};

}  // namespace corvtest
