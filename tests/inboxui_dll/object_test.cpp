// corvui.dll's exports, class factory and plug-in object through raw vtable slots: interfaces,
// GetInfo, DevMode with the first-use copy of the default user's store, the installation events.
#include "tests/inboxui_dll/corvui.h"
#include "tests/inboxui/watermarks/store_fixture.h"
#include "tests/support/fakecoreui.h"

#include "common/record.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace corvtest {
namespace {

constexpr GUID kOtherClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

TEST(UiDllExports, FactoryServesOnlyTheUiPluginClass) {
    ASSERT_NE(UiModule(), nullptr);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(GetUiClassObject(kOtherClass, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(GetUiClassObject(CLSID_OEMRENDER, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);

    RawFactory factory;
    ASSERT_EQ(GetUiClassObject(CLSID_OEMUI, IID_IClassFactory, &factory.p), S_OK);
    RawUnknown same;
    EXPECT_EQ(factory.QueryInterface(IID_IUnknown, &same.p), S_OK);
    EXPECT_EQ(same.p, factory.p);
    same.Release();
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory.QueryInterface(IID_IPrintOemUI2, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    int outer = 0;
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory.CreateInstance(&outer, IID_IPrintOemUI2, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory.CreateInstance(nullptr, IID_IPrintOemUI, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory.Release(), 0u);
}

TEST(UiDllExports, CanUnloadOnlyWithoutObjectsAndLocks) {
    EXPECT_EQ(UiCanUnloadNow(), S_OK);
    RawUiPlugin plugin = CreateUiPlugin();
    ASSERT_NE(plugin.p, nullptr);
    EXPECT_EQ(UiCanUnloadNow(), S_FALSE);
    EXPECT_EQ(plugin.Release(), 0u);
    EXPECT_EQ(UiCanUnloadNow(), S_OK);

    RawFactory factory;
    ASSERT_EQ(GetUiClassObject(CLSID_OEMUI, IID_IClassFactory, &factory.p), S_OK);
    EXPECT_EQ(factory.LockServer(TRUE), S_OK);
    EXPECT_EQ(UiCanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory.LockServer(FALSE), S_OK);
    EXPECT_EQ(UiCanUnloadNow(), S_OK);
    // One unlock too many must not hide the next lock.
    EXPECT_EQ(factory.LockServer(FALSE), S_OK);
    EXPECT_EQ(factory.LockServer(TRUE), S_OK);
    EXPECT_EQ(UiCanUnloadNow(), S_FALSE);
    factory.LockServer(FALSE);
    factory.Release();
}

TEST(UiDllObject, AnswersIUnknownAndIPrintOemUI2ButRefusesTheOlderInterface) {
    RawUiPlugin plugin = CreateUiPlugin();
    ASSERT_NE(plugin.p, nullptr);
    RawUnknown other;
    EXPECT_EQ(plugin.QueryInterface(IID_IUnknown, &other.p), S_OK);
    EXPECT_EQ(other.p, plugin.p);
    EXPECT_EQ(other.Release(), 1u);
    EXPECT_EQ(plugin.QueryInterface(IID_IPrintOemUI2, &other.p), S_OK);
    EXPECT_EQ(other.p, plugin.p);
    other.Release();
    for (const GUID& refused : {IID_IPrintOemUI, IID_IPrintOemPS2, IID_IPrintCoreUI2, IID_IClassFactory}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(plugin.QueryInterface(refused, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(plugin.AddRef(), 2u);
    EXPECT_EQ(plugin.Release(), 1u);
    EXPECT_EQ(plugin.Release(), 0u);
}

TEST(UiDllObject, GetInfoGivesSignatureAndVersionAndRefusesTheRest) {
    RawUiPlugin plugin = CreateUiPlugin();
    ASSERT_NE(plugin.p, nullptr);
    DWORD value = 0, needed = 0;
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETSIGNATURE, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(value, 0x51545256u);
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETVERSION, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(value, 10u);

    BYTE small[3] = {};
    needed = 0;
    SetLastError(0);
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETSIGNATURE, small, sizeof small, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETVERSION, nullptr, 4, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    needed = 99;
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETPUBLISHERINFO, &value, sizeof value, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(needed, 0u);

    SetLastError(0);
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETINTERFACEVERSION, &value, sizeof value, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETSIGNATURE, &value, sizeof value, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    plugin.Release();
}

TEST(UiDllObject, UnusedMethodsAreNotImplemented) {
    RawUiPlugin plugin = CreateUiPlugin();
    ASSERT_NE(plugin.p, nullptr);
    EXPECT_EQ(plugin.DevQueryPrintEx(), E_NOTIMPL);
    EXPECT_EQ(plugin.DeviceCapabilities(), E_NOTIMPL);
    EXPECT_EQ(plugin.UpgradePrinter(), E_NOTIMPL);
    EXPECT_EQ(plugin.QueryColorProfile(), E_NOTIMPL);
    EXPECT_EQ(plugin.FontInstallerDlgProc(), E_NOTIMPL);
    EXPECT_EQ(plugin.UpdateExternalFonts(), E_NOTIMPL);
    EXPECT_EQ(plugin.QueryJobAttributes(), E_NOTIMPL);
    EXPECT_EQ(plugin.HideStandardUI(OEMCUIP_DOCPROP), E_NOTIMPL);
    plugin.Release();
}

TEST(UiDllObject, PublishDriverInterfaceKeepsOneReferenceUntilTheObjectEnds) {
    RawUiPlugin plugin = CreateUiPlugin();
    ASSERT_NE(plugin.p, nullptr);
    FakeCoreDriverUi core;
    EXPECT_EQ(plugin.PublishDriverInterface(nullptr), E_FAIL);
    EXPECT_EQ(plugin.PublishDriverInterface(&core), S_OK);
    EXPECT_EQ(core.refs, 2);
    EXPECT_EQ(plugin.PublishDriverInterface(&core), S_OK);  // kept, not asked again
    EXPECT_EQ(core.refs, 2);
    plugin.Release();
    EXPECT_EQ(core.refs, 1);
}

// ---- DevMode ---------------------------------------------------------------------------------

class UiDllDevMode : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry_.ok());
        ASSERT_TRUE(spooler_.active());
        plugin_ = CreateUiPlugin();
        ASSERT_NE(plugin_.p, nullptr);
        printer_ = spooler_.Add({L"Office", kDriver, L"X.PPD", L"", {}});
    }
    void TearDown() override {
        if (plugin_.p) plugin_.Release();
    }
    static void Put(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
        RegCloseKey(key);
    }
    static std::wstring Read(HKEY root, const std::wstring& path, const wchar_t* name) {
        WCHAR text[64] = {};
        DWORD size = sizeof text - sizeof(WCHAR);
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<no key>";
        LSTATUS status = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? text : L"<no value>";
    }

    ScratchRegistry registry_;
    DllSpooler spooler_;
    RawUiPlugin plugin_;
    HANDLE printer_ = nullptr;
};

TEST_F(UiDllDevMode, FirstUseCopiesTheDefaultUsersStoreThenPerformsTheMode) {
    Put(HKEY_USERS, kDefaultModelPath, L"LastUserName", L"jdoe");
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.hPrinter = printer_;
    EXPECT_EQ(plugin_.DevMode(OEMDM_SIZE, &param), S_OK);
    EXPECT_EQ(param.cbBufSize, 7672u);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, kModelPath, L"LastUserName"), L"jdoe");

    // Once the user has a store, the default user's is not copied again.
    Put(HKEY_USERS, kDefaultModelPath, L"LastUserName", L"other");
    Put(HKEY_CURRENT_USER, kModelPath, L"LastUserName", L"mine");
    corv::JobSettings out{};
    param.pOEMDMOut = &out;
    EXPECT_EQ(plugin_.DevMode(OEMDM_DEFAULT, &param), S_OK);
    EXPECT_EQ(out.dwSize, 7672u);
    EXPECT_EQ(out.bWatermarkPhysicalPage, 1);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, kModelPath, L"LastUserName"), L"mine");
}

TEST_F(UiDllDevMode, WithoutPrinterOnlyTheModeIsPerformedAndBadCallsFail) {
    Put(HKEY_USERS, kDefaultModelPath, L"LastUserName", L"jdoe");
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    EXPECT_EQ(plugin_.DevMode(OEMDM_SIZE, &param), S_OK);
    EXPECT_EQ(param.cbBufSize, 7672u);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, kModelPath, L"LastUserName"), L"<no key>");

