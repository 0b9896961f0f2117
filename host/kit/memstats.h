// corvhost --memstats: the process's memory at fixed pages of a job, to show whether a long job
// grows.
#pragma once

#include <windows.h>

namespace corv::host {

struct ProcessMemory {
    SIZE_T workingSet = 0;
    SIZE_T privateBytes = 0;
};

bool ReadMemoryFigures(ProcessMemory* memory);

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
