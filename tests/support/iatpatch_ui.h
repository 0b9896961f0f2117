// Stands in for a system function called by the UI code. That code is a static library linked
// into the test program, so its imports are the program's own: this patches one entry of the
// program's import table for the patcher's lifetime and puts the original back afterwards.
#pragma once

#include <windows.h>

#include <cstring>

namespace corvtest {

class ExeImportPatch {
public:
    ExeImportPatch(const char* dll, const char* function, void* replacement) {
        slot_ = FindSlot(dll, function);
        if (slot_) original_ = Swap(slot_, replacement);
        if (!original_) slot_ = nullptr;  // not found, or the page could not be made writable
    }
    ExeImportPatch(const ExeImportPatch&) = delete;
    ExeImportPatch& operator=(const ExeImportPatch&) = delete;
    ~ExeImportPatch() {
        if (slot_) Swap(slot_, original_);
    }

    bool active() const { return slot_ != nullptr; }
    void* original() const { return original_; }

private:
    static void** FindSlot(const char* dll, const char* function) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        if (!base || dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!dir.VirtualAddress) return nullptr;
        for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + desc->Name), dll) != 0) continue;
            // The name table says which function each slot of the address table holds.
            DWORD names = desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk;
            auto* lookup = reinterpret_cast<IMAGE_THUNK_DATA*>(base + names);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
            for (; lookup->u1.AddressOfData; ++lookup, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)) continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                    return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
        return nullptr;
    }

    static void* Swap(void** slot, void* value) {
        DWORD old = 0;
        if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return nullptr;
        void* previous = *slot;
        *slot = value;
        VirtualProtect(slot, sizeof *slot, old, &old);
        return previous;
    }

    void** slot_ = nullptr;
    void* original_ = nullptr;
};

}  // namespace corvtest
