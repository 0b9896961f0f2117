// Elapsed time by the performance counter, for the benchmark programs.
#pragma once

#include <windows.h>

namespace corvbench {

class Timer {
public:
    Timer() { QueryPerformanceCounter(&start_); }
    double ns() const {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1e9 / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_;
};

}  // namespace corvbench
