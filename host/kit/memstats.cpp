#include "host/kit/memstats.h"

#include <psapi.h>

#include <cstdio>

namespace corv::host {

bool ReadMemoryFigures(ProcessMemory* memory) {
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
    std::printf("memstats: page %5d: working set %8zu KiB, private bytes %8zu KiB\n", page, now.workingSet / 1024,
                now.privateBytes / 1024);
    if (page == kPages[0]) {
        first_ = now;
        haveFirst_ = true;
    } else if (haveFirst_ && first_.workingSet && first_.privateBytes) {
        std::printf("memstats: page %d against page %d: working set x%.3f, private bytes x%.3f\n", page, kPages[0],
                    static_cast<double>(now.workingSet) / static_cast<double>(first_.workingSet),
                    static_cast<double>(now.privateBytes) / static_cast<double>(first_.privateBytes));
    }
}

}  // namespace corv::host
