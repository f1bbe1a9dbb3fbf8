#pragma once

#include <QString>
#include <QStringList>

namespace zavok::mqtt {

// Home Assistant's device classes of a sensor whose state is a number, as a channel's is, with the state classes and
// the units that it takes for each. It takes a config that breaks them all the same, and then writes a warning into
// its log at every start that the user of a site cannot trace back to ZAVOK; a class that it does not know at all
// makes it refuse the whole config, and the channel would never show there.
struct SensorClass {
    const char* name;
    const char* stateClasses; // those that Home Assistant takes for it, "measurement" for most
    const char* units;        // "|" between two; an empty one stands for a value without a unit
};

// The class of that name; nothing for a name that is no device class of a sensor that shows a number.
const SensorClass* sensorClass(const QString& name);
// Whether a channel, which Home Assistant is told is a measurement, may have the class.
bool measures(const SensorClass& sensor);
// The names of the classes that a channel may have.
QStringList measuringClasses();
// The units that the class takes, none written as "no unit".
QStringList unitsOf(const SensorClass& sensor);
// Whether the class takes the unit; an empty one is a value without a unit.
bool takesUnit(const SensorClass& sensor, const QString& unit);

} // namespace zavok::mqtt
