// corvui.dll's property sheets and option items through raw vtable slots: the document and printer
// sheet functions, CommonUIProp in both modes and the option-item callback it installs.
#include "tests/inboxui_dll/corvui.h"
#include "tests/inboxui/watermarks/store_fixture.h"
#include "tests/support/fakecoreui.h"
#include "tests/support/fakesheet.h"

#include "common/record.h"
#include "plug-in/inboxui/core/sheetcontext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace corvtest {
namespace {

// The DLL's string loads from the common property sheet library and from the driver's
// configuration module, answered here: the booklet name and the n-up entries' names.
class NameLoads {
public:
    static inline const HMODULE kCommonUi = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x7A010000));
    static inline const HMODULE kConfig = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x7A020000));
    static constexpr wchar_t kConfigPath[] = L"C:\\drivers\\PSCONFIG.DLL";

    explicit NameLoads(const wchar_t* booklet)
        : library_(UiModule(), "kernel32.dll", "LoadLibraryExW", reinterpret_cast<void*>(&Load)),
          string_(UiModule(), "user32.dll", "LoadStringW", reinterpret_cast<void*>(&String)),
          free_(UiModule(), "kernel32.dll", "FreeLibrary", reinterpret_cast<void*>(&Free)) {
        Self() = this;
        booklet_ = booklet;
    }
    ~NameLoads() { Self() = nullptr; }
    bool active() const { return library_.active() && string_.active() && free_.active(); }

    std::vector<std::wstring> loaded;  // paths the DLL asked for
    int frees = 0;

private:
    static NameLoads*& Self() {
        static NameLoads* self = nullptr;
        return self;
    }
    static HMODULE WINAPI Load(LPCWSTR path, HANDLE file, DWORD flags) {
        NameLoads* self = Self();
        std::wstring p = path ? path : L"";
        self->loaded.push_back(p);
        if (lstrcmpiW(p.c_str(), L"compstui.dll") == 0) return kCommonUi;
        if (p == kConfigPath) return kConfig;
        return self->library_.original<decltype(&LoadLibraryExW)>()(path, file, flags);
    }
    static int WINAPI String(HINSTANCE module, UINT id, LPWSTR buffer, int capacity) {
        NameLoads* self = Self();
        std::wstring text;
        if (module == kCommonUi) {
            if (id == 64873) text = self->booklet_;
        } else if (module == kConfig) {
            UINT entry = id - DriverOptions::kNupNameBase;
            if (entry < DriverOptions::kNupEntries)
                text = entry == DriverOptions::kBookletEntry ? L"Booklet" : std::to_wstring(entry + 1) + L" Up";
        } else {
            return self->string_.original<decltype(&LoadStringW)>()(module, id, buffer, capacity);
        }
        if (text.empty() || capacity <= 0) return 0;
        size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
        std::wmemcpy(buffer, text.c_str(), n);
        buffer[n] = 0;
        return static_cast<int>(n);
    }
    static BOOL WINAPI Free(HMODULE module) {
        NameLoads* self = Self();
        if (module == kCommonUi || module == kConfig) {
            ++self->frees;
            return TRUE;
        }
        return self->free_.original<decltype(&FreeLibrary)>()(module);
    }

    std::wstring booklet_;
    ImportPatch library_, string_, free_;
};

constexpr LONG kFallbackBookletEntry = 6;

