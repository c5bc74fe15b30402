// One frame pass of the worker without the device: read the record, build the payload.
#include <benchmark/benchmark.h>

#include "device/SensorFrame.h"

static void FramePass(benchmark::State& state) {
    SensorRecord record{};
    record.primaryTemperature = 45.9f;
    record.secondReading = 37.6f;
    record.serverActivity = 1.0f;
    std::int32_t tempeType = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(&record);
        const SensorPayload payload = BuildSensorFrame(ReadSnapshot(&record, tempeType), 1);
        benchmark::DoNotOptimize(payload);
        tempeType ^= 1;
    }
}
BENCHMARK(FramePass);
