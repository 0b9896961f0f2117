#include "host/kit/devmodes.h"
#include "host/kit/plugin.h"

#include "common/record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace corv::host;

// A plug-in whose DevMode answers what each test tells it, and which remembers what it was given.
class FakePlugin final : public IPrintOemCommon {
public:
    STDMETHOD(QueryInterface)(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetInfo)(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) override {
        if (failInfo == mode) return E_FAIL;
        *needed = 4;
        if (size < 4) return E_FAIL;
        *static_cast<DWORD*>(buffer) = mode == OEMGI_GETSIGNATURE ? 0x51545256 : 10;
        return S_OK;
    }
    STDMETHOD(DevMode)(DWORD mode, POEMDMPARAM p) override {
        modes.push_back(mode);
        last = *p;
        if (driverObject) seenPrivate = static_cast<DEVOBJ*>(p->pdriverobj)->pOEMDM;
        if (mode == OEMDM_SIZE) p->cbBufSize = size;
        if (mode == OEMDM_DEFAULT) std::memset(p->pOEMDMOut, 0xA5, p->cbBufSize);
        if (mode == OEMDM_MERGE) std::memcpy(p->pOEMDMOut, p->pOEMDMIn, p->cbBufSize);
        return mode == failMode ? E_FAIL : S_OK;
    }

    DWORD size = 64;
    DWORD failMode = ~0u;
    DWORD failInfo = ~0u;
    bool driverObject = false;
    std::vector<DWORD> modes;
    OEMDMPARAM last{};
    PVOID seenPrivate = nullptr;
};

DEVMODEW Base() {
    DEVMODEW dm{};
    dm.dmCopies = 3;
    dm.dmFields = DM_COPIES;
    dm.dmSize = 12;          // wrong on purpose: the buffer sets its own sizes
    dm.dmDriverExtra = 999;
    return dm;
}

TEST(DevModeBuffer, LaysOutPublicCoreAndPlugInPartsWithTheirSizes) {
    DevModeBuffer dm(Base(), 100);
    EXPECT_EQ(dm.Public()->dmSize, sizeof(DEVMODEW));
    EXPECT_EQ(dm.Public()->dmDriverExtra, kCorePrivateSize + 100);
    EXPECT_EQ(dm.Public()->dmCopies, 3);
    EXPECT_EQ(dm.Private(), reinterpret_cast<BYTE*>(dm.Public()) + sizeof(DEVMODEW) + kCorePrivateSize);
    const auto* core = reinterpret_cast<const PSCRIPT5_PRIVATE_DEVMODE*>(reinterpret_cast<BYTE*>(dm.Public()) + sizeof(DEVMODEW));
    EXPECT_EQ(core->wSize, kCorePrivateSize);
    for (DWORD i = 0; i < 100; ++i) ASSERT_EQ(dm.Private()[i], 0) << i;
    // A copy is a buffer of its own.
    DevModeBuffer copy = dm;
    copy.Private()[5] = 1;
    EXPECT_EQ(dm.Private()[5], 0);
}

TEST(DevModeBuffer, FirstDifferenceIsTheFirstDifferingByteOfThePlugInParts) {
    DevModeBuffer a(Base(), 16), b(Base(), 16);
    EXPECT_EQ(DevModeBuffer::FirstDifference(a, b), -1);
    b.Public()->dmCopies = 9;  // the public part is not the plug-in's
    EXPECT_EQ(DevModeBuffer::FirstDifference(a, b), -1);
    b.Private()[15] = 1;
    b.Private()[7] = 1;
    EXPECT_EQ(DevModeBuffer::FirstDifference(a, b), 7);
    DevModeBuffer shorter(Base(), 8);
    EXPECT_EQ(DevModeBuffer::FirstDifference(a, shorter), 8);
}