class UiDllSheets : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry_.ok());
        ASSERT_TRUE(spooler_.active());
        heap_ = HeapCreate(0, 0, 0);
        ASSERT_NE(heap_, nullptr);
        printer_ = spooler_.Add({L"Office", kDriver, L"C:\\drivers\\ABCD12P.PPD", NameLoads::kConfigPath,
                                 {L"C:\\drivers\\ABCD12P.PPD", L"C:\\drivers\\Corvane Guide.CHM"}});
        plugin_ = CreateUiPlugin();
        ASSERT_NE(plugin_.p, nullptr);
        ASSERT_EQ(plugin_.PublishDriverInterface(&core_), S_OK);

        OEMDMPARAM defaults{};
        defaults.cbSize = sizeof defaults;
        defaults.pOEMDMOut = &record_;
        ASSERT_EQ(plugin_.DevMode(OEMDM_DEFAULT, &defaults), S_OK);
        record_.dwWatermarkOrder = 3;
        record_.bBlockAppPostScript = 1;
        record_.dwOutputTo = 4;
        wcscpy(record_.szHoldUserName, L"jdoe");

        uiObject_.cbSize = sizeof uiObject_;
        pageParams_.cbSize = sizeof pageParams_;
        pageParams_.poemuiobj = &uiObject_;
        pageParams_.hPrinter = printer_;
        pageParams_.pPrinterName = const_cast<PWSTR>(L"Office");
        pageParams_.hOEMHeap = heap_;
        pageParams_.pOEMDM = &record_;

        cuip_.cbSize = sizeof cuip_;
        cuip_.poemuiobj = &uiObject_;
        cuip_.hPrinter = printer_;
        cuip_.hOEMHeap = heap_;
        cuip_.pOEMDM = &record_;
        cuip_.pDrvOptItems = options_.items;
        cuip_.cDrvOptItems = DriverOptions::kCount;
        cuip_.pOEMOptItems = pluginItems_;
        cuip_.cOEMOptItems = 0;
    }
    void TearDown() override {
        if (plugin_.p) plugin_.Release();
        if (heap_) HeapDestroy(heap_);
    }

    HRESULT DocumentSheet(PROPSHEETUI_INFO* info, LPARAM lParam = 0) {
        return plugin_.DocumentPropertySheets(info, lParam);
    }
    LONG Callback(WORD reason, HWND page = nullptr) {
        CPSUICBPARAM callback{};
        callback.cbSize = sizeof callback;
        callback.Reason = reason;
        callback.hDlg = page;
        callback.pOptItem = options_.items;
        callback.cOptItem = DriverOptions::kCount;
        return cuip_.OEMCUIPCallback(&callback, &cuip_);
    }
    static std::vector<BYTE> ProfileRecord(const wchar_t* name) {
        std::vector<BYTE> data;
        HKEY key = nullptr;
        std::wstring path = kModelPath + L"\\Profiles\\" + name;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return data;
        DWORD size = 0;
        if (RegQueryValueExW(key, L"CustomDevData", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            data.resize(size);
            RegQueryValueExW(key, L"CustomDevData", nullptr, nullptr, data.data(), &size);
        }
        RegCloseKey(key);
        return data;
    }

    ScratchRegistry registry_;
    DllSpooler spooler_;
    FakeSheet sheet_;
    FakeCoreDriverUi core_;
    DriverOptions options_;
    OPTITEM pluginItems_[1] = {};
    HANDLE heap_ = nullptr;
    HANDLE printer_ = nullptr;
    RawUiPlugin plugin_;
    corv::JobSettings record_{};
    OEMUIOBJ uiObject_{};
    OEMUIPSPARAM pageParams_{};
    OEMCUIPPARAM cuip_{};
};

// ---- Document sheet --------------------------------------------------------------------------

TEST_F(UiDllSheets, DocumentSheetInitAddsTheAboutPageWithTheFilledSheetContext) {
    PROPSHEETUI_INFO info = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    ASSERT_EQ(DocumentSheet(&info), S_OK);

    std::vector<FakeSheet::Call> pages = FakeSheet::PagesAdded();
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0].page.pszTemplate, MAKEINTRESOURCEW(106));  // Watermark, always
    EXPECT_EQ(pages[1].page.pszTemplate, MAKEINTRESOURCEW(229));  // no manual colour correction
    EXPECT_EQ(pages[2].page.pszTemplate, MAKEINTRESOURCEW(225));  // Profiles
    for (int i = 0; i < 3; ++i) EXPECT_EQ(pages[i].page.lParam, pages[3].page.lParam) << i;
    const PROPSHEETPAGEW_V3& page = pages[3].page;
    EXPECT_EQ(pages[3].sheet, FakeSheet::kHandle);
    EXPECT_EQ(page.dwSize, 96u);
    EXPECT_TRUE(page.dwFlags & PSP_HASHELP);
    EXPECT_FALSE(page.dwFlags & PSP_USETITLE);  // the template's caption is the title
    EXPECT_EQ(page.hInstance, UiModule());
    EXPECT_EQ(page.pszTemplate, MAKEINTRESOURCEW(137));
    EXPECT_NE(page.pfnDlgProc, nullptr);
    EXPECT_EQ(info.Result, static_cast<ULONG_PTR>(FakeSheet::kFirstPageHandle + 4));  // the last addition's

    auto* context = reinterpret_cast<corv::ui::SheetContext*>(info.UserData);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(page.lParam, reinterpret_cast<LPARAM>(context));
    EXPECT_EQ(context->sheet, FakeSheet::kHandle);
    EXPECT_EQ(context->sheetFunction, &FakeSheet::Function);
    EXPECT_EQ(context->pageParams, &pageParams_);
    EXPECT_EQ(static_cast<void*>(context->core), static_cast<void*>(&core_));
    EXPECT_EQ(static_cast<void*>(context->owner), plugin_.p);
    EXPECT_EQ(context->noPermission, 0u);
    EXPECT_EQ(context->shownOrder, 3u);
    EXPECT_EQ(context->applied, 0u);
    ASSERT_NE(context->helpFile, nullptr);
    EXPECT_STREQ(context->helpFile, L"c:\\drivers\\corvane guide.chm");
    // The working copy has every field of the driver's record but bBlockAppPostScript.
    EXPECT_EQ(context->working.dwWatermarkOrder, 3u);
    EXPECT_EQ(context->working.dwOutputTo, 4u);
    EXPECT_STREQ(context->working.szHoldUserName, L"jdoe");
    EXPECT_EQ(context->working.bBlockAppPostScript, 0);

    info.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(DocumentSheet(&info), S_OK);
    EXPECT_EQ(info.Result, 1u);
    EXPECT_EQ(FakeSheet::Calls().size(), 4u);  // the four pages; no result was set
}

