#include "plug-in/render/jobstate.h"

#include <gtest/gtest.h>

using namespace corv::render;

namespace {
BOOL APIENTRY First() { return TRUE; }
BOOL APIENTRY Second() { return FALSE; }
}  // namespace

TEST(JobState, CoreFunctionSearchTakesTheFirstEntryWithAFunction) {
    DRVFN table[] = {
        {INDEX_DrvEscape, nullptr},
        {INDEX_DrvStartDoc, AsPfn(&First)},
        {INDEX_DrvEscape, AsPfn(&Second)},
        {INDEX_DrvEscape, AsPfn(&First)},
    };
    JobState state{};
    EXPECT_EQ(FindCoreFunction(state, INDEX_DrvEscape), nullptr);
    state.coreHooks = {0x00030100, 4, table};
    EXPECT_EQ(FindCoreFunction(state, INDEX_DrvEscape), AsPfn(&Second));
    EXPECT_EQ(FindCoreFunction(state, INDEX_DrvStartDoc), AsPfn(&First));
    EXPECT_EQ(FindCoreFunction(state, INDEX_DrvEndDoc), nullptr);
    state.coreHooks.c = 1;  // the count bounds the search
    EXPECT_EQ(FindCoreFunction(state, INDEX_DrvEscape), nullptr);
}
