// The temperature sources in the order they are tried. Platform-free.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "SensorReadings.h"
#include "ServerConfig.h"

class ReadingSource {
public:
    virtual ~ReadingSource() = default;
    // Nothing when the source has no CPU temperature right now; it is asked again at the next pass.
    // `seconds` counts from the server's start.
    virtual std::optional<SensorReadings> Read(double seconds) = 0;
};

// The configured source first, then the other real one. The demo only ever runs alone, when it is chosen: an
// invented temperature must never stand in for a real sensor that failed.
std::vector<SourceKind> SourceOrder(SourceKind configured);

class SourceChain {
public:
    void Add(std::unique_ptr<ReadingSource> source) { m_sources.push_back(std::move(source)); }

    // The first source that yields wins. A source that throws yields nothing: one bad sensor must not end
    // the server.
    std::optional<SensorReadings> Read(double seconds);

private:
    std::vector<std::unique_ptr<ReadingSource>> m_sources;
};
