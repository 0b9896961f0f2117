// The colour pages in a real property sheet and the colour dialogs inside their modal loops:
// what the lists offer, when the configure buttons are on, the track bars' ranges, and what
// reaches the working copy when a page is left and the driver's record when it is applied.
#include "common/record.h"
#include "plug-in/inboxui/core/pagetable.h"
#include "plug-in/inboxui/core/sheetcontext.h"
#include "plug-in/inboxui/pages/colorchoices.h"
#include "plug-in/inboxui/pages/colordialogs.h"
#include "plug-in/inboxui/pages/colorpages.h"
#include "plug-in/inboxui/resources/ids.h"
#include "tests/support/pagekit/modal.h"
#include "tests/support/pagekit/patches.h"
#include "tests/support/pagekit/sheethost.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corv::ui {
namespace {

using Items = std::vector<std::pair<std::wstring, DWORD>>;

Items ListItems(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, id);
    Items items;
    int n = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        WCHAR text[128] = {};
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text, static_cast<DWORD>(SendMessageW(list, CB_GETITEMDATA, i, 0)));
    }
    return items;
}

std::wstring Shown(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, id);
    LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return L"";
    WCHAR text[128] = {};
    SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

// What a user does with a drop-down list: picks the item with this text.
void Pick(HWND dialog, int id, const wchar_t* text) {
    HWND list = GetDlgItem(dialog, id);
    LRESULT index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    ASSERT_NE(index, CB_ERR) << "no item " << std::string(text, text + wcslen(text));
    SendMessageW(list, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

// A key pressed on a track bar, as the keyboard moves it (the bar reports it as WM_HSCROLL).
void Key(HWND dialog, int id, UINT key, int times = 1) {
    for (int i = 0; i < times; ++i) SendMessageW(GetDlgItem(dialog, id), WM_KEYDOWN, key, 0);
}

LONG Position(HWND dialog, int id) { return static_cast<LONG>(SendMessageW(GetDlgItem(dialog, id), TBM_GETPOS, 0, 0)); }
std::pair<LONG, LONG> RangeOf(HWND dialog, int id) {
    HWND bar = GetDlgItem(dialog, id);
    return {static_cast<LONG>(SendMessageW(bar, TBM_GETRANGEMIN, 0, 0)),
            static_cast<LONG>(SendMessageW(bar, TBM_GETRANGEMAX, 0, 0))};
}
// A check box clicked: its state turns and the dialog hears BN_CLICKED.
void Toggle(HWND dialog, int id) {
    CheckDlgButton(dialog, id, IsDlgButtonChecked(dialog, id) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    corvtest::Click(dialog, id);
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// Counts PSM_CHANGED arriving at the sheet.
struct ChangedCount {
    HWND sheet;
    int count = 0;
    explicit ChangedCount(HWND s) : sheet(s) { SetWindowSubclass(sheet, &Proc, 12, reinterpret_cast<DWORD_PTR>(this)); }
    ~ChangedCount() { RemoveWindowSubclass(sheet, &Proc, 12); }
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        if (m == PSM_CHANGED) ++reinterpret_cast<ChangedCount*>(self)->count;
        return DefSubclassProc(w, m, wp, lp);
    }
};

// ---- What the lists offer and how the choices travel, without controls ------------------------

TEST(ColorChoices, ListsOfferTheirItemsInOrderWithTheirValues) {
    auto values = [](const ChoiceList& list) {
        std::vector<DWORD> v;
        for (size_t i = 0; i < list.count; ++i) v.push_back(list.items[i].value);
        return v;
    };
    EXPECT_EQ(values(kCorrectionChoices), (std::vector<DWORD>{0, 1, 2, 4}));
    EXPECT_EQ(values(kRgbChoices), (std::vector<DWORD>{0, 1, 2, 3, 5, 4}));
    EXPECT_EQ(values(kCmykChoices), (std::vector<DWORD>{0, 1, 2, 3, 4}));
    EXPECT_EQ(values(kBalanceChoices), (std::vector<DWORD>{0, 1}));
    EXPECT_EQ(values(kTonerChoices), (std::vector<DWORD>{0, 2, 1}));
}

TEST(ColorChoices, ValuesNoItemOrRangeHoldsAreShownAtTheNearestValidPlace) {
    EXPECT_EQ(ChoiceIndex(kRgbChoices, 5), 4u);
    EXPECT_EQ(ChoiceIndex(kCorrectionChoices, 3), 0u);  // accepted by the record, no item
    EXPECT_EQ(ShownChoice(kCmykChoices, 5), 0u);
    EXPECT_EQ(ShownChoice(kTonerChoices, 2), 2u);
    EXPECT_EQ(ClampToRange(-9, kBalanceRange), -5);
    EXPECT_EQ(ClampToRange(7, kBrightnessRange), 6);
    EXPECT_EQ(ClampToRange(-1, kContrastRange), 0);
    EXPECT_EQ(ClampToRange(3, kSaturationRange), 3);

    JobSettings record{};
    DefaultRecord(&record);
    record.dwColorCorrection = 3;
    record.dwRgbText = 9;
    record.dwCmykGraphics = 5;
    record.lBalanceCyan = 8;
    record.lBalanceBlack = -2;
    record.dwPallidor = 2;
    ColorBlock shown = ShownColorBlock(record);
    EXPECT_EQ(shown.dwColorCorrection, 0u);
    EXPECT_EQ(shown.dwRgbText, 0u);
    EXPECT_EQ(shown.dwCmykGraphics, 0u);
    EXPECT_EQ(shown.lBalanceCyan, 5);
    EXPECT_EQ(shown.lBalanceBlack, -2);
    EXPECT_EQ(shown.dwPallidor, 2u);
}

TEST(ColorChoices, PerObjectAndBalanceValuesTravelOnlyWithManual) {
    ColorBlock scratch{0, 1, 2, 5, 3, 3, 3, 1, -5, 4, 1, -1, 0};
    JobSettings record{};
    DefaultRecord(&record);
    StoreColorChoices({2, 0, 1}, scratch, &record);
    EXPECT_EQ(record.dwColorCorrection, 2u);
    EXPECT_EQ(record.dwRgbGraphics, 0u);
    EXPECT_EQ(record.dwCmykText, 0u);
    EXPECT_EQ(record.bColorBalance, 0u);
    EXPECT_EQ(record.lBalanceCyan, 0);
    EXPECT_EQ(record.dwPallidor, 1u);

    StoreColorChoices({4, 1, 2}, scratch, &record);
    EXPECT_EQ(record.dwRgbImage, 1u);
    EXPECT_EQ(record.dwRgbText, 2u);
    EXPECT_EQ(record.dwRgbGraphics, 5u);
    EXPECT_EQ(record.dwCmykImage, 3u);
    EXPECT_EQ(record.dwCmykGraphics, 3u);
    EXPECT_EQ(record.lBalanceCyan, -5);
    EXPECT_EQ(record.lBalanceMagenta, 4);
    EXPECT_EQ(record.lBalanceBlack, -1);
    EXPECT_EQ(record.dwPallidor, 2u);
}

// ---- The pages in a real sheet -----------------------------------------------------------------

class ColorPageTest : public ::testing::Test {
protected:
    JobSettings driverRecord{};
    DEVMODEW publicDevmode{};
    OEMUIPSPARAM params{};
    std::unique_ptr<SheetContext> context = std::make_unique<SheetContext>();
    corvtest::SheetHost host;
    HWND page = nullptr;

    void SetUp() override {
        DefaultRecord(&driverRecord);
        driverRecord.lSaturation = 0;
        publicDevmode.dmSize = sizeof publicDevmode;
        publicDevmode.dmFields = DM_COLOR;
        publicDevmode.dmColor = DMCOLOR_COLOR;
        params.cbSize = sizeof params;
        params.pPublicDM = &publicDevmode;
        params.pOEMDM = &driverRecord;
        *context = SheetContext{};
        context->pageParams = &params;
        context->working = driverRecord;
    }

    void Open(WORD templateId) {
        size_t count = 0;
        const PageRow* rows = DocumentPageTable(&count);
        for (size_t i = 0; i < count; ++i)
            if (rows[i].templateId == templateId) host.Add(rows[i], context.get());
        ASSERT_EQ(host.pageCount(), 1u);
        page = host.ShowWithBlankPage();
        ASSERT_TRUE(page);
    }
    void LeaveAndReturn() {
        ASSERT_TRUE(host.select(1));
        ASSERT_TRUE(host.select(0));
    }
};

using ManualColorPage = ColorPageTest;

TEST_F(ManualColorPage, ListsOfferTheirItemsAndShowTheWorkingCopy) {
    context->working.dwColorCorrection = 2;
    context->working.bColorBalance = 1;
    context->working.dwPallidor = 1;
    Open(IDD_MANUAL_COLOR);

    WCHAR caption[64] = {};
    GetWindowTextW(page, caption, 64);
    EXPECT_STREQ(caption, L"Manual Color");
    EXPECT_EQ(ListItems(page, IDC_CORRECTION_LIST),
              (Items{{L"Printer Setting", 0}, {L"Off", 1}, {L"Auto", 2}, {L"Manual", 4}}));
    EXPECT_EQ(ListItems(page, IDC_BALANCE_LIST), (Items{{L"Printer Setting", 0}, {L"Manual", 1}}));
    EXPECT_EQ(ListItems(page, IDC_TONER_LIST), (Items{{L"Printer Setting", 0}, {L"On", 2}, {L"Off", 1}}));
    EXPECT_EQ(Shown(page, IDC_CORRECTION_LIST), L"Auto");
    EXPECT_EQ(Shown(page, IDC_BALANCE_LIST), L"Manual");
    EXPECT_EQ(Shown(page, IDC_TONER_LIST), L"Off");
    EXPECT_FALSE(Enabled(page, IDC_CONFIGURE_CORRECTION));
    EXPECT_TRUE(Enabled(page, IDC_CONFIGURE_BALANCE));
    EXPECT_TRUE(Enabled(page, IDC_CONFIGURE_QUALITY));
}

TEST_F(ManualColorPage, ConfigureButtonsAreOnExactlyWithManualAndEverySelectionMarksTheSheetChanged) {
    Open(IDD_MANUAL_COLOR);
    ChangedCount changed(host.sheet());
    const wchar_t* corrections[] = {L"Printer Setting", L"Off", L"Auto", L"Manual", L"Off"};
    for (const wchar_t* text : corrections) {
        Pick(page, IDC_CORRECTION_LIST, text);
        EXPECT_EQ(Enabled(page, IDC_CONFIGURE_CORRECTION), std::wstring(text) == L"Manual") << text;
    }
    Pick(page, IDC_BALANCE_LIST, L"Manual");
    EXPECT_TRUE(Enabled(page, IDC_CONFIGURE_BALANCE));
    Pick(page, IDC_BALANCE_LIST, L"Printer Setting");
    EXPECT_FALSE(Enabled(page, IDC_CONFIGURE_BALANCE));
    Pick(page, IDC_TONER_LIST, L"On");
    EXPECT_EQ(changed.count, 8);
}

TEST_F(ManualColorPage, CorrectionDialogWritesOneCmykValueIntoAllThreeAndReachesTheRecordWithManual) {
    context->working.dwRgbText = 5;
    context->working.dwCmykImage = 2;
    Open(IDD_MANUAL_COLOR);
    Pick(page, IDC_CORRECTION_LIST, L"Manual");
    ChangedCount changed(host.sheet());

    corvtest::NestedDialogs dialogs;
    Items rgbItems, cmykItems;
    std::wstring textShown, cmykShown;
    dialogs.drive([&](HWND dialog) {
        rgbItems = ListItems(dialog, IDC_RGB_IMAGE_LIST);
        cmykItems = ListItems(dialog, IDC_CMYK_LIST);
        textShown = Shown(dialog, IDC_RGB_TEXT_LIST);
        cmykShown = Shown(dialog, IDC_CMYK_LIST);
        Pick(dialog, IDC_RGB_IMAGE_LIST, L"Vivid");
        Pick(dialog, IDC_RGB_GRAPHICS_LIST, L"Off");
        Pick(dialog, IDC_CMYK_LIST, L"Vivid CMYK");
        corvtest::Click(dialog, IDOK);
    });
    corvtest::Click(page, IDC_CONFIGURE_CORRECTION);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].templateId, static_cast<UINT>(IDD_COLOR_CORRECTION));
    EXPECT_EQ(dialogs.calls[0].param, reinterpret_cast<LPARAM>(context.get()));
    EXPECT_EQ(dialogs.calls[0].result, IDOK);
    EXPECT_EQ(changed.count, 1);
    EXPECT_EQ(rgbItems, (Items{{L"Printer Setting", 0}, {L"sRGB Display", 1}, {L"sRGB Vivid", 2}, {L"Vivid", 3},
                               {L"Display - True Black", 5}, {L"Off", 4}}));
    EXPECT_EQ(cmykItems,
              (Items{{L"Printer Setting", 0}, {L"US CMYK", 1}, {L"Euro CMYK", 2}, {L"Vivid CMYK", 3}, {L"Off", 4}}));
    EXPECT_EQ(textShown, L"Display - True Black");
    EXPECT_EQ(cmykShown, L"Euro CMYK");

    const ColorBlock& scratch = context->colorScratch;
    EXPECT_EQ(scratch.dwRgbImage, 3u);
    EXPECT_EQ(scratch.dwRgbText, 5u);
    EXPECT_EQ(scratch.dwRgbGraphics, 4u);
    EXPECT_EQ(scratch.dwCmykImage, 3u);
    EXPECT_EQ(scratch.dwCmykText, 3u);
    EXPECT_EQ(scratch.dwCmykGraphics, 3u);
    EXPECT_EQ(context->working.dwRgbImage, 0u);  // not before the page is left

    ASSERT_TRUE(host.select(1));
    EXPECT_EQ(context->working.dwColorCorrection, 4u);
    EXPECT_EQ(context->working.dwRgbImage, 3u);
    EXPECT_EQ(context->working.dwRgbGraphics, 4u);
    EXPECT_EQ(context->working.dwCmykText, 3u);
    EXPECT_EQ(context->working.dwCmykGraphics, 3u);
}

TEST_F(ManualColorPage, CancelChangesNothingAndLeavesTheSheetUnchanged) {
    context->working.dwColorCorrection = 4;
    context->working.bColorBalance = 1;
    context->working.lBalanceYellow = 2;
    Open(IDD_MANUAL_COLOR);
    ChangedCount changed(host.sheet());
    corvtest::NestedDialogs dialogs;
    dialogs.drive([](HWND dialog) {
        Pick(dialog, IDC_CMYK_LIST, L"Off");
        corvtest::Click(dialog, IDCANCEL);
    });
    dialogs.drive([](HWND dialog) {
        Key(dialog, IDC_BALANCE_YELLOW, VK_END);
        corvtest::Click(dialog, IDCANCEL);
    });
    corvtest::Click(page, IDC_CONFIGURE_CORRECTION);
    corvtest::Click(page, IDC_CONFIGURE_BALANCE);
    ASSERT_EQ(dialogs.calls.size(), 2u);
    EXPECT_EQ(dialogs.calls[1].result, IDCANCEL);
    EXPECT_EQ(changed.count, 0);
    EXPECT_EQ(context->colorScratch.dwCmykImage, 0u);
    EXPECT_EQ(context->colorScratch.lBalanceYellow, 2);
}

TEST_F(ManualColorPage, BalanceBarsRunFromMinusFiveToFiveAndMoveWithKeys) {
    context->working.bColorBalance = 1;
    context->working.lBalanceCyan = -5;
    context->working.lBalanceMagenta = 3;
    context->working.lBalanceBlack = 9;  // outside the range: shown at 5, stored as shown
    Open(IDD_MANUAL_COLOR);
    corvtest::NestedDialogs dialogs;
    std::vector<std::pair<LONG, LONG>> ranges;
    std::vector<LONG> positions;
    dialogs.drive([&](HWND dialog) {
        for (int id : {IDC_BALANCE_CYAN, IDC_BALANCE_MAGENTA, IDC_BALANCE_YELLOW, IDC_BALANCE_BLACK}) {
            ranges.push_back(RangeOf(dialog, id));
            positions.push_back(Position(dialog, id));
        }
        Key(dialog, IDC_BALANCE_CYAN, VK_LEFT);  // already at the low end
        Key(dialog, IDC_BALANCE_MAGENTA, VK_RIGHT, 4);
        Key(dialog, IDC_BALANCE_YELLOW, VK_HOME);
        corvtest::Click(dialog, IDOK);
    });
    corvtest::Click(page, IDC_CONFIGURE_BALANCE);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].templateId, static_cast<UINT>(IDD_COLOR_BALANCE));
    for (const auto& range : ranges) EXPECT_EQ(range, std::make_pair(-5L, 5L));
    EXPECT_EQ(positions, (std::vector<LONG>{-5, 3, 0, 5}));

    ASSERT_TRUE(host.apply());
    EXPECT_EQ(driverRecord.bColorBalance, 1u);
    EXPECT_EQ(driverRecord.lBalanceCyan, -5);
    EXPECT_EQ(driverRecord.lBalanceMagenta, 5);
    EXPECT_EQ(driverRecord.lBalanceYellow, -5);
    EXPECT_EQ(driverRecord.lBalanceBlack, 5);
    EXPECT_EQ(context->applied, 1u);
}

