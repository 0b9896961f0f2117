#include "plug-in/render/jobstate.h"

namespace corv::render {

PFN FindCoreFunction(const JobState& state, ULONG index) {
    if (!state.coreHooks.pdrvfn) return nullptr;
    for (ULONG i = 0; i < state.coreHooks.c; ++i) {
        const DRVFN& entry = state.coreHooks.pdrvfn[i];
        if (entry.iFunc == index && entry.pfn) return entry.pfn;
    }
    return nullptr;
}

}  // namespace corv::render
