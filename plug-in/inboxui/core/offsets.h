// The numbers of the Position Watermark dialog: offset texts as the user types them, the nine
// anchors as two rows of radio buttons, units and spin steps. Texts are read and written with '.'
// whatever the user's locale says, so a stored 1.5 inches never shows as "1,5" or reads as 1.
#pragma once

#include <windows.h>

namespace corv::ui {

// Characters an offset field holds; the text buffer needs one more.
inline constexpr int kOffsetChars = 10;
inline constexpr double kOffsetLimitInches = 9999.9;
inline constexpr double kMillimetresPerInch = 25.4;

// Not empty; digits, at most one '.', and at most one '-' which must come first. A lone '-' or
// '.' passes (and reads as 0).
bool IsOffsetText(const WCHAR* text);
// The decimal number of an offset text (as IsOffsetText accepts it); 0 for anything else.
double ParseOffset(const WCHAR* text);
// The number with one decimal, as "%.1f" in the C locale, cut to kOffsetChars characters.
void FormatOffset(double value, WCHAR (&text)[kOffsetChars + 1]);

// Whether the number, in the unit shown, lies within the offset limits.
bool OffsetInRange(double value, bool millimetres);
// The number one spin step further: up (the up-down's negative iDelta) adds, down subtracts; a
// step is 1 mm or 0.1 in. The number is unchanged when the step would leave the limits.
double StepOffset(double value, int delta, bool millimetres);
// A shown number converted to the other unit, rounded to one decimal and kept inside the limits.
double ToMillimetres(double inches);
double ToInches(double millimetres);

// The anchors as rows of radio buttons: vertical 0 Top, 1 Center, 2 Bottom; horizontal 0 Left,
// 1 Center, 2 Right.
DWORD PositionCode(int vertical, int horizontal);
// False for a code outside 0 to 8, which checks no buttons.
bool PositionRows(DWORD code, int* vertical, int* horizontal);

}  // namespace corv::ui