TEST_F(ManualColorPage, DialogValuesNotStoredAreDroppedWhenThePageIsEnteredAgain) {
    context->working.dwRgbImage = 1;
    context->working.lBalanceCyan = 1;
    Open(IDD_MANUAL_COLOR);
    corvtest::NestedDialogs dialogs;
    Pick(page, IDC_CORRECTION_LIST, L"Manual");
    dialogs.drive([](HWND dialog) {
        Pick(dialog, IDC_RGB_IMAGE_LIST, L"Vivid");
        corvtest::Click(dialog, IDOK);
    });
    corvtest::Click(page, IDC_CONFIGURE_CORRECTION);
    Pick(page, IDC_BALANCE_LIST, L"Manual");
    dialogs.drive([](HWND dialog) {
        Key(dialog, IDC_BALANCE_CYAN, VK_RIGHT, 2);
        corvtest::Click(dialog, IDOK);
    });
    corvtest::Click(page, IDC_CONFIGURE_BALANCE);
    EXPECT_EQ(context->colorScratch.dwRgbImage, 3u);
    EXPECT_EQ(context->colorScratch.lBalanceCyan, 3);

    // Both lists turned away from "Manual" before leaving: the confirmed values never travel.
    Pick(page, IDC_CORRECTION_LIST, L"Auto");
    Pick(page, IDC_BALANCE_LIST, L"Printer Setting");
    LeaveAndReturn();
    EXPECT_EQ(context->working.dwColorCorrection, 2u);
    EXPECT_EQ(context->working.dwRgbImage, 1u);
    EXPECT_EQ(context->working.lBalanceCyan, 1);
    EXPECT_EQ(context->colorScratch.dwRgbImage, 1u);
    EXPECT_EQ(context->colorScratch.lBalanceCyan, 1);

    Pick(page, IDC_CORRECTION_LIST, L"Manual");
    std::wstring imageShown;
    dialogs.drive([&](HWND dialog) {
        imageShown = Shown(dialog, IDC_RGB_IMAGE_LIST);
        corvtest::Click(dialog, IDCANCEL);
    });
    corvtest::Click(page, IDC_CONFIGURE_CORRECTION);
    EXPECT_EQ(imageShown, L"sRGB Display");
}

