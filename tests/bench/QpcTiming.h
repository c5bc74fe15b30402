// Timing for the Windows benchmarks, which have no Google Benchmark: batches of repetitions timed with
// QueryPerformanceCounter after a warm-up batch; the median batch's time per repetition, in microseconds.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

inline double MedianMicroseconds(const std::function<void()>& operation, int batches = 31,
                                 int repetitionsPerBatch = 200) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    for (int warm = 0; warm < repetitionsPerBatch; ++warm) {
        operation();
    }
    std::vector<double> times;
    for (int batch = 0; batch < batches; ++batch) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < repetitionsPerBatch; ++i) {
            operation();
        }
        ::GdiFlush();
        ::QueryPerformanceCounter(&end);
        times.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                        static_cast<double>(frequency.QuadPart) / repetitionsPerBatch);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