TEST_F(UiDllSheets, DocumentSheetTakesTheNoPermissionFlagAndCopesWithoutRecordOrParameters) {
    pageParams_.dwFlags = DM_NOPERMISSION;
    pageParams_.pOEMDM = nullptr;
    PROPSHEETUI_INFO info = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    ASSERT_EQ(DocumentSheet(&info), S_OK);
    auto* context = reinterpret_cast<corv::ui::SheetContext*>(info.UserData);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->noPermission, 1u);
    EXPECT_EQ(context->working.dwSize, 7672u);  // defaults when the driver gave no record
    EXPECT_EQ(context->working.bGrayCorrection, 1);
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    DocumentSheet(&info);

    PROPSHEETUI_INFO bare = FakeSheet::Info(PROPSHEETUI_REASON_INIT);
    FakeSheet::Calls().clear();
    EXPECT_EQ(DocumentSheet(&bare), S_OK);
    EXPECT_EQ(bare.Result, 1u);
    EXPECT_TRUE(FakeSheet::Calls().empty());

    // Without a heap there is no context; the page is still added, with a null parameter.
    pageParams_.hOEMHeap = nullptr;
    PROPSHEETUI_INFO noHeap = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    EXPECT_EQ(DocumentSheet(&noHeap), S_OK);
    EXPECT_EQ(noHeap.UserData, 0u);
    ASSERT_EQ(FakeSheet::PagesAdded().size(), 4u);
    for (const FakeSheet::Call& page : FakeSheet::PagesAdded()) EXPECT_EQ(page.page.lParam, 0);
}

TEST_F(UiDllSheets, SheetsRefuseOtherVersionsAndAnswerHeaderResultAndIcon) {
    for (int device = 0; device < 2; ++device) {
        SCOPED_TRACE(device ? "printer sheet" : "document sheet");
        auto call = [&](PROPSHEETUI_INFO* info, LPARAM lParam) {
            return device ? plugin_.DevicePropertySheets(info, lParam) : plugin_.DocumentPropertySheets(info, lParam);
        };
        PROPSHEETUI_INFO info = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
        info.Version = 0x0200;
        SetLastError(0);
        EXPECT_EQ(call(&info, 0), E_FAIL);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(call(nullptr, 0), E_FAIL);
        EXPECT_TRUE(FakeSheet::Calls().empty());

        PROPSHEETUI_INFO_HEADER header{};
        header.cbSize = sizeof header;
        info = FakeSheet::Info(PROPSHEETUI_REASON_GET_INFO_HEADER);
        EXPECT_EQ(call(&info, reinterpret_cast<LPARAM>(&header)), S_OK);
        EXPECT_EQ(info.Result, 1u);
        ASSERT_NE(header.pTitle, nullptr);
        EXPECT_STREQ(header.pTitle, L"In-Box UI Page");

        SETRESULT_INFO result{};
        result.cbSize = sizeof result;
        result.Result = 7;
        info = FakeSheet::Info(PROPSHEETUI_REASON_SET_RESULT);
        EXPECT_EQ(call(&info, reinterpret_cast<LPARAM>(&result)), S_OK);
        EXPECT_EQ(info.Result, 7u);
        info.Result = 99;
        EXPECT_EQ(call(&info, 0), S_OK);
        EXPECT_EQ(info.Result, 0u);

        info = FakeSheet::Info(PROPSHEETUI_REASON_GET_ICON);
        info.Result = 99;
        EXPECT_EQ(call(&info, 0), S_OK);
        EXPECT_EQ(info.Result, 0u);
    }
}