TEST_F(ManualColorPage, ApplyWritesTheListsAndTheWorkingCopysRgbQualityButNotGrayCorrection) {
    context->working.lBrightness = -3;
    context->working.lContrast = 4;
    context->working.lSaturation = 2;
    context->working.bFineLines = 1;
    context->working.bGrayCorrection = 0;
    context->working.dwColorCorrection = 3;  // no item carries it: shown and stored as "Printer Setting"
    driverRecord.dwColorCorrection = 3;
    Open(IDD_MANUAL_COLOR);
    EXPECT_EQ(Shown(page, IDC_CORRECTION_LIST), L"Printer Setting");
    Pick(page, IDC_TONER_LIST, L"On");
    ASSERT_TRUE(host.apply());
    EXPECT_EQ(driverRecord.dwColorCorrection, 0u);
    EXPECT_EQ(driverRecord.dwPallidor, 2u);
    EXPECT_EQ(driverRecord.lBrightness, -3);
    EXPECT_EQ(driverRecord.lContrast, 4);
    EXPECT_EQ(driverRecord.lSaturation, 2);
    EXPECT_EQ(driverRecord.bFineLines, 1);
    EXPECT_EQ(driverRecord.bGrayCorrection, 1);
    EXPECT_EQ(context->applied, 1u);
}

