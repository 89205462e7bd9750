// Resident memory of the running test, for the soak test and the benchmarks.
#pragma once

#include <fstream>
#include <string>

// Resident memory of this process in KiB, from /proc; -1 where it cannot be read.
inline long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}
