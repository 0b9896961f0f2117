#include "host/kit/iatpatch.h"

#include <cstring>
#include <utility>

namespace corv::host {
namespace {

bool SameAsciiNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
        if (!x) return true;
    }
}

const IMAGE_NT_HEADERS* NtHeaders(const BYTE* base) {
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    if (nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) return nullptr;
    return nt;
}

void** FindInDescriptor(BYTE* base, const IMAGE_IMPORT_DESCRIPTOR& descriptor, const char* function) {
    auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor.FirstThunk);
    // The name table is the pristine copy; without one (old linkers) the bound slots are all
    // there is, and their names cannot be read any more.
    if (!descriptor.OriginalFirstThunk) return nullptr;
    auto names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor.OriginalFirstThunk);
    for (size_t i = 0; names[i].u1.AddressOfData; ++i) {
        if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) continue;
        auto byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
            return reinterpret_cast<void**>(&slots[i].u1.Function);
    }
    return nullptr;
}

}  // namespace

void** FindImportSlot(HMODULE module, const char* dllName, const char* function) {
    if (!module || !dllName || !function) return nullptr;
    auto base = reinterpret_cast<BYTE*>(module);
    const IMAGE_NT_HEADERS* nt = NtHeaders(base);
    if (!nt) return nullptr;
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress || dir.Size < sizeof(IMAGE_IMPORT_DESCRIPTOR)) return nullptr;
    auto descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    size_t count = dir.Size / sizeof(IMAGE_IMPORT_DESCRIPTOR);
    // A linker may give one DLL several descriptors (one per import library that names it).
    for (size_t d = 0; d < count && descriptor[d].Name; ++d) {
        if (!SameAsciiNoCase(reinterpret_cast<const char*>(base + descriptor[d].Name), dllName)) continue;
        if (void** slot = FindInDescriptor(base, descriptor[d], function)) return slot;
    }
    return nullptr;
}

bool WriteSlot(void** slot, void* value) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
    InterlockedExchangePointer(slot, value);
    DWORD ignored = 0;
    VirtualProtect(slot, sizeof *slot, old, &ignored);
    FlushInstructionCache(GetCurrentProcess(), slot, sizeof *slot);
    return true;
}

ImportPatch::ImportPatch(HMODULE module, const char* dllName, const char* function, const void* replacement) {
    void** slot = FindImportSlot(module, dllName, function);
    if (!slot || !replacement) return;
    void* original = *slot;
    if (!WriteSlot(slot, const_cast<void*>(replacement))) return;
    module_ = module;
    slot_ = slot;
    original_ = original;
    replacement_ = const_cast<void*>(replacement);
}

ImportPatch::ImportPatch(ImportPatch&& other) noexcept
    : module_(std::exchange(other.module_, nullptr)),
      slot_(std::exchange(other.slot_, nullptr)),
      original_(std::exchange(other.original_, nullptr)),
      replacement_(std::exchange(other.replacement_, nullptr)) {}

ImportPatch& ImportPatch::operator=(ImportPatch&& other) noexcept {
    if (this != &other) {
        Restore();
        module_ = std::exchange(other.module_, nullptr);
        slot_ = std::exchange(other.slot_, nullptr);
        original_ = std::exchange(other.original_, nullptr);
        replacement_ = std::exchange(other.replacement_, nullptr);
    }
    return *this;
}

void ImportPatch::Restore() {
    if (!slot_) return;
    HMODULE owner = nullptr;
    bool mapped = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                     reinterpret_cast<LPCWSTR>(slot_), &owner) &&
                  owner == module_;
    if (mapped && *slot_ == replacement_) WriteSlot(slot_, original_);
    module_ = nullptr;
    slot_ = nullptr;
    original_ = nullptr;
    replacement_ = nullptr;
}

}  // namespace corv::host