TEST_F(ManualColorPage, RgbQualityBarsHaveTheirRangesAndOkStoresThemInTheWorkingCopy) {
    context->working.lBrightness = 2;
    context->working.lContrast = 1;
    context->working.lSaturation = 4;
    Open(IDD_MANUAL_COLOR);
    ChangedCount changed(host.sheet());
    corvtest::NestedDialogs dialogs;
    std::vector<std::pair<LONG, LONG>> ranges;
    std::vector<LONG> positions;
    bool saturationOn = false;
    dialogs.drive([&](HWND dialog) {
        for (int id : {IDC_RGB_BRIGHTNESS, IDC_RGB_CONTRAST, IDC_RGB_SATURATION}) {
            ranges.push_back(RangeOf(dialog, id));
            positions.push_back(Position(dialog, id));
        }
        saturationOn = Enabled(dialog, IDC_RGB_SATURATION);
        Key(dialog, IDC_RGB_BRIGHTNESS, VK_HOME);
        Key(dialog, IDC_RGB_CONTRAST, VK_END);
        Key(dialog, IDC_RGB_SATURATION, VK_LEFT);
        Toggle(dialog, IDC_RGB_FINE_LINES);
        corvtest::Click(dialog, IDOK);
    });
    corvtest::Click(page, IDC_CONFIGURE_QUALITY);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].templateId, static_cast<UINT>(IDD_RGB_QUALITY));
    EXPECT_EQ(ranges, (std::vector<std::pair<LONG, LONG>>{{-6, 6}, {0, 5}, {0, 5}}));
    EXPECT_EQ(positions, (std::vector<LONG>{2, 1, 4}));
    EXPECT_TRUE(saturationOn);
    EXPECT_EQ(changed.count, 1);
    EXPECT_EQ(context->working.lBrightness, -6);
    EXPECT_EQ(context->working.lContrast, 5);
    EXPECT_EQ(context->working.lSaturation, 3);
    EXPECT_EQ(context->working.bFineLines, 1);
}

