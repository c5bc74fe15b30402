#include "SourceChain.h"

std::vector<SourceKind> SourceOrder(SourceKind configured) {
    switch (configured) {
    case SourceKind::Demo:
        return {SourceKind::Demo};
    case SourceKind::Hwmon:
        return {SourceKind::Hwmon, SourceKind::Wmi};
    case SourceKind::Wmi:
    case SourceKind::Automatic:
        break;
    }
    return {SourceKind::Wmi, SourceKind::Hwmon};
}

std::optional<SensorReadings> SourceChain::Read(double seconds) {
    for (const auto& source : m_sources) {
        try {
            if (std::optional<SensorReadings> readings = source->Read(seconds))
                return readings;
        } catch (...) {
        }
    }
    return std::nullopt;
}