// The blocks the DLL gives back to a heap, seen through its import of HeapFree.
class HeapFrees {
public:
    HeapFrees() : patch_(UiModule(), "kernel32.dll", "HeapFree", reinterpret_cast<void*>(&Free)) { Self() = this; }
    ~HeapFrees() { Self() = nullptr; }
    bool active() const { return patch_.active(); }
    bool Freed(HANDLE heap, const void* block) const {
        return std::find(freed_.begin(), freed_.end(), std::make_pair(heap, block)) != freed_.end();
    }

private:
    static HeapFrees*& Self() {
        static HeapFrees* self = nullptr;
        return self;
    }
    static BOOL WINAPI Free(HANDLE heap, DWORD flags, LPVOID block) {
        Self()->freed_.emplace_back(heap, block);
        return Self()->patch_.original<decltype(&HeapFree)>()(heap, flags, block);
    }
    std::vector<std::pair<HANDLE, const void*>> freed_;
    ImportPatch patch_;
};

TEST_F(UiDllSheets, AnObjectReleasedBeforeItsSheetEndedGivesTheContextBack) {
    HeapFrees frees;
    ASSERT_TRUE(frees.active());
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    const void* context = cuip_.pOEMUserData;
    ASSERT_NE(context, nullptr);
    plugin_.Release();
    plugin_.p = nullptr;
    EXPECT_TRUE(frees.Freed(heap_, context));

    // With the sheet started as well, the help file path goes back too.
    plugin_ = CreateUiPlugin();
    ASSERT_EQ(plugin_.PublishDriverInterface(&core_), S_OK);
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    PROPSHEETUI_INFO info = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    ASSERT_EQ(DocumentSheet(&info), S_OK);
    auto* started = reinterpret_cast<corv::ui::SheetContext*>(info.UserData);
    ASSERT_NE(started, nullptr);
    const void* helpFile = started->helpFile;
    ASSERT_NE(helpFile, nullptr);
    plugin_.Release();
    plugin_.p = nullptr;
    EXPECT_TRUE(frees.Freed(heap_, started));
    EXPECT_TRUE(frees.Freed(heap_, helpFile));
}