TEST_F(ManualColorPage, OnAMonochromeJobSaturationIsOffButStillShownAndStored) {
    publicDevmode.dmColor = DMCOLOR_MONOCHROME;
    context->working.lSaturation = 4;
    Open(IDD_MANUAL_COLOR);
    corvtest::NestedDialogs dialogs;
    bool saturationOn = true;
    LONG shown = -1;
    dialogs.drive([&](HWND dialog) {
        saturationOn = Enabled(dialog, IDC_RGB_SATURATION);
        shown = Position(dialog, IDC_RGB_SATURATION);
        Key(dialog, IDC_RGB_BRIGHTNESS, VK_RIGHT);
        corvtest::Click(dialog, IDOK);
    });
    corvtest::Click(page, IDC_CONFIGURE_QUALITY);
    EXPECT_FALSE(saturationOn);
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(context->working.lSaturation, 4);
    EXPECT_EQ(context->working.lBrightness, 1);
}

TEST_F(ManualColorPage, WithoutPermissionEveryControlIsOffAndTheQualityDialogCanStillBeCancelled) {
    context->noPermission = 1;
    context->working.dwColorCorrection = 4;
    context->working.lBrightness = 3;
    Open(IDD_MANUAL_COLOR);
    for (int id : {IDC_CORRECTION_LIST, IDC_CONFIGURE_CORRECTION, IDC_BALANCE_LIST, IDC_CONFIGURE_BALANCE,
                   IDC_TONER_LIST, IDC_CONFIGURE_QUALITY})
        EXPECT_FALSE(Enabled(page, id)) << id;
    LeaveAndReturn();
    EXPECT_FALSE(Enabled(page, IDC_CONFIGURE_CORRECTION));

    // The dialog opened as the page would: every control off but Cancel, and closing the window
    // ends it with Cancel.
    corvtest::ModalDriver driver([](HWND dialog) {
        for (int id : {IDC_RGB_BRIGHTNESS, IDC_RGB_CONTRAST, IDC_RGB_SATURATION, IDC_RGB_FINE_LINES, IDOK})
            EXPECT_FALSE(Enabled(dialog, id)) << id;
        EXPECT_TRUE(Enabled(dialog, IDCANCEL));
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_RGB_QUALITY), page,
                                     &RgbQualityDialogProc, reinterpret_cast<LPARAM>(context.get()));
    EXPECT_TRUE(driver.ran());
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(context->working.lBrightness, 3);
}

