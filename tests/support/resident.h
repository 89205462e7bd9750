// Resident memory of the running test, for the soak test and the benchmarks.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <psapi.h>
#else
#include <fstream>
#include <string>
#endif

// Resident memory of this process in KiB (the working set on Windows); -1 where it cannot be read.
inline long residentKiB()
{
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters {};
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return -1;
    return static_cast<long>(counters.WorkingSetSize / 1024);
#else
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
#endif
}