// Which pages the document sheet gets is the core driver's answers' to decide: the colour page
// by manual colour correction, then the Profiles and About pages.
TEST_F(UiDllSheets, DocumentPagesFollowThePrintersFeatures) {
    for (int bits = 0; bits < 8; ++bits) {
        SCOPED_TRACE(bits);
        core_.faxCard = bits & 1 ? "True" : "False";
        core_.features.clear();
        if (bits & 2) core_.features.insert("HasPrintandHold");
        if (bits & 4) core_.features.insert("HasManualColorCorrection");
        core_.featureQueries.clear();
        FakeSheet::Calls().clear();
        PROPSHEETUI_INFO info = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
        ASSERT_EQ(DocumentSheet(&info), S_OK);
        std::vector<FakeSheet::Call> pages = FakeSheet::PagesAdded();
        // Output Options first with a fax card or print and hold, then Watermark, one colour
        // page, Profiles, then About.
        std::vector<LPCWSTR> expected;
        if (bits & 3) expected.push_back(MAKEINTRESOURCEW(128));
        expected.push_back(MAKEINTRESOURCEW(106));
        expected.push_back(MAKEINTRESOURCEW(bits & 4 ? 107 : 229));
        expected.push_back(MAKEINTRESOURCEW(225));
        expected.push_back(MAKEINTRESOURCEW(137));
        ASSERT_EQ(pages.size(), expected.size());
        for (size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(pages[i].page.pszTemplate, expected[i]) << i;
        // "FaxCard" is read with the size first, then into a block of that size.
        EXPECT_EQ(core_.featureQueries, (std::vector<std::string>{"FaxCard", "FaxCard", "HasPrintandHold",
                                                                  "HasManualColorCorrection"}));
        info.Reason = PROPSHEETUI_REASON_DESTROY;
        DocumentSheet(&info);
    }
}

// ---- Printer sheet ---------------------------------------------------------------------------

TEST_F(UiDllSheets, PrinterSheetGetsItsOwnContextEveryTimeAndOnlyTheAboutPage) {
    PROPSHEETUI_INFO document = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    ASSERT_EQ(DocumentSheet(&document), S_OK);
    FakeSheet::Calls().clear();

    PROPSHEETUI_INFO first = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    PROPSHEETUI_INFO second = first;
    ASSERT_EQ(plugin_.DevicePropertySheets(&first, 0), S_OK);
    ASSERT_EQ(plugin_.DevicePropertySheets(&second, 0), S_OK);
    std::vector<FakeSheet::Call> pages = FakeSheet::PagesAdded();
    ASSERT_EQ(pages.size(), 2u);
    for (const FakeSheet::Call& page : pages) {
        EXPECT_EQ(page.page.pszTemplate, MAKEINTRESOURCEW(109));
        EXPECT_EQ(page.page.dwSize, 96u);
        EXPECT_TRUE(page.page.dwFlags & PSP_HASHELP);
    }
    EXPECT_EQ(first.Result, static_cast<ULONG_PTR>(FakeSheet::kFirstPageHandle + 1));
    ASSERT_NE(first.UserData, 0u);
    EXPECT_NE(first.UserData, second.UserData);
    EXPECT_NE(first.UserData, document.UserData);
    auto* context = reinterpret_cast<corv::ui::SheetContext*>(first.UserData);
    EXPECT_EQ(pages[0].page.lParam, static_cast<LPARAM>(first.UserData));
    EXPECT_EQ(static_cast<void*>(context->owner), plugin_.p);
    EXPECT_STREQ(context->helpFile, L"c:\\drivers\\corvane guide.chm");

    first.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(plugin_.DevicePropertySheets(&first, 0), S_OK);
    EXPECT_EQ(first.Result, 0u);
    second.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(plugin_.DevicePropertySheets(&second, 0), S_OK);

    // The document sheet's context is untouched by the printer sheets.
    auto* documentContext = reinterpret_cast<corv::ui::SheetContext*>(document.UserData);
    EXPECT_EQ(documentContext->shownOrder, 3u);
    EXPECT_EQ(documentContext->sheet, FakeSheet::kHandle);
    document.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(DocumentSheet(&document), S_OK);
}

// ---- CommonUIProp ----------------------------------------------------------------------------

TEST_F(UiDllSheets, CommonUIPropAddsNoItemsAndRefusesOtherModes) {
    cuip_.pOEMOptItems = nullptr;
    cuip_.cOEMOptItems = 5;
    EXPECT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    EXPECT_EQ(cuip_.cOEMOptItems, 0u);
    EXPECT_EQ(cuip_.OEMCUIPCallback, nullptr);
    cuip_.cOEMOptItems = 5;
    EXPECT_EQ(plugin_.CommonUIProp(OEMCUIP_PRNPROP, &cuip_), S_OK);
    EXPECT_EQ(cuip_.cOEMOptItems, 0u);

    SetLastError(0);
    EXPECT_EQ(plugin_.CommonUIProp(3, &cuip_), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(UiDllSheets, PrinterModeHidesTheInstallableOptionsOnly) {
    options_.Keyword(DriverOptions::kOrientation, "hasprintandhold");
    options_.Keyword(DriverOptions::kCopies, "HasManualColorCorrection");
    options_.Keyword(DriverOptions::kNup, "HASKEEPPREVIOUSPHJOBS");
    options_.Keyword(DriverOptions::kPageOrder, "HasManualDuplex");
    options_.Keyword(DriverOptions::kEditBox, "HasManualDuplexUnit");
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_PRNPROP, &cuip_), S_OK);
    for (int i : {DriverOptions::kOrientation, DriverOptions::kCopies, DriverOptions::kNup, DriverOptions::kPageOrder})
        EXPECT_TRUE(options_.items[i].Flags & OPTIF_HIDE) << "item " << i;
    EXPECT_FALSE(options_.items[DriverOptions::kEditBox].Flags & OPTIF_HIDE);
    EXPECT_FALSE(options_.items[DriverOptions::kNamedItem].Flags & OPTIF_HIDE);  // no user data
    EXPECT_EQ(cuip_.OEMCUIPCallback, nullptr);
}

TEST_F(UiDllSheets, DocumentModeSharesItsContextWithTheDocumentSheet) {
    cuip_.dwFlags = DM_NOPERMISSION;
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    ASSERT_NE(cuip_.OEMCUIPCallback, nullptr);
    auto* context = static_cast<corv::ui::SheetContext*>(cuip_.pOEMUserData);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->noPermission, 1u);
    EXPECT_EQ(context->shownOrder, 3u);
    EXPECT_EQ(static_cast<void*>(context->owner), plugin_.p);

    PROPSHEETUI_INFO info = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    ASSERT_EQ(DocumentSheet(&info), S_OK);
    EXPECT_EQ(info.UserData, reinterpret_cast<ULONG_PTR>(context));
    ASSERT_EQ(FakeSheet::PagesAdded().size(), 4u);
    for (const FakeSheet::Call& page : FakeSheet::PagesAdded())
        EXPECT_EQ(page.page.lParam, reinterpret_cast<LPARAM>(context));
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    DocumentSheet(&info);

    // Once the sheet has ended, the next document sheet gets a new context.
    OEMCUIPPARAM again = cuip_;
    again.pOEMUserData = nullptr;
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &again), S_OK);
    EXPECT_NE(again.pOEMUserData, nullptr);
    auto* fresh = static_cast<corv::ui::SheetContext*>(again.pOEMUserData);
    EXPECT_EQ(fresh->applied, 0u);
}

