// Timing helpers of the benchmarks.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds of the median of repeats calls of work; GDI's batch is flushed inside each, so
// that drawing is counted where it was asked for.
inline double MedianMilliseconds(const std::function<void()>& work, int repeats)
{
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QueryPerformanceCounter(&start);
        work();
        GdiFlush();
        QueryPerformanceCounter(&stop);
        times.push_back(1000.0 * static_cast<double>(stop.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
    }
    return Median(times);
}
