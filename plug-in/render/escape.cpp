#include "plug-in/render/escape.h"

#include "common/coreboundary.h"
#include "common/handles.h"
#include "common/record.h"
#include "plug-in/render/imagemask.h"
#include "plug-in/render/jobstate.h"

#include <cstring>
#include <iterator>
#include <type_traits>

namespace corv::render {
namespace {

using EscapeFunction = std::remove_pointer_t<PFN_DrvEscape>;

struct EscapeCall {
    SURFOBJ* surface;
    ULONG code;
    ULONG inSize;
    PVOID in;
    ULONG outSize;
    PVOID out;
};

struct Job {
    PDEVOBJ device;
    JobState* state;
    JobSettings* record;
    DEVMODEW* publicDM;
};

bool IsAppPostScriptEscape(ULONG code) {
    return code == POSTSCRIPT_DATA || code == POSTSCRIPT_PASSTHROUGH || code == POSTSCRIPT_IDENTIFY ||
           code == POSTSCRIPT_INJECTION;
}

// The record's own size, but never beyond the record the driver allocated for us.
ULONG RecordBytes(const JobSettings& record) { return record.dwSize > kRecordSize ? kRecordSize : record.dwSize; }

ULONG CallCore(const Job& job, const EscapeCall& call, ULONG inSize, PVOID in) {
    PFN core = FindCoreFunction(*job.state, INDEX_DrvEscape);
    if (!core) return 0;
    return FromPfn<EscapeFunction>(core)(call.surface, call.code, inSize, in, call.outSize, call.out);
}

ULONG Forward(const Job& job, const EscapeCall& call) { return CallCore(job, call, call.inSize, call.in); }

// A read escape copies only into an output block large enough for all of it, and always answers
// the size, so that a caller can learn it with an empty block.
ULONG CopyOut(const EscapeCall& call, const void* data, ULONG size) {
    if (call.out && call.outSize >= size) std::memmove(call.out, data, size);
    return size;
}

bool ReadValue(const EscapeCall& call, DWORD* value) {
    if (!call.in || call.inSize < sizeof(DWORD)) return false;
    std::memcpy(value, call.in, sizeof(DWORD));
    return true;
}

// The caller's record replaces the job's, but the record's size stays what the driver allocated:
// a later read copies dwSize bytes.
void ReplaceRecord(const Job& job, const EscapeCall& call) {
    ULONG size = RecordBytes(*job.record);
    if (!call.in || call.inSize != size) return;
    DWORD keptSize = job.record->dwSize;
    std::memmove(job.record, call.in, size);
    job.record->dwSize = keptSize;
}

// The caller's job state replaces the job's, except what only this process can know: its own
// size, the core driver's function table and helper. Pointers from a payload are never taken.
void ReplaceJobState(const Job& job, const EscapeCall& call) {
    if (!call.in || call.inSize != kJobStateSize) return;
    DRVENABLEDATA hooks = job.state->coreHooks;
    IPrintCorePS2* helper = job.state->coreHelper;
    std::memmove(job.state, call.in, kJobStateSize);
    job.state->structSize = kJobStateSize;
    job.state->coreHooks = hooks;
    job.state->coreHelper = helper;
    job.state->docName[std::size(job.state->docName) - 1] = 0;
    job.state->userName[std::size(job.state->userName) - 1] = 0;
}

// Only the public fields are replaced; the structure's own sizes stay, or a later read copies
// past the driver's buffer.
void ReplacePublicDevMode(const Job& job, const EscapeCall& call) {
    ULONG size = job.publicDM->dmSize;
    if (!call.in || call.inSize != size) return;
    WORD keptSize = job.publicDM->dmSize;
    WORD keptExtra = job.publicDM->dmDriverExtra;
    std::memmove(job.publicDM, call.in, size);
    job.publicDM->dmSize = keptSize;
    job.publicDM->dmDriverExtra = keptExtra;
}

ULONG QueryEscapeSupport(const Job& job, const EscapeCall& call) {
    if (!call.in || call.inSize != sizeof(DWORD)) return 0;
    DWORD queried = 0;
    std::memcpy(&queried, call.in, sizeof queried);
    int answer = EscapeSupport(queried, job.record->bBlockAppPostScript != 0);
    return answer < 0 ? Forward(job, call) : static_cast<ULONG>(answer);
}

// Special image masks reach the core driver between a switch on and a switch off, each a buffer
// as long as the application's.
ULONG PassThrough(const Job& job, const EscapeCall& call) {
    const BYTE* data = static_cast<const BYTE*>(call.in);
    if (!IsSpecialImageMask(data, call.inSize) || call.inSize < kImageMaskBracketMin) return Forward(job, call);
    WORD count = ImageMaskSwitchCount(data, call.inSize);
    HeapArray<BYTE> on(call.inSize), off(call.inSize);
    if (on) {
        FillImageMaskSwitch(on.get(), call.inSize, count, true);
        CallCore(job, call, call.inSize, on.get());
    }
    ULONG result = Forward(job, call);
    if (off) {
        FillImageMaskSwitch(off.get(), call.inSize, count, false);
        result = CallCore(job, call, call.inSize, off.get());
    }
    return result;
}

ULONG Dispatch(const Job& job, const EscapeCall& call) {
    JobState& state = *job.state;
    DWORD value = 0;
    switch (call.code) {
    case kEscGetPublicDevMode: return CopyOut(call, job.publicDM, job.publicDM->dmSize);
    case kEscGetRecord: return CopyOut(call, job.record, RecordBytes(*job.record));
    case kEscNextPage: return ++state.escapePageCount;
    case kEscResetPageCount: return state.escapePageCount = 0;
    case kEscGetPageCount: return state.escapePageCount;
    case kEscGetJobState: return CopyOut(call, &state, kJobStateSize);
    case kEscSetCoverPageActive:
        if (!ReadValue(call, &value)) return sizeof(DWORD);
        state.coverPageActive = value;
        return Forward(job, call);
    case kEscGetSheetCount: {
        LONG n = state.coreHelper ? PagesPerSheet(state.coreHelper, job.device, BookletMatch::ExactCase) : 1;
        return SheetCount(state.escapePageCount, n);
    }
    case kEscSetRecord:
        ReplaceRecord(job, call);
        return RecordBytes(*job.record);
    case kEscSetJobState:
        ReplaceJobState(job, call);
        return kJobStateSize;
    case kEscSetPublicDevMode:
        ReplacePublicDevMode(job, call);
        return job.publicDM->dmSize;
    case kEscGetJobId: return state.jobId;
    case kEscGetStartTime: return CopyOut(call, &state.startTime, sizeof state.startTime);
    case kEscDuplexMode1: state.duplexModeRequest = 1; return 1;
    case kEscDuplexMode2: state.duplexModeRequest |= 2; return 1;
    case kEscHasManualDuplex: return HasFeature(state.coreHelper, job.device, "HasManualDuplex") ? 1 : 0;
    case kEscSetPageSkip: state.pageSkipFlag = 1; return 1;
    case kEscGetPageSkip: return state.pageSkipFlag;
    case kEscClearPageSkip: state.pageSkipFlag = 0; return 1;
    case kEscSetPendingPageValue:
        if (!ReadValue(call, &value)) return sizeof(DWORD);
        state.pendingPageValue = value;
        return Forward(job, call);
    case QUERYESCSUPPORT: return QueryEscapeSupport(job, call);
    case PASSTHROUGH: return PassThrough(job, call);
    default:
        if (IsAppPostScriptEscape(call.code) && job.record->bBlockAppPostScript) return 0;
        return Forward(job, call);
    }
}

}  // namespace

int EscapeSupport(ULONG code, bool blockAppPostScript) {
    if (IsAppPostScriptEscape(code) && blockAppPostScript) return 0;
    if (code >= kEscGetPublicDevMode && code <= kEscGetJobState) return 1;
    if (code == kEscAnnouncedOnly || code == kEscDuplexMode1 || code == kEscDuplexMode2) return 1;
    if (code >= kEscHasManualDuplex && code <= kEscSetPendingPageValue) return 1;
    return -1;
}

ULONG SheetCount(ULONG pages, LONG pagesPerSheet) {
    if (pagesPerSheet <= 1) return pages;
    ULONG n = static_cast<ULONG>(pagesPerSheet);
    return pages / n + (pages % n ? 1 : 0);
}

ULONG APIENTRY HookEscape(SURFOBJ* surface, ULONG code, ULONG inSize, PVOID in, ULONG outSize, PVOID out) {
    if (!surface || !surface->dhpdev) return 0;
    auto device = reinterpret_cast<PDEVOBJ>(surface->dhpdev);
    Job job{device, static_cast<JobState*>(device->pdevOEM), static_cast<JobSettings*>(device->pOEMDM),
            device->pPublicDM};
    if (!job.state || !job.record || !job.publicDM || job.state->coreHooks.c == 0) return 0;
    return Dispatch(job, EscapeCall{surface, code, inSize, in, outSize, out});
}

}  // namespace corv::render