// ---- Monochrome Print Quality ------------------------------------------------------------------

using MonoQualityPage = ColorPageTest;

TEST_F(MonoQualityPage, BarsFollowGrayCorrectionButTheirPositionsAreAlwaysStored) {
    context->working.lBrightness = -2;
    context->working.lContrast = 3;
    context->working.bGrayCorrection = 1;
    Open(IDD_MONO_QUALITY);
    WCHAR caption[64] = {};
    GetWindowTextW(page, caption, 64);
    EXPECT_STREQ(caption, L"Monochrome Print Quality");
    EXPECT_EQ(RangeOf(page, IDC_MONO_BRIGHTNESS), std::make_pair(-6L, 6L));
    EXPECT_EQ(RangeOf(page, IDC_MONO_CONTRAST), std::make_pair(0L, 5L));
    EXPECT_EQ(Position(page, IDC_MONO_BRIGHTNESS), -2);
    EXPECT_EQ(Position(page, IDC_MONO_CONTRAST), 3);
    EXPECT_TRUE(Enabled(page, IDC_MONO_BRIGHTNESS));

    ChangedCount changed(host.sheet());
    Key(page, IDC_MONO_BRIGHTNESS, VK_LEFT, 5);  // stops at -6
    Key(page, IDC_MONO_CONTRAST, VK_RIGHT);
    EXPECT_GE(changed.count, 2);
    int moved = changed.count;
    Toggle(page, IDC_MONO_GRAY_CORRECTION);
    EXPECT_EQ(changed.count, moved + 1);
    EXPECT_FALSE(Enabled(page, IDC_MONO_BRIGHTNESS));
    EXPECT_FALSE(Enabled(page, IDC_MONO_CONTRAST));
    Toggle(page, IDC_MONO_FINE_LINES);

    ASSERT_TRUE(host.select(1));
    EXPECT_EQ(context->working.lBrightness, -6);
    EXPECT_EQ(context->working.lContrast, 4);
    EXPECT_EQ(context->working.bGrayCorrection, 0);
    EXPECT_EQ(context->working.bFineLines, 1);
    ASSERT_TRUE(host.select(0));
    EXPECT_FALSE(Enabled(page, IDC_MONO_CONTRAST));
    EXPECT_EQ(Position(page, IDC_MONO_CONTRAST), 4);

    ASSERT_TRUE(host.apply());
    EXPECT_EQ(driverRecord.lBrightness, -6);
    EXPECT_EQ(driverRecord.lContrast, 4);
    EXPECT_EQ(driverRecord.bGrayCorrection, 0);
    EXPECT_EQ(driverRecord.bFineLines, 1);
    EXPECT_EQ(context->applied, 1u);
}

TEST_F(MonoQualityPage, OutOfRangeValuesAreShownAndStoredAtTheNearestEnd) {
    context->working.lBrightness = 11;
    context->working.lContrast = -4;
    context->working.bGrayCorrection = 0;
    Open(IDD_MONO_QUALITY);
    EXPECT_FALSE(Enabled(page, IDC_MONO_BRIGHTNESS));
    ASSERT_TRUE(host.apply());
    EXPECT_EQ(driverRecord.lBrightness, 6);
    EXPECT_EQ(driverRecord.lContrast, 0);
}

TEST_F(MonoQualityPage, WithoutPermissionEveryControlIsOffAfterEachActivation) {
    context->noPermission = 1;
    Open(IDD_MONO_QUALITY);
    LeaveAndReturn();
    for (int id : {IDC_MONO_BRIGHTNESS, IDC_MONO_CONTRAST, IDC_MONO_GRAY_CORRECTION, IDC_MONO_FINE_LINES})
        EXPECT_FALSE(Enabled(page, id)) << id;
}

}  // namespace
}  // namespace corv::ui
