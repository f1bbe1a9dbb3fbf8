#include "sensor_classes.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zavok::mqtt {

namespace {

constexpr const char* kMeasurement = "measurement";
constexpr const char* kTotals = "total or total_increasing";
constexpr const char* kAnyState = "measurement, total or total_increasing";

// Units that several classes share.
constexpr const char* kEnergy = "J|kJ|MJ|GJ|mWh|Wh|kWh|MWh|GWh|TWh|cal|kcal|Mcal|Gcal";
constexpr const char* kPressure = "mPa|Pa|hPa|kPa|bar|cbar|mbar|mmHg|inHg|inH₂O|psi";
constexpr const char* kSpeed = "Beaufort|ft/s|in/s|m/min|m/s|km/h|kn|mph|mm/s";
constexpr const char* kFlux = "in/d|in/h|mm/d|mm/h";
constexpr const char* kVolume = "ft³|CCF|MCF|m³|L|mL|gal|fl. oz.";
constexpr const char* kMicrograms = "μg/m³";

constexpr std::array kClasses = {
    SensorClass{"apparent_power", kMeasurement, "mVA|VA|kVA"},
    SensorClass{"aqi", kMeasurement, ""},
    SensorClass{"area", kAnyState, "m²|cm²|km²|mm²|in²|ft²|yd²|mi²|ac|ha"},
    SensorClass{"atmospheric_pressure", kMeasurement, kPressure},
    SensorClass{"battery", kMeasurement, "%"},
    SensorClass{"blood_glucose_concentration", kMeasurement, "mg/dL|mmol/L"},
    SensorClass{"carbon_dioxide", kMeasurement, "ppm"},
    SensorClass{"carbon_monoxide", kMeasurement, "ppm"},
    SensorClass{"conductivity", kMeasurement, "S/cm|μS/cm|mS/cm"},
    SensorClass{"current", kMeasurement, "mA|A"},
    SensorClass{"data_rate", kMeasurement, "bit/s|kbit/s|Mbit/s|Gbit/s|B/s|kB/s|MB/s|GB/s|KiB/s|MiB/s|GiB/s"},
    SensorClass{"data_size", kAnyState, "bit|kbit|Mbit|Gbit|B|kB|MB|GB|TB|PB|EB|ZB|YB|KiB|MiB|GiB|TiB|PiB|EiB|ZiB|YiB"},
    SensorClass{"distance", kAnyState, "mm|cm|m|km|in|ft|yd|mi|nmi"},
    SensorClass{"duration", kAnyState, "d|h|min|s|ms|μs"},
    SensorClass{"energy", kTotals, kEnergy},
    SensorClass{"energy_distance", kMeasurement, "kWh/100km|Wh/km|mi/kWh|km/kWh"},
    SensorClass{"energy_storage", kMeasurement, kEnergy},
    SensorClass{"frequency", kMeasurement, "Hz|kHz|MHz|GHz"},
    SensorClass{"gas", kTotals, "CCF|ft³|m³|L"},
    SensorClass{"humidity", kMeasurement, "%"},
    SensorClass{"illuminance", kMeasurement, "lx"},
    SensorClass{"irradiance", kMeasurement, "W/m²|BTU/(h⋅ft²)"},
    SensorClass{"moisture", kMeasurement, "%"},
    SensorClass{"monetary", "total", nullptr}, // a currency's ISO 4217 code
    SensorClass{"nitrogen_dioxide", kMeasurement, kMicrograms},
    SensorClass{"nitrogen_monoxide", kMeasurement, kMicrograms},
    SensorClass{"nitrous_oxide", kMeasurement, kMicrograms},
    SensorClass{"ozone", kMeasurement, kMicrograms},
    SensorClass{"ph", kMeasurement, ""},
    SensorClass{"pm1", kMeasurement, kMicrograms},
    SensorClass{"pm10", kMeasurement, kMicrograms},
    SensorClass{"pm25", kMeasurement, kMicrograms},
    SensorClass{"power", kMeasurement, "mW|W|kW|MW|GW|TW"},
    SensorClass{"power_factor", kMeasurement, "%|"},
    SensorClass{"precipitation", kAnyState, "in|mm|cm"},
    SensorClass{"precipitation_intensity", kMeasurement, kFlux},
    SensorClass{"pressure", kMeasurement, kPressure},
    SensorClass{"reactive_power", kMeasurement, "mvar|var|kvar"},
    SensorClass{"signal_strength", kMeasurement, "dB|dBm"},
    SensorClass{"sound_pressure", kMeasurement, "dB|dBA"},
    SensorClass{"speed", kMeasurement, "Beaufort|ft/s|in/s|m/min|m/s|km/h|kn|mph|mm/s|in/d|in/h|mm/d|mm/h"},
    SensorClass{"sulphur_dioxide", kMeasurement, kMicrograms},
    SensorClass{"temperature", kMeasurement, "°C|°F|K"},
    SensorClass{"volatile_organic_compounds", kMeasurement, kMicrograms},
    SensorClass{"volatile_organic_compounds_parts", kMeasurement, "ppb|ppm"},
    SensorClass{"voltage", kMeasurement, "μV|mV|V|kV|MV"},
    SensorClass{"volume", kTotals, kVolume},
    SensorClass{"volume_flow_rate", kMeasurement, "m³/h|m³/min|m³/s|ft³/min|L/h|L/min|L/s|gal/h|gal/min|gal/d|mL/s"},
    SensorClass{"volume_storage", kMeasurement, kVolume},
    SensorClass{"water", kTotals, "CCF|ft³|m³|gal|L"},
    SensorClass{"weight", kAnyState, "g|kg|mg|μg|oz|lb|st"},
    SensorClass{"wind_direction", "measurement_angle", "°"},
    SensorClass{"wind_speed", kMeasurement, kSpeed},
};

// Home Assistant wrote its micro as the micro sign (U+00B5) before it took the Greek letter mu (U+03BC); both stand
// in the configs of its users, and each of its versions takes its own, so either is taken here.
QString withGreekMu(QString unit) {
    return unit.replace(QChar(0x00B5), QChar(0x03BC));
}

} // namespace

const SensorClass* sensorClass(const QString& name) {
    const auto* const found = std::find_if(kClasses.begin(), kClasses.end(), [&name](const SensorClass& sensor) {
        return name == QLatin1String(sensor.name);
    });
    return found == kClasses.end() ? nullptr : &*found;
}

bool measures(const SensorClass& sensor) {
    const std::string_view classes(sensor.stateClasses);
    return classes == kMeasurement || classes == kAnyState;
}

QStringList measuringClasses() {
    QStringList names;
    for (const SensorClass& sensor : kClasses) {
        if (measures(sensor)) {
            names << QLatin1String(sensor.name);
        }
    }
    return names;
}

QStringList unitsOf(const SensorClass& sensor) {
    QStringList units = QString::fromUtf8(sensor.units).split(u'|');
    for (QString& unit : units) {
        if (unit.isEmpty()) {
            unit = QStringLiteral("no unit");
        }
    }
    return units;
}

bool takesUnit(const SensorClass& sensor, const QString& unit) {
    return sensor.units == nullptr || QString::fromUtf8(sensor.units).split(u'|').contains(withGreekMu(unit));
}

} // namespace zavok::mqtt
