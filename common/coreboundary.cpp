#include "common/coreboundary.h"

#include "common/handles.h"
#include "common/text.h"

namespace corv {
namespace {

constexpr char kPagePerSheetRequest[] = "%PagePerSheet\0";  // the literal adds the second NUL

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsText(const char* s, size_t length, const char* word, bool ignoreCase) {
    size_t i = 0;
    for (; i < length && word[i]; ++i) {
        char a = s[i], b = word[i];
        if (ignoreCase ? LowerAscii(a) != LowerAscii(b) : a != b) return false;
    }
    return i == length && word[i] == 0;
}

}  // namespace

bool HasFeatureAttribute(IPrintCorePS2* helper, PDEVOBJ device, const char* keyword) {
    if (!helper) return false;
    DWORD type = 0, needed = 0;
    return helper->GetFeatureAttribute(device, 0, keyword, nullptr, &type, nullptr, 0, &needed) != E_INVALIDARG;
}

LONG LeadingNumber(const char* text, DWORD size) {
    DWORD i = 0;
    while (i < size && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    LONG value = 0;
    for (; i < size && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > 100000000) break;  // far beyond any sheet layout; keeps the value in range
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

LONG PagesPerSheetFromAnswer(const char* answer, DWORD size, BookletMatch match) {
    if (!answer || size == 0) return 1;
    DWORD i = 0;
    while (i < size && answer[i]) ++i;  // the feature keyword
    if (i >= size) return 0;            // no option keyword after it: not a number
    const char* option = answer + i + 1;
    DWORD optionSize = size - i - 1;
    size_t length = BoundedLength(option, optionSize);
    if (EqualsText(option, length, "Booklet", match == BookletMatch::IgnoreCase)) return 1;
    return LeadingNumber(option, static_cast<DWORD>(length));
}

LONG PagesPerSheet(IPrintCorePS2* helper, PDEVOBJ device, BookletMatch match) {
    if (!helper) return 1;
    DWORD needed = 0;
    helper->GetOptions(device, 0, kPagePerSheetRequest, sizeof kPagePerSheetRequest, nullptr, 0, &needed);
    if (needed == 0) return 1;
    HeapArray<char> buffer(needed);
    if (!buffer) return 1;
    DWORD second = 0;
    if (FAILED(helper->GetOptions(device, 0, kPagePerSheetRequest, sizeof kPagePerSheetRequest, buffer.get(), needed,
                                  &second)))
        return 1;
    return PagesPerSheetFromAnswer(buffer.get(), needed, match);
}

bool HasFaxCard(IPrintCoreUI2* helper, POEMUIOBJ object) {
    if (!helper) return false;
    DWORD needed = 0, options = 0;
    helper->DrvGetDriverSetting(object, "FaxCard", nullptr, 0, &needed, &options);
    if (needed == 0) return false;
    HeapArray<char> buffer(needed + 1);
    if (!buffer) return false;
    if (FAILED(helper->DrvGetDriverSetting(object, "FaxCard", buffer.get(), needed, &needed, &options))) return false;
    return EqualsText(buffer.get(), BoundedLength(buffer.get(), needed), "True", true);
}

bool ReadNickName(IPrintCoreUI2* helper, POEMUIOBJ object, WCHAR* name, size_t capacity) {
    if (!helper || !name || capacity == 0) return false;
    name[0] = 0;
    DWORD type = 0, needed = 0;
    helper->GetGlobalAttribute(object, 0, "NickName", &type, nullptr, 0, &needed);
    if (needed == 0) return false;
    HeapArray<BYTE> buffer(needed + sizeof(WCHAR));
    if (!buffer) return false;
    if (FAILED(helper->GetGlobalAttribute(object, 0, "NickName", &type, buffer.get(), needed, &needed))) return false;
    CopyText(name, capacity, reinterpret_cast<const WCHAR*>(buffer.get()), needed / sizeof(WCHAR));
    return true;
}

}  // namespace corv
