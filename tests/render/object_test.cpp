#include "plug-in/render/object.h"
#include "render/jobfixture.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace corv::render;

namespace {

IPrintOemPS2* NewPlugin() {
    IClassFactory* factory = nullptr;
    if (FAILED(GetClassObject(CLSID_OEMRENDER, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) return nullptr;
    IPrintOemPS2* plugin = nullptr;
    factory->CreateInstance(nullptr, IID_IPrintOemPS2, reinterpret_cast<void**>(&plugin));
    factory->Release();
    return plugin;
}

}  // namespace

TEST(RenderPlugin, NullOutPointersAreRefused) {
    EXPECT_EQ(GetClassObject(CLSID_OEMRENDER, IID_IClassFactory, nullptr), E_POINTER);
    IPrintOemPS2* plugin = NewPlugin();
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(plugin->Release(), 0u);
}

TEST(RenderPlugin, EnableDriverTwiceReusesItsOwnTable) {
    IPrintOemPS2* plugin = NewPlugin();
    DRVENABLEDATA first{}, second{};
    plugin->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof first, &first);
    plugin->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof second, &second);
    EXPECT_EQ(first.pdrvfn, second.pdrvfn);
    EXPECT_EQ(second.c, 2u);
    // Released without DisableDriver: the object still frees what it allocated.
    EXPECT_EQ(plugin->Release(), 0u);
}

TEST(JobStateLifecycle, WithoutCoreFunctionsTheHooksStayInert) {
    corvtest::FakeJob job;
    InitJobState(&job.state, nullptr, &job.core);
    EXPECT_EQ(job.state.coreHooks.c, 0u);
    EXPECT_EQ(job.state.coreHooks.pdrvfn, nullptr);
    EXPECT_EQ(job.Escape(kEscNextPage), 0u);
    EXPECT_EQ(job.state.escapePageCount, 0u);
}

TEST(JobStateLifecycle, CarriedNamesAreTerminated) {
    JobState from{}, to{};
    std::memset(from.docName, 'd', sizeof from.docName);
    std::memset(from.userName, 'u', sizeof from.userName);
    from.coverPageActive = 1;
    to.coreHelper = reinterpret_cast<IPrintCorePS2*>(0x10);
    CarryJobState(from, &to);
    EXPECT_EQ(to.docName[255], 0);
    EXPECT_EQ(to.docName[254], static_cast<WCHAR>(0x6464));
    EXPECT_EQ(to.userName[1023], 0);
    EXPECT_EQ(to.coverPageActive, 0u);
    EXPECT_EQ(to.coreHelper, reinterpret_cast<IPrintCorePS2*>(0x10));
}
