// The rendering plug-in's per-device state. It is also the payload of two private escapes, so
// its layout is fixed.
#pragma once

#include "common/platform/oemintf.h"

#include <cstddef>

namespace corv::render {

inline constexpr DWORD kJobStateSize = 2648;

struct JobState {
    DWORD structSize;
    BYTE pad1[4];
    DRVENABLEDATA coreHooks;    // the core driver's own functions, as given to EnablePDEV
    IPrintCorePS2* coreHelper;  // not an own reference: the plug-in object holds that
    DWORD coverPageActive;
    DWORD escapePageCount;
    DWORD jobId;
    SYSTEMTIME startTime;
    WCHAR docName[256];
    WCHAR userName[1024];
    WORD duplexModeRequest;  // bit 0: manual duplex mode 1 requested, bit 1: mode 2
    BYTE pad2[2];
    DWORD pageSkipFlag;
    DWORD pendingPageValue;
    DWORD pageCount;
    DWORD eraseArmed;
    DWORD eraseAtTrailer;
    BYTE pad3[4];
};

static_assert(sizeof(JobState) == kJobStateSize);
static_assert(offsetof(JobState, coreHooks) == 8);
static_assert(offsetof(JobState, coreHelper) == 24);
static_assert(offsetof(JobState, coverPageActive) == 32);
static_assert(offsetof(JobState, escapePageCount) == 36);
static_assert(offsetof(JobState, jobId) == 40);
static_assert(offsetof(JobState, startTime) == 44);
static_assert(offsetof(JobState, docName) == 60);
static_assert(offsetof(JobState, userName) == 572);
static_assert(offsetof(JobState, duplexModeRequest) == 2620);
static_assert(offsetof(JobState, pageSkipFlag) == 2624);
static_assert(offsetof(JobState, pendingPageValue) == 2628);
static_assert(offsetof(JobState, pageCount) == 2632);
static_assert(offsetof(JobState, eraseArmed) == 2636);
static_assert(offsetof(JobState, eraseAtTrailer) == 2640);
static_assert(offsetof(JobState, pad3) == 2644);

// Graphics-engine function tables hold every entry as PFN; these convert without pretending
// the types agree (the detour through void(*)() is the sanctioned one).
template <typename F>
PFN AsPfn(F* function) {
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(function));
}
template <typename F>
F* FromPfn(PFN function) {
    return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(function));
}

// The first entry of the core driver's table with this index and a function, or null.
PFN FindCoreFunction(const JobState& state, ULONG index);

}  // namespace corv::render
