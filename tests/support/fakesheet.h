// Stand-ins for what the common property sheet UI hands a plug-in: the sheet function
// (pfnComPropSheet), which records every CPSFUNC_* call with a copy of the page it was given,
// and a driver option list like the core driver's document options.
#pragma once

#include "common/platform/oemintf.h"

#include <cstring>
#include <string>
#include <vector>

namespace corvtest {

class FakeSheet {
public:
    struct Call {
        HANDLE sheet;
        UINT function;
        LPARAM lParam1;
        LPARAM lParam2;
        bool hasPage;
        PROPSHEETPAGEW_V3 page;
    };

    static inline const HANDLE kHandle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x5EE7));
    static constexpr LONG_PTR kFirstPageHandle = 0x7100;
    static constexpr LONG_PTR kSetResultAnswer = 0x42;

    FakeSheet() { Calls().clear(); }
    ~FakeSheet() { Calls().clear(); }

    static std::vector<Call>& Calls() {
        static std::vector<Call> calls;
        return calls;
    }

    static LONG_PTR CALLBACK Function(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2) {
        Call call{sheet, function, lParam1, lParam2, false, {}};
        if (function == CPSFUNC_ADD_PROPSHEETPAGEW && lParam1) {
            // Only as many bytes as the page says it has are the caller's.
            const auto* page = reinterpret_cast<const PROPSHEETPAGEW_V3*>(lParam1);
            std::memcpy(&call.page, page, page->dwSize < sizeof call.page ? page->dwSize : sizeof call.page);
            call.hasPage = true;
        }
        Calls().push_back(call);
        if (function == CPSFUNC_ADD_PROPSHEETPAGEW) return kFirstPageHandle + static_cast<LONG_PTR>(Calls().size());
        if (function == CPSFUNC_SET_RESULT) return kSetResultAnswer;
        return 0;
    }

    static std::vector<Call> PagesAdded() {
        std::vector<Call> pages;
        for (const Call& c : Calls())
            if (c.function == CPSFUNC_ADD_PROPSHEETPAGEW) pages.push_back(c);
        return pages;
    }

    static PROPSHEETUI_INFO Info(ULONG reason, LPARAM lParamInit = 0) {
        PROPSHEETUI_INFO info{};
        info.cbSize = sizeof info;
        info.Version = PROPSHEETUI_INFO_VERSION;
        info.Flags = PSUIINFO_UNICODE;
        info.Reason = static_cast<WORD>(reason);
        info.hComPropSheet = kHandle;
        info.pfnComPropSheet = &Function;
        info.lParamInit = lParamInit;
        return info;
    }
};

// The core driver's document options as the plug-in sees them: orientation, copies, pages per
// sheet (with a booklet entry), page order, an edit box, and items known only by a feature
// keyword in their user data or by their name text.
class DriverOptions {
public:
    enum Index { kOrientation, kCopies, kNup, kPageOrder, kEditBox, kNamedItem, kCount };

    // Names of the n-up entries as string ids of the configuration module; the booklet entry is
    // at bookletEntry.
    static constexpr UINT kNupNameBase = 9100;
    static constexpr WORD kNupEntries = 8;
    static constexpr WORD kBookletEntry = 4;

    DriverOptions() {
        std::memset(items, 0, sizeof items);
        for (OPTITEM& item : items) item.cbSize = sizeof(OPTITEM);
        List(kOrientation, DMPUB_ORIENTATION, 2, 0);
        Type(kCopies, TVOT_UDARROW, 0);
        items[kCopies].DMPubID = DMPUB_COPIES_COLLATE;
        items[kCopies].Sel = 1;
        List(kNup, DMPUB_NUP, kNupEntries, 0);
        for (WORD i = 0; i < kNupEntries; ++i)
            params[kNup][i].pData = reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(kNupNameBase + i));
        List(kPageOrder, DMPUB_PAGEORDER, 2, 0);
        Type(kEditBox, TVOT_EDITBOX, 0);
        items[kEditBox].pName = const_cast<LPWSTR>(L"Job Name");
        items[kEditBox].pSel = editText;
        Type(kNamedItem, TVOT_LISTBOX, 2);
        items[kNamedItem].pName = const_cast<LPWSTR>(L"Output Bin");
    }
    DriverOptions(const DriverOptions&) = delete;
    DriverOptions& operator=(const DriverOptions&) = delete;

    // The item's user data names a feature keyword, as the core driver's items do.
    void Keyword(int index, const char* keyword) {
        keywords[index] = keyword;
        userData[index].dwSize = sizeof(USERDATA);
        userData[index].pKeyWordName = const_cast<PSTR>(keywords[index].c_str());
        items[index].UserData = reinterpret_cast<ULONG_PTR>(&userData[index]);
    }

    OPTITEM items[kCount];
    OPTTYPE types[kCount] = {};
    OPTPARAM params[kCount][kNupEntries] = {};
    USERDATA userData[kCount] = {};
    std::string keywords[kCount];
    WCHAR editText[128] = L"Quarterly report";

private:
    void Type(int index, BYTE type, WORD count) {
        types[index].cbSize = sizeof(OPTTYPE);
        types[index].Type = type;
        types[index].Count = count;
        types[index].pOptParam = count ? params[index] : nullptr;
        for (WORD i = 0; i < count; ++i) params[index][i].cbSize = sizeof(OPTPARAM);
        items[index].pOptType = &types[index];
    }
    void List(int index, BYTE pubId, WORD count, LONG sel) {
        Type(index, TVOT_LISTBOX, count);
        items[index].DMPubID = pubId;
        items[index].Sel = sel;
    }
};

}  // namespace corvtest
