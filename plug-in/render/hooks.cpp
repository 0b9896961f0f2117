#include "plug-in/render/hooks.h"

#include "common/text.h"
#include "plug-in/render/escape.h"
#include "plug-in/render/jobstate.h"

#include <iterator>
#include <type_traits>

namespace corv::render {

void FillHookTable(DRVFN* table) {
    table[0] = {INDEX_DrvStartDoc, AsPfn(&HookStartDoc)};
    table[1] = {INDEX_DrvEscape, AsPfn(&HookEscape)};
}

BOOL APIENTRY HookStartDoc(SURFOBJ* surface, LPWSTR docName, DWORD jobId) {
    if (!surface || !surface->dhpdev) return FALSE;
    auto device = reinterpret_cast<PDEVOBJ>(surface->dhpdev);
    auto state = static_cast<JobState*>(device->pdevOEM);
    if (!device->pOEMDM || !state || state->coreHooks.c == 0) return FALSE;

    // The name comes from the application: read no more of it than fits, terminated or not.
    if (docName) CopyText(state->docName, docName, std::size(state->docName) - 1);
    // A device reset starts the document again; the job keeps its first identity.
    if (state->jobId == 0) {
        state->jobId = jobId;
        GetLocalTime(&state->startTime);
    }

    PFN core = FindCoreFunction(*state, INDEX_DrvStartDoc);
    if (!core) return TRUE;
    return FromPfn<std::remove_pointer_t<PFN_DrvStartDoc>>(core)(surface, docName, jobId);
}

}  // namespace corv::render
