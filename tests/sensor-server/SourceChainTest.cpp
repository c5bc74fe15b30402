// Source order and fallback, the demo curve and the load meter.
#include "CpuLoadMeter.h"
#include "DemoSource.h"
#include "SensorReadings.h"
#include "SourceChain.h"
#include "WmiReadings.h"

#include <cctype>
#include <cmath>
#include <string>
#include <stdexcept>

#include <gtest/gtest.h>

namespace {

class ScriptedSource : public ReadingSource {
public:
    enum class Mode { Yield, Nothing, Throw };
    ScriptedSource(Mode& mode, float celsius) : m_mode(mode), m_celsius(celsius) {}
    std::optional<SensorReadings> Read(double) override {
        ++reads;
        if (m_mode == Mode::Throw)
            throw std::runtime_error("sensor gone");
        if (m_mode == Mode::Nothing)
            return std::nullopt;
        SensorReadings readings;
        readings.cpuTemperature = m_celsius;
        return readings;
    }
    int reads = 0;

private:
    Mode& m_mode;
    float m_celsius;
};

TEST(SourceOrder, ConfiguredSourceFirstDemoOnlyAlone) {
    using enum SourceKind;
    EXPECT_EQ(SourceOrder(Automatic), (std::vector{Wmi, Hwmon}));
    EXPECT_EQ(SourceOrder(Wmi), (std::vector{Wmi, Hwmon}));
    EXPECT_EQ(SourceOrder(Hwmon), (std::vector{Hwmon, Wmi}));
    EXPECT_EQ(SourceOrder(Demo), (std::vector{Demo}));
}

TEST(SourceChain, FallsBackPastFailingSourcesAndReturnsWhenTheyRecover) {
    using Mode = ScriptedSource::Mode;
    Mode first = Mode::Yield, second = Mode::Yield;
    SourceChain chain;
    auto firstSource = std::make_unique<ScriptedSource>(first, 50.0f);
    auto secondSource = std::make_unique<ScriptedSource>(second, 60.0f);
    ScriptedSource* secondSeen = secondSource.get();
    chain.Add(std::move(firstSource));
    chain.Add(std::move(secondSource));

    EXPECT_EQ(chain.Read(0.0)->cpuTemperature, 50.0f);
    EXPECT_EQ(secondSeen->reads, 0); // first that yields wins; the rest are not asked
    first = Mode::Nothing;
    EXPECT_EQ(chain.Read(1.0)->cpuTemperature, 60.0f);
    first = Mode::Throw;
    EXPECT_EQ(chain.Read(2.0)->cpuTemperature, 60.0f);
    second = Mode::Throw;
    EXPECT_FALSE(chain.Read(3.0));
    first = Mode::Yield;
    EXPECT_EQ(chain.Read(4.0)->cpuTemperature, 50.0f);
}

TEST(DemoSource, SmoothPlausibleAndAlive) {
    DemoSource demo;
    std::optional<SensorReadings> previous;
    float lowest = 1000.0f, highest = -1000.0f;
    for (int second = 0; second <= 4 * 3600; ++second) {
        const std::optional<SensorReadings> readings = demo.Read(second);
        ASSERT_TRUE(readings);
        ASSERT_TRUE(readings->cpuLoad);
        ASSERT_GE(readings->cpuTemperature, 30.0f);
        ASSERT_LE(readings->cpuTemperature, 62.0f);
        ASSERT_GE(*readings->cpuLoad, 1.0f);
        ASSERT_LE(*readings->cpuLoad, 99.0f);
        ASSERT_TRUE(IsPlausibleCelsius(readings->gpuTemperature));
        ASSERT_TRUE(IsPlausibleCelsius(readings->otherTemperature));
        if (previous) { // one-second steps stay small: a curve, not noise
            ASSERT_LT(std::fabs(readings->cpuTemperature - previous->cpuTemperature), 2.5f) << second;
        }
        lowest = std::min(lowest, readings->cpuTemperature);
        highest = std::max(highest, readings->cpuTemperature);
        previous = readings;
    }
    EXPECT_GT(highest - lowest, 10.0f); // and it does move
    EXPECT_EQ(demo.Read(0.0)->gpuName, "Demo GPU");
    EXPECT_NE(demo.Read(0.0)->cpuTemperature, demo.Read(1.0)->cpuTemperature);
}

struct LoadCase {
    const char* name;
    std::vector<CpuTimes> samples; // idle, kernel (with idle), user
    float expected;
    friend void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }
};

