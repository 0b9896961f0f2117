// The UI plug-in object's pure half: the print processor name, the booklet entry, and the items
// the option-item callback relies on.
#include "plug-in/inboxui/core/optionitems.h"
#include "plug-in/inboxui/core/printerevents.h"

#include "tests/support/fakesheet.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace corv::ui {
namespace {

using corvtest::DriverOptions;

std::wstring Processor(const WCHAR* dataFile) {
    WCHAR name[kProcessorNameCapacity];
    bool derived = DerivePrintProcessorName(dataFile, name);
    EXPECT_EQ(derived, name[0] != 0);
    return name;
}

TEST(PrintProcessorName, LastCharacterBeforeTheFirstDotBecomesC) {
    EXPECT_EQ(Processor(L"ABCD12P.PPD"), L"ABCD12C");
    EXPECT_EQ(Processor(L"\\\\server\\share\\x64\\MODEL9X.PPD"), L"MODEL9C");
    EXPECT_EQ(Processor(L"A.BCD"), L"C");          // shortest name with the shortest extension
    EXPECT_EQ(Processor(L"KX.P.P"), L"KC");        // the extension runs to the end, dots and all
    EXPECT_EQ(Processor(L"C:/drivers\\NAME.PPD"), L"NAMC");
}

TEST(PrintProcessorName, NoNameWithoutAStemOrAnExtensionOfThreeLetters) {
    EXPECT_EQ(Processor(L"ABCD12P"), L"");
    EXPECT_EQ(Processor(L"ABCD12P.PP"), L"");
    EXPECT_EQ(Processor(L"C:\\drv\\.PPD"), L"");
    EXPECT_EQ(Processor(L"C:\\drv.d\\NAME"), L"");  // a dot in a folder does not count
    EXPECT_EQ(Processor(L""), L"");
    EXPECT_EQ(Processor(nullptr), L"");
}

struct Names {
    std::map<UINT, std::wstring> byId;
    int loads = 0;
    static bool Load(void* context, UINT id, WCHAR* buffer, int capacity) {
        auto* self = static_cast<Names*>(context);
        ++self->loads;
        auto it = self->byId.find(id);
        if (it == self->byId.end()) return false;
        wcsncpy(buffer, it->second.c_str(), capacity - 1);
        buffer[capacity - 1] = 0;
        return true;
    }
};

TEST(BookletEntry, FoundByNameAmongTheNupEntries) {
    DriverOptions options;
    Names names;
    for (UINT i = 0; i < DriverOptions::kNupEntries; ++i)
        names.byId[DriverOptions::kNupNameBase + i] = std::to_wstring(i + 1) + L" Up";
    names.byId[DriverOptions::kNupNameBase + 2] = L"Booklet";
    const OPTITEM& nup = options.items[DriverOptions::kNup];
    EXPECT_EQ(FindBookletIndex(nup, L"Booklet", &Names::Load, &names), 2);
    EXPECT_EQ(FindBookletIndex(nup, L"booklet", &Names::Load, &names), kDefaultBookletIndex);  // exact text
    EXPECT_EQ(FindBookletIndex(nup, L"", &Names::Load, &names), kDefaultBookletIndex);
    EXPECT_EQ(FindBookletIndex(nup, nullptr, &Names::Load, &names), kDefaultBookletIndex);

    // Entries whose names cannot be loaded are passed over; entries given as text are compared
    // as they are.
    names.byId.erase(DriverOptions::kNupNameBase + 2);
    EXPECT_EQ(FindBookletIndex(nup, L"Booklet", &Names::Load, &names), kDefaultBookletIndex);
    options.params[DriverOptions::kNup][5].pData = const_cast<LPWSTR>(L"Booklet");
    EXPECT_EQ(FindBookletIndex(nup, L"Booklet", &Names::Load, &names), 5);
}

TEST(BookletEntry, OnlyAListBoxWithParametersIsSearched) {
    DriverOptions options;
    Names names;
    names.byId[DriverOptions::kNupNameBase] = L"Booklet";
    OPTITEM& nup = options.items[DriverOptions::kNup];
    EXPECT_EQ(FindBookletIndex(nup, L"Booklet", &Names::Load, &names), 0);
    options.types[DriverOptions::kNup].Type = TVOT_COMBOBOX;
    EXPECT_EQ(FindBookletIndex(nup, L"Booklet", &Names::Load, &names), kDefaultBookletIndex);
    options.types[DriverOptions::kNup].Type = TVOT_LISTBOX;
    options.types[DriverOptions::kNup].pOptParam = nullptr;
    EXPECT_EQ(FindBookletIndex(nup, L"Booklet", &Names::Load, &names), kDefaultBookletIndex);
    nup.pOptType = nullptr;
    EXPECT_EQ(FindBookletIndex(nup, L"Booklet", &Names::Load, &names), kDefaultBookletIndex);
}

TEST(WatermarkOnEscape, BookletOrBackToFront) {
    OPTITEM order{};
    order.Sel = 0;
    EXPECT_FALSE(WatermarkOnEscapeFor(false, &order));
    EXPECT_TRUE(WatermarkOnEscapeFor(true, &order));
    order.Sel = 1;
    EXPECT_TRUE(WatermarkOnEscapeFor(false, &order));
    order.Sel = 2;
    EXPECT_FALSE(WatermarkOnEscapeFor(false, &order));
    EXPECT_FALSE(WatermarkOnEscapeFor(false, nullptr));
}

TEST(RememberedItems, PublicIdsWinAndOutputOrderStandsInOnlyWhileNoneIsKnown) {
    DriverOptions options;
    options.Keyword(DriverOptions::kNamedItem, "OutputOrder");
    RememberedItems found = FindRememberedItems(options.items, DriverOptions::kCount);
    EXPECT_EQ(found.nup, &options.items[DriverOptions::kNup]);
    EXPECT_EQ(found.pageOrder, &options.items[DriverOptions::kPageOrder]);

    // With the page-order item hidden, the OutputOrder item stands in.
    options.items[DriverOptions::kPageOrder].Flags |= OPTIF_HIDE;
    found = FindRememberedItems(options.items, DriverOptions::kCount);
    EXPECT_EQ(found.pageOrder, &options.items[DriverOptions::kNamedItem]);

    // The keyword is compared exactly, and items without user data are fine.
    DriverOptions other;
    other.items[DriverOptions::kPageOrder].DMPubID = 0;
    other.Keyword(DriverOptions::kNamedItem, "outputorder");
    found = FindRememberedItems(other.items, DriverOptions::kCount);
    EXPECT_EQ(found.pageOrder, nullptr);
    EXPECT_EQ(FindRememberedItems(nullptr, 5).nup, nullptr);
}

TEST(InstallableOptions, HiddenByKeywordInAnyCase) {
    DriverOptions options;
    options.Keyword(DriverOptions::kCopies, "HASMANUALDUPLEX");
    options.Keyword(DriverOptions::kNup, "HasManualDuplex2");
    EXPECT_EQ(HideInstallableOptions(options.items, DriverOptions::kCount), 1u);
    EXPECT_TRUE(options.items[DriverOptions::kCopies].Flags & OPTIF_HIDE);
    EXPECT_FALSE(options.items[DriverOptions::kNup].Flags & OPTIF_HIDE);
    EXPECT_EQ(HideInstallableOptions(nullptr, 3), 0u);
}

}  // namespace
}  // namespace corv::ui