// ---- Option-item callback -----------------------------------------------------------------

TEST_F(UiDllSheets, ApplyingSetsWatermarkOnEscapeFromPageOrderAndBooklet) {
    NameLoads names(L"Booklet");
    ASSERT_TRUE(names.active());
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    ASSERT_NE(cuip_.OEMCUIPCallback, nullptr);
    OPTITEM& order = options_.items[DriverOptions::kPageOrder];
    OPTITEM& nup = options_.items[DriverOptions::kNup];

    struct Case {
        LONG order, nup;
        BOOL onEscape;
    } cases[] = {
        {1, 0, 1},                               // back to front
        {0, 0, 0},                               // front to back again
        {0, DriverOptions::kBookletEntry, 1},    // booklet, found by its name
        {1, DriverOptions::kBookletEntry, 1},
        {0, kFallbackBookletEntry, 0},  // the fallback entry is not booklet when a name matched
    };
    auto* context = static_cast<corv::ui::SheetContext*>(cuip_.pOEMUserData);
    ASSERT_NE(context, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "order " << c.order << " n-up " << c.nup);
        order.Sel = c.order;
        nup.Sel = c.nup;
        record_.bWatermarkOnEscape = 7;
        context->working.bWatermarkOnEscape = 7;
        EXPECT_EQ(Callback(CPSUICB_REASON_APPLYNOW), CPSUICB_ACTION_ITEMS_APPLIED);
        EXPECT_EQ(record_.bWatermarkOnEscape, c.onEscape);
        // Pages that write the working copy into the driver's record at apply carry it on.
        EXPECT_EQ(context->working.bWatermarkOnEscape, c.onEscape);
    }
    // The booklet name came from the common library, the entries' names from the driver's
    // configuration module, and both were let go.
    EXPECT_NE(std::find(names.loaded.begin(), names.loaded.end(), L"compstui.dll"), names.loaded.end());
    EXPECT_NE(std::find(names.loaded.begin(), names.loaded.end(), NameLoads::kConfigPath), names.loaded.end());
    EXPECT_EQ(names.frees, 2 * 5);

    // The sheet's end reports the applied settings.
    PROPSHEETUI_INFO info = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    ASSERT_EQ(DocumentSheet(&info), S_OK);
    FakeSheet::Calls().clear();
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    ASSERT_EQ(DocumentSheet(&info), S_OK);
    ASSERT_EQ(FakeSheet::Calls().size(), 1u);
    EXPECT_EQ(FakeSheet::Calls()[0].function, static_cast<UINT>(CPSFUNC_SET_RESULT));
    EXPECT_EQ(FakeSheet::Calls()[0].lParam2, CPSUI_OK);
    EXPECT_EQ(info.Result, static_cast<ULONG_PTR>(FakeSheet::kSetResultAnswer));
}

