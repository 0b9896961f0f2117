// Import patches for the test programs: the host's patcher, with the spelling the UI tests use.
// The UI code is a static library linked into the test program, so its imports are the
// program's own; the black-box tests patch the loaded DLL's.
//
//     corvtest::ImportPatch job(GetModuleHandleW(nullptr), "winspool.drv", "GetJobW", &FakeGetJobW);
//     ASSERT_TRUE(job.active());
#pragma once

#include "host/kit/iatpatch.h"

namespace corvtest {

class ImportPatch : public corv::host::ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, const void* replacement)
        : corv::host::ImportPatch(module, dll, function, replacement) {}
    // The function the slot held before, to be called through from a replacement.
    template <typename F>
    F original() const {
        return reinterpret_cast<F>(corv::host::ImportPatch::original());
    }
};

// The same for the test program's own imports.
class ExeImportPatch : public ImportPatch {
public:
    ExeImportPatch(const char* dll, const char* function, const void* replacement)
        : ImportPatch(GetModuleHandleW(nullptr), dll, function, replacement) {}
    void* original() const { return ImportPatch::original<void*>(); }
};

}  // namespace corvtest
