#pragma once
// The process's resident memory, for the benchmarks that report what playing adds to it.
#include <cstdlib>
#include <fstream>
#include <string>

namespace bench {

// VmRSS from /proc/self/status, in MiB; 0 where it cannot be read.
inline double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return 0;
}

}  // namespace bench