// Each CommonUIProp hands its own item list; an item of an earlier list may be gone.
TEST_F(UiDllSheets, ASecondCommonUIPropForgetsTheFirstCallsItems) {
    NameLoads names(L"Booklet");
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    options_.items[DriverOptions::kPageOrder].Sel = 1;  // back to front, in the first list

    DriverOptions second;
    second.items[DriverOptions::kPageOrder].DMPubID = 0;  // this list has no page-order item
    OEMCUIPPARAM again = cuip_;
    again.pDrvOptItems = second.items;
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &again), S_OK);
    EXPECT_EQ(again.pOEMUserData, cuip_.pOEMUserData);  // the same sheet context

    record_.bWatermarkOnEscape = 0;
    CPSUICBPARAM callback{};
    callback.cbSize = sizeof callback;
    callback.Reason = CPSUICB_REASON_APPLYNOW;
    EXPECT_EQ(again.OEMCUIPCallback(&callback, &again), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(record_.bWatermarkOnEscape, 0);
    EXPECT_EQ(static_cast<corv::ui::SheetContext*>(again.pOEMUserData)->applied, 0u);

    // The second list's own items count.
    second.items[DriverOptions::kPageOrder].DMPubID = DMPUB_PAGEORDER;
    second.items[DriverOptions::kPageOrder].Sel = 1;
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &again), S_OK);
    options_.items[DriverOptions::kPageOrder].Sel = 0;
    EXPECT_EQ(again.OEMCUIPCallback(&callback, &again), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(record_.bWatermarkOnEscape, 1);

    // A call that only asks for our item count brings no items, and leaves none remembered.
    OEMCUIPPARAM query = again;
    query.pOEMOptItems = nullptr;
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &query), S_OK);
    record_.bWatermarkOnEscape = 0;
    EXPECT_EQ(again.OEMCUIPCallback(&callback, &again), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(record_.bWatermarkOnEscape, 0);
}

