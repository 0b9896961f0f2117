#include "plug-in/inboxui/core/wmfields.h"

#include "common/text.h"

#include <cmath>
#include <cwctype>

namespace corv::ui {

namespace {

bool IsDigit(WCHAR c) { return c >= L'0' && c <= L'9'; }

// The number of a digits-only prefix of at most count characters; false for an empty prefix or
// any other character in it.
bool DigitsOnly(const WCHAR* text, int count, long* value) {
    long number = 0;
    int used = 0;
    for (; used < count && text[used]; ++used) {
        if (!IsDigit(text[used])) return false;
        number = number * 10 + (text[used] - L'0');
    }
    *value = number;
    return used > 0;
}

}  // namespace

bool AcceptIntensityText(const WCHAR* text, WORD* value) {
    long number = 0;
    if (!text || !DigitsOnly(text, 3, &number) || number < 1 || number > 100) return false;
    *value = static_cast<WORD>(number);
    return true;
}

bool AcceptAngleText(const WCHAR* text, int* value) {
    if (!text) return false;
    const bool negative = text[0] == L'-';
    long number = 0;
    if (!DigitsOnly(text + (negative ? 1 : 0), negative ? 3 : 4, &number)) return false;
    if (number > 180) return false;
    *value = static_cast<int>(negative ? -number : number);
    return true;
}

bool AcceptSizeText(const WCHAR* text, LONG* value) {
    long number = 0;
    if (!text || !DigitsOnly(text, 4, &number) || number < 1 || number > 500) return false;
    *value = number;
    return true;
}

bool HasVisibleText(const WCHAR* text) {
    for (; text && *text; ++text)
        if (!std::iswspace(*text)) return true;
    return false;
}

void TrimTrailingSpaces(WCHAR* text) {
    size_t length = lstrlenW(text);
    while (length && text[length - 1] == L' ') text[--length] = L'\0';
}

DWORD StyleOf(bool bold, bool italic) {
    if (bold) return italic ? 3 : 2;
    return italic ? 1 : 0;
}

void RepairForEditing(WatermarkRecord* record) {
    if (record->wIntensity < 1 || record->wIntensity > 100) record->wIntensity = 100;
    if (record->lPointSize < 1 || record->lPointSize > 500) record->lPointSize = 72;
    if (!(record->dblAngle >= -180.0 && record->dblAngle <= 180.0)) record->dblAngle = 0.0;
}

void ConfigModuleBaseName(const WCHAR* configFile, WCHAR* out, size_t capacity) {
    const WCHAR* name = configFile;
    for (const WCHAR* c = configFile; c && *c; ++c)
        if (*c == L'\\' || *c == L'/') name = c + 1;
    const WCHAR* dot = nullptr;
    for (const WCHAR* c = name; name && *c; ++c)
        if (*c == L'.') dot = c;
    if (!name || !dot || dot == name) {
        CopyText(out, capacity, L"PS5UI");
        return;
    }
    CopyText(out, capacity, name, static_cast<size_t>(dot - name));
}

}  // namespace corv::ui
