#include "plug-in/render/hooks.h"
#include "render/jobfixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace corv::render;
using corvtest::FakeJob;
using corvtest::g_coreDdi;

TEST(HookTable, HooksStartDocAndEscape) {
    DRVFN table[kHookCount] = {};
    FillHookTable(table);
    EXPECT_EQ(table[0].iFunc, 35u);
    EXPECT_EQ(table[0].pfn, AsPfn(&HookStartDoc));
    EXPECT_EQ(table[1].iFunc, 24u);
    EXPECT_EQ(table[1].pfn, AsPfn(&HookEscape));
    EXPECT_EQ(kEngineVersion, 0x00030100u);
}

TEST(StartDoc, RefusesWithoutAJob) {
    FakeJob job;
    WCHAR name[] = L"Report";
    EXPECT_FALSE(HookStartDoc(nullptr, name, 5));
    SURFOBJ bare{};
    EXPECT_FALSE(HookStartDoc(&bare, name, 5));
    job.device.pOEMDM = nullptr;
    EXPECT_FALSE(HookStartDoc(&job.surface, name, 5));
    job.device.pOEMDM = &job.record;
    job.device.pdevOEM = nullptr;
    EXPECT_FALSE(HookStartDoc(&job.surface, name, 5));
    job.device.pdevOEM = &job.state;
    job.state.coreHooks.c = 0;
    EXPECT_FALSE(HookStartDoc(&job.surface, name, 5));
    EXPECT_TRUE(g_coreDdi.starts.empty());
    EXPECT_EQ(job.state.jobId, 0u);
    EXPECT_EQ(job.state.docName[0], 0);
}

TEST(StartDoc, JobIdZeroLeavesTheNextStartToFixIt) {
    FakeJob job;
    HookStartDoc(&job.surface, nullptr, 0);
    HookStartDoc(&job.surface, nullptr, 23);
    EXPECT_EQ(job.state.jobId, 23u);
}

TEST(StartDoc, LongOrUnterminatedNamesAreCutAt255) {
    FakeJob job;
    std::wstring longName(300, L'n');
    HookStartDoc(&job.surface, longName.data(), 1);
    EXPECT_EQ(std::wstring(job.state.docName), std::wstring(255, L'n'));

    // 255 characters and then no terminator before an inaccessible page.
    corvtest::GuardedBlock block(255 * sizeof(WCHAR));
    auto open = reinterpret_cast<WCHAR*>(block.data());
    for (int i = 0; i < 255; ++i) open[i] = L'a' + i % 26;
    HookStartDoc(&job.surface, open, 1);
    EXPECT_EQ(std::wstring(job.state.docName), std::wstring(open, 255));
}

TEST(StartDoc, WithoutACoreStartDocAnswersTrue) {
    FakeJob job;
    job.coreTable.entries[1].pfn = nullptr;
    WCHAR name[] = L"x";
    EXPECT_TRUE(HookStartDoc(&job.surface, name, 4));
    EXPECT_EQ(job.state.jobId, 4u);
}
