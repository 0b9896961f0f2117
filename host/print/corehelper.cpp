#include "host/print/corehelper.h"

#include <cstdlib>
#include <cstring>

namespace corv::host {
namespace {

constexpr char kPagePerSheet[] = "%PagePerSheet";

}  // namespace

HostCore::HostCore(const Ppd& ppd, JobOutput* output) : FeatureChoices(ppd), output_(output) {
    const PpdFeature* nup = ppd.Feature("PagePerSheet");
    Set(kPagePerSheet, nup ? nup->defaultOption : "1");
}

std::vector<std::string> HostCore::Options(const std::string& feature) const {
    std::vector<std::string> out;
    // The driver's own "%PagePerSheet" takes the printer's choices where it names them.
    std::string keyword = feature == kPagePerSheet && ppd_.Feature("PagePerSheet") ? "PagePerSheet" : feature;
    if (keyword == kPagePerSheet) {
        for (const char* o : kDriverPagePerSheetOptions) out.emplace_back(o);
        return out;
    }
    return PrinterOptions(keyword);
}

bool HostCore::Select(const std::string& feature, const std::string& option) {
    std::vector<std::string> options = Options(feature);
    for (const auto& o : options)
        if (o == option) {
            Set(feature, option);
            if (feature == kPagePerSheet && ppd_.Feature("PagePerSheet")) Set("PagePerSheet", option);
            if (feature == "PagePerSheet") Set(kPagePerSheet, option);
            return true;
        }
    return false;
}

std::vector<std::string> HostCore::FeatureNames() const {
    std::vector<std::string> names;
    for (const auto& f : ppd_.features) names.push_back(f.keyword);
    names.push_back(kPagePerSheet);
    return names;
}

STDMETHODIMP HostCore::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintCorePS2)) {
        *out = static_cast<IPrintCorePS2*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) HostCore::AddRef() { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) HostCore::Release() {
    // The object belongs to the core driver; a release below its own reference is a fault of
    // the plug-in, and the object must survive it.
    if (refs_ <= 1) {
        Violation("IPrintCorePS2::Release without a matching AddRef");
        return refs_;
    }
    return InterlockedDecrement(&refs_);
}

STDMETHODIMP HostCore::DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD* pdwResult) {
    return Guarded([&]() -> HRESULT {
        if (!Known(pdevobj)) {
            Violation("DrvWriteSpoolBuf with a device object the driver never handed out");
            return E_INVALIDARG;
        }
        if (!pdwResult) return E_INVALIDARG;
        *pdwResult = 0;
        if (cbSize == 0) {
            Violation("DrvWriteSpoolBuf with length 0");
            return S_OK;
        }
        if (!pBuffer) return E_INVALIDARG;
        output_->Put(pBuffer, cbSize);
        *pdwResult = cbSize;
        return S_OK;
    });
}

STDMETHODIMP HostCore::GetOptions(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pmszFeaturesRequested, DWORD cbIn,
                                  PSTR pmszFeatureOptionBuf, DWORD cbSize, PDWORD pcbNeeded) {
    return Guarded([&]() -> HRESULT {
        if (!pdevReady_) return E_NOTIMPL;
        if (!Known(pdevobj) || dwFlags != 0 || !pcbNeeded) return E_INVALIDARG;
        std::vector<std::string> requested;
        if (!pmszFeaturesRequested) {
            requested = FeatureNames();
        } else if (!SplitMultiSz(pmszFeaturesRequested, cbIn, &requested)) {
            return E_INVALIDARG;
        }
        std::string answer;
        for (const auto& feature : requested) {
            const std::string* option = Selection(feature);
            if (!option || option->empty()) continue;  // unknown, or nothing chosen: left out
            answer += feature;
            answer.push_back('\0');
            answer += *option;
            answer.push_back('\0');
        }
        answer.push_back('\0');
        Trace("GetOptions -> " + std::to_string(answer.size()) + " bytes");
        return Deliver(answer.data(), answer.size(), pmszFeatureOptionBuf, cbSize, pcbNeeded);
    });
}

STDMETHODIMP HostCore::GetGlobalAttribute(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszAttribute, PDWORD pdwDataType,
                                          PBYTE pbData, DWORD cbSize, PDWORD pcbNeeded) {
    return Guarded([&]() -> HRESULT {
        if (!Known(pdevobj) || dwFlags != 0 || !pdwDataType || !pcbNeeded) return E_INVALIDARG;
        if (!pszAttribute) {
            *pdwDataType = kADT_ASCII;
            std::string list = MultiSz({"ColorDevice", "LanguageLevel", "NickName"});
            return Deliver(list.data(), list.size(), pbData, cbSize, pcbNeeded);
        }
        std::string attribute = pszAttribute;
        if (attribute == "NickName") {
            const std::string* name = ppd_.Global("NickName");
            if (!name) return E_INVALIDARG;
            *pdwDataType = kADT_UNICODE;
            return DeliverWide(*name, pbData, cbSize, pcbNeeded);
        }
        if (attribute == "ColorDevice") {
            BOOL colour = ppd_.IsTrue("ColorDevice");
            *pdwDataType = kADT_BOOL;
            return Deliver(&colour, sizeof colour, pbData, cbSize, pcbNeeded);
        }
        if (attribute == "LanguageLevel") {
            const std::string* level = ppd_.Global("LanguageLevel");
            DWORD value = level ? static_cast<DWORD>(std::strtoul(level->c_str(), nullptr, 10)) : 2;
            *pdwDataType = kADT_DWORD;
            return Deliver(&value, sizeof value, pbData, cbSize, pcbNeeded);
        }
        return E_INVALIDARG;
    });
}

