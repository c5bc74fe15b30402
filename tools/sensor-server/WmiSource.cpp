#include "WmiSource.h"

#include <map>
#include <string>

#include "WindowsText.h"
#include "WmiReadings.h"

namespace {

// A namespace that is missing (no hardware monitor running) is looked for again after this long; one that
// answered before and then failed, sooner.
constexpr double kReconnectSeconds = 30.0;
constexpr double kRequerySeconds = 10.0;
// A stuck WMI provider must not stall the server's pass for long.
constexpr long kNextTimeoutMilliseconds = 3000;

std::optional<double> NumberProperty(IWbemClassObject* object, const wchar_t* name) {
    Variant value;
    if (FAILED(object->Get(name, 0, value.Get(), nullptr, nullptr)))
        return std::nullopt;
    if (FAILED(VariantChangeType(value.Get(), value.Get(), 0, VT_R8)))
        return std::nullopt;
    return value.Get()->dblVal;
}

std::string TextProperty(IWbemClassObject* object, const wchar_t* name) {
    Variant value;
    if (FAILED(object->Get(name, 0, value.Get(), nullptr, nullptr)) || value.Get()->vt != VT_BSTR ||
        value.Get()->bstrVal == nullptr)
        return {};
    return Utf8FromWide(value.Get()->bstrVal);
}

// Runs a WQL query and hands each object to `visit`. False when the query or the enumeration fails.
template <class Visit> bool ForEachObject(IWbemServices* services, const wchar_t* query, Visit&& visit) {
    ComRef<IEnumWbemClassObject> enumerator;
    Bstr language(L"WQL"), text(query);
    if (FAILED(services->ExecQuery(language, text, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                   enumerator.Put())))
        return false;
    for (;;) {
        ComRef<IWbemClassObject> object;
        ULONG returned = 0;
        const HRESULT result = enumerator->Next(kNextTimeoutMilliseconds, 1, object.Put(), &returned);
        if (FAILED(result) || result == WBEM_S_TIMEDOUT)
            return false;
        if (returned == 0)
            return true;
        visit(object.Get());
    }
}

} // namespace

std::optional<SensorReadings> WmiSource::Read(double seconds) {
    std::vector<TemperatureSensor> sensors;
    for (Namespace* space : {&m_hardwareMonitor, &m_acpi}) {
        IWbemServices* services = Connect(*space, seconds);
        if (services == nullptr)
            continue;
        const bool answered =
            space == &m_hardwareMonitor ? ReadHardwareMonitor(services, sensors) : ReadThermalZones(services, sensors);
        if (!answered) {
            space->services.Reset();
            space->retryAt = seconds + kRequerySeconds;
        }
    }
    return ComposeReadings(sensors);
}

IWbemServices* WmiSource::Connect(Namespace& space, double seconds) {
    if (space.services)
        return space.services.Get();
    if (seconds < space.retryAt)
        return nullptr;
    space.retryAt = seconds + kReconnectSeconds;

    if (!m_locator) {
        if (seconds < m_locatorRetryAt)
            return nullptr;
        if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                    reinterpret_cast<void**>(m_locator.Put())))) {
            m_locatorRetryAt = seconds + kReconnectSeconds;
            return nullptr;
        }
    }
    Bstr path(space.path);
    if (FAILED(m_locator->ConnectServer(path, nullptr, nullptr, nullptr, WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr,
                                        nullptr, space.services.Put()))) {
        space.services.Reset();
        return nullptr;
    }
    CoSetProxyBlanket(space.services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    return space.services.Get();
}

bool WmiSource::ReadHardwareMonitor(IWbemServices* services, std::vector<TemperatureSensor>& sensors) {
    std::map<std::string, std::string> hardwareNames;
    if (!ForEachObject(services, L"SELECT Identifier, Name FROM Hardware", [&](IWbemClassObject* hardware) {
            hardwareNames[TextProperty(hardware, L"Identifier")] = TextProperty(hardware, L"Name");
        }))
        return false;
    return ForEachObject(
        services, L"SELECT Name, Value, Parent FROM Sensor WHERE SensorType = 'Temperature'",
        [&](IWbemClassObject* sensor) {
            const std::optional<double> value = NumberProperty(sensor, L"Value");
            if (!value)
                return;
            const std::string parent = TextProperty(sensor, L"Parent");
            const auto name = hardwareNames.find(parent);
            sensors.push_back(ClassifyMonitorSensor(parent, name == hardwareNames.end() ? std::string() : name->second,
                                                    TextProperty(sensor, L"Name"), *value));
        });
}

bool WmiSource::ReadThermalZones(IWbemServices* services, std::vector<TemperatureSensor>& sensors) {
    return ForEachObject(
        services, L"SELECT CurrentTemperature FROM MSAcpi_ThermalZoneTemperature", [&](IWbemClassObject* zone) {
            if (const std::optional<double> value = NumberProperty(zone, L"CurrentTemperature"))
                sensors.push_back({SensorKind::Cpu, 30, "ACPI thermal zone", ThermalZoneCelsius(*value)});
        });
}
