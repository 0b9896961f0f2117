#include "render/dll/driverjob.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace corvtest;
using corv::render::JobState;

namespace {

// A driver interface that is not the rendering helper.
struct OtherInterface final : IUnknown {
    ULONG refs = 1;
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown)) {
            *out = this;
            ++refs;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
};

bool InModule(PFN function) {
    HMODULE owner = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(function)), &owner);
    return owner == RenderModule();
}

LONGLONG SecondsSince(const SYSTEMTIME& then) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME a, b;
    SystemTimeToFileTime(&then, &a);
    SystemTimeToFileTime(&now, &b);
    auto ticks = [](const FILETIME& t) { return (static_cast<LONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return (ticks(b) - ticks(a)) / 10000000;
}

}  // namespace

TEST(GetInfo, ReportsSignatureAndVersion) {
    RawPlugin plugin = CreatePlugin();
    DWORD value = 0, needed = 0;
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETSIGNATURE, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(value, 0x51545256u);
    EXPECT_EQ(needed, 4u);
    needed = 0;
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETVERSION, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(value, 10u);
    EXPECT_EQ(needed, 4u);
    BYTE publisher[8] = {};
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETPUBLISHERINFO, publisher, sizeof publisher, &needed), E_NOTIMPL);
    EXPECT_EQ(needed, 8u);
    plugin.Release();
}

