#include "bench/idle/process_usage.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

ProcessUsage readProcessUsage(pid_t pid) {
    ProcessUsage usage;
    const fs::path tasks = fs::path("/proc") / std::to_string(pid) / "task";
    std::error_code error;
    bool everyRunTime = true;
    long long runNs = 0;
    for (const auto& task : fs::directory_iterator(tasks, error)) {
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // The fields after the command name, which is in parentheses and may hold spaces.
        const auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(line.substr(close + 2));
        std::string field;
        long long utime = 0, stime = 0;
        for (int index = 3; fields >> field; ++index) {
            if (index == 14) utime = std::atoll(field.c_str());
            if (index == 15) {
                stime = std::atoll(field.c_str());
                break;
            }
        }
        usage.ticks += utime + stime;
        std::ifstream schedstat(task.path() / "schedstat");
        long long onCpu = -1;
        if (schedstat >> onCpu) {
            runNs += onCpu;
        } else {
            everyRunTime = false;
        }
        std::ifstream status(task.path() / "status");
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                usage.voluntarySwitches += std::atoll(line.c_str() + 24);
            if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                usage.involuntarySwitches += std::atoll(line.c_str() + 27);
        }
        usage.ok = true;
    }
    if (usage.ok && everyRunTime) usage.runNs = runNs;
    return usage;
}

double cpuMsBetween(const ProcessUsage& before, const ProcessUsage& after) {
    if (before.runNs >= 0 && after.runNs >= 0) return static_cast<double>(after.runNs - before.runNs) / 1e6;
    return tickMsBetween(before, after);
}

double tickMsBetween(const ProcessUsage& before, const ProcessUsage& after) {
    return 1000.0 * static_cast<double>(after.ticks - before.ticks) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}
