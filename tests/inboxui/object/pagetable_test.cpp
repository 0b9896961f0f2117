// Which pages a document sheet gets: one pure choice over the page table from the printer's
// features, the features as the core driver answers them, and the product's rows themselves.
#include "plug-in/inboxui/core/pagetable.h"
#include "plug-in/inboxui/core/sheets.h"

#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/resources/ids.h"
#include "tests/support/fakecoreui.h"

#include <gtest/gtest.h>

#include <prsht.h>

#include <string>
#include <vector>

namespace corv::ui {
namespace {

INT_PTR CALLBACK NoPage(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The document sheet as the printer model is to have it once every page exists.
constexpr PageRow kPlanned[] = {
    {128, L"Output Options", PageCondition::FaxOrHold, &NoPage},
    {106, L"Watermark", PageCondition::Always, &NoPage},
    {107, L"Manual Color", PageCondition::ManualColor, &NoPage},
    {229, L"Monochrome Print Quality", PageCondition::NoManualColor, &NoPage},
    {225, L"Profiles", PageCondition::Always, &NoPage},
    {137, L"About", PageCondition::Always, &NoPage},
};

std::vector<WORD> Templates(const PageList& list) {
    std::vector<WORD> ids;
    for (size_t i = 0; i < list.count; ++i) ids.push_back(list.rows[i]->templateId);
    return ids;
}

struct Combination {
    bool faxCard, printAndHold, manualColor;
    std::vector<WORD> planned;
};

const Combination kCombinations[] = {
    {false, false, false, {106, 229, 225, 137}},      {true, false, false, {128, 106, 229, 225, 137}},
    {false, true, false, {128, 106, 229, 225, 137}},  {true, true, false, {128, 106, 229, 225, 137}},
    {false, false, true, {106, 107, 225, 137}},       {true, false, true, {128, 106, 107, 225, 137}},
    {false, true, true, {128, 106, 107, 225, 137}},   {true, true, true, {128, 106, 107, 225, 137}},
};

PrinterFeatures FeaturesOf(const Combination& c) { return {c.faxCard, c.printAndHold, c.manualColor}; }

std::string Name(const Combination& c) {
    return std::string(c.faxCard ? "fax " : "") + (c.printAndHold ? "hold " : "") + (c.manualColor ? "color" : "");
}

TEST(PageChoice, EveryCombinationOfFeaturesPicksItsRowsInTableOrder) {
    for (const Combination& c : kCombinations) {
        SCOPED_TRACE(Name(c));
        EXPECT_EQ(Templates(ChoosePages(kPlanned, FeaturesOf(c))), c.planned);
    }
}

TEST(PageChoice, TheProductSheetHasOnlyThePagesWhoseDialogsExist) {
    for (const Combination& c : kCombinations) {
        SCOPED_TRACE(Name(c));
        std::vector<WORD> expected;
        if (c.faxCard || c.printAndHold) expected.push_back(IDD_OUTPUT_OPTIONS);
        expected.push_back(IDD_WATERMARK);
        expected.push_back(c.manualColor ? WORD{IDD_MANUAL_COLOR} : WORD{IDD_MONO_QUALITY});
        expected.push_back(IDD_PROFILES);
        expected.push_back(IDD_ABOUT_DOC);
        EXPECT_EQ(Templates(DocumentPages(FeaturesOf(c))), expected);
    }
}

// A new row goes where the plan has it, with the plan's caption and condition.
TEST(PageChoice, ProductRowsFollowThePlan) {
    size_t count = 0;
    const PageRow* rows = DocumentPageTable(&count);
    ASSERT_GE(count, 1u);
    size_t at = 0;
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(rows[i].templateId);
        while (at < std::size(kPlanned) && kPlanned[at].templateId != rows[i].templateId) ++at;
        ASSERT_LT(at, std::size(kPlanned)) << "not in the plan, or out of its order";
        EXPECT_STREQ(rows[i].caption, kPlanned[at].caption);
        EXPECT_EQ(rows[i].condition, kPlanned[at].condition);
        EXPECT_NE(rows[i].procedure, nullptr);
        ++at;
    }
}

// Each row's template exists, its caption is the row's caption, and its page copes without a
// sheet context (the driver's heap gave none).
TEST(PageChoice, EveryRowsTemplateHasTheRowsCaption) {
    size_t count = 0;
    const PageRow* rows = DocumentPageTable(&count);
    std::vector<const PageRow*> all;
    for (size_t i = 0; i < count; ++i) all.push_back(&rows[i]);
    all.push_back(&PrinterPage());
    RegisterCommonControls();
    // Page templates are child windows: they need a window to live in.
    HWND sheet = CreateWindowExW(0, L"STATIC", L"sheet", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(sheet, nullptr);
    for (const PageRow* row : all) {
        SCOPED_TRACE(row->templateId);
        PROPSHEETPAGEW page{};
        page.dwSize = sizeof page;
        page.lParam = 0;
        HWND dialog = CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(row->templateId), sheet, row->procedure,
                                         reinterpret_cast<LPARAM>(&page));
        ASSERT_NE(dialog, nullptr) << GetLastError();
        WCHAR caption[128] = {};
        GetWindowTextW(dialog, caption, 128);
        EXPECT_STREQ(caption, row->caption);
        DestroyWindow(dialog);
    }
    DestroyWindow(sheet);
    EXPECT_EQ(PrinterPage().templateId, IDD_ABOUT_PRN);
}

// ---- The core driver's answers --------------------------------------------------------------

TEST(PrinterFeatureAnswers, FaxCardIsTrueInAnyCaseAndNothingElse) {
    struct {
        const char* setting;
        bool faxCard;
    } cases[] = {{"True", true}, {"TRUE", true}, {"true", true}, {"False", false}, {"Trueish", false}, {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        corvtest::FakeCoreDriverUi core;
        core.faxCard = c.setting;
        PrinterFeatures features = AskPrinterFeatures(&core, nullptr);
        EXPECT_EQ(features.faxCard, c.faxCard);
        EXPECT_FALSE(features.printAndHold);
        EXPECT_FALSE(features.manualColor);
        if (*c.setting) {
            ASSERT_FALSE(core.featureQueries.empty());
            EXPECT_EQ(core.featureQueries[0], "FaxCard");
        }
    }
}

TEST(PrinterFeatureAnswers, HoldAndManualColourArePresentFeatures) {
    corvtest::FakeCoreDriverUi core;
    core.features = {"HasPrintandHold"};
    PrinterFeatures features = AskPrinterFeatures(&core, nullptr);
    EXPECT_TRUE(features.printAndHold);
    EXPECT_FALSE(features.manualColor);
    core.features = {"HasManualColorCorrection"};
    features = AskPrinterFeatures(&core, nullptr);
    EXPECT_FALSE(features.printAndHold);
    EXPECT_TRUE(features.manualColor);
    features = AskPrinterFeatures(nullptr, nullptr);
    EXPECT_FALSE(features.faxCard || features.printAndHold || features.manualColor);
}

}  // namespace
}  // namespace corv::ui
