// corvhost --memstats: the process's memory and its GDI and USER objects at fixed pages of a
// job, to show whether a long job grows.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace corv::host {

struct ProcessMemory {
    SIZE_T workingSet = 0;
    SIZE_T privateBytes = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    bool gdiFromTable = false;     // counted in the GDI handle table: GetGuiResources answered nothing
    bool userFromWindows = false;  // the process's windows counted instead, for the same reason
};

bool ReadMemoryFigures(ProcessMemory* memory);

// One entry of a process's GDI handle table (the PEB's GdiSharedHandleTable) as Wine keeps it,
// as far as it is read: a live object has a type, a stock object a flag in its unique bits.
struct GdiHandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
};
static_assert(sizeof(GdiHandleEntry) == 24);
static_assert(offsetof(GdiHandleEntry, unique) == 12 && offsetof(GdiHandleEntry, type) == 14);
constexpr uint16_t kGdiStockFlag = 0x80;
constexpr size_t kGdiHandleCount = 0x10000;

// The live objects of a handle table that are not stock objects, as GetGuiResources counts them.
DWORD CountGdiObjects(const GdiHandleEntry* table, size_t count);

// The windows of this process: top-level, child and message-only ones. The USER objects a long
// job could leak are windows above all; menus, cursors and hooks are not counted.
DWORD CountProcessWindows();

// Prints the figures when a page listed here has been streamed; the last one also prints its
// growth against the first.
class MemoryWatch {
public:
    static constexpr int kPages[] = {1000, 10000};

    void PageDone(int page);

private:
    ProcessMemory first_{};
    bool haveFirst_ = false;
};

}  // namespace corv::host
