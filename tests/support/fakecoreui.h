// A stand-in for the core driver's UI helper IPrintCoreUI2 as the UI plug-in object meets it:
// DrvGetDriverSetting answers "FaxCard", EnumOptions tells which features the printer has,
// GetGlobalAttribute answers "NickName", and every DrvUpdateUISetting call is recorded. It is
// handed out by QueryInterface for IID_IPrintCoreUI2 and counts its references, so a test can see
// that the plug-in keeps exactly one and gives it back.
#pragma once

#include "common/platform/oemintf.h"

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace corvtest {

class FakeCoreDriverUi final : public IPrintCoreUI2 {
public:
    std::string faxCard;             // the "FaxCard" setting; empty: the driver has none
    std::set<std::string> features;  // features EnumOptions reports as present
    std::wstring nickName;  // empty: the printer description has no model name
    int nickNameCalls = 0;
    LONG refs = 1;
    std::vector<std::string> featureQueries;

    struct UiUpdate {
        PVOID object;
        PVOID item;
        DWORD previous;
        DWORD mode;
    };
    std::vector<UiUpdate> updates;

    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintCoreUI2)) {
            *out = static_cast<IPrintCoreUI2*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(++refs); }
    STDMETHOD_(ULONG, Release)() override { return static_cast<ULONG>(--refs); }

    STDMETHOD(DrvGetDriverSetting)(PVOID, PCSTR feature, PVOID output, DWORD size, PDWORD needed,
                                   PDWORD returned) override {
        if (!feature || !needed || std::strcmp(feature, "FaxCard") != 0 || faxCard.empty()) return E_INVALIDARG;
        featureQueries.push_back(feature);
        DWORD bytes = static_cast<DWORD>(faxCard.size() + 1);
        *needed = bytes;
        if (!output || size < bytes) return E_OUTOFMEMORY;
        std::memcpy(output, faxCard.c_str(), bytes);
        if (returned) *returned = 1;
        return S_OK;
    }
    STDMETHOD(DrvUpgradeRegistrySetting)(HANDLE, PCSTR, PCSTR) override { return E_NOTIMPL; }
    STDMETHOD(DrvUpdateUISetting)(PVOID object, PVOID item, DWORD previous, DWORD mode) override {
        updates.push_back({object, item, previous, mode});
        return S_OK;
    }
    STDMETHOD(GetOptions)(POEMUIOBJ, DWORD, PCSTR, DWORD, PSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(SetOptions)(POEMUIOBJ, DWORD, PCSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumConstrainedOptions)(POEMUIOBJ, DWORD, PCSTR, PSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(WhyConstrained)(POEMUIOBJ, DWORD, PCSTR, PCSTR, PSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetGlobalAttribute)(POEMUIOBJ, DWORD, PCSTR attribute, PDWORD type, PBYTE data, DWORD size,
                                  PDWORD needed) override {
        if (!attribute || std::strcmp(attribute, "NickName") != 0 || !needed) return E_INVALIDARG;
        ++nickNameCalls;
        DWORD bytes = nickName.empty() ? 0 : static_cast<DWORD>((nickName.size() + 1) * sizeof(WCHAR));
        *needed = bytes;
        if (bytes == 0) return E_INVALIDARG;
        if (type) *type = kADT_UNICODE;
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
    STDMETHOD(EnumOptions)(POEMUIOBJ, DWORD, PCSTR feature, PSTR list, DWORD size, PDWORD needed) override {
        if (!feature || !needed) return E_INVALIDARG;
        featureQueries.push_back(feature);
        if (!features.count(feature)) {
            *needed = 0;
            return E_INVALIDARG;
        }
        *needed = 8;  // two option keywords and the list's end
        if (!list || size < *needed) return E_OUTOFMEMORY;
        std::memcpy(list, "On\0Off\0\0", 8);
        return S_OK;
    }
    STDMETHOD(QuerySimulationSupport)(HANDLE, DWORD, PBYTE, DWORD, PDWORD) override { return E_NOTIMPL; }
};

}  // namespace corvtest
