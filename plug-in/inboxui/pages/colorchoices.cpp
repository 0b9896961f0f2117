#include "plug-in/inboxui/pages/colorchoices.h"

#include "plug-in/inboxui/resources/ids.h"

#include <iterator>

namespace corv::ui {
namespace {

constexpr Choice kCorrection[] = {
    {0, IDS_CHOICE_PRINTER_SETTING}, {1, IDS_CHOICE_OFF}, {2, IDS_CHOICE_AUTO}, {4, IDS_CHOICE_MANUAL}};
// "Display - True Black" (5) comes before "Off" (4).
constexpr Choice kRgb[] = {{0, IDS_CHOICE_PRINTER_SETTING}, {1, IDS_CHOICE_SRGB_DISPLAY}, {2, IDS_CHOICE_SRGB_VIVID},
                           {3, IDS_CHOICE_VIVID},           {5, IDS_CHOICE_TRUE_BLACK},   {4, IDS_CHOICE_OFF}};
constexpr Choice kCmyk[] = {{0, IDS_CHOICE_PRINTER_SETTING}, {1, IDS_CHOICE_US_CMYK}, {2, IDS_CHOICE_EURO_CMYK},
                            {3, IDS_CHOICE_VIVID_CMYK},      {4, IDS_CHOICE_OFF}};
constexpr Choice kBalance[] = {{0, IDS_CHOICE_PRINTER_SETTING}, {1, IDS_CHOICE_MANUAL}};
// "On" (2) comes before "Off" (1).
constexpr Choice kToner[] = {{0, IDS_CHOICE_PRINTER_SETTING}, {2, IDS_CHOICE_ON}, {1, IDS_CHOICE_OFF}};

}  // namespace

const ChoiceList kCorrectionChoices{kCorrection, std::size(kCorrection)};
const ChoiceList kRgbChoices{kRgb, std::size(kRgb)};
const ChoiceList kCmykChoices{kCmyk, std::size(kCmyk)};
const ChoiceList kBalanceChoices{kBalance, std::size(kBalance)};
const ChoiceList kTonerChoices{kToner, std::size(kToner)};

size_t ChoiceIndex(const ChoiceList& list, DWORD value) {
    for (size_t i = 0; i < list.count; ++i)
        if (list.items[i].value == value) return i;
    return 0;
}

DWORD ShownChoice(const ChoiceList& list, DWORD value) {
    return list.count ? list.items[ChoiceIndex(list, value)].value : 0;
}

LONG ClampToRange(LONG value, Range range) {
    return value < range.low ? range.low : value > range.high ? range.high : value;
}

ColorBlock ShownColorBlock(const JobSettings& r) {
    ColorBlock b{};
    b.dwColorCorrection = ShownChoice(kCorrectionChoices, r.dwColorCorrection);
    b.dwRgbImage = ShownChoice(kRgbChoices, r.dwRgbImage);
    b.dwRgbText = ShownChoice(kRgbChoices, r.dwRgbText);
    b.dwRgbGraphics = ShownChoice(kRgbChoices, r.dwRgbGraphics);
    b.dwCmykImage = ShownChoice(kCmykChoices, r.dwCmykImage);
    b.dwCmykText = ShownChoice(kCmykChoices, r.dwCmykText);
    b.dwCmykGraphics = ShownChoice(kCmykChoices, r.dwCmykGraphics);
    b.bColorBalance = ShownChoice(kBalanceChoices, r.bColorBalance);
    b.lBalanceCyan = ClampToRange(r.lBalanceCyan, kBalanceRange);
    b.lBalanceMagenta = ClampToRange(r.lBalanceMagenta, kBalanceRange);
    b.lBalanceYellow = ClampToRange(r.lBalanceYellow, kBalanceRange);
    b.lBalanceBlack = ClampToRange(r.lBalanceBlack, kBalanceRange);
    b.dwPallidor = ShownChoice(kTonerChoices, r.dwPallidor);
    return b;
}

void StoreColorChoices(const ColorChoices& choices, const ColorBlock& scratch, JobSettings* r) {
    if (!r) return;
    r->dwColorCorrection = choices.correction;
    if (choices.correction == kCorrectionManual) {
        r->dwRgbImage = scratch.dwRgbImage;
        r->dwRgbText = scratch.dwRgbText;
        r->dwRgbGraphics = scratch.dwRgbGraphics;
        r->dwCmykImage = scratch.dwCmykImage;
        r->dwCmykText = scratch.dwCmykText;
        r->dwCmykGraphics = scratch.dwCmykGraphics;
    }
    r->bColorBalance = choices.balance;
    if (choices.balance == kBalanceManual) {
        r->lBalanceCyan = scratch.lBalanceCyan;
        r->lBalanceMagenta = scratch.lBalanceMagenta;
        r->lBalanceYellow = scratch.lBalanceYellow;
        r->lBalanceBlack = scratch.lBalanceBlack;
    }
    r->dwPallidor = choices.toner;
}

void CopyRgbQuality(const JobSettings& from, JobSettings* to) {
    if (!to) return;
    to->lBrightness = from.lBrightness;
    to->lContrast = from.lContrast;
    to->lSaturation = from.lSaturation;
    to->bFineLines = from.bFineLines;
}

void StoreMonoQuality(const MonoQuality& q, JobSettings* r) {
    if (!r) return;
    r->lBrightness = q.brightness;
    r->lContrast = q.contrast;
    r->bGrayCorrection = q.grayCorrection;
    r->bFineLines = q.fineLines;
}

}  // namespace corv::ui
