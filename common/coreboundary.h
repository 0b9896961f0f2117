// What the plug-ins ask of the core driver, written once. Each function says which answer of the
// core driver it relies on; nothing else of the core driver's behaviour is assumed.
#pragma once

#include "common/platform/oemintf.h"

namespace corv {

// The printer has the feature when EnumOptions without a buffer asks for more memory (E_OUTOFMEMORY)
// with a needed size above 0. Both helpers have the same method; only the object type differs.
template <typename Helper, typename Object>
bool HasFeature(Helper* helper, Object* object, const char* keyword) {
    if (!helper) return false;
    DWORD needed = 0;
    HRESULT hr = helper->EnumOptions(object, 0, keyword, nullptr, 0, &needed);
    return hr == E_OUTOFMEMORY && needed != 0;
}

// Any answer other than E_INVALIDARG means the feature exists.
bool HasFeatureAttribute(IPrintCorePS2* helper, PDEVOBJ device, const char* keyword);

enum class BookletMatch { IgnoreCase, ExactCase };

// The current "%PagePerSheet" option as a number of pages per sheet: 1 for "Booklet", else the
// keyword's leading decimal number (0 when it has none). 1 when the option cannot be read.
LONG PagesPerSheet(IPrintCorePS2* helper, PDEVOBJ device, BookletMatch match);

// The pure half: the answer of GetOptions (feature, NUL, option keyword) to pages per sheet.
LONG PagesPerSheetFromAnswer(const char* answer, DWORD size, BookletMatch match);

// The leading decimal number of a keyword, as the C library's atoi reads it; bounded by size.
LONG LeadingNumber(const char* text, DWORD size);

// UI side: "FaxCard" reads "True" in any case.
bool HasFaxCard(IPrintCoreUI2* helper, POEMUIOBJ object);

// UI side: the printer model's "NickName" as a wide string, cut to the buffer; false if unread.
bool ReadNickName(IPrintCoreUI2* helper, POEMUIOBJ object, WCHAR* name, size_t capacity);

}  // namespace corv
