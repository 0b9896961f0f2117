#include "host/kit/memstats.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <cstring>

namespace corv::host {
namespace {

// Where the x64 PEB keeps the GDI handle table.
constexpr size_t kPebGdiSharedHandleTable = 0xF8;
static_assert(sizeof(void*) == 8, "the PEB offset is the x64 one");

double Growth(double now, double first) { return first > 0 ? now / first : 0; }

// GCC takes the TEB's read through the gs segment for an out-of-bounds array read.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
const BYTE* ProcessEnvironmentBlock() { return reinterpret_cast<const BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock); }
#pragma GCC diagnostic pop

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, &CountChild, count);
    return TRUE;
}

}  // namespace

DWORD CountProcessWindows() {
    DWORD count = 0;
    EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&count));
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
         window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr))
        CountTopLevel(window, reinterpret_cast<LPARAM>(&count));
    return count;
}

DWORD CountGdiObjects(const GdiHandleEntry* table, size_t count) {
    DWORD n = 0;
    for (size_t i = 0; table && i < count; ++i)
        if (table[i].type && !(table[i].unique & kGdiStockFlag)) ++n;
    return n;
}

bool ReadMemoryFigures(ProcessMemory* memory) {
    memory->gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    memory->userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    memory->gdiFromTable = false;
    memory->userFromWindows = false;
    // Wine answers both with 0 (a stub); it keeps the process's GDI handles in the PEB's table.
    // Its pages are touched before memory is read, so that the reading does not count itself.
    if (memory->gdiObjects == 0 && memory->userObjects == 0) {
        memory->userObjects = CountProcessWindows();
        memory->userFromWindows = true;
        const BYTE* peb = ProcessEnvironmentBlock();
        const GdiHandleEntry* table = nullptr;
        if (peb) std::memcpy(&table, peb + kPebGdiSharedHandleTable, sizeof table);
        if (table) {
            memory->gdiObjects = CountGdiObjects(table, kGdiHandleCount);
            memory->gdiFromTable = true;
        }
    }
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return false;
    memory->workingSet = counters.WorkingSetSize;
    // Wine leaves PrivateUsage at 0; the commit charge is the same figure on Windows.
    memory->privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    return true;
}

void MemoryWatch::PageDone(int page) {
    if (page != kPages[0] && page != kPages[1]) return;
    ProcessMemory now;
    if (!ReadMemoryFigures(&now)) {
        std::printf("memstats: page %d: GetProcessMemoryInfo failed (%lu)\n", page, GetLastError());
        return;
    }
    std::printf("memstats: page %5d: working set %8zu KiB, private bytes %8zu KiB, GDI objects %lu%s, USER objects "
                "%lu%s\n",
                page, now.workingSet / 1024, now.privateBytes / 1024, static_cast<unsigned long>(now.gdiObjects),
                now.gdiFromTable ? " (handle table)" : "", static_cast<unsigned long>(now.userObjects),
                now.userFromWindows ? " (windows)" : "");
    if (page == kPages[0]) {
        first_ = now;
        haveFirst_ = true;
    } else if (haveFirst_ && first_.workingSet && first_.privateBytes) {
        std::printf("memstats: page %d against page %d: working set x%.3f, private bytes x%.3f, GDI objects x%.3f",
                    page, kPages[0], Growth(now.workingSet, first_.workingSet),
                    Growth(now.privateBytes, first_.privateBytes), Growth(now.gdiObjects, first_.gdiObjects));
        // A job that makes no window at all has nothing to grow from.
        if (first_.userObjects || now.userObjects)
            std::printf(", USER objects x%.3f", Growth(now.userObjects, first_.userObjects));
        std::printf("\n");
    }
}

}  // namespace corv::host
