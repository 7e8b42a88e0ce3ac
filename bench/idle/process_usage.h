// What a process has cost so far, read from /proc and summed over its threads.
#pragma once

#include <sys/types.h>

struct ProcessUsage {
    long long ticks = 0;   // utime + stime, in clock ticks
    long long runNs = -1;  // time on a CPU from schedstat, in ns; -1 where it is not kept
    long long voluntarySwitches = 0;
    long long involuntarySwitches = 0;
    bool ok = false;
};

ProcessUsage readProcessUsage(pid_t pid);

// CPU milliseconds from one reading to a later one: from schedstat where both have it (the
// kernel's own nanoseconds), else from the ticks.
double cpuMsBetween(const ProcessUsage& before, const ProcessUsage& after);
// The same from utime + stime alone.
double tickMsBetween(const ProcessUsage& before, const ProcessUsage& after);
