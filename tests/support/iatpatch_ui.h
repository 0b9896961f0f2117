// Replaces one imported function in a module's import address table for the lifetime of the
// object, so a test can stand in for the spooler, the printer device context or any other
// system call the code under test makes through its imports. The UI code is a static library
// linked into the test program, so its imports are the program's own.
//
//     corvtest::ImportPatch job(GetModuleHandleW(nullptr), "winspool.drv", "GetJobW", &FakeGetJobW);
//     ASSERT_TRUE(job.active());
#pragma once

#include <windows.h>

#include <cstring>

namespace corvtest {

class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement) {
        slot_ = FindSlot(module, dll, function);
        if (!slot_) return;
        original_ = *slot_;
        if (!Write(slot_, replacement)) slot_ = nullptr;
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    ~ImportPatch() {
        if (slot_) Write(slot_, original_);
    }

    bool active() const { return slot_ != nullptr; }
    // The function the slot held before, to be called through from a replacement.
    template <typename F>
    F original() const {
        return reinterpret_cast<F>(original_);
    }

private:
    static bool SameName(const char* a, const char* b) { return lstrcmpiA(a, b) == 0; }

    static void** FindSlot(HMODULE module, const char* dll, const char* function) {
        auto* base = reinterpret_cast<BYTE*>(module);
        if (!base || !dll || !function) return nullptr;
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!dir.VirtualAddress) return nullptr;
        for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
            if (!SameName(reinterpret_cast<const char*>(base + desc->Name), dll)) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
                base + (desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk));
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                    return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
        return nullptr;
    }

    static bool Write(void** slot, void* value) {
        DWORD old = 0;
        if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old)) return false;
        *slot = value;
        VirtualProtect(slot, sizeof(void*), old, &old);
        return true;
    }

    void** slot_ = nullptr;
    void* original_ = nullptr;
};

// The same for the test program's own imports.
class ExeImportPatch : public ImportPatch {
public:
    ExeImportPatch(const char* dll, const char* function, void* replacement)
        : ImportPatch(GetModuleHandleW(nullptr), dll, function, replacement) {}
    void* original() const { return ImportPatch::original<void*>(); }
};

}  // namespace corvtest
