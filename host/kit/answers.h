// How corvhost's two core helpers (IPrintCorePS2 for printing, IPrintCoreUI2 for the sheet)
// answer the plug-ins: the size protocol of every query, the text forms, the printer's current
// choice per feature from its description, and the record of rules a plug-in broke. One set of
// answers, so the two sides of the same printer can never disagree.
#pragma once

#include "host/kit/ppd.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace corv::host {

// The needed size always, the data only into a buffer that holds it all.
HRESULT Deliver(const void* data, size_t size, void* buffer, DWORD capacity, PDWORD needed);
HRESULT DeliverText(const std::string& text, PBYTE buffer, DWORD capacity, PDWORD needed);
// The printer description is ISO Latin-1: every byte is its own code point.
std::wstring WidenLatin1(const std::string& text);
HRESULT DeliverWide(const std::string& text, PBYTE buffer, DWORD capacity, PDWORD needed);

template <typename F>
HRESULT Guarded(F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return E_OUTOFMEMORY;  // nothing may escape into the plug-in
    }
}

// A double-NUL-terminated list of the strings: "a\0b\0\0"; an empty list is "\0".
std::string MultiSz(const std::vector<std::string>& items);

// Splits a request list; false when it is not terminated by a double NUL within `size` bytes.
bool SplitMultiSz(const char* list, DWORD size, std::vector<std::string>* items);

// The printer's current choice of each feature, starting at the description's defaults.
class FeatureChoices {
public:
    explicit FeatureChoices(const Ppd& ppd);

    // The keywords of a feature's options in the description; empty for an unknown feature.
    std::vector<std::string> PrinterOptions(const std::string& feature) const;
    // False if the printer does not offer that option.
    bool Select(const std::string& feature, const std::string& option);
    // The driver's own features, which no description names, are set without a check.
    void Set(const std::string& feature, const std::string& option) { selection_[feature] = option; }
    const std::string* Selection(const std::string& feature) const;

protected:
    const Ppd& ppd_;

private:
    std::map<std::string, std::string> selection_;
};

// What a plug-in did wrong, in words; empty when it kept to the rules.
class RuleLog {
public:
    void Add(const std::string& what) noexcept {
        try {
            items_.push_back(what);
        } catch (...) {
        }
    }
    const std::vector<std::string>& items() const { return items_; }

private:
    std::vector<std::string> items_;
};

}  // namespace corv::host