TEST(DevModeCalls, SizeIsAskedWithThePrinterAndModuleAndCheckedForRange) {
    FakePlugin plugin;
    const DevModeCaller caller{&plugin, reinterpret_cast<HANDLE>(0x77), reinterpret_cast<HMODULE>(0x88), nullptr};
    DWORD size = 0;
    std::string error;
    ASSERT_TRUE(AskPrivateSize(caller, &size, &error)) << error;
    EXPECT_EQ(size, 64u);
    EXPECT_EQ(plugin.last.cbSize, sizeof(OEMDMPARAM));
    EXPECT_EQ(plugin.last.hPrinter, reinterpret_cast<HANDLE>(0x77));
    EXPECT_EQ(plugin.last.hModule, reinterpret_cast<HANDLE>(0x88));
    EXPECT_EQ(plugin.last.pdriverobj, nullptr);

    for (DWORD bad : {DWORD{0}, static_cast<DWORD>(sizeof(OEM_DMEXTRAHEADER) - 1), DWORD{0x10001}}) {
        plugin.size = bad;
        EXPECT_FALSE(AskPrivateSize(caller, &size, &error)) << bad;
        EXPECT_NE(error.find(std::to_string(bad) + " bytes"), std::string::npos) << error;
    }
    plugin.size = sizeof(OEM_DMEXTRAHEADER);
    EXPECT_TRUE(AskPrivateSize(caller, &size, &error));
    plugin.size = 0x10000;
    EXPECT_TRUE(AskPrivateSize(caller, &size, &error));

    plugin.failMode = OEMDM_SIZE;
    EXPECT_FALSE(AskPrivateSize(caller, &size, &error));
    EXPECT_EQ(error, "DevMode(OEMDM_SIZE) failed: 0x80004005");
}

TEST(DevModeCalls, DefaultAndMergeWorkOnThePlugInPartAndPointTheDeviceObjectAtIt) {
    FakePlugin plugin;
    plugin.driverObject = true;
    DEVOBJ devobj{};
    const DevModeCaller caller{&plugin, nullptr, nullptr, &devobj};
    std::string error;
    DevModeBuffer dm(Base(), 32);
    ASSERT_TRUE(DefaultDevMode(caller, &dm, &error)) << error;
    EXPECT_EQ(plugin.last.pOEMDMOut, dm.Private());
    EXPECT_EQ(plugin.last.pPublicDMIn, dm.Public());
    EXPECT_EQ(plugin.last.cbBufSize, 32u);
    EXPECT_EQ(plugin.seenPrivate, dm.Private());
    EXPECT_EQ(dm.Private()[31], 0xA5);
    EXPECT_EQ(dm.Public()->dmCopies, 3);  // the public part stays the driver's

    DevModeBuffer in(Base(), 32);
    in.Private()[4] = 0x11;
    ASSERT_TRUE(MergeDevMode(caller, in, &dm, &error)) << error;
    EXPECT_EQ(plugin.last.pOEMDMIn, in.Private());
    EXPECT_EQ(plugin.last.pOEMDMOut, dm.Private());
    EXPECT_EQ(plugin.last.pPublicDMOut, dm.Public());
    EXPECT_EQ(dm.Private()[4], 0x11);
    EXPECT_EQ(plugin.modes, (std::vector<DWORD>{OEMDM_DEFAULT, OEMDM_MERGE}));

    plugin.failMode = OEMDM_MERGE;
    EXPECT_FALSE(MergeDevMode(caller, in, &dm, &error));
    EXPECT_EQ(error, "DevMode(OEMDM_MERGE) failed: 0x80004005");
}

// A merge of a DEVMODE made for another private size would let the plug-in read past it.
TEST(DevModeCalls, AMergeOfPartsOfDifferentSizesIsNotMade) {
    FakePlugin plugin;
    const DevModeCaller caller{&plugin, nullptr, nullptr, nullptr};
    std::string error;
    DevModeBuffer dm(Base(), 32), small(Base(), 16);
    EXPECT_FALSE(MergeDevMode(caller, small, &dm, &error));
    EXPECT_TRUE(plugin.modes.empty());
    EXPECT_NE(error.find("16 bytes, the driver's 32"), std::string::npos) << error;
}