TEST(GetInfo, RefusesOtherModesAndSmallBuffers) {
    RawPlugin plugin = CreatePlugin();
    DWORD value = 0, needed = 0;
    for (DWORD mode : {DWORD{0}, OEMGI_GETINTERFACEVERSION, OEMGI_GETREQUESTEDHELPERINTERFACES}) {
        SetLastError(0);
        EXPECT_EQ(plugin.GetInfo(mode, &value, sizeof value, &needed), E_FAIL) << mode;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    SetLastError(0);
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETSIGNATURE, &value, sizeof value, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    BYTE two[3] = {0xEE, 0xEE, 0xEE};
    needed = 0;
    SetLastError(0);
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETSIGNATURE, two, 2, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(two[0], 0xEE);
    EXPECT_EQ(two[2], 0xEE);
    SetLastError(0);
    EXPECT_EQ(plugin.GetInfo(OEMGI_GETVERSION, nullptr, 4, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    plugin.Release();
}

TEST(DevMode, SizesDefaultsConvertsAndMerges) {
    RawPlugin plugin = CreatePlugin();
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    EXPECT_EQ(plugin.DevMode(OEMDM_SIZE, &param), S_OK);
    EXPECT_EQ(param.cbBufSize, 7672u);

    corv::JobSettings in{}, out{};
    param.pOEMDMOut = &in;
    EXPECT_EQ(plugin.DevMode(OEMDM_DEFAULT, &param), S_OK);
    EXPECT_EQ(in.dwSignature, 0x51545256u);
    EXPECT_EQ(in.wPageSizePolicy, 2);
    in.dwOutputTo = 9;
    in.lBrightness = 3;
    param.pOEMDMIn = &in;
    param.pOEMDMOut = &out;
    out.dwSignature = in.dwSignature;
    EXPECT_EQ(plugin.DevMode(OEMDM_CONVERT, &param), S_OK);
    EXPECT_EQ(out.dwOutputTo, 9u);
    EXPECT_EQ(plugin.DevMode(OEMDM_MERGE, &param), S_OK);
    EXPECT_EQ(out.dwOutputTo, 0u);
    EXPECT_EQ(out.lBrightness, 3);

    for (DWORD mode : {0u, 5u}) {
        SetLastError(0);
        EXPECT_EQ(plugin.DevMode(mode, &param), E_FAIL);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(plugin.DevMode(OEMDM_SIZE, nullptr), E_FAIL);
    plugin.Release();
}

TEST(PublishDriverInterface, KeepsTheFirstHelperUntilDisableDriver) {
    FakeCore first, second;
    RawPlugin plugin = CreatePlugin();
    OtherInterface other;
    EXPECT_EQ(plugin.PublishDriverInterface(&other), E_FAIL);
    EXPECT_EQ(plugin.PublishDriverInterface(nullptr), E_FAIL);
    EXPECT_EQ(plugin.PublishDriverInterface(&first), S_OK);
    EXPECT_EQ(first.refs, 2u);
    EXPECT_EQ(plugin.PublishDriverInterface(&second), S_OK);
    EXPECT_EQ(second.refs, 1u);

    // The job state of a new device carries the helper the object kept.
    corv::JobSettings record{};
    DEVOBJ device{};
    device.pOEMDM = &record;
    PDEVOEM state = nullptr;
    ASSERT_EQ(plugin.EnablePDEV(&device, nullptr, &state), S_OK);
    EXPECT_EQ(static_cast<JobState*>(state)->coreHelper, &first);
    device.pdevOEM = state;
    plugin.DisablePDEV(&device);

    EXPECT_EQ(plugin.DisableDriver(), S_OK);
    EXPECT_EQ(first.refs, 1u);
    EXPECT_EQ(plugin.PublishDriverInterface(&second), S_OK);  // published again after the release
    EXPECT_EQ(second.refs, 2u);
    EXPECT_EQ(plugin.Release(), 0u);
    EXPECT_EQ(second.refs, 1u);
}

TEST(EnableDriver, HandsOverTheTwoHooks) {
    RawPlugin plugin = CreatePlugin();
    DRVENABLEDATA data{0xDEAD, 7, nullptr};
    EXPECT_EQ(plugin.EnableDriver(PRINTER_OEMINTF_VERSION, sizeof data, &data), S_OK);
    EXPECT_EQ(data.iDriverVersion, 0x00030100u);
    ASSERT_EQ(data.c, 2u);
    ASSERT_NE(data.pdrvfn, nullptr);
    EXPECT_EQ(data.pdrvfn[0].iFunc, 35u);
    EXPECT_EQ(data.pdrvfn[1].iFunc, 24u);
    EXPECT_TRUE(InModule(data.pdrvfn[0].pfn));
    EXPECT_TRUE(InModule(data.pdrvfn[1].pfn));
    EXPECT_NE(data.pdrvfn[0].pfn, data.pdrvfn[1].pfn);

    EXPECT_EQ(plugin.EnableDriver(PRINTER_OEMINTF_VERSION, sizeof data, nullptr), S_OK);
    EXPECT_EQ(plugin.DisableDriver(), S_OK);
    EXPECT_EQ(plugin.DisableDriver(), S_OK);
    plugin.Release();
}

TEST(EnableDriver, NeverWritesIntoTheCallersTable) {
    RawPlugin plugin = CreatePlugin();
    DRVFN theirs[1] = {{INDEX_DrvBitBlt, nullptr}};
    DRVENABLEDATA data{0, 1, theirs};
    EXPECT_EQ(plugin.EnableDriver(PRINTER_OEMINTF_VERSION, sizeof data, &data), S_OK);
    EXPECT_NE(data.pdrvfn, theirs);
    EXPECT_EQ(data.c, 2u);
    EXPECT_EQ(theirs[0].iFunc, static_cast<ULONG>(INDEX_DrvBitBlt));

    DRVENABLEDATA small{0xDEAD, 7, nullptr};
    EXPECT_EQ(plugin.EnableDriver(PRINTER_OEMINTF_VERSION, 8, &small), S_OK);  // too small to be filled
    EXPECT_EQ(small.iDriverVersion, 0xDEADu);
    EXPECT_EQ(small.c, 7u);
    plugin.DisableDriver();
    plugin.Release();
}

TEST(EnablePDEV, CreatesAFreshJobState) {
    DriverJob job;
    ASSERT_NE(job.state, nullptr);
    const JobState& s = *job.state;
    EXPECT_EQ(s.structSize, 2648u);
    EXPECT_EQ(std::memcmp(&s.coreHooks, &job.coreTable.data, 16), 0);
    EXPECT_EQ(s.coreHelper, &job.core);
    EXPECT_EQ(s.coverPageActive, 0u);
    EXPECT_EQ(s.escapePageCount, 0u);
    EXPECT_EQ(s.jobId, 0u);
    EXPECT_EQ(s.docName[0], 0);
    WCHAR user[1024] = {};
    DWORD length = 1024;
    GetUserNameW(user, &length);
    EXPECT_STREQ(s.userName, user);
    EXPECT_LE(SecondsSince(s.startTime), 60);
    EXPECT_GE(SecondsSince(s.startTime), 0);
    EXPECT_EQ(s.duplexModeRequest, 0);
    EXPECT_EQ(s.pageSkipFlag + s.pendingPageValue + s.pageCount + s.eraseArmed + s.eraseAtTrailer, 0u);
}

TEST(EnablePDEV, RefusesAMissingDeviceRecordOrOutput) {
    RawPlugin plugin = CreatePlugin();
    corv::JobSettings record{};
    DEVOBJ device{};
    PDEVOEM state = nullptr;
    SetLastError(0);
    EXPECT_EQ(plugin.EnablePDEV(nullptr, nullptr, &state), E_FAIL);
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(plugin.EnablePDEV(&device, nullptr, &state), E_FAIL);
    device.pOEMDM = &record;
    EXPECT_EQ(plugin.EnablePDEV(&device, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(state, nullptr);
    EXPECT_EQ(plugin.DisablePDEV(nullptr), E_FAIL);
    EXPECT_EQ(plugin.DisablePDEV(&device), S_OK);  // nothing to free
    plugin.Release();
}

TEST(DisablePDEV, FreesTheStateAndLeavesTheHooksNothingToReach) {
    DriverJob job;
    EXPECT_EQ(job.plugin.DisablePDEV(&job.device), S_OK);
    EXPECT_EQ(job.device.pdevOEM, nullptr);
    EXPECT_EQ(job.Escape(0x10005), 0u);
    WCHAR name[] = L"late";
    EXPECT_FALSE(job.StartDoc(name, 1));
}

TEST(ResetPDEV, CarriesTheJobButNotTheCoverPage) {
    DriverJob job;
    JobState& old = *job.state;
    old.jobId = 88;
    old.startTime.wYear = 2001;
    lstrcpyW(old.docName, L"Carried");
    lstrcpyW(old.userName, L"someone");
    old.duplexModeRequest = 3;
    old.pageSkipFlag = 1;
    old.eraseArmed = 1;
    old.eraseAtTrailer = 1;
    old.pendingPageValue = 6;
    old.escapePageCount = 9;
    old.pageCount = 12;
    old.coverPageActive = 1;

    DEVOBJ fresh = job.device;
    PDEVOEM created = nullptr;
    CoreTable newCore;
    ASSERT_EQ(job.plugin.EnablePDEV(&fresh, &newCore.data, &created), S_OK);
    fresh.pdevOEM = created;
    EXPECT_EQ(job.plugin.ResetPDEV(&job.device, &fresh), S_OK);
    const JobState& now = *static_cast<JobState*>(created);
    EXPECT_EQ(now.jobId, 88u);
    EXPECT_EQ(now.startTime.wYear, 2001);
    EXPECT_STREQ(now.docName, L"Carried");
    EXPECT_STREQ(now.userName, L"someone");
    EXPECT_EQ(now.duplexModeRequest, 3);
    EXPECT_EQ(now.pageSkipFlag, 1u);
    EXPECT_EQ(now.eraseArmed, 1u);
    EXPECT_EQ(now.eraseAtTrailer, 1u);
    EXPECT_EQ(now.pendingPageValue, 6u);
    EXPECT_EQ(now.escapePageCount, 9u);
    EXPECT_EQ(now.pageCount, 12u);
    EXPECT_EQ(now.coverPageActive, 0u);
    EXPECT_EQ(now.coreHooks.pdrvfn, newCore.entries);  // the new device's own core functions

    DEVOBJ empty{};
    EXPECT_EQ(job.plugin.ResetPDEV(&job.device, &empty), E_FAIL);
    EXPECT_EQ(job.plugin.ResetPDEV(&empty, &fresh), E_FAIL);
    EXPECT_EQ(job.plugin.ResetPDEV(nullptr, &fresh), E_FAIL);
    EXPECT_EQ(job.plugin.ResetPDEV(&job.device, nullptr), E_FAIL);
    job.plugin.DisablePDEV(&fresh);
}

TEST(GetPDEVAdjustment, IsNotImplemented) {
    DriverJob job;
    BOOL done = TRUE;
    RECTL area{};
    EXPECT_EQ(job.plugin.GetPDEVAdjustment(&job.device, 1, &area, sizeof area, &done), E_NOTIMPL);
}
