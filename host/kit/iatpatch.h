// Redirects one imported function of a loaded module to a function of our own, for as long as
// the patch object lives. Wine has no spooler with printers and no printer device contexts, so
// the host and the tests stand in for them by swapping the module's import-table slot; the
// module's own code keeps calling the real API by name and never knows.
#pragma once

#include <windows.h>

namespace corv::host {

// The import-table slot through which `module` calls `function` of `dllName`, or null. The DLL
// name is compared without regard to case ("winspool.drv" finds "WINSPOOL.DRV"); functions
// imported by ordinal only are not found.
void** FindImportSlot(HMODULE module, const char* dllName, const char* function);

class ImportPatch {
public:
    ImportPatch() = default;
    // Patches at once; active() tells whether the slot was found and written.
    ImportPatch(HMODULE module, const char* dllName, const char* function, const void* replacement);
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    ImportPatch(ImportPatch&& other) noexcept;
    ImportPatch& operator=(ImportPatch&& other) noexcept;
    ~ImportPatch() { Restore(); }

    bool active() const { return slot_ != nullptr; }
    // What the slot held before: the real function, to pass calls on to.
    void* original() const { return original_; }
    template <typename F>
    F* original_as() const {
        return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(original_));
    }

    // Puts the original back, unless someone has patched the slot again since (their patch
    // would otherwise be lost) or the module has been unloaded meanwhile (its memory is gone).
    void Restore();

private:
    HMODULE module_ = nullptr;
    void** slot_ = nullptr;
    void* original_ = nullptr;
    void* replacement_ = nullptr;
};

// Writes one pointer into a slot of a read-only section; false if the protection could not be
// lifted.
bool WriteSlot(void** slot, void* value);

}  // namespace corv::host
