#include "render/dll/corvrend.h"

#include "corvversion.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace corvtest;

namespace {

std::wstring ModulePath() {
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(RenderModule(), path, MAX_PATH);
    return std::wstring(path, n);
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), query.c_str(), &value, &length) || !value) return L"<none>";
    return static_cast<const wchar_t*>(value);
}

}  // namespace

TEST(RenderDll, ExportsExactlyTheTwoComEntryPoints) {
    ASSERT_NE(RenderModule(), nullptr);
    auto base = reinterpret_cast<const BYTE*>(RenderModule());
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const auto& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(entry.VirtualAddress, 0u);
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::set<std::string> found;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) found.insert(reinterpret_cast<const char*>(base + names[i]));
    EXPECT_EQ(found, (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject"}));
    EXPECT_EQ(exports->NumberOfFunctions, 2u);
    EXPECT_EQ(ModulePath().substr(ModulePath().find_last_of(L"\\/") + 1), L"corvrend.dll");
}

TEST(RenderDll, CarriesItsVersionResource) {
    std::wstring path = ModulePath();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
    EXPECT_EQ(VersionString(info, L"CompanyName"), L"Corvane");
    EXPECT_EQ(VersionString(info, L"ProductName"), L"Corvane PS plug-ins");
    EXPECT_EQ(VersionString(info, L"FileDescription"), L"Corvane rendering plug-in");
    EXPECT_EQ(VersionString(info, L"FileVersion"), CORV_VERSION_WIDE);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, CORV_VERSION_MS);
    EXPECT_EQ(fixed->dwFileVersionLS, CORV_VERSION_LS);
}

TEST(RenderDll, ServesOnlyTheRenderingPluginClass) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(GetRenderClassObject(CLSID_OEMUI, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(GetRenderClassObject(IID_IPrintOemPS2, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);

    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(GetRenderClassObject(CLSID_OEMRENDER, IID_IPrintOemPS2, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    for (const IID* iid : {&IID_IClassFactory, &IID_IUnknown}) {
        RawFactory factory;
        ASSERT_EQ(GetRenderClassObject(CLSID_OEMRENDER, *iid, &factory.p), S_OK);
        ASSERT_NE(factory.p, nullptr);
        // Only the query's reference is left.
        EXPECT_EQ(factory.AddRef(), 2u);
        EXPECT_EQ(factory.Release(), 1u);
        EXPECT_EQ(factory.Release(), 0u);
    }
}

TEST(ClassFactory, AnswersItsOwnInterfacesOnly) {
    RawFactory factory;
    ASSERT_EQ(GetRenderClassObject(CLSID_OEMRENDER, IID_IClassFactory, &factory.p), S_OK);
    void* same = nullptr;
    EXPECT_EQ(factory.QueryInterface(IID_IUnknown, &same), S_OK);
    EXPECT_EQ(same, factory.p);
    EXPECT_EQ(factory.QueryInterface(IID_IClassFactory, &same), S_OK);
    EXPECT_EQ(same, factory.p);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory.QueryInterface(IID_IPrintOemPS2, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(factory.Release(), 2u);  // the two answered queries each added one
    EXPECT_EQ(factory.Release(), 1u);
    EXPECT_EQ(factory.Release(), 0u);
}

TEST(ClassFactory, CreatesPluginsWithoutAggregation) {
    RawFactory factory;
    ASSERT_EQ(GetRenderClassObject(CLSID_OEMRENDER, IID_IClassFactory, &factory.p), S_OK);
    int outer = 0;
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory.CreateInstance(&outer, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);

    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory.CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    RawPlugin plugin;
    ASSERT_EQ(factory.CreateInstance(nullptr, IID_IPrintOemPS2, &plugin.p), S_OK);
    EXPECT_EQ(plugin.AddRef(), 2u);
    EXPECT_EQ(plugin.Release(), 1u);
    EXPECT_EQ(plugin.Release(), 0u);
    factory.Release();
}

TEST(RenderPluginObject, AnswersIUnknownAndIPrintOemPS2Only) {
    RawPlugin plugin = CreatePlugin();
    ASSERT_NE(plugin.p, nullptr);
    void* same = nullptr;
    EXPECT_EQ(plugin.QueryInterface(IID_IUnknown, &same), S_OK);
    EXPECT_EQ(same, plugin.p);
    plugin.Release();
    EXPECT_EQ(plugin.QueryInterface(IID_IPrintOemPS2, &same), S_OK);
    EXPECT_EQ(same, plugin.p);
    plugin.Release();
    for (const IID* iid : {&IID_IClassFactory, &IID_IPrintOemPS, &IID_IPrintOemUI2, &IID_IPrintCorePS2}) {
        void* other = reinterpret_cast<void*>(1);
        EXPECT_EQ(plugin.QueryInterface(*iid, &other), E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);
    }
    EXPECT_EQ(plugin.Release(), 0u);
}

TEST(RenderDll, UnloadsByTheLockCountAlone) {
    RawFactory factory;
    ASSERT_EQ(GetRenderClassObject(CLSID_OEMRENDER, IID_IClassFactory, &factory.p), S_OK);
    EXPECT_EQ(RenderCanUnloadNow(), S_OK);
    EXPECT_EQ(factory.LockServer(TRUE), S_OK);
    EXPECT_EQ(factory.LockServer(TRUE), S_OK);
    EXPECT_EQ(RenderCanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory.LockServer(FALSE), S_OK);
    EXPECT_EQ(RenderCanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory.LockServer(FALSE), S_OK);
    EXPECT_EQ(RenderCanUnloadNow(), S_OK);

    // An unbalanced unlock does not eat the next lock.
    EXPECT_EQ(factory.LockServer(FALSE), S_OK);
    EXPECT_EQ(factory.LockServer(TRUE), S_OK);
    EXPECT_EQ(RenderCanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory.LockServer(FALSE), S_OK);

    RawPlugin live = CreatePlugin();  // live objects do not count
    EXPECT_EQ(RenderCanUnloadNow(), S_OK);
    live.Release();
    factory.Release();
}
