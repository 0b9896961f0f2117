// The core driver's helper object on the rendering side, as the plug-in sees it: IPrintCorePS2.
// It answers feature questions from the printer description, the "%PagePerSheet" option from
// the job's selection, and appends what the plug-in writes to the job's output.
#pragma once

#include "common/platform/oemintf.h"
#include "host/kit/answers.h"
#include "host/kit/ppd.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace corv::host {

// Where the core driver's output goes, in order: its own text and the plug-in's pieces alike.
class JobOutput {
public:
    virtual void Put(const void* data, DWORD size) = 0;

protected:
    ~JobOutput() = default;
};

// The options "%PagePerSheet" offers when the printer description names none of its own.
inline const char* const kDriverPagePerSheetOptions[] = {"1", "2", "4", "6", "9", "16", "Booklet"};

class HostCore final : public IPrintCorePS2, private FeatureChoices {
public:
    HostCore(const Ppd& ppd, JobOutput* output);
    HostCore(const HostCore&) = delete;
    HostCore& operator=(const HostCore&) = delete;

    // The job's choice for a feature; false if the printer does not offer that option.
    bool Select(const std::string& feature, const std::string& option);
    using FeatureChoices::Selection;
    std::vector<std::string> Options(const std::string& feature) const;  // empty: no such feature

    // Device objects the core driver has handed out; calls with any other are refused.
    void AddDevice(PDEVOBJ device) { devices_.insert(device); }
    void RemoveDevice(PDEVOBJ device) { devices_.erase(device); }
    // GetOptions answers only once the core driver's own PDEV work is done.
    void SetPdevReady(bool ready) { pdevReady_ = ready; }

    // What the plug-in did wrong, in words; empty when it kept to the rules.
    const std::vector<std::string>& violations() const { return violations_.items(); }
    ULONG references() const { return refs_; }
    std::function<void(const std::string&)> trace;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    // IPrintCorePS2
    STDMETHOD(DrvWriteSpoolBuf)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD* pdwResult) override;
    STDMETHOD(GetOptions)(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pmszFeaturesRequested, DWORD cbIn,
                          PSTR pmszFeatureOptionBuf, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(GetGlobalAttribute)(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszAttribute, PDWORD pdwDataType,
                                  PBYTE pbData, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(GetFeatureAttribute)(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PCSTR pszAttribute,
                                   PDWORD pdwDataType, PBYTE pbData, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(GetOptionAttribute)(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PCSTR pszOptionKeyword,
                                  PCSTR pszAttribute, PDWORD pdwDataType, PBYTE pbData, DWORD cbSize,
                                  PDWORD pcbNeeded) override;
    STDMETHOD(EnumFeatures)(PDEVOBJ pdevobj, DWORD dwFlags, PSTR pmszFeatureList, DWORD cbSize,
                            PDWORD pcbNeeded) override;
    STDMETHOD(EnumOptions)(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PSTR pmszOptionList,
                           DWORD cbSize, PDWORD pcbNeeded) override;

private:
    bool Known(PDEVOBJ device) const { return devices_.count(device) != 0; }
    std::vector<std::string> FeatureNames() const;
    void Violation(const std::string& what) { violations_.Add(what); }
    void Trace(const std::string& line) const {
        if (trace) trace(line);
    }

    JobOutput* output_;
    std::set<PDEVOBJ> devices_;
    bool pdevReady_ = false;
    ULONG refs_ = 1;  // the core driver's own
    RuleLog violations_;
};


}  // namespace corv::host
