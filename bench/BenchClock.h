// Clocks the bench programs share: wall time from the performance counter,
// CPU time of the process or of one thread, memory peaks. Every program
// prints its figures as one "key=value ..." line that bench/bench.py reads.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdio>

namespace bench {

inline double Seconds() {
    static const double s_frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart / s_frequency;
}

inline double FileTimeSeconds(const FILETIME& ft) {
    return ((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 1e7;
}

// User plus kernel seconds.
inline double ProcessCpu() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
    return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

inline double ThreadCpu(HANDLE hThread) {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(hThread, &created, &exited, &kernel, &user)) return -1;
    return FileTimeSeconds(kernel) + FileTimeSeconds(user);
}

struct MemoryPeaks {
    double peakWorkingSetMiB = 0;
    double peakPagefileMiB = 0;
};

inline MemoryPeaks Peaks() {
    PROCESS_MEMORY_COUNTERS pmc = {sizeof(pmc)};
    MemoryPeaks peaks;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof(pmc))) {
        peaks.peakWorkingSetMiB = pmc.PeakWorkingSetSize / 1048576.0;
        peaks.peakPagefileMiB = pmc.PeakPagefileUsage / 1048576.0;
    }
    return peaks;
}

}  // namespace bench
