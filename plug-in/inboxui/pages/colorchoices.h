// What the colour pages and dialogs offer and how their choices reach the job settings record,
// apart from the controls: the lists' items with their record values, the track bars' ranges,
// and the transfers at leaving a page and at apply.
#pragma once

#include "common/record.h"
#include "plug-in/inboxui/core/sheetcontext.h"

#include <windows.h>

#include <cstddef>

namespace corv::ui {

// One list item: the record value it stands for and its text in the string table.
struct Choice {
    DWORD value;
    UINT textId;
};

struct ChoiceList {
    const Choice* items;
    size_t count;
};

extern const ChoiceList kCorrectionChoices;  // dwColorCorrection
extern const ChoiceList kRgbChoices;         // dwRgbImage, dwRgbText, dwRgbGraphics
extern const ChoiceList kCmykChoices;        // dwCmykImage, dwCmykText, dwCmykGraphics
extern const ChoiceList kBalanceChoices;     // bColorBalance
extern const ChoiceList kTonerChoices;       // dwPallidor

inline constexpr DWORD kCorrectionManual = 4;
inline constexpr DWORD kBalanceManual = 1;

// The item a list shows for a record value: the first that carries it, or the first item
// ("Printer Setting", 0) for a value no item carries, so the list never shows one value and
// stores another.
size_t ChoiceIndex(const ChoiceList& list, DWORD value);
// The value the list shows for a record value: the value itself when an item carries it, else 0.
DWORD ShownChoice(const ChoiceList& list, DWORD value);

struct Range {
    LONG low;
    LONG high;
};

inline constexpr Range kBalanceRange{-5, 5};
inline constexpr Range kBrightnessRange{-6, 6};
inline constexpr Range kContrastRange{0, 5};
inline constexpr Range kSaturationRange{0, 5};

// The nearest value of the range: where a track bar shows a value outside it.
LONG ClampToRange(LONG value, Range range);

// The record's colour block as the Manual Color page edits it: every value as its list or track
// bar shows it.
ColorBlock ShownColorBlock(const JobSettings& record);

// The three lists of the Manual Color page.
struct ColorChoices {
    DWORD correction;
    DWORD balance;
    DWORD toner;
};

// The Manual Color page's transfer at leave and apply: the three lists' values; the six
// per-object values from the scratch block only with correction "Manual", the four balance
// values only with balance "Manual".
void StoreColorChoices(const ColorChoices& choices, const ColorBlock& scratch, JobSettings* record);

// The RGB Print Quality values the Manual Color page's apply carries from the working copy into
// the driver's record (gray correction is the monochrome page's).
void CopyRgbQuality(const JobSettings& from, JobSettings* to);

// The Monochrome Print Quality page's four fields, as its controls show them.
struct MonoQuality {
    LONG brightness;
    LONG contrast;
    BOOL grayCorrection;
    BOOL fineLines;
};

void StoreMonoQuality(const MonoQuality& quality, JobSettings* record);

}  // namespace corv::ui