    SetLastError(0);
    EXPECT_EQ(plugin_.DevMode(5, &param), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(plugin_.DevMode(OEMDM_SIZE, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// ---- Installation events -----------------------------------------------------------------

class UiDllEvents : public UiDllDevMode {
protected:
    static std::vector<std::wstring> WatermarkNames(const std::wstring& driver) {
        std::vector<std::wstring> names;
        HKEY key = nullptr;
        std::wstring path = L"Software\\Corvane\\RIViroRo\\" + driver + L"\\Watermarks";
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
        for (DWORD i = 0;; ++i) {
            WCHAR name[256];
            DWORD chars = 256;
            if (RegEnumValueW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.emplace_back(name);
        }
        RegCloseKey(key);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(UiDllEvents, DriverInitialisationInstallsTheDefaultWatermarksForTheNamedDriver) {
    const std::vector<std::wstring> defaults = {L"Confidential", L"Date and Time", L"Draft", L"Username"};
    DRIVER_INFO_1W one{const_cast<LPWSTR>(L"Level One PS")};
    EXPECT_EQ(plugin_.DriverEvent(DRIVER_EVENT_INITIALIZE, 1, &one), S_OK);
    EXPECT_EQ(WatermarkNames(L"Level One PS"), defaults);

    DRIVER_INFO_2W two{};
    two.cVersion = 3;
    two.pName = const_cast<LPWSTR>(L"Level Two PS");
    EXPECT_EQ(plugin_.DriverEvent(DRIVER_EVENT_INITIALIZE, 2, &two), S_OK);
    EXPECT_EQ(WatermarkNames(L"Level Two PS"), defaults);

    DRIVER_INFO_3W three{};
    three.pName = const_cast<LPWSTR>(L"Level Three PS");
    EXPECT_EQ(plugin_.DriverEvent(DRIVER_EVENT_INITIALIZE, 3, &three), S_OK);
    EXPECT_EQ(WatermarkNames(L"Level Three PS"), defaults);

    // Other events, levels without a name and missing information install nothing.
    DRIVER_INFO_2W other{};
    other.pName = const_cast<LPWSTR>(L"Not Installed PS");
    EXPECT_EQ(plugin_.DriverEvent(DRIVER_EVENT_INITIALIZE + 1, 2, &other), S_OK);
    EXPECT_EQ(plugin_.DriverEvent(DRIVER_EVENT_INITIALIZE, 4, &other), S_OK);
    EXPECT_EQ(plugin_.DriverEvent(DRIVER_EVENT_INITIALIZE, 2, nullptr), S_OK);
    EXPECT_TRUE(WatermarkNames(L"Not Installed PS").empty());
}

struct ProcessorCase {
    const wchar_t* dataFile;
    const wchar_t* processor;  // null: the printer keeps the one it has
};

TEST_F(UiDllEvents, PrinterInitialisationSetsTheProcessorNamedAfterTheDataFile) {
    const ProcessorCase cases[] = {
        {L"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\ABCD12P.PPD", L"ABCD12C"},
        {L"ABCD12P.PPD", L"ABCD12C"},
        {L"C:\\v1.2\\MODEL.PPD", L"MODEC"},
        {L"C:\\drivers\\Q.ABC", L"C"},
        {L"C:\\drivers\\LONGNAME.PPD.BAK", L"LONGNAMC"},
        {L"C:\\drivers\\NODOT", nullptr},
        {L"C:\\drivers\\SHORT.PP", nullptr},
        {L"C:\\drivers\\.PPDX", nullptr},
        {L"C:\\drivers.d\\", nullptr},
        {L"", nullptr},
    };
    for (const ProcessorCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "data file " << testing::PrintToString(std::wstring(c.dataFile)));
        DllSpooler spooler;
        ASSERT_TRUE(spooler.active());
        HANDLE printer = spooler.Add({L"Laser", kDriver, c.dataFile, L"", {}});
        EXPECT_EQ(plugin_.PrinterEvent(L"Laser", PRINTER_EVENT_INITIALIZE), S_OK);
        EXPECT_EQ(DllSpooler::LastAccess(), static_cast<DWORD>(PRINTER_ALL_ACCESS));
        EXPECT_EQ(DllSpooler::CloseCount(), 1);
        if (c.processor) {
            ASSERT_EQ(DllSpooler::Sets().size(), 1u);
            EXPECT_EQ(DllSpooler::Sets()[0].level, 2u);
            EXPECT_EQ(DllSpooler::Sets()[0].command, 0u);
            EXPECT_EQ(DllSpooler::Sets()[0].printProcessor, c.processor);
            EXPECT_EQ(DllSpooler::Sets()[0].printerName, L"Laser");  // the rest is written back as read
        } else {
            EXPECT_TRUE(DllSpooler::Sets().empty());
            EXPECT_EQ(DllSpooler::At(printer).printProcessor, L"WinPrint");
        }
    }
}

TEST_F(UiDllEvents, PrinterEventsOtherThanInitialisationDoNothingAndUnknownPrintersFail) {
    EXPECT_EQ(plugin_.PrinterEvent(L"Office", PRINTER_EVENT_INITIALIZE + 1), S_OK);
    EXPECT_EQ(plugin_.PrinterEvent(L"Office", 1), S_OK);
    EXPECT_EQ(DllSpooler::OpenCount(), 0);
    EXPECT_EQ(plugin_.PrinterEvent(L"Nowhere", PRINTER_EVENT_INITIALIZE), E_FAIL);
    EXPECT_EQ(plugin_.PrinterEvent(nullptr, PRINTER_EVENT_INITIALIZE), E_FAIL);
    EXPECT_TRUE(DllSpooler::Sets().empty());
}

TEST_F(UiDllEvents, DataFileNamesAreReadNoFurtherThan127Characters) {
    // The first dot lies beyond what is read: no name.
    std::wstring path = L"C:\\" + std::wstring(124, L'A') + L"P.PPD";
    spooler_.Add({L"Long", kDriver, path, L"", {}});
    EXPECT_EQ(plugin_.PrinterEvent(L"Long", PRINTER_EVENT_INITIALIZE), S_OK);
    EXPECT_TRUE(DllSpooler::Sets().empty());
}

}  // namespace
}  // namespace corvtest
