#pragma once

#include <QString>

#include <optional>

namespace zavok {

// What a record of the activity log is about, beside its words. Whoever watches the log from outside takes these,
// so that a change of wording, or two channels of one name, cannot mislead it.
enum class RecordKind {
    Started,
    Closed,
    SettingsDamaged,
    AlertActivated,
    AlertDeactivated,
    ZoneNormal,
    ZoneLowAlarm,
    ZoneHighAlarm,
    ZoneLowCalError,
    ZoneHighCalError,
    InputFault,
    InputRestored,
};

struct RecordFacts {
    RecordKind kind = RecordKind::Started;
    int subject = 0; // the alert or the zone, 1..4; 0 for a record of the program or of the inputs

    bool isZone() const { return kind >= RecordKind::ZoneNormal && kind <= RecordKind::ZoneHighCalError; }
    bool isAlert() const { return kind == RecordKind::AlertActivated || kind == RecordKind::AlertDeactivated; }
    // The zone a record tells of, 0 for any other record.
    int zone() const { return isZone() ? subject : 0; }

    friend bool operator==(const RecordFacts&, const RecordFacts&) = default;
};

// The kind as the history stores it: a word that reads for itself in any SQLite browser, and stays when the enum
// is reordered.
QString storedName(RecordKind kind);
std::optional<RecordKind> kindNamed(const QString& name);

} // namespace zavok