// The driver's items end with its sheet: an apply that reaches the object after the sheet ended
// finds nothing to read.
TEST_F(UiDllSheets, TheSheetsEndForgetsTheRememberedItems) {
    NameLoads names(L"Booklet");
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    PROPSHEETUI_INFO info = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    ASSERT_EQ(DocumentSheet(&info), S_OK);
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    ASSERT_EQ(DocumentSheet(&info), S_OK);

    PROPSHEETUI_INFO next = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    ASSERT_EQ(DocumentSheet(&next), S_OK);
    auto* context = reinterpret_cast<corv::ui::SheetContext*>(next.UserData);
    ASSERT_NE(context, nullptr);
    options_.items[DriverOptions::kPageOrder].Sel = 1;
    record_.bWatermarkOnEscape = 0;
    OEMCUIPPARAM late = cuip_;
    late.pOEMUserData = context;
    CPSUICBPARAM callback{};
    callback.cbSize = sizeof callback;
    callback.Reason = CPSUICB_REASON_APPLYNOW;
    EXPECT_EQ(cuip_.OEMCUIPCallback(&callback, &late), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(record_.bWatermarkOnEscape, 0);
    EXPECT_EQ(context->applied, 0u);
    next.Reason = PROPSHEETUI_REASON_DESTROY;
    DocumentSheet(&next);
}

TEST_F(UiDllSheets, WithoutABookletNameTheSeventhEntryStandsForBooklet) {
    NameLoads names(L"");  // the common library has no such string
    ASSERT_TRUE(names.active());
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    options_.items[DriverOptions::kPageOrder].Sel = 0;
    options_.items[DriverOptions::kNup].Sel = kFallbackBookletEntry;
    EXPECT_EQ(Callback(CPSUICB_REASON_APPLYNOW), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(record_.bWatermarkOnEscape, 1);
    options_.items[DriverOptions::kNup].Sel = DriverOptions::kBookletEntry;
    EXPECT_EQ(Callback(CPSUICB_REASON_APPLYNOW), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(record_.bWatermarkOnEscape, 0);
}

TEST_F(UiDllSheets, OutputOrderFeatureStandsInForAHiddenPageOrderItem) {
    NameLoads names(L"Booklet");
    options_.items[DriverOptions::kPageOrder].Flags |= OPTIF_HIDE;
    options_.Keyword(DriverOptions::kNamedItem, "OutputOrder");
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    options_.items[DriverOptions::kPageOrder].Sel = 1;  // hidden: not looked at
    options_.items[DriverOptions::kNamedItem].Sel = 0;
    EXPECT_EQ(Callback(CPSUICB_REASON_APPLYNOW), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(record_.bWatermarkOnEscape, 0);
    options_.items[DriverOptions::kNamedItem].Sel = 1;
    EXPECT_EQ(Callback(CPSUICB_REASON_APPLYNOW), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(record_.bWatermarkOnEscape, 1);
}

TEST_F(UiDllSheets, ApplyingWithoutTheRememberedItemsChangesNothing) {
    options_.items[DriverOptions::kPageOrder].DMPubID = 0;  // no page-order item at all
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    record_.bWatermarkOnEscape = 0;
    options_.items[DriverOptions::kPageOrder].Sel = 1;
    EXPECT_EQ(Callback(CPSUICB_REASON_APPLYNOW), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(record_.bWatermarkOnEscape, 0);
    EXPECT_EQ(static_cast<corv::ui::SheetContext*>(cuip_.pOEMUserData)->applied, 0u);

    OEMCUIPPARAM noRecord = cuip_;
    noRecord.pOEMDM = nullptr;
    CPSUICBPARAM callback{};
    callback.Reason = CPSUICB_REASON_APPLYNOW;
    EXPECT_EQ(cuip_.OEMCUIPCallback(&callback, &noRecord), CPSUICB_ACTION_ITEMS_APPLIED);
    EXPECT_EQ(cuip_.OEMCUIPCallback(nullptr, &cuip_), CPSUICB_ACTION_NONE);
    EXPECT_EQ(cuip_.OEMCUIPCallback(&callback, nullptr), CPSUICB_ACTION_NONE);
    callback.Reason = CPSUICB_REASON_SEL_CHANGED;
    EXPECT_EQ(cuip_.OEMCUIPCallback(&callback, &cuip_), CPSUICB_ACTION_NONE);
}

TEST_F(UiDllSheets, ActivatingTheDriversPageSavesFactoryDefaultsOnceAndMarksEveryItem) {
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);
    PROPSHEETUI_INFO info = FakeSheet::Info(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&pageParams_));
    ASSERT_EQ(DocumentSheet(&info), S_OK);
    auto* context = static_cast<corv::ui::SheetContext*>(cuip_.pOEMUserData);
    cuip_.cOEMOptItems = 3;

    EXPECT_EQ(Callback(CPSUICB_REASON_SETACTIVE), CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_EQ(context->driverItems, options_.items);
    EXPECT_EQ(context->driverItemCount, static_cast<DWORD>(DriverOptions::kCount));
    EXPECT_EQ(context->pluginItemCount, 3u);
    for (const OPTITEM& item : options_.items) EXPECT_TRUE(item.Flags & OPTIF_CHANGED);

    std::vector<BYTE> saved = ProfileRecord(L"Factory Defaults");
    ASSERT_EQ(saved.size(), sizeof(corv::JobSettings));
    EXPECT_EQ(std::memcmp(saved.data(), &context->working, saved.size()), 0);

    // A later activation finds the profile and leaves it as it was.
    context->working.dwOutputTo = 6;
    EXPECT_EQ(Callback(CPSUICB_REASON_SETACTIVE), CPSUICB_ACTION_REINIT_ITEMS);
    std::vector<BYTE> again = ProfileRecord(L"Factory Defaults");
    ASSERT_EQ(again.size(), saved.size());
    EXPECT_EQ(again, saved);
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    DocumentSheet(&info);
}

TEST_F(UiDllSheets, ActivatingTheDriversPageGivesTheSheetItsHelpButtonAndMovesTheGrip) {
    HWND sheet = CreateWindowExW(0, L"STATIC", L"sheet", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(sheet, nullptr);
    HWND page = CreateWindowExW(0, L"STATIC", L"page", WS_CHILD, 0, 0, 300, 200, sheet, nullptr, nullptr, nullptr);
    HWND grip = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 10, 10, 20, 16, page,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(8000)), nullptr, nullptr);
    ASSERT_NE(grip, nullptr);
    ASSERT_EQ(plugin_.CommonUIProp(OEMCUIP_DOCPROP, &cuip_), S_OK);

    EXPECT_EQ(Callback(CPSUICB_REASON_SETACTIVE, page), CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_TRUE(GetWindowLongPtrW(sheet, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
    RECT bounds{};
    GetWindowRect(grip, &bounds);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&bounds), 2);
    RECT client{};
    GetClientRect(page, &client);
    EXPECT_EQ(bounds.right, client.right - 5);
    EXPECT_EQ(bounds.bottom, client.bottom - 5);
    EXPECT_EQ(bounds.right - bounds.left, 20);
    DestroyWindow(sheet);
}

}  // namespace
}  // namespace corvtest