// The real record code through the same calls: the defaults are a valid record.
TEST(DevModeCalls, TheRecordCodeAnswersWithItsRecord) {
    struct RecordPlugin final : public IPrintOemCommon {
        STDMETHOD(QueryInterface)(REFIID, void** out) override { return *out = nullptr, E_NOINTERFACE; }
        STDMETHOD_(ULONG, AddRef)() override { return 2; }
        STDMETHOD_(ULONG, Release)() override { return 1; }
        STDMETHOD(GetInfo)(DWORD, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
        STDMETHOD(DevMode)(DWORD mode, POEMDMPARAM p) override { return corv::RecordDevMode(mode, p); }
    } plugin;
    const DevModeCaller caller{&plugin, nullptr, nullptr, nullptr};
    std::string error;
    DWORD size = 0;
    ASSERT_TRUE(AskPrivateSize(caller, &size, &error)) << error;
    ASSERT_EQ(size, corv::kRecordSize);
    DevModeBuffer dm(Base(), size);
    ASSERT_TRUE(DefaultDevMode(caller, &dm, &error)) << error;
    const auto* record = reinterpret_cast<const corv::JobSettings*>(dm.Private());
    EXPECT_EQ(record->dwSize, corv::kRecordSize);
    EXPECT_EQ(record->dwVersion, corv::kRecordVersion);
    DevModeBuffer same = dm;
    ASSERT_TRUE(MergeDevMode(caller, same, &dm, &error)) << error;
    EXPECT_EQ(DevModeBuffer::FirstDifference(same, dm), -1);
}

TEST(PluginInfo, SignatureAndVersionOrTheFailingQuery) {
    FakePlugin plugin;
    DWORD signature = 0, version = 0;
    std::string error;
    ASSERT_TRUE(ReadPluginInfo(&plugin, &signature, &version, &error));
    EXPECT_EQ(signature, 0x51545256u);
    EXPECT_EQ(version, 10u);
    plugin.failInfo = OEMGI_GETVERSION;
    EXPECT_FALSE(ReadPluginInfo(&plugin, &signature, &version, &error));
    EXPECT_EQ(error, "GetInfo(OEMGI_GETVERSION) failed: 0x80004005");
}

std::wstring BesideTests(const wchar_t* file) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (n && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
    return std::wstring(path, n) + file;
}

TEST(PluginModule, RefusesFilesThatAreNotPlugIns) {
    PluginModule module;
    std::string error;
    EXPECT_FALSE(module.Load(L"Z:\\nonexistent\\corvui.dll", &error));
    EXPECT_NE(error.find("cannot load the plug-in Z:\\nonexistent\\corvui.dll"), std::string::npos) << error;
    EXPECT_FALSE(module.loaded());
    // A DLL without the two exports.
    EXPECT_FALSE(module.Load(BesideTests(L"iatprobe.dll"), &error));
    EXPECT_NE(error.find("does not export DllGetClassObject and DllCanUnloadNow"), std::string::npos) << error;
    EXPECT_FALSE(module.loaded());
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.Create(CLSID_OEMUI, IID_IPrintOemUI2, &object, &error), E_UNEXPECTED);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(module.CanUnloadNow(), E_FAIL);
}

TEST(PluginModule, CreatesTheObjectThroughTheExportsAndRefusesOtherInterfaces) {
    PluginModule module;
    std::string error;
    ASSERT_TRUE(module.Load(BesideTests(L"stubui.dll"), &error)) << error;
    void* object = nullptr;
    ASSERT_EQ(module.Create(CLSID_OEMUI, IID_IPrintOemUI2, &object, &error), S_OK) << error;
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(static_cast<IPrintOemUI2*>(object)->Release(), 0u);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
    // The stub has no rendering interface.
    object = reinterpret_cast<void*>(1);
    EXPECT_TRUE(FAILED(module.Create(CLSID_OEMUI, IID_IPrintOemPS2, &object, &error)));
    EXPECT_EQ(object, nullptr);
    EXPECT_NE(error.find("lacks the driver's interface"), std::string::npos) << error;
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

}  // namespace