class LoadTable : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadTable, BusyShareOfTheInterval) {
    CpuLoadMeter meter;
    float load = -1.0f;
    for (const CpuTimes& sample : GetParam().samples)
        load = meter.Update(sample);
    EXPECT_FLOAT_EQ(load, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, LoadTable,
    testing::Values(LoadCase{"FirstSampleIsSinceBoot", {{750, 1000, 0}}, 25.0f},
                    LoadCase{"DeltaOfTwoSamples", {{750, 1000, 0}, {850, 1100, 100}}, 50.0f},
                    LoadCase{"FullyIdle", {{0, 0, 0}, {400, 400, 0}}, 0.0f},
                    LoadCase{"FullyBusy", {{0, 0, 0}, {0, 100, 300}}, 100.0f},
                    LoadCase{"IdleCountedApartFromKernel", {{0, 0, 0}, {300, 50, 50}}, 25.0f},
                    LoadCase{"NoTimePassedRepeatsLastLoad", {{750, 1000, 0}, {750, 1000, 0}}, 25.0f},
                    LoadCase{"CountersGoingBackRepeatLastLoad", {{750, 1000, 0}, {10, 20, 0}}, 25.0f},
                    LoadCase{"AllZeroIsZero", {{0, 0, 0}}, 0.0f}));

TEST(WmiReadings, ThermalZoneTenthsOfKelvin) {
    EXPECT_NEAR(ThermalZoneCelsius(3232.0), 50.05f, 1e-4);
    EXPECT_NEAR(ThermalZoneCelsius(2731.5), 0.0f, 1e-4);
}

struct MonitorCase {
    const char* parent;
    const char* sensor;
    SensorKind kind;
    int rank;
    friend void PrintTo(const MonitorCase& c, std::ostream* os) {
        for (const std::string text = std::string(c.parent) + " " + c.sensor; char ch : text) // plain test names
            *os << (std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_');
    }
};

class MonitorTable : public testing::TestWithParam<MonitorCase> {};

TEST_P(MonitorTable, KindAndRankFromTheHardwareIdentifier) {
    const TemperatureSensor sensor = ClassifyMonitorSensor(GetParam().parent, "Hardware", GetParam().sensor, 50.0);
    EXPECT_EQ(sensor.kind, GetParam().kind);
    EXPECT_EQ(sensor.rank, GetParam().rank);
    EXPECT_EQ(sensor.device, "Hardware");
}

INSTANTIATE_TEST_SUITE_P(Sensors, MonitorTable,
                         testing::Values(MonitorCase{"/intelcpu/0", "CPU Package", SensorKind::Cpu, 0},
                                         MonitorCase{"/intelcpu/0", "CPU Core #2", SensorKind::Cpu, 5},
                                         MonitorCase{"/amdcpu/0", "Core (Tctl/Tdie)", SensorKind::Cpu, 1},
                                         MonitorCase{"/nvidiagpu/0", "GPU Core", SensorKind::Gpu, 0},
                                         MonitorCase{"/atigpu/0", "GPU Hot Spot", SensorKind::Gpu, 5},
                                         MonitorCase{"/lpc/nct6791d", "Temperature #1", SensorKind::Other, 2},
                                         MonitorCase{"/hdd/0", "Temperature", SensorKind::Other, 5},
                                         MonitorCase{"/ram", "Temperature", SensorKind::Other, 10}));

TEST(WmiReadings, HardwareMonitorListComposesLikeHwmon) {
    const std::vector<TemperatureSensor> sensors{
        ClassifyMonitorSensor("/lpc/nct6791d", "Board monitor", "Temperature #1", 33.0),
        ClassifyMonitorSensor("/intelcpu/0", "Test CPU", "CPU Core #1", 58.0),
        ClassifyMonitorSensor("/intelcpu/0", "Test CPU", "CPU Package", 55.0),
        ClassifyMonitorSensor("/nvidiagpu/0", "Test GPU", "GPU Core", 64.0),
    };
    const auto readings = ComposeReadings(sensors);
    ASSERT_TRUE(readings);
    EXPECT_EQ(readings->cpuTemperature, 55.0f);
    EXPECT_EQ(readings->gpuName, "Test GPU");
    EXPECT_EQ(readings->otherName, "Board monitor");
}

TEST(ComposeReadings, ImplausibleValuesNeverWin) {
    const std::vector<TemperatureSensor> sensors{{SensorKind::Cpu, 0, "cpu", -128.0f},
                                                 {SensorKind::Cpu, 0, "cpu", NAN},
                                                 {SensorKind::Cpu, 0, "cpu", 127.0f},
                                                 {SensorKind::Cpu, 5, "cpu", 44.0f}};
    EXPECT_EQ(ComposeReadings(sensors)->cpuTemperature, 44.0f);
    EXPECT_FALSE(ComposeReadings({{SensorKind::Gpu, 0, "gpu", 50.0f}}));
}

} // namespace
