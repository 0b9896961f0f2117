// A core driver helper for tests: records every DrvWriteSpoolBuf piece and answers feature
// questions from a small table, the way the core driver answers them from a printer description.
#pragma once

#include "common/platform/oemintf.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace corvtest {

class FakeCore final : public IPrintCorePS2 {
public:
    std::vector<std::string> pieces;  // one entry per DrvWriteSpoolBuf call
    bool keepPieces = true;           // false: only count, for long runs
    unsigned long long bytesWritten = 0;
    std::set<std::string> features;   // features that EnumOptions / GetFeatureAttribute know
    std::string pagePerSheet;         // current "%PagePerSheet" option; empty = not readable
    int getOptionsCalls = 0;
    ULONG refs = 1;

    std::string Stream() const {
        std::string all;
        for (const auto& p : pieces) all += p;
        return all;
    }

    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintCorePS2)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }

    STDMETHOD(DrvWriteSpoolBuf)(PDEVOBJ, PVOID buffer, DWORD size, DWORD* written) override {
        bytesWritten += size;
        if (keepPieces) pieces.emplace_back(static_cast<const char*>(buffer), size);
        if (written) *written = size;
        return S_OK;
    }
    STDMETHOD(GetOptions)(PDEVOBJ, DWORD, PCSTR request, DWORD, PSTR buffer, DWORD size, PDWORD needed) override {
        ++getOptionsCalls;
        if (pagePerSheet.empty() || !request || std::string(request) != "%PagePerSheet") {
            if (needed) *needed = 0;
            return E_FAIL;
        }
        std::string answer = std::string("%PagePerSheet") + '\0' + pagePerSheet + '\0' + '\0';
        if (needed) *needed = static_cast<DWORD>(answer.size());
        if (!buffer || size < answer.size()) return E_OUTOFMEMORY;
        std::copy(answer.begin(), answer.end(), buffer);
        return S_OK;
    }
    STDMETHOD(GetGlobalAttribute)(PDEVOBJ, DWORD, PCSTR, PDWORD, PBYTE, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetFeatureAttribute)(PDEVOBJ, DWORD, PCSTR keyword, PCSTR, PDWORD, PBYTE, DWORD, PDWORD needed) override {
        if (needed) *needed = 0;
        return keyword && features.count(keyword) ? E_OUTOFMEMORY : E_INVALIDARG;
    }
    STDMETHOD(GetOptionAttribute)(PDEVOBJ, DWORD, PCSTR, PCSTR, PCSTR, PDWORD, PBYTE, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    STDMETHOD(EnumFeatures)(PDEVOBJ, DWORD, PSTR, DWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumOptions)(PDEVOBJ, DWORD, PCSTR keyword, PSTR, DWORD, PDWORD needed) override {
        bool known = keyword && features.count(keyword);
        if (needed) *needed = known ? 16 : 0;
        return known ? E_OUTOFMEMORY : E_INVALIDARG;
    }
};

}  // namespace corvtest
