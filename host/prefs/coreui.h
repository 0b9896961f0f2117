// The core driver's helper object on the UI side, as the UI plug-in sees it: IPrintCoreUI2. It
// answers from the printer description: driver settings (an installable option's current
// choice, such as "FaxCard"), the options of a feature, the model's "NickName"; and it keeps a
// record of every DrvUpdateUISetting call, which the plug-in makes after it changes one of the
// driver's option items.
#pragma once

#include "common/platform/oemintf.h"
#include "host/kit/answers.h"
#include "host/kit/ppd.h"

#include <map>
#include <string>
#include <vector>

namespace corv::host {

class HostCoreUi final : public IPrintCoreUI2, private FeatureChoices {
public:
    explicit HostCoreUi(const Ppd& ppd);
    HostCoreUi(const HostCoreUi&) = delete;
    HostCoreUi& operator=(const HostCoreUi&) = delete;

    // The driver UI object the plug-in is given; calls with any other are refused. Its
    // OEMUIPROCS lead to this object's DrvGetDriverSetting and DrvUpdateUISetting.
    POEMUIOBJ uiObject() { return &object_.header; }

    // The current choice of a feature; false if the printer does not offer that option.
    using FeatureChoices::Select;
    using FeatureChoices::Selection;

    struct UiSettingUpdate {
        POPTITEM item;
        DWORD previousSelection;
        DWORD mode;
    };
    const std::vector<UiSettingUpdate>& updates() const { return updates_; }
    const std::vector<std::string>& violations() const { return violations_.items(); }
    ULONG references() const { return refs_; }

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    // IPrintOemDriverUI
    STDMETHOD(DrvGetDriverSetting)(PVOID pci, PCSTR Feature, PVOID pOutput, DWORD cbSize, PDWORD pcbNeeded,
                                   PDWORD pdwOptionsReturned) override;
    STDMETHOD(DrvUpgradeRegistrySetting)(HANDLE hPrinter, PCSTR pFeature, PCSTR pOption) override;
    STDMETHOD(DrvUpdateUISetting)(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection, DWORD dwMode) override;

    // IPrintCoreUI2
    STDMETHOD(GetOptions)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pmszFeaturesRequested, DWORD cbIn,
                          PSTR pmszFeatureOptionBuf, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(SetOptions)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pmszFeatureOptionBuf, DWORD cbIn,
                          PDWORD pdwResult) override;
    STDMETHOD(EnumConstrainedOptions)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword,
                                      PSTR pmszConstrainedOptionList, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(WhyConstrained)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PCSTR pszOptionKeyword,
                              PSTR pmszReasonList, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(GetGlobalAttribute)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszAttribute, PDWORD pdwDataType,
                                  PBYTE pbData, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(GetFeatureAttribute)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PCSTR pszAttribute,
                                   PDWORD pdwDataType, PBYTE pbData, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(GetOptionAttribute)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword,
                                  PCSTR pszOptionKeyword, PCSTR pszAttribute, PDWORD pdwDataType, PBYTE pbData,
                                  DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(EnumFeatures)(POEMUIOBJ poemuiobj, DWORD dwFlags, PSTR pmszFeatureList, DWORD cbSize,
                            PDWORD pcbNeeded) override;
    STDMETHOD(EnumOptions)(POEMUIOBJ poemuiobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PSTR pmszOptionList,
                           DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(QuerySimulationSupport)(HANDLE hPrinter, DWORD dwLevel, PBYTE pCaps, DWORD cbSize,
                                      PDWORD pcbNeeded) override;

private:
    // The OEMUIOBJ the driver hands out, and the way back from it to this object.
    struct UiObject {
        OEMUIOBJ header;
        HostCoreUi* owner;
    };
    static BOOL APIENTRY GetDriverSettingProc(PVOID pdriverobj, PCSTR feature, PVOID output, DWORD size,
                                              PDWORD needed, PDWORD returned);
    static BOOL APIENTRY UpdateUISettingProc(PVOID pdriverobj, PVOID item, DWORD previous, DWORD mode);

    bool Known(const void* object);
    void Violation(const std::string& what) { violations_.Add(what); }

    OEMUIPROCS procs_{};
    UiObject object_{};
    ULONG refs_ = 1;  // the core driver's own
    std::vector<UiSettingUpdate> updates_;
    RuleLog violations_;
};

}  // namespace corv::host
