// The core driver's own DDI functions as the plug-in's hooks reach them: every call recorded,
// answers chosen by the test. Header only, so black-box tests of the DLL can use it too.
#pragma once

#include "common/platform/oemintf.h"

#include <string>
#include <vector>

namespace corvtest {

struct EscapeSeen {
    SURFOBJ* surface;
    ULONG code;
    ULONG inSize;
    PVOID in;
    std::string inBytes;  // the input block as it was at the call
    ULONG outSize;
    PVOID out;
};

struct StartDocSeen {
    SURFOBJ* surface;
    LPWSTR name;
    DWORD jobId;
};

struct CoreDdi {
    std::vector<EscapeSeen> escapes;
    std::vector<StartDocSeen> starts;
    ULONG escapeBase = 1000;  // the n-th escape call (from 1) answers escapeBase + n
    BOOL startDocResult = TRUE;
};

inline CoreDdi g_coreDdi;

inline ULONG APIENTRY CoreEscape(SURFOBJ* surface, ULONG code, ULONG inSize, PVOID in, ULONG outSize, PVOID out) {
    std::string bytes = in ? std::string(static_cast<const char*>(in), inSize) : std::string();
    g_coreDdi.escapes.push_back({surface, code, inSize, in, bytes, outSize, out});
    return g_coreDdi.escapeBase + static_cast<ULONG>(g_coreDdi.escapes.size());
}

inline BOOL APIENTRY CoreStartDoc(SURFOBJ* surface, LPWSTR name, DWORD jobId) {
    g_coreDdi.starts.push_back({surface, name, jobId});
    return g_coreDdi.startDocResult;
}

template <typename F>
PFN ToPfn(F* function) {
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(function));
}

// A core driver table as DrvEnableDriver hands it over: other entries around the two hooked ones.
struct CoreTable {
    DRVFN entries[4] = {
        {INDEX_DrvEnablePDEV, nullptr},
        {INDEX_DrvStartDoc, ToPfn(&CoreStartDoc)},
        {INDEX_DrvEndDoc, nullptr},
        {INDEX_DrvEscape, ToPfn(&CoreEscape)},
    };
    DRVENABLEDATA data{DDI_DRIVER_VERSION_NT5_01, 4, entries};
};

// A block whose last byte is followed by an inaccessible page: reading past it faults.
class GuardedBlock {
public:
    explicit GuardedBlock(DWORD size) : size_(size) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        base_ = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
    }
    GuardedBlock(const GuardedBlock&) = delete;
    GuardedBlock& operator=(const GuardedBlock&) = delete;
    ~GuardedBlock() { VirtualFree(base_, 0, MEM_RELEASE); }
    BYTE* data() const { return base_ + page_ - size_; }
    DWORD size() const { return size_; }

private:
    DWORD size_;
    DWORD page_ = 0;
    BYTE* base_ = nullptr;
};

}  // namespace corvtest