STDMETHODIMP HostCore::GetFeatureAttribute(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszFeatureKeyword,
                                           PCSTR pszAttribute, PDWORD pdwDataType, PBYTE pbData, DWORD cbSize,
                                           PDWORD pcbNeeded) {
    return Guarded([&]() -> HRESULT {
        if (!Known(pdevobj) || dwFlags != 0 || !pszFeatureKeyword || !pdwDataType || !pcbNeeded) return E_INVALIDARG;
        std::string keyword = pszFeatureKeyword;
        std::vector<std::string> options = Options(keyword);
        Trace("GetFeatureAttribute " + keyword + (options.empty() ? " -> unknown" : " -> known"));
        if (options.empty()) return E_INVALIDARG;
        const PpdFeature* f = ppd_.Feature(keyword);
        if (!pszAttribute) {
            *pdwDataType = kADT_ASCII;
            std::string list = MultiSz({"DisplayName", "DefaultOption", "OpenUIType"});
            return Deliver(list.data(), list.size(), pbData, cbSize, pcbNeeded);
        }
        std::string attribute = pszAttribute;
        if (attribute == "DisplayName") {
            *pdwDataType = kADT_UNICODE;
            return DeliverWide(f ? f->text : "Pages per Sheet", pbData, cbSize, pcbNeeded);
        }
        if (attribute == "DefaultOption") {
            *pdwDataType = kADT_ASCII;
            return DeliverText(f ? f->defaultOption : "1", pbData, cbSize, pcbNeeded);
        }
        if (attribute == "OpenUIType") {
            *pdwDataType = kADT_ASCII;
            return DeliverText(f ? f->uiType : "PickOne", pbData, cbSize, pcbNeeded);
        }
        return E_INVALIDARG;
    });
}

STDMETHODIMP HostCore::GetOptionAttribute(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszFeatureKeyword,
                                          PCSTR pszOptionKeyword, PCSTR pszAttribute, PDWORD pdwDataType, PBYTE pbData,
                                          DWORD cbSize, PDWORD pcbNeeded) {
    return Guarded([&]() -> HRESULT {
        if (!Known(pdevobj) || dwFlags != 0 || !pszFeatureKeyword || !pszOptionKeyword || !pdwDataType || !pcbNeeded)
            return E_INVALIDARG;
        const PpdFeature* f = ppd_.Feature(pszFeatureKeyword);
        const PpdOption* o = f ? f->Option(pszOptionKeyword) : nullptr;
        if (!o) return E_INVALIDARG;
        if (!pszAttribute) {
            *pdwDataType = kADT_ASCII;
            std::string list = MultiSz({"DisplayName", "Invocation"});
            return Deliver(list.data(), list.size(), pbData, cbSize, pcbNeeded);
        }
        std::string attribute = pszAttribute;
        if (attribute == "DisplayName") {
            *pdwDataType = kADT_UNICODE;
            return DeliverWide(o->text, pbData, cbSize, pcbNeeded);
        }
        if (attribute == "Invocation") {
            *pdwDataType = kADT_BINARY;
            return Deliver(o->code.data(), o->code.size(), pbData, cbSize, pcbNeeded);
        }
        return E_INVALIDARG;
    });
}

STDMETHODIMP HostCore::EnumFeatures(PDEVOBJ pdevobj, DWORD dwFlags, PSTR pmszFeatureList, DWORD cbSize,
                                    PDWORD pcbNeeded) {
    return Guarded([&]() -> HRESULT {
        if (!Known(pdevobj) || dwFlags != 0 || !pcbNeeded) return E_INVALIDARG;
        std::string list = MultiSz(FeatureNames());
        return Deliver(list.data(), list.size(), pmszFeatureList, cbSize, pcbNeeded);
    });
}

STDMETHODIMP HostCore::EnumOptions(PDEVOBJ pdevobj, DWORD dwFlags, PCSTR pszFeatureKeyword, PSTR pmszOptionList,
                                   DWORD cbSize, PDWORD pcbNeeded) {
    return Guarded([&]() -> HRESULT {
        if (!Known(pdevobj) || dwFlags != 0 || !pszFeatureKeyword || !pcbNeeded) return E_INVALIDARG;
        std::vector<std::string> options = Options(pszFeatureKeyword);
        Trace(std::string("EnumOptions ") + pszFeatureKeyword + (options.empty() ? " -> unknown" : " -> known"));
        if (options.empty()) {
            *pcbNeeded = 0;
            return E_INVALIDARG;
        }
        std::string list = MultiSz(options);
        return Deliver(list.data(), list.size(), pmszOptionList, cbSize, pcbNeeded);
    });
}

}  // namespace corv::host
