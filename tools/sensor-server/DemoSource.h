// Readings without hardware: a smooth, plausible temperature curve and load. Platform-free.
#pragma once

#include "SourceChain.h"

class DemoSource : public ReadingSource {
public:
    std::optional<SensorReadings> Read(double seconds) override;
};
