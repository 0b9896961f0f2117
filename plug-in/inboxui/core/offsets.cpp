#include "plug-in/inboxui/core/offsets.h"

#include <cmath>

namespace corv::ui {

bool IsOffsetText(const WCHAR* text) {
    if (!text || !text[0]) return false;
    bool point = false;
    for (const WCHAR* c = text; *c; ++c) {
        if (*c >= L'0' && *c <= L'9') continue;
        if (*c == L'.' && !point) {
            point = true;
            continue;
        }
        if (*c == L'-' && c == text) continue;
        return false;
    }
    return true;
}

double ParseOffset(const WCHAR* text) {
    if (!IsOffsetText(text)) return 0.0;
    const bool negative = text[0] == L'-';
    // Whole digits and fraction digits as one integer, divided once: "9999.9" reads as exactly
    // the double 9999.9, so the limit itself is accepted.
    double digits = 0.0;
    double scale = 1.0;
    bool fraction = false;
    for (const WCHAR* c = text + (negative ? 1 : 0); *c; ++c) {
        if (*c == L'.') {
            fraction = true;
            continue;
        }
        digits = digits * 10.0 + (*c - L'0');
        if (fraction) scale *= 10.0;
    }
    const double value = digits / scale;
    return negative ? -value : value;
}

void FormatOffset(double value, WCHAR (&text)[kOffsetChars + 1]) {
    WCHAR full[32];
    int used = 0;
    if (!std::isfinite(value)) value = 0.0;
    long long tenths = std::llround(std::fabs(value) * 10.0);
    if (value < 0 && tenths != 0) full[used++] = L'-';
    WCHAR whole[24];
    int count = 0;
    long long units = tenths / 10;
    do {
        whole[count++] = static_cast<WCHAR>(L'0' + units % 10);
        units /= 10;
    } while (units && count < 20);
    while (count) full[used++] = whole[--count];
    full[used++] = L'.';
    full[used++] = static_cast<WCHAR>(L'0' + tenths % 10);
    full[used] = L'\0';
    const int keep = used < kOffsetChars ? used : kOffsetChars;
    for (int i = 0; i < keep; ++i) text[i] = full[i];
    text[keep] = L'\0';
}

bool OffsetInRange(double value, bool millimetres) {
    const double inches = millimetres ? value / kMillimetresPerInch : value;
    return inches <= kOffsetLimitInches && inches >= -kOffsetLimitInches;
}

double StepOffset(double value, int delta, bool millimetres) {
    const double step = millimetres ? 1.0 : 0.1;
    const double next = delta < 0 ? value + step : value - step;
    return OffsetInRange(next, millimetres) ? next : value;
}

namespace {
double Tenths(double value) { return std::round(value * 10.0) / 10.0; }
}  // namespace

double ToMillimetres(double inches) {
    double shown = Tenths(inches * kMillimetresPerInch);
    if (shown / kMillimetresPerInch > kOffsetLimitInches) shown -= 0.1;
    if (shown / kMillimetresPerInch < -kOffsetLimitInches) shown += 0.1;
    return shown;
}

double ToInches(double millimetres) {
    double shown = Tenths(millimetres / kMillimetresPerInch);
    if (shown > kOffsetLimitInches) shown -= 0.1;
    if (shown < -kOffsetLimitInches) shown += 0.1;
    return shown;
}

DWORD PositionCode(int vertical, int horizontal) {
    static constexpr DWORD kCodes[3][3] = {{2, 5, 7}, {3, 0, 8}, {1, 4, 6}};
    if (vertical < 0 || vertical > 2 || horizontal < 0 || horizontal > 2) return 0;
    return kCodes[vertical][horizontal];
}

bool PositionRows(DWORD code, int* vertical, int* horizontal) {
    for (int v = 0; v < 3; ++v)
        for (int h = 0; h < 3; ++h)
            if (PositionCode(v, h) == code) {
                *vertical = v;
                *horizontal = h;
                return true;
            }
    return false;
}

}  // namespace corv::ui
